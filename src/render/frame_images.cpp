// Frame pictures and the deferred image queue.
#include "render/frame_images.h"

#include <algorithm>
#include <deque>

#include "data/animation.h"
#include "data/fighter_class.h"
#include "fight/hit_masks.h"
#include "render/sprite_assets.h"
#include "runtime/parallel.h"
#include "runtime/runtime.h"
#include "settings/pacing.h"

namespace {
std::deque<Frame*> queue;
double budgetMs = -1; // fixed at the first call of the run
// A frame that loads pictures spends at most half its length on its work and theirs, and
// never more than this (ms): a frame that loads stays far from a hitch at any rate.
constexpr double kMostLoadingMs = 4.0;
// What loading one batch has taken on average this run (ms), and over how many.
double typicalLoadMs = 0;
int64_t loadsTimed = 0;
// Real time even in a headless run: a picture loaded ahead or when first drawn looks the same.
double (*queueClock)() = wallTimeMs;

// A hit mask and its mirrored copy, both with their pixel masks.
void loadHitMask(Frame& frame, const std::string& path) {
    int64_t plain = loadImage(-1, path);
    if (!plain) return;
    auto fill = [](int64_t sprite, int64_t image) {
        createSprite(sprite, imageWidth(image), imageHeight(image), kLoadAlphaMask);
        setSpriteTransparentColour(sprite, 0);
        if (beginDrawing(spriteOutput(sprite))) {
            drawImageAlpha(imageHandle(image), 0, 0);
            endDrawing();
        }
    };
    fill(frame.hurtSpriteA, plain);
    int64_t mirrored = mirrorImage(plain);
    if (mirrored) fill(frame.hurtSpriteB, mirrored);
    freeImage(plain);
    freeImage(mirrored);
}
} // namespace

namespace {
// The files the fight's hit test reads for a frame: its picture and its own hit mask (a frame
// sharing another's mask reads the owner's, which is queued with it).
std::vector<std::string> maskFilesOf(const Frame& frame) {
    if (frame.path.empty()) return {};
    std::vector<std::string> paths{frame.path + ".png"};
    if (frame.hurtShift && fileSize(frame.path + "hurt.png") > 0) paths.push_back(frame.path + "hurt.png");
    return paths;
}
} // namespace

void loadFrameImages(Frame& frame) {
    frame.loaded = true;
    // The null renderer draws nothing, and the fight reads no picture (its hits have masks of
    // their own): decoding them would only cost the match runner its set-up time.
    if (drawingDiscarded()) return;
    ReusingDecodedPngs reusing; // each file decoded once, for its hit mask and its sprite alike
    // The fight's masks of the frame are read with its pictures, within the intro's budget: read
    // when the fight first tests them, they cost that fight frame several milliseconds.
    for (const std::string& path : maskFilesOf(frame)) hitMaskOfFile(path, false);
    if (frame.sprite != 0 && !spriteExists(frame.sprite))
        loadSprite(frame.sprite, frame.path + ".png", kLoadAlphaMask);
    if (frame.hurtSpriteA == 0 || spriteExists(frame.hurtSpriteA) || spriteExists(frame.hurtSpriteB))
        return;
    std::string maskPath = frame.path + "hurt.png";
    if (fileSize(maskPath) > 0) {
        loadHitMask(frame, maskPath);
    } else {
        frame.hurtSpriteA = frame.hurtSpriteB = 0; // this frame has no hit mask
    }
}

void queueFrameImages(Frame* frame) {
    if (frame) queue.push_back(frame);
}

int64_t queuedImageCount() { return int64_t(queue.size()); }

int64_t loadQueuedImages(int64_t maxItems, double spentMs) {
    if (budgetMs < 0) budgetMs = std::min(frameMs / 2.0, kMostLoadingMs);
    double spent = spentMs;
    int64_t count = 0;
    // A frame within its budget loads one batch, so that the intro gets through the queue;
    // more only while what one usually takes still fits (the next frame's work follows, and a
    // picture begun at the budget's end would overrun it). A batch holds an entry for each
    // core, their files decoded side by side.
    int64_t batch = int64_t(coreCount());
    while (!queue.empty() && count < maxItems && spent < budgetMs &&
           (count == 0 || spent + typicalLoadMs <= budgetMs)) {
        double start = queueClock();
        count += loadQueuedImagesTogether(std::min(batch, maxItems - count));
        double took = queueClock() - start;
        spent += took;
        typicalLoadMs += (took - typicalLoadMs) / double(++loadsTimed);
    }
    return count;
}

namespace {
// Entries loaded together at most, so that the files kept decoded for their second read stay
// a few megabytes.
constexpr size_t kTogether = 32;
} // namespace

int64_t loadQueuedImagesTogether(int64_t count) {
    int64_t loaded = 0;
    while (!queue.empty() && loaded < count) {
        std::vector<Frame*> frames;
        while (!queue.empty() && loaded < count && frames.size() < kTogether) {
            frames.push_back(queue.front());
            queue.pop_front();
            ++loaded;
        }
        ReusingDecodedPngs reusing; // each file decoded once, for its sprite and its hit mask
        if (!drawingDiscarded()) {
            std::vector<SpriteFile> pictures;
            for (Frame* frame : frames)
                if (frame->sprite != 0 && !spriteExists(frame->sprite))
                    pictures.push_back({frame->sprite, frame->path + ".png", kLoadAlphaMask});
            loadSprites(pictures);
            std::vector<std::string> masks;
            for (Frame* frame : frames)
                for (std::string& path : maskFilesOf(*frame)) masks.push_back(std::move(path));
            readHitMaskFiles(masks);
        }
        for (Frame* frame : frames) loadFrameImages(*frame); // the rest: hit masks
    }
    return loaded;
}

void setImageQueueClock(double (*clock)()) { queueClock = clock ? clock : wallTimeMs; }

void clearImageQueue() {
    queue.clear();
    budgetMs = -1;
    typicalLoadMs = 0;
    loadsTimed = 0;
}

namespace {
void collect(const Animation* a, bool followUps, std::vector<const Animation*>& out) {
    if (!a || std::find(out.begin(), out.end(), a) != out.end()) return;
    out.push_back(a);
    if (followUps)
        for (const Animation* next : a->followUps) collect(next, true, out);
}
} // namespace

std::vector<const Animation*> classAnimations(const FighterClass& c, bool followUps, bool wind) {
    std::vector<const Animation*> animations;
    for (const Animation* a : c.animationTable) collect(a, followUps, animations);
    for (const Animation* a : c.idleOther) collect(a, followUps, animations);
    if (wind) {
        size_t own = animations.size();
        for (size_t i = 0; i < own; ++i)
            for (const auto* table : {&animations[i]->frontWind, &animations[i]->backWind})
                if (*table)
                    for (const Animation* w : (*table)->entries) collect(w, false, animations);
    }
    return animations;
}

void releaseClassImages(FighterClass& c) {
    auto release = [](Frame& frame) {
        for (int64_t sprite : {frame.sprite, frame.hurtSpriteA, frame.hurtSpriteB})
            if (sprite != 0) freeSprite(sprite);
        frame.loaded = false;
    };
    for (const Animation* a : classAnimations(c, true, true))
        for (const Frame& frame : a->frames) release(const_cast<Frame&>(frame));
    for (Frame& frame : c.hit) release(frame);
    c.imagesPrepared = false;
}
