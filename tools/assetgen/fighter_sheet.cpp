// Contact sheets of the fighter classes: every animation's frames in a row, hit masks in red.
#include "fighter_sheet.h"

#include <cstdio>
#include <fstream>
#include <functional>

#include "data_builder.h"
#include "png_writer.h"

namespace {

// A cell: the feet stand this far from its left and top edges (pictures face left, so the room
// ahead of the fighter is on the left).
constexpr int kCellW = 440;
constexpr int kCellH = 430;
constexpr int kFeetX = 300;
constexpr int kFeetY = 380;

struct Row {
    std::string label;
    const Json* frames;
};

void collect(const Json& animation, const std::string& label, std::vector<Row>& rows) {
    if (!animation.is_object() || !animation.contains("frames")) return;
    rows.push_back({label, &animation["frames"]});
    for (const char* slot : {"neutral", "side", "back", "up", "down", "heavy"}) {
        if (animation.contains(slot)) collect(animation[slot], label + ">" + slot, rows);
    }
}

void drawAt(Image& sheet, const Image& picture, int x, int y, Color tint, bool tinted) {
    for (int py = 0; py < picture.height; ++py) {
        for (int px = 0; px < picture.width; ++px) {
            const int sx = x + px, sy = y + py;
            if (sx < 0 || sy < 0 || sx >= sheet.width || sy >= sheet.height) continue;
            Color s = pixelAt(picture, px, py);
            if (s.a <= 0) continue;
            if (tinted) s = Color{tint.r * s.a * tint.a, tint.g * s.a * tint.a, tint.b * s.a * tint.a, s.a * tint.a};
            Color& d = pixelAt(sheet, sx, sy);
            const float keep = 1 - s.a;
            d = Color{s.r + d.r * keep, s.g + d.g * keep, s.b + d.b * keep, s.a + d.a * keep};
        }
    }
}

}  // namespace

bool writeFighterSheets(const std::string& gameDir, const std::string& outDir) {
    std::ifstream in(gameDir + "/data.json");
    if (!in) return false;
    const Json data = Json::parse(in, nullptr, false);
    if (data.is_discarded()) return false;
    for (const Json& cls : data["class"]) {
        std::vector<Row> rows;
        for (const char* slot : {"idle", "moveFront", "moveBack", "neutral", "side", "back", "up", "down", "heavy", "death",
                                 "spawn", "jump", "land"}) {
            if (cls.contains(slot)) collect(cls[slot], slot, rows);
        }
        if (cls.contains("idleOther")) {
            for (const Json& a : cls["idleOther"]) collect(a, "idleOther", rows);
        }
        Json hitAnimation = Json{{"frames", cls.value("hit", Json::array())}};
        if (!hitAnimation["frames"].empty()) rows.push_back({"hit", &cls["hit"]});
        if (rows.empty()) continue;
        size_t columns = 1;
        for (const Row& r : rows) columns = std::max(columns, r.frames->size());
        Image sheet = makeImage(int(columns) * kCellW, int(rows.size()) * kCellH, rgb(70, 74, 82));
        std::string index;
        for (size_t r = 0; r < rows.size(); ++r) {
            index += std::to_string(r) + " " + rows[r].label + "\n";
            const Json& frames = *rows[r].frames;
            std::vector<const Json*> own(frames.size(), nullptr);
            for (size_t f = 0; f < frames.size(); ++f) {
                const Json& frame = frames[f];
                const int clone = frame.value("clone", 0);
                const Json* pictureFrame = clone == -1 ? &frame : (clone >= 0 && size_t(clone) < f ? own[size_t(clone)] : nullptr);
                own[f] = pictureFrame;
                const int cx = int(f) * kCellW + kFeetX;
                const int cy = int(r) * kCellH + kFeetY;
                // Floor, feet mark and the reach window ahead.
                fillRect(sheet, float(cx - kFeetX + 4), float(cy), float(kCellW - 8), 2, solid(rgb(40, 40, 46)));
                fillRect(sheet, float(cx - 1), float(cy - 6), 3, 12, solid(rgb(255, 220, 0)));
                fillRect(sheet, float(cx - 240), float(cy + 8), 61, 6, solid(rgb(0, 200, 255)));
                if (!pictureFrame) continue;
                Image picture;
                if (readPng(gameDir + "/" + (*pictureFrame)["path"].get<std::string>() + ".png", picture)) {
                    const int sx = (*pictureFrame)["shift"]["x"].get<int>();
                    const int sy = (*pictureFrame)["shift"]["y"].get<int>();
                    drawAt(sheet, picture, cx - 580 + sx % 1000, cy - 620 + sy, Color{}, false);
                }
                const int cloneHurt = frame.value("cloneHurt", 0);
                const Json* hurtFrame = cloneHurt == -1 ? &frame : (cloneHurt >= 0 && size_t(cloneHurt) < f ? &frames[size_t(cloneHurt)] : nullptr);
                if (hurtFrame && hurtFrame->contains("hurtShift")) {
                    const Json* base = own[size_t(hurtFrame == &frame ? f : size_t(cloneHurt))];
                    Image mask;
                    if (base && readPng(gameDir + "/" + (*base)["path"].get<std::string>() + "hurt.png", mask)) {
                        const int hx = (*hurtFrame)["hurtShift"]["x"].get<int>();
                        const int hy = (*hurtFrame)["hurtShift"]["y"].get<int>();
                        drawAt(sheet, mask, cx - 580 + hx % 1000, cy - 620 + hy, rgb(255, 30, 30, 0.75f), true);
                    }
                }
            }
        }
        std::string name = cls["name"].get<std::string>();
        for (char& c : name) c = c == ' ' ? '_' : char(std::tolower(static_cast<unsigned char>(c)));
        // Parts of eight rows each stay small enough to look at.
        constexpr int kRowsPerPart = 8;
        for (size_t first = 0, part = 1; first < rows.size(); first += kRowsPerPart, ++part) {
            const int rowsHere = int(std::min(rows.size() - first, size_t(kRowsPerPart)));
            const Image slice = cropImage(sheet, 0, int(first) * kCellH, sheet.width, rowsHere * kCellH);
            writePng(outDir + "/" + name + "_sheet" + std::to_string(part) + ".png", downscale(slice, 2), PngMode::Alpha);
        }
        std::ofstream(outDir + "/" + name + "_sheet.txt") << index;
    }
    return true;
}
