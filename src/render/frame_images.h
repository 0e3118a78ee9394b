// Fight frame pictures, loaded when first needed, and the deferred queue that loads a class's
// frames a few at a time without stalling the game.
#pragma once

#include <cstdint>
#include <vector>

struct Frame;

// Loads a frame's picture (with its pixel mask, for the hit test) and its hit mask with the
// mirrored copy, unless already loaded.
void loadFrameImages(Frame& frame);
void queueFrameImages(Frame* frame);
int64_t queuedImageCount();
// Loads queued frames while the frame time budget (half a frame, less spentMs the frame has
// already taken) lasts, at least one while any budget is left, at most maxItems; returns how
// many were loaded.
int64_t loadQueuedImages(int64_t maxItems, double spentMs = 0);
// Loads the next count queued frames at once, their pictures decoded on every core (a class's
// frames before a match); returns how many were loaded.
int64_t loadQueuedImagesTogether(int64_t count);
// The clock the queue measures with (tests give it their own).
void setImageQueueClock(double (*clock)());
void clearImageQueue(); // also forgets the budget

struct Animation;
struct FighterClass;
// Every animation a class can show: its slots, other idles, follow-ups and wind, once each.
std::vector<const Animation*> classAnimations(const FighterClass& fighterClass, bool followUps,
                                              bool wind);
// Frees every picture of the class's frames (they load again when next needed).
void releaseClassImages(FighterClass& fighterClass);
