// Menu and stage music.
#include "match/music.h"

#include "data/stage.h"
#include "data/stages.h"
#include "runtime/runtime.h"
#include "settings/settings.h"

namespace {
constexpr int64_t kMenuMusicSlot = 1;
const char* const kMenuMusicFile = "music/Quarrelix menu v04.ogg";
} // namespace

void playMenuMusic() {
    if (settings.musicVolume <= 0) return;
    if (!soundExists(kMenuMusicSlot) && !loadSound(kMenuMusicSlot, kMenuMusicFile)) return;
    playSound(kMenuMusicSlot, kSoundLoop, settings.musicVolume);
}

void stopMenuMusic() {
    if (soundExists(kMenuMusicSlot)) stopSound(kMenuMusicSlot);
}

void loadStageMusic(const Stage& stage) {
    // Every slot holds one file (stages that share an intro share its slot), so a slot that
    // holds a sound holds the right one.
    for (const Stage& other : stageList)
        for (int64_t slot : {other.musicSlot, other.introSlot})
            if (slot != stage.musicSlot && slot != stage.introSlot && slot != kMenuMusicSlot)
                freeSound(slot);
    if (!soundExists(stage.musicSlot)) loadSound(stage.musicSlot, stage.musicFile);
    if (!soundExists(stage.introSlot)) loadSound(stage.introSlot, stage.introFile);
}

void stopStageMusic(const Stage& stage) {
    for (int64_t slot : {stage.musicSlot, stage.introSlot})
        if (soundExists(slot)) stopSound(slot);
}
