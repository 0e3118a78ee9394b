// Hook for the fighter classes: the fighter generator fills the "class" section here.
#include "fighter_classes.h"

void addFighterClasses(DataBuilder& builder, const std::string& outDir) {
    // The roster (pictures, animations, stances, combos) is written by the fighter generator;
    // it appends each class with addFighterClass(builder, ...) and may add its own sound pools
    // after the fixed ones with appendSoundPool.
    (void)builder;
    (void)outDir;
}
