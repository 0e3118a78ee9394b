// Recording of the frame's layout for tests.
#include "render/layout_record.h"

#include "runtime/sprites.h"

namespace {
std::vector<LaidOut>* layoutList = nullptr;
} // namespace

void recordLayout(std::vector<LaidOut>* list) { layoutList = list; }

bool layoutRecording() { return layoutList != nullptr; }

void noteLayout(LayoutRole role, int64_t x, int64_t y, int64_t width, int64_t height,
                const std::string& what) {
    if (!layoutList || width <= 0 || height <= 0) return;
    // The same thing drawn again in place (a tinted pass) is one thing.
    for (const LaidOut& l : *layoutList)
        if (l.role == role && l.x == x && l.y == y && l.width == width && l.height == height &&
            l.what == what)
            return;
    layoutList->push_back({role, x, y, width, height, what});
}

void noteSpriteLayout(LayoutRole role, int64_t sprite, int64_t x, int64_t y, const std::string& what) {
    if (!layoutList || !spriteExists(sprite)) return;
    SpriteBounds b = spriteVisibleBounds(sprite);
    noteLayout(role, x + b.x, y + b.y, b.width, b.height, what);
}

const char* layoutRoleName(LayoutRole role) {
    switch (role) {
    case LayoutRole::Text: return "text";
    case LayoutRole::Picture: return "picture";
    case LayoutRole::Portrait: return "portrait";
    case LayoutRole::Gauge: return "gauge";
    case LayoutRole::Panel: return "panel";
    }
    return "?";
}
