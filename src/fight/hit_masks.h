// The pictures the hit test compares, as plain bit masks: an attack frame's hit mask and a
// body picture, each with its mirrored copy, read once from the same files the game draws.
// Only solid pixels count; a pixel is solid when its alpha is not zero, exactly as the
// runtime's sprites tell it for these pictures. No renderer and no sprite is involved, so the
// fight can test touches headless and the masks never change once read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Animation;
struct Frame;

// One picture's solid pixels: row-major rows of bits, bit x % 64 of word x / 64 for column x
// (the leftmost column in the lowest bit). Each row is padded with clear bits to whole words.
struct HitMask {
    int64_t width = 0;  // pixels
    int64_t height = 0; // pixels
    int64_t words = 0;  // 64-bit words per row
    std::vector<uint64_t> bits;
};

// Masks from pixels in 0xAARRGGBB words (rows without padding): solid where alpha is not 0.
HitMask hitMaskFromPixels(int64_t width, int64_t height, const uint32_t* pixels);
HitMask mirroredHitMask(const HitMask& mask);                 // left and right exchanged
bool hitMaskSolid(const HitMask& mask, int64_t x, int64_t y); // false outside

// The mask of a PNG file, mirrored or not; null when the file is missing or unreadable.
// Each file is read once per run and kept (with its mirrored copy) until clearHitMasks.
const HitMask* hitMaskOfFile(const std::string& path, bool mirrored);
void clearHitMasks();
// Reads the files not read yet, decoded on every core, so that hitMaskOfFile finds them kept
// (a class's masks before its fight, when pictures are being drawn).
void readHitMaskFiles(const std::vector<std::string>& paths);
int64_t hitMaskFileCount(); // files read so far (failures included), for tests and tools

// A frame's body picture as the fight shows it: as in its file facing left (facing 0), mirrored
// facing right (facing 1). A cloned frame carries its source's path, so it gets the source's
// picture. Null when the frame has no picture or it cannot be read.
const HitMask* frameBodyMask(const Frame& frame, int64_t facing);

// A frame's hit mask, from the file next to its picture ("<path>hurt.png"), mirrored facing
// right. Null when the frame has no hit mask (no hurt shift, its own or its source's) or the
// file cannot be read.
//
// A frame that shares another frame's hit mask (cloneHurt) gets the file of the frame that owns
// it. The game's loader reads a shared mask once, for whichever of its frames is loaded first,
// and all of them show the owner's picture in the game's data, so the owner's file is the one
// answer that holds whatever the order. Finding the owner takes the animation: the first form
// follows cloneHurt from frame frameIndex of the animation, the second only knows the frame and
// uses its own picture's file (the same unless a sharer shows another picture than its owner).
const HitMask* frameHitMask(const Animation& animation, int64_t frameIndex, int64_t facing);
const HitMask* frameHitMask(const Frame& frame, int64_t facing);
// The file frameHitMask reads for that frame ("" when the frame has no hit mask).
std::string frameHitMaskPath(const Animation& animation, int64_t frameIndex);

// Whether some pixel is solid in both masks, with their top-left corners at (xA, yA) and
// (xB, yB) (pixels, any common origin). Compares 64 columns at a time.
bool masksTouch(const HitMask& a, int64_t xA, int64_t yA, const HitMask& b, int64_t xB, int64_t yB);
