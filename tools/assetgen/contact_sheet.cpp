// Contact sheets: many generated pictures laid out on one image for a quick look.
#include "contact_sheet.h"

#include <algorithm>
#include <filesystem>

#include "png_writer.h"

Image makeContactSheet(const std::vector<std::string>& files, int width, int shrink) {
    std::vector<Image> images;
    for (const std::string& f : files) {
        Image image;
        if (readPng(f, image)) images.push_back(shrink > 1 ? downscale(image, shrink) : image);
    }
    // Shelf packing in file order.
    int x = 0, y = 0, rowHeight = 0;
    std::vector<std::pair<int, int>> places;
    for (const Image& image : images) {
        if (x > 0 && x + image.width > width) {
            x = 0;
            y += rowHeight + 6;
            rowHeight = 0;
        }
        places.push_back({x, y});
        x += image.width + 6;
        rowHeight = std::max(rowHeight, image.height);
    }
    Image sheet = makeImage(width, std::max(1, y + rowHeight));
    for (int py = 0; py < sheet.height; ++py) {
        for (int px = 0; px < sheet.width; ++px) {
            const float v = ((px / 8 + py / 8) % 2) ? 0.45f : 0.55f;
            pixelAt(sheet, px, py) = Color{v, v, v, 1};
        }
    }
    for (size_t i = 0; i < images.size(); ++i) drawImage(sheet, images[i], places[i].first, places[i].second);
    return sheet;
}

bool writeContactSheet(const std::string& dir, const std::string& filter, const std::string& outFile, int width, int shrink) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".png" && (filter.empty() || name.find(filter) != std::string::npos)) {
            files.push_back(entry.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return writePng(outFile, makeContactSheet(files, width, shrink), PngMode::Alpha);
}
