// The stage selection screen.
#include "menus/stage_selection.h"

#include "data/stages.h"
#include "fight/fighter.h"
#include "input/keys.h"
#include "menus/key_hints.h"
#include "menus/menu_framework.h"
#include "render/fade.h"
#include "render/layout_record.h"
#include "render/text.h"
#include "runtime/runtime.h"
#include "input/player_setup.h"

int64_t stageCursor = 0;

namespace {
Stage* stageAt(int64_t cursor) {
    return cursor >= 0 && cursor < int64_t(stageList.size()) ? &stageList[size_t(cursor)] : nullptr;
}

// A strip of the stage's background tiles at a tenth of their size.
void drawStageStrip(const Stage& stage, int64_t x, int64_t y) {
    if (!stage.tileSprites.empty() && !spriteExists(stage.tileSprites[0])) loadStageTiles(stage);
    for (int64_t tile : stage.tileSprites) {
        if (!spriteExists(tile)) continue;
        int64_t w = spriteOwnWidth(tile) / 10, h = spriteOwnHeight(tile) / 10;
        zoomSprite(tile, w, h);
        drawSprite(tile, x, y);
        zoomSprite(tile, -1, -1);
        noteLayout(LayoutRole::Picture, x, y, w, h, "stage strip");
        x += w;
    }
}

// What to press here, where the other menus show their help lines: the arrows or player
// one's keys move, and only Return and Escape choose or leave.
std::vector<std::string> stageHints() {
    return {eitherKey("Left/Right", keyPairFor(playerSetups[0], &Controls::left, &Controls::right)) +
                ": change stage",
            "Return: pick this stage", "Escape: go back"};
}
} // namespace

const char* stageSizeText(int64_t width) {
    if (width <= 3000) return "Size : small";
    if (width <= 5000) return "Size : medium";
    return "Size : big";
}

int64_t runStageSelection(int64_t textX, int64_t textY) {
    noteScreenOpened("stage selection");
    int64_t count = int64_t(stageList.size());
    if (stageCursor < kRandomStage || stageCursor >= count) stageCursor = kRandomStage;
    int64_t result = kStageBack;
    bool latchNext = false, latchPrevious = false, backTaken = false;
    bool black = runMenuFrames([&](double, bool frozen) {
        if (frozen) {
            returnHoldFrames = 0;
        } else {
            updateReturnHold();
            bool next = pressedOnce(keyDown(kKeyRight) || keyDown(kKeyUp) ||
                                        playerKeyDown(playerSetups[0], &Controls::right) || playerKeyDown(playerSetups[0], &Controls::up),
                                    latchNext);
            bool previous = pressedOnce(keyDown(kKeyLeft) || keyDown(kKeyDown) ||
                                            playerKeyDown(playerSetups[0], &Controls::left) || playerKeyDown(playerSetups[0], &Controls::down),
                                        latchPrevious);
            int64_t step = (next ? 1 : 0) - (previous ? 1 : 0);
            if (next || previous) {
                if (Stage* leaving = stageAt(stageCursor)) freeStageTiles(*leaving);
                // Past the last stage comes "Random", and before "Random" the last stage.
                stageCursor += step;
                if (stageCursor >= count) stageCursor = kRandomStage;
                if (stageCursor < kRandomStage) stageCursor = count - 1;
                if (Stage* arriving = stageAt(stageCursor)) loadStageTiles(*arriving);
                playMenuSound(kPoolMenuMove);
            }
            if (returnHoldFrames == 1) {
                playMenuSound(kPoolMenuSelect);
                result = stageCursor;
                startFade();
            }
            if (keyReleased(kKeyEscape) && !backTaken) {
                backTaken = true;
                result = kStageBack;
                if (!fadeActive) playMenuSound(kPoolMenuBack);
                startFade();
            }
        }
        drawHintLines(stageHints(), textX + 80, textY, kHintGrey);
        drawText("Pick the stage", textX + 100, textY + 60, kOrangeTint, 128);
        if (Stage* stage = stageAt(stageCursor)) {
            drawPlainText(stage->name, textX + 100, textY + 80);
            drawText(stageSizeText(stage->width), textX + 100, textY + 100, kBlueTint, 128);
            drawStageStrip(*stage, textX + 100, textY + 120);
        } else {
            drawPlainText("Random", textX + 100, textY + 80);
            if (spriteExists(questionMarkSprite)) {
                zoomSprite(questionMarkSprite, 100, 100);
                drawSpriteBlended(questionMarkSprite, textX + 100, textY + 120);
                noteSpriteLayout(LayoutRole::Picture, questionMarkSprite, textX + 100, textY + 120,
                                 "random stage");
                zoomSprite(questionMarkSprite, -1, -1);
            }
        }
    });
    return black ? result : kStageBack;
}
