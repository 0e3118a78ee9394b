// The shared pictures: HUD, countdown, shadow, blood, combo icons, stat icons, class pictures
// and portraits, numbered image sequences, and mirrored copies.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct FighterClass;

// Load flags of pictures: colour key (font, tiles, class pictures), alpha, alpha with a mask.
constexpr int64_t kLoadKeyed = 0;
constexpr int64_t kLoadAlpha = 8;
constexpr int64_t kLoadAlphaMask = 12;

extern int64_t shadowSprite;
extern int64_t hudBlock; // +0/+1 bar, +4/+5 big bar, +8/+9 overlay (plain, mirrored), +10 white

struct CountdownSprites {
    int64_t two = 0;   // "image/counterTwo.png"
    int64_t three = 0; // "image/counterThree.png"
    int64_t one = 0;   // "image/counterOne.png", the last number
};
extern CountdownSprites countdownSprites;

struct ComboImages {
    int64_t neutral = 0;
    int64_t up = 0; // and its mirrored copy at up + 1
    int64_t heavy = 0;
    int64_t neutralSmall = 0;
    int64_t upSmall = 0; // and up + 1
    int64_t heavySmall = 0;
};
extern ComboImages comboImages;

struct ImageSequence {
    std::string prefix; // frame i is prefix + (i + 1) + ".png"
    std::string name;
    std::vector<int64_t> frames; // sprite numbers
    std::vector<double> offsets; // per-frame drawing offsets, 0 when made
    int64_t frameTime = 0;       // a particle's frame timer restarts at this
    int64_t frameStep = 0;       // what the timer loses per tick
    int64_t options = 0;         // the option flags given so far
    double fade = 0;             // flag 2 fade amount or flag 4 fade factor
    int64_t blinkColor = 0;      // flag 8
    double optionX = 0, optionY = 0; // flag 16 acceleration or flag 32 velocity factor
};
extern ImageSequence hurtSequence;

void loadSharedImages();  // the font, shadow, HUD, countdown, symbols, blood (start-up)
void loadComboImages();   // the combo display's icons
void loadMirroredSprite(int64_t sprite, const std::string& path); // n plain, n + 1 mirrored
int64_t mirrorImage(int64_t image); // a new image mirrored left-right; 0 on failure
void makePortrait(FighterClass& fighterClass);
void loadClassPicture(FighterClass& fighterClass);
void freeClassPicture(FighterClass& fighterClass);
void freeAllClassPictures();
ImageSequence createImageSequence(const std::string& prefix, const std::string& name,
                                  int64_t count, int64_t frameTime, int64_t frameStep);
void setSequenceOption(ImageSequence& sequence, int64_t flag, double first, double second);

constexpr int64_t kStatIconCount = 12; // the eleven stats and the to-be-added mark
extern int64_t statIconBlock;          // 0 until requested
extern int64_t dotSprite;
extern int64_t crescentSprite;
void loadStatIcons();
void freeStatIcons();
void drawStatIcon(int64_t index, int64_t x, int64_t y); // centred on x
void resetSpriteAssets(); // forget every number (a new run)
