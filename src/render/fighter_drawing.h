// Drawing fighters and anything placed like them: a frame's picture at a screen position by
// its shift, mirrored for a fighter facing right.
#pragma once

#include <cstdint>
#include <optional>

#include "data/json_fields.h"

struct FightState;
struct Fighter;
struct Frame;

// Frame pictures are drawn as in their files facing left and mirrored facing right.
void orientFrameSprite(int64_t sprite, int64_t facing);
// Draws the frame's picture with its alpha at the given opacity, then, with a tint, its
// silhouette in that colour at the given intensity. Shake and camera height are applied. With
// layoutWhat, the picture is noted in the layout record under that name.
void drawFramePicture(const FightState& fight, const Frame& frame, Vec2 screen, int64_t facing, int64_t opacity,
                      int64_t tint, int64_t tintIntensity, const char* layoutWhat = nullptr);
// Loads the images of the fighter's current frame when they are not yet. Only the pictures'
// bookkeeping changes (loaded, sprite numbers), never what decides the fight, so a drawing of
// a fight it is handed read-only may ask for them.
void ensureFrameLoaded(const Fighter& fighter);
int64_t fighterTint(const Fighter& fighter);   // with the damage flash and the stun colour
int64_t motionBrightness(const Frame& frame);  // fast moves flash brighter, 192-255
double shadowScale(const FightState& fight, const Fighter& fighter, const Frame* frame);
// The frame the fight step settled (see settleShownFrame), with the fighter's life gauge.
void drawFighter(const FightState& fight, const Fighter& fighter);
