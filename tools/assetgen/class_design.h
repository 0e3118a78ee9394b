// What a fighter class is made of before it is drawn: frames, moves, stances and statistics.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "fighter_render.h"
#include "skeleton.h"

// An integer vector of the data file. In this file x is FORWARD (towards the opponent); the
// class builder turns it into the data file's convention (pictures face left, so forward is -x)
// for every key except moveTargetTo, whose x the game never mirrors.
struct Step {
    int x = 0;
    int y = 0;
};

// Which swept band a frame leaves in the air (a wind trail), or a gleam of the blade.
enum class Wind { None, Trail, Glint };

struct FrameSpec {
    Pose pose;
    int length = 3;                    // ticks of 20 ms
    Striker striker = Striker::None;   // a hit mask of this part (the frame hits or grabs)
    int damage = 0;
    int damageType = 0;                // 1 cut, 2 pierce, 3 blunt
    int stun = 0;                      // ticks of stun before the stat factors
    int shake = 0;
    int sound = 0;                     // pool played as this frame ends
    int canDoNext = 0;                 // tick of this frame from which a combo may continue
    int needCatch = 0;
    int grab = 0;                      // the "catch" key
    int damageCut = 0;
    int damageSide = 0;
    int movementDNeedCatch = 0;
    std::optional<Step> movement;      // instant step when the frame starts (px)
    std::optional<Step> movementDelta; // velocity during the frame (px per tick)
    std::optional<Step> pushInstant;   // px per tick given to the defender once per hit
    std::optional<Step> pushPower;     // px per tick moved while touching
    std::optional<Step> pushPowerDelta;
    std::optional<Step> moveTargetTo;  // defender placed here from the attacker's position
    int shadowLift = 0;                // px the figure is drawn above the ground (smaller shadow)
    Wind wind = Wind::None;
    Striker windPart = Striker::None;  // the part whose sweep the trail shows (striker by default)
};

struct MoveSpec {
    std::string name;
    int type = 0;           // animation type: 1 idle ... 4..9 attacks ... 13 land
    bool attack = false;
    bool looped = false;
    bool comboEnd = false;
    int recovery = 0;       // ticks, on a whiff or at the end of a combo
    int loopStart = 0;
    std::vector<FrameSpec> frames;
    std::vector<MoveSpec> followUps;  // slot chosen by each follow-up's type
};

struct StatSpec {
    int strength = 5, agility = 5, speed = 5, weight = 5, endurance = 5, life = 5;
    int cut = -1, pierce = -1, blunt = -1;
    int reach = 0;  // 0: measured from the attacks
    int difficulty = 5;
};

struct StanceSpec {
    std::string name;
    StatSpec modifier;      // all zero but what the stance changes (cut/pierce/blunt 0 too)
    std::vector<int> materials;
    int specialColor = 0;   // packed r + 256 g + 65536 b
    int specialTransparency = 0;
    int alternateColor = 0;
    int alternateTransparency = 0;
};

// A class's balance settings, applied to every attack (first attacks and follow-ups) when the
// roster is made: measured bot-against-bot matches set them (tools/balance.sh).
struct ClassTuning {
    double stun = 1;      // scale of every blow's stun
    double damage = 1;    // scale of every blow's base damage
    double recovery = 1;  // scale of every attack's recovery
    double push = 1;      // scale of every blow's push on the defender (pushInstant)
    // Share of an attack's forward steps taken back on its last frame, so that a class whose
    // blows step in does not end up inside its opponent (grabs keep their place).
    double stepBack = 0;
};

struct ClassDesign {
    std::string key;         // file prefix under image/fighter/
    std::string name;
    std::string description;
    bool toBeAdded = false;
    Build build;
    StatSpec stat;
    std::vector<StanceSpec> stances;
    Pose ready;              // guard pose: where attacks start from
    Pose portrait;           // pose of the class picture
    MoveSpec idle, moveFront, moveBack, death, spawn, jump, land;
    std::vector<MoveSpec> idleOther;
    std::vector<MoveSpec> attacks;  // the six first attacks, by type 4..9
    std::vector<FrameSpec> hit;     // hit reactions
    ClassTuning tuning;
};

// Packs a colour as the data file stores it.
constexpr int packColor(int r, int g, int b) { return r + 256 * g + 65536 * b; }

// The design with its tuning applied to every attack.
ClassDesign tunedDesign(ClassDesign design);

// Stat modifier with everything zero (cut, pierce and blunt included).
StatSpec noModifier();

// The roster, in data file order.
ClassDesign brawlerDesign();
ClassDesign duelistDesign();
ClassDesign lancerDesign();
ClassDesign crusherDesign();
ClassDesign dancerDesign();
ClassDesign wardenDesign();  // shown in the menus, still to be added
