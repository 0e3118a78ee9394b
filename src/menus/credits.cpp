// The credits page.
#include "menus/credits.h"

#include "fight/fighter.h"
#include "input/keys.h"
#include "menus/menu_framework.h"
#include "render/fade.h"
#include "render/sprite_assets.h"
#include "render/text.h"
#include "runtime/runtime.h"

namespace {
constexpr int64_t kHeadingTint = 0x0088FF; // orange
constexpr int64_t kDetailTint = 0xFF8080;  // light violet
constexpr int64_t kSectionGap = 17;        // px after a section's last block

// Each text starts where the previous one ended; a detail block leaves 5 px after itself.
struct Column {
    int64_t y;
    void heading(const char* text, int64_t x) { y = drawText(text, x, y, kHeadingTint, 128); }
    void details(const char* text, int64_t x) { y = drawText(text, x, y, kDetailTint, 128) + 5; }
};

// The left column's lines stay within 31 characters (403 px): the right one starts 420 px on.
void drawCreditColumns(int64_t textX, int64_t textY) {
    Column left{textY};
    int64_t x = textX + 80;
    left.heading("The Quarrelix developers", x);
    left.details("> Game design\\> Code\\> Graphics\\> Music\\> Sound design\\> Fighter animation", x);
    left.heading("Media runtime", x);
    left.details("> Sound: our own mixer\\> Headless mode for the tests\\> Windows and input: SDL2", x);
    left.heading("Content generator", x);
    left.details("> Image crop system", x);
    left.heading("Drawn by the generator", x);
    left.details("304 fighter frames and masks", x);
    left.details("15 stage tiles", x);
    left.details("6 class pictures", x);
    left.details("34 icons, gauges and effects", x);
    left.heading("Synthesised by the generator", x);
    left.details("> 172 sound effects\\> 3 jingles, 5 pieces of music", x);
    left.y += kSectionGap;
    left.heading("Libraries", x);
    left.details("> Rotation: SDL2's geometry", x);
    left.y += kSectionGap;
    left.heading("Softwares used", x);
    left.details("> GCC and CMake\\> GoogleTest\\> Xvfb and xdotool\\> Debian 12", x);

    Column right{textY};
    right.heading("Sounds", textX + 500);
    right.heading("made with", textX + 540);
    right.details("> our own synthesiser", textX + 580);
    right.heading("Libraries", textX + 540);
    right.details("> libogg and libvorbis (music)\\> libpng and zlib (pictures)", textX + 580);
    right.y += kSectionGap;
    right.heading("Special thanks", textX + 500);
    right.details("> The SDL project (platform layer)\\> DejaVu fonts (the letters)\\> "
                  "FreeType (rendering the font)\\> nlohmann/json (the data files)\\> "
                  "GoogleTest (the tests)\\> Debian (everything else)",
                  textX + 500);
}

} // namespace

void runCredits(int64_t textX, int64_t textY) {
    noteScreenOpened("credits");
    loadStatIcons();
    bool backTaken = false;
    runMenuFrames([&](double, bool frozen) {
        drawCreditColumns(textX, textY);
        if (!frozen) takeMenuBack(backTaken);
    });
    freeStatIcons();
}
