// The selection previews.
#include "menus/preview.h"

#include <algorithm>

#include "data/fighter_class.h"
#include "fight/fight_state.h"
#include "fight/fighter_update.h"
#include "render/fighter_drawing.h"
#include "render/layout_record.h"
#include "render/sprite_assets.h"
#include "runtime/runtime.h"
#include "settings/game_screen.h"

Preview rightPreview;
Preview leftPreview;

void makePreview(Preview& preview, double x, double y, int64_t facing, int64_t intensity,
                 bool visible) {
    preview = Preview{};
    preview.fighter.position = {float(x), float(y)};
    preview.fighter.screenPosition = preview.fighter.position;
    preview.fighter.facing = facing;
    preview.fighter.side = facing;
    preview.intensity = intensity;
    preview.visible = visible;
}

void restartPreview(Preview& preview) {
    if (preview.fighter.fighterClass) setIdle(preview.scene, preview.fighter);
}

void setPreviewClass(Preview& preview, FighterClass* fighterClass, int64_t stanceIndex) {
    Fighter& f = preview.fighter;
    bool changed = f.fighterClass != fighterClass;
    f.fighterClass = fighterClass;
    f.stanceIndex = stanceIndex;
    f.stance = fighterClass && stanceIndex >= 0 && stanceIndex < int64_t(fighterClass->stance.size())
                   ? &fighterClass->stance[size_t(stanceIndex)]
                   : nullptr;
    if (changed) {
        if (fighterClass) setIdle(preview.scene, f);
        else setAnimation(preview.scene, f, nullptr);
    }
}

void clearPreviewClass(Preview& preview) { setPreviewClass(preview, nullptr, 0); }

// Two pictures share the width between the margins (75 px on the left, 100 px on the right)
// with 10 px between them.
int64_t classPictureSize() { return std::min<int64_t>(500, (screenWidth - 185) / 2); }

int64_t rightPictureX() { return screenWidth - 100 - classPictureSize(); }

void drawPreview(Preview& preview, double frameFactor, int64_t pictureX, int64_t pictureY) {
    Fighter& f = preview.fighter;
    if (!preview.visible || !f.fighterClass) return;
    if (screenWidth < kWidePreviewScreen) {
        FighterClass& c = *f.fighterClass;
        loadClassPicture(c);
        if (!spriteExists(c.pictureSprite)) return;
        zoomSprite(c.pictureSprite, classPictureSize(), classPictureSize());
        drawSpriteBlended(c.pictureSprite, pictureX, pictureY, preview.intensity);
        noteSpriteLayout(LayoutRole::Panel, c.pictureSprite, pictureX, pictureY, "class picture");
        if (preview.tint != 0)
            drawSpriteBlended(c.pictureSprite, pictureX, pictureY, preview.intensity * 128 / 255,
                              preview.tint);
        zoomSprite(c.pictureSprite, -1, -1);
        return;
    }
    drawPreviewFighter(preview, frameFactor);
}

void drawPreviewFighter(Preview& preview, double frameFactor) {
    Fighter& f = preview.fighter;
    if (!preview.visible || !f.fighterClass) return;
    int64_t tintIntensity = preview.tintTransparency * preview.intensity / 255;
    // Its idles are picked by the game's own generator; what the playback sets off (sounds,
    // effects) is not shown in a menu.
    FightState& scene = preview.scene;
    scene.random = randomState();
    playAnimation(scene, f, frameFactor);
    setRandomState(scene.random);
    scene.events = FightEvents{};
    ensureFrameLoaded(f);
    const Frame* frame = currentFrame(f);
    if (!frame) return;
    drawFramePicture(preview.scene, *frame, f.screenPosition, f.facing, preview.intensity, preview.tint,
                     tintIntensity, "class preview");
}
