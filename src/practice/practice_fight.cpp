// Starting and ending a fight outside a match.
#include "practice/practice_fight.h"

#include "data/stage.h"
#include "data/stages.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "fight/fighter_update.h"
#include "match/end_of_match.h"
#include "match/match.h"
#include "match/music.h"
#include "runtime/runtime.h"
#include "settings/settings.h"

void startPracticeFight(FightContext& context, Stage* stage) {
    FightState& fight = context.fight;
    context.stage = stage;
    releaseImagesNotFor(context);
    if (stage) loadStageTiles(*stage);
    stopMenuMusic();
    for (Fighter& f : fight.players) prepareClassImages(f);
    resetMatch(context);
    fight.random = randomState(); // the fight's own generator starts where the game's stands
    for (Fighter& f : fight.players) setIdle(fight, f); // no spawn: there is no intro
    if (stage && settings.musicVolume > 0) {
        loadStageMusic(*stage);
        setSoundVolume(stage->musicSlot, settings.musicVolume);
        playSound(stage->musicSlot, kSoundLoop);
    }
}

void endPracticeFight(FightContext& context) {
    FightState& fight = context.fight;
    if (context.stage) stopStageMusic(*context.stage);
    playMenuMusic();
    releaseMatch(fight);
    fight.focusX = 0;
    setRandomState(fight.random); // the game's draws go on from where the fight's ended
}
