// Hit masks as bit rows, read from the frame pictures' files, and the word-wise touch test.
#include "fight/hit_masks.h"

#include <algorithm>
#include <unordered_map>

#include "data/animation.h"
#include "runtime/images.h"
#include "runtime/parallel.h"

namespace {
constexpr int64_t kWordBits = 64;

// A file's masks: both null-equivalent (read == false) when the file could not be read.
struct MaskFile {
    bool read = false;
    HitMask plain;
    HitMask mirrored;
};

// Keyed by the path as the frame gives it; the nodes never move, so the masks handed out stay
// valid until clearHitMasks.
std::unordered_map<std::string, MaskFile> maskFiles;

int64_t floorDiv(int64_t value, int64_t divisor) {
    int64_t q = value / divisor;
    return (value % divisor != 0 && (value < 0) != (divisor < 0)) ? q - 1 : q;
}

// Word `index` of a row, clear outside the row.
uint64_t wordAt(const uint64_t* row, int64_t words, int64_t index) {
    return index >= 0 && index < words ? row[index] : 0;
}

// The 64 columns of a row starting at column (firstWord * 64 + shift), shift 0-63; columns
// outside the row read as clear.
uint64_t columnsAt(const uint64_t* row, int64_t words, int64_t firstWord, int64_t shift) {
    uint64_t low = wordAt(row, words, firstWord);
    if (shift == 0) return low;
    uint64_t high = wordAt(row, words, firstWord + 1);
    return (low >> shift) | (high << (kWordBits - shift));
}
} // namespace

HitMask hitMaskFromPixels(int64_t width, int64_t height, const uint32_t* pixels) {
    HitMask mask;
    if (width <= 0 || height <= 0 || !pixels) return mask;
    mask.width = width;
    mask.height = height;
    mask.words = (width + kWordBits - 1) / kWordBits;
    mask.bits.assign(size_t(mask.words * height), 0);
    for (int64_t y = 0; y < height; ++y) {
        uint64_t* row = &mask.bits[size_t(y * mask.words)];
        const uint32_t* source = pixels + y * width;
        for (int64_t x = 0; x < width; ++x)
            if ((source[x] >> 24) != 0) row[x / kWordBits] |= uint64_t(1) << (x % kWordBits);
    }
    return mask;
}

HitMask mirroredHitMask(const HitMask& mask) {
    HitMask mirrored = mask;
    std::fill(mirrored.bits.begin(), mirrored.bits.end(), 0);
    for (int64_t y = 0; y < mask.height; ++y)
        for (int64_t x = 0; x < mask.width; ++x)
            if (hitMaskSolid(mask, x, y)) {
                int64_t m = mask.width - 1 - x;
                mirrored.bits[size_t(y * mask.words + m / kWordBits)] |= uint64_t(1)
                                                                         << (m % kWordBits);
            }
    return mirrored;
}

bool hitMaskSolid(const HitMask& mask, int64_t x, int64_t y) {
    if (x < 0 || y < 0 || x >= mask.width || y >= mask.height) return false;
    return (mask.bits[size_t(y * mask.words + x / kWordBits)] >> (x % kWordBits)) & 1;
}

// Both kinds of picture end up solid exactly where their file's alpha is not zero: a body is
// loaded with its alpha kept and no colour key; a hit mask is blended by its own alpha onto a
// fully transparent sprite (which copies any pixel of alpha above zero and leaves the rest
// transparent) and that sprite also keeps its alpha. So both are read the same way here.
namespace {
// A file's masks, read without touching anything shared.
MaskFile readMaskFile(const std::string& path) {
    MaskFile file;
    Bitmap bitmap;
    bool hasAlpha = false;
    if (!path.empty() && loadPng(path, bitmap, hasAlpha)) {
        file.plain = hitMaskFromPixels(bitmap.width, bitmap.height, bitmap.pixels.data());
        file.mirrored = mirroredHitMask(file.plain);
        file.read = file.plain.width > 0;
    }
    return file;
}
} // namespace

const HitMask* hitMaskOfFile(const std::string& path, bool mirrored) {
    auto [entry, added] = maskFiles.try_emplace(path);
    MaskFile& file = entry->second;
    if (added) file = readMaskFile(path);
    if (!file.read) return nullptr;
    return mirrored ? &file.mirrored : &file.plain;
}

void readHitMaskFiles(const std::vector<std::string>& paths) {
    std::vector<std::string> missing;
    for (const std::string& path : paths)
        if (!maskFiles.count(path) && std::find(missing.begin(), missing.end(), path) == missing.end())
            missing.push_back(path);
    std::vector<MaskFile> read(missing.size());
    forEachOnEveryCore(missing.size(), [&](size_t i) { read[i] = readMaskFile(missing[i]); });
    for (size_t i = 0; i < missing.size(); ++i) maskFiles.emplace(missing[i], std::move(read[i]));
}

void clearHitMasks() {
    maskFiles.clear();
}

int64_t hitMaskFileCount() {
    return int64_t(maskFiles.size());
}

const HitMask* frameBodyMask(const Frame& frame, int64_t facing) {
    if (frame.path.empty()) return nullptr; // no picture of its own nor a linked source's
    return hitMaskOfFile(frame.path + ".png", facing == 1);
}

std::string frameHitMaskPath(const Animation& animation, int64_t frameIndex) {
    const std::vector<Frame>& frames = animation.frames;
    if (frameIndex < 0 || frameIndex >= int64_t(frames.size())) return "";
    const Frame* frame = &frames[size_t(frameIndex)];
    // A sharer got its owner's hurt shift when the data was linked; without one it shares
    // nothing (a reference outside the list, or to a sharer not yet linked at the time).
    if (!frame->hurtShift) return "";
    // Sharers linked earlier in the list hold their owner's shift, so the chain is followed to
    // the frame whose mask is its own. A frame list cannot hold a longer chain than its size.
    for (size_t steps = 0; frame->cloneHurt != -1 && steps < frames.size(); ++steps) {
        if (frame->cloneHurt < 0 || frame->cloneHurt >= int64_t(frames.size())) return "";
        frame = &frames[size_t(frame->cloneHurt)];
    }
    if (frame->cloneHurt != -1 || frame->path.empty()) return "";
    return frame->path + "hurt.png";
}

const HitMask* frameHitMask(const Animation& animation, int64_t frameIndex, int64_t facing) {
    std::string path = frameHitMaskPath(animation, frameIndex);
    return path.empty() ? nullptr : hitMaskOfFile(path, facing == 1);
}

const HitMask* frameHitMask(const Frame& frame, int64_t facing) {
    if (!frame.hurtShift || frame.path.empty()) return nullptr;
    return hitMaskOfFile(frame.path + "hurt.png", facing == 1);
}

bool masksTouch(const HitMask& a, int64_t xA, int64_t yA, const HitMask& b, int64_t xB,
                int64_t yB) {
    int64_t left = std::max(xA, xB), right = std::min(xA + a.width, xB + b.width);
    int64_t top = std::max(yA, yB), bottom = std::min(yA + a.height, yB + b.height);
    if (left >= right || top >= bottom) return false;
    // B's words that hold the shared columns; column c of B lies over column c + d of A. B's
    // bits outside the shared columns meet A's clear bits (outside A or its row padding).
    int64_t firstWord = (left - xB) / kWordBits, lastWord = (right - 1 - xB) / kWordBits;
    int64_t d = xB - xA;
    int64_t wordShift = floorDiv(d, kWordBits), bitShift = d - wordShift * kWordBits;
    for (int64_t y = top; y < bottom; ++y) {
        const uint64_t* rowA = &a.bits[size_t((y - yA) * a.words)];
        const uint64_t* rowB = &b.bits[size_t((y - yB) * b.words)];
        for (int64_t w = firstWord; w <= lastWord; ++w)
            if (rowB[w] & columnsAt(rowA, a.words, w + wordShift, bitShift)) return true;
    }
    return false;
}
