// The class carousel.
#include "menus/class_carousel.h"

#include <algorithm>

#include "data/fighter_class.h"
#include "render/layout_record.h"
#include "render/sprite_assets.h"
#include "render/text.h"
#include "runtime/runtime.h"

namespace {
constexpr int64_t kSlots = 5;
constexpr int64_t kSlotStep = 100; // px

int64_t listSize() { return int64_t(selectableClasses.size()); }

// How many steps forward, with wrap-around, `to` lies after `from`.
int64_t stepsAfter(int64_t from, int64_t to) {
    int64_t n = listSize();
    return n == 0 ? 0 : ((to - from) % n + n) % n;
}

void drawMarker(int64_t sprite, int64_t x, int64_t y, bool highlighted) {
    if (!spriteExists(sprite)) return;
    if (highlighted) {
        zoomSprite(sprite, 144, 144);
        drawSpriteBlended(sprite, x - 23, y - 23);
    } else {
        zoomSprite(sprite, 96, 96);
        drawSpriteBlended(sprite, x + 2, y + 2, 128);
    }
    zoomSprite(sprite, -1, -1);
}
} // namespace

FighterClass* classWithId(int64_t id) {
    if (id < 0) return nullptr;
    for (auto& c : classes)
        if (c && c->id == id) return c.get();
    return nullptr;
}

int64_t selectableAt(int64_t position) {
    int64_t n = listSize();
    if (n == 0) return -1;
    return selectableClasses[size_t(((position % n) + n) % n)];
}

void drawClassSlot(int64_t entry, int64_t x, int64_t y, bool highlighted) {
    if (entry == kRandomMarker) return drawMarker(questionMarkSprite, x, y, highlighted);
    if (entry == kMirrorMarker) return drawMarker(mirrorMarkSprite, x, y, highlighted);
    FighterClass* c = classWithId(entry);
    if (!c) return;
    loadClassPicture(*c);
    makePortrait(*c);
    int64_t portrait = c->portraitSprite;
    if (!spriteExists(portrait)) return;
    if (highlighted) {
        drawSpriteBlended(portrait, x - 25, y - 25);
        if (c->toBeAdded) drawSpriteBlended(portrait, x - 25, y - 25, 128, RGB(255, 128, 0));
        return;
    }
    zoomSprite(portrait, 100, 100);
    if (c->toBeAdded) {
        drawSpriteBlended(portrait, x, y, 128);
        drawSpriteBlended(portrait, x, y, 128, RGB(64, 32, 0));
    } else {
        drawSpriteBlended(portrait, x, y);
        drawSpriteBlended(portrait, x, y, 128, RGB(32, 32, 32));
    }
    zoomSprite(portrait, -1, -1);
}

void drawClassCarousel(int64_t start, int64_t cursor, int64_t x, int64_t y) {
    // A list shorter than the carousel shows each entry once.
    int64_t slots = std::min(kSlots, listSize());
    int64_t cursorSlot = -1;
    for (int64_t i = 0; i < slots; ++i) {
        if (stepsAfter(start + i, cursor) == 0) {
            cursorSlot = i;
            continue;
        }
        drawClassSlot(selectableAt(start + i), x + kSlotStep * i, y, false);
    }
    // The cursor's class is drawn last, over its neighbours.
    if (cursorSlot >= 0) drawClassSlot(selectableAt(cursor), x + kSlotStep * cursorSlot, y, true);
    // One picture: the enlarged cursor reaches 25 px round its slot.
    if (slots > 0)
        noteLayout(LayoutRole::Picture, x - 25, y - 25, kSlotStep * (slots - 1) + 150, 150,
                   "class carousel");
}

void carouselNext(int64_t& cursor, int64_t& start) {
    int64_t n = listSize();
    if (n == 0) return;
    cursor = (cursor + 1) % n;
    if (stepsAfter(start, cursor) > kSlots - 1) start = (start + 1) % n;
}

void carouselPrevious(int64_t& cursor, int64_t& start) {
    int64_t n = listSize();
    if (n == 0) return;
    // Wrapping from the first entry to the last takes a carousel at the start along.
    if (cursor == 0 && start == 0) start = n - 1;
    cursor = (cursor - 1 + n) % n;
    if (stepsAfter(start, cursor) > kSlots - 1) start = (start - 1 + n) % n;
}
