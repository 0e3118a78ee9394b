// The bitmap font sheet: one row of 16x16 glyph cells rendered from DejaVu Sans Mono Bold.
#include "font_sheet.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "png_writer.h"

namespace {

// The game advances 13 px per glyph and shifts ".,;" 5 px left: glyphs are rendered about
// 11 px wide (a stretched 18 px em horizontally, 15 px vertically) and centred in the 13 px
// advance, so neighbours never touch and the shifted punctuation lands just after a letter.
constexpr int kEmWidth = 18;
constexpr int kEmHeight = 15;
constexpr int kBaseline = 12;     // row of the baseline inside the cell
constexpr int kAdvanceCentre = 6; // column around which a glyph is centred (13 px advance)

struct GlyphBitmap {
    int width = 0;
    int rows = 0;
    int left = 0;
    int top = 0;
    std::vector<float> coverage;
};

bool renderGlyph(FT_Face face, unsigned code, int emWidth, int emHeight, GlyphBitmap& out) {
    FT_Set_Pixel_Sizes(face, FT_UInt(emWidth), FT_UInt(emHeight));
    const FT_UInt index = FT_Get_Char_Index(face, code);
    if (index == 0) return false;
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT) != 0) return false;
    if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) return false;
    const FT_Bitmap& bm = face->glyph->bitmap;
    out.width = int(bm.width);
    out.rows = int(bm.rows);
    out.left = face->glyph->bitmap_left;
    out.top = face->glyph->bitmap_top;
    out.coverage.assign(size_t(out.width) * size_t(out.rows), 0.0f);
    for (int y = 0; y < out.rows; ++y) {
        for (int x = 0; x < out.width; ++x) {
            out.coverage[size_t(y) * size_t(out.width) + size_t(x)] = float(bm.buffer[y * bm.pitch + x]) / 255.0f;
        }
    }
    return true;
}

}  // namespace

bool renderFontSheet(const std::string& fontFile, Image& sheet) {
    FT_Library library;
    if (FT_Init_FreeType(&library) != 0) return false;
    FT_Face face;
    if (FT_New_Face(library, fontFile.c_str(), 0, &face) != 0) {
        FT_Done_FreeType(library);
        return false;
    }
    sheet = makeImage(kFontCellCount * kFontCell, kFontCell);
    for (int cell = 0; cell < kFontCellCount; ++cell) {
        const int latinCells = kFontLastCode - kFontFirstCode + 1;
        const int code = cell < latinCells ? kFontFirstCode + cell : kFontExtraCodes[cell - latinCells];
        GlyphBitmap glyph;
        // Tall accented capitals are rendered smaller until they fit the cell.
        int emHeight = kEmHeight;
        int emWidth = kEmWidth;
        bool ok = renderGlyph(face, unsigned(code), emWidth, emHeight, glyph);
        while (ok && (kBaseline - glyph.top < 0 || kBaseline - glyph.top + glyph.rows > kFontCell) && emHeight > 9) {
            --emHeight;
            emWidth = std::max(12, emWidth - 1);
            ok = renderGlyph(face, unsigned(code), emWidth, emHeight, glyph);
        }
        if (!ok || glyph.width == 0) continue;
        const int cellX = cell * kFontCell;
        const int offsetX = kAdvanceCentre - (glyph.width + 1) / 2;
        const int offsetY = std::clamp(kBaseline - glyph.top, 0, std::max(0, kFontCell - glyph.rows));
        for (int y = 0; y < glyph.rows; ++y) {
            for (int x = 0; x < glyph.width; ++x) {
                const int px = offsetX + x + 1;
                const int py = offsetY + y;
                if (px < 0 || px >= kFontCell || py < 0 || py >= kFontCell) continue;
                const float c = glyph.coverage[size_t(y) * size_t(glyph.width) + size_t(x)];
                // Faint edge pixels become the transparent key; the rest stay light so that
                // the tint reads on every background, with a darker rim for contrast.
                if (c < 0.22f) continue;
                const float level = 0.45f + 0.55f * std::min(1.0f, (c - 0.22f) / 0.6f);
                pixelAt(sheet, cellX + px, py) = Color{level, level, level, 1};
            }
        }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return true;
}

bool writeFontSheet(const std::string& outDir) {
    Image sheet;
    if (!renderFontSheet(QRX_FONT_FILE, sheet)) {
        std::fprintf(stderr, "cannot render the font from %s\n", QRX_FONT_FILE);
        return false;
    }
    return writePng(outDir + "/image/letter_white.png", sheet, PngMode::ColorKey);
}

Image textMask(const std::string& fontFile, const std::string& text, int pixelSize, int* baseline) {
    FT_Library library;
    if (FT_Init_FreeType(&library) != 0) return makeImage(1, 1);
    FT_Face face;
    if (FT_New_Face(library, fontFile.c_str(), 0, &face) != 0) {
        FT_Done_FreeType(library);
        return makeImage(1, 1);
    }
    FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixelSize));
    const int ascent = int(face->size->metrics.ascender >> 6);
    const int descent = int(-face->size->metrics.descender >> 6);
    int width = 0;
    for (unsigned char ch : text) {
        if (FT_Load_Char(face, ch, FT_LOAD_DEFAULT) == 0) width += int(face->glyph->advance.x >> 6);
    }
    const int pad = pixelSize / 8 + 2;
    Image image = makeImage(width + 2 * pad, ascent + descent + 2 * pad);
    int penX = pad;
    for (unsigned char ch : text) {
        if (FT_Load_Char(face, ch, FT_LOAD_RENDER) != 0) continue;
        const FT_Bitmap& bm = face->glyph->bitmap;
        const int x0 = penX + face->glyph->bitmap_left;
        const int y0 = pad + ascent - face->glyph->bitmap_top;
        for (int y = 0; y < int(bm.rows); ++y) {
            for (int x = 0; x < int(bm.width); ++x) {
                const int px = x0 + x, py = y0 + y;
                if (px < 0 || py < 0 || px >= image.width || py >= image.height) continue;
                const float a = std::max(pixelAt(image, px, py).a, float(bm.buffer[y * bm.pitch + x]) / 255.0f);
                pixelAt(image, px, py) = Color{a, a, a, a};
            }
        }
        penX += int(face->glyph->advance.x >> 6);
    }
    if (baseline) *baseline = pad + ascent;
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return image;
}
