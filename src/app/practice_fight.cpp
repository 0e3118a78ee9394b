// Starting and ending a fight outside a match.
#include "app/practice_fight.h"

#include "app/end_of_match.h"
#include "app/match.h"
#include "app/settings.h"
#include "app/stages.h"
#include "data/stage.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "fight/fighter_update.h"
#include "runtime/runtime.h"

void startPracticeFight(Stage* stage) {
    globalFightContext.stage = stage;
    if (stage) loadStageTiles(*stage);
    if (soundExists(1)) { // the menu music
        stopSound(1);
        freeSound(1);
    }
    prepareClassImages(playerOne);
    prepareClassImages(playerTwo);
    resetMatch(&globalFightContext);
    for (Fighter* f : {&playerOne, &playerTwo}) setIdle(*f); // no spawn: there is no intro
    if (stage && musicVolume > 0 && loadSound(stage->musicSlot, stage->musicFile)) {
        setSoundVolume(stage->musicSlot, musicVolume);
        playSound(stage->musicSlot, kSoundLoop);
    }
}

void endPracticeFight(Stage* stage) {
    if (stage && soundExists(stage->musicSlot)) {
        stopSound(stage->musicSlot);
        freeSound(stage->musicSlot);
    }
    if (musicVolume > 0 && loadSound(1, "music/Quarrelix menu v04.ogg"))
        playSound(1, kSoundLoop, musicVolume);
    releaseMatch(stage);
    focusX = 0;
}
