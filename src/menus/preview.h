// The selection screens' previews: a fighter of the chosen class and stance playing its idle
// animation through the fight's own playback and drawing code.
#pragma once

#include <cstdint>

#include "fight/fight_state.h"
#include "fight/fighter.h"

struct FighterClass;

struct Preview {
    Fighter fighter;
    // A preview is no fight: its fighter plays and is drawn in a scene of its own, without
    // shake or camera height (its random draws are the game's own).
    FightState scene;
    bool visible = false;
    int64_t intensity = 128;    // 128 while choosing, 255 once chosen
    int64_t tint = 0;           // colour laid over the picture, 0 for none
    int64_t tintTransparency = 0;
};

extern Preview rightPreview; // player one's
extern Preview leftPreview;  // player two's

constexpr int64_t kWidePreviewScreen = 1200; // px: narrower screens show class pictures
// The class pictures' side (500 px where two fit side by side, less on the narrowest screens)
// and the left edge of the right-hand one.
int64_t classPictureSize();
int64_t rightPictureX();

// A preview standing at fight coordinates, facing right (1) or left (0), without a class.
void makePreview(Preview& preview, double x, double y, int64_t facing, int64_t intensity,
                 bool visible);
// Shows the class (null: none) in a stance; a new class starts its idle animation again.
void setPreviewClass(Preview& preview, FighterClass* fighterClass, int64_t stanceIndex);
void restartPreview(Preview& preview);
void clearPreviewClass(Preview& preview);
// Advances and draws the animated fighter on wide screens; on narrow ones draws the class
// picture at (pictureX, pictureY) instead (the selection screens' two panels leave no room
// for two fighters there).
void drawPreview(Preview& preview, double frameFactor, int64_t pictureX, int64_t pictureY);
// Advances and draws the animated fighter whatever the screen's width (the fighter viewer).
void drawPreviewFighter(Preview& preview, double frameFactor);
