// The framed backdrop.
#include "render/backdrop.h"

#include "data/sprite_numbers.h"
#include "runtime/runtime.h"
#include "settings/game_screen.h"

namespace {
int64_t backgroundSprite = 0;
} // namespace

int64_t menuBackgroundSprite() {
    if (backgroundSprite == 0) backgroundSprite = takeSpriteNumber();
    if (!spriteExists(backgroundSprite) || spriteWidth(backgroundSprite) != screenWidth ||
        spriteHeight(backgroundSprite) != screenHeight) {
        createSprite(backgroundSprite, screenWidth, screenHeight, kSpriteAlpha);
        if (beginDrawing(spriteOutput(backgroundSprite))) {
            // Frames 8 px wide, each darker than the one around it; only the part of each box
            // that the next leaves showing is filled (whole boxes cost start-up 40 ms).
            int64_t r = 255, g = 127, b = 0;
            for (int64_t i = 0; i < 20; ++i) {
                int64_t x = 8 * i, w = screenWidth - 16 * i, h = screenHeight - 16 * i;
                int64_t colour = RGB(r, g, b);
                fillBox(x, x, w, 8, colour);
                fillBox(x, x + h - 8, w, 8, colour);
                fillBox(x, x + 8, 8, h - 16, colour);
                fillBox(x + w - 8, x + 8, 8, h - 16, colour);
                r = (r + 32) / 2;
                g = (g + 32) / 2;
                b = (b + 32) / 2;
            }
            fillBox(160, 160, screenWidth - 320, screenHeight - 320, RGB(32, 32, 32));
            endDrawing();
        }
    }
    return backgroundSprite;
}

void resetMenuBackground() { backgroundSprite = 0; }
