// Turns class designs into pictures on disk and the class objects of data.json.
#pragma once

#include <string>
#include <vector>

#include "class_design.h"
#include "data_builder.h"

// How far one attack animation reaches: the front of its hit mask, in px ahead of where the
// attacker's feet stood when the animation started (frame movement and velocity included).
struct AttackReach {
    std::string name;
    bool firstAttack = false;
    int tip = 0;      // best hitting frame
    int nearest = 0;  // the shortest hitting frame
};

struct BuiltClass {
    Json classJson;
    std::vector<AttackReach> reaches;
    int reachStat = 0;
};

// Draws every picture of the classes into outDir/image/fighter/<key>/ on `threads` threads and
// returns the class objects in the same order. `ok` turns false when a file cannot be written or
// a picture does not fit the fighter's box.
std::vector<BuiltClass> buildClasses(const std::vector<ClassDesign>& designs, const std::string& outDir, int threads,
                                     bool* ok);

// The reach statistic (1..5) for the main reach in px ahead of the feet.
int reachStatFor(double averageTip);
// A class's main reach: the mean tip of its four longest first attacks (the others may be
// anti-air or close-range moves).
double mainReach(const std::vector<AttackReach>& reaches);

// Animation type of each follow-up slot and back: 4 "neutral", 5 "side", 6 "back", 7 "up",
// 8 "down", 9 "heavy".
const char* slotForType(int type);

// The stat record as the data file spells it.
Json statJson(const StatSpec& stat);
