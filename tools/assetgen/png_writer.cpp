// PNG output of rasterised images through libpng; deterministic (no time or text chunks).
#include "png_writer.h"

#include <png.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

struct FileCloser {
    void operator()(FILE* f) const {
        if (f) std::fclose(f);
    }
};

uint8_t toByte(float v) {
    const float s = std::round(v * 255.0f);
    return uint8_t(s < 0 ? 0 : (s > 255 ? 255 : s));
}

}  // namespace

bool writePng(const std::string& path, const Image& image, PngMode mode) {
    std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    const int channels = mode == PngMode::Alpha ? 4 : 3;
    std::vector<uint8_t> rows(size_t(image.width) * size_t(image.height) * size_t(channels));
    size_t k = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const Color c = straightColor(image, x, y);
            if (mode == PngMode::Alpha) {
                rows[k++] = toByte(c.r);
                rows[k++] = toByte(c.g);
                rows[k++] = toByte(c.b);
                rows[k++] = toByte(c.a);
            } else if (c.a < 0.5f) {
                rows[k++] = 0;
                rows[k++] = 0;
                rows[k++] = 0;
            } else {
                uint8_t r = toByte(c.r), g = toByte(c.g), b = toByte(c.b);
                if (r == 0 && g == 0 && b == 0) r = g = b = 6;
                rows[k++] = r;
                rows[k++] = g;
                rows[k++] = b;
            }
        }
    }
    std::vector<png_bytep> rowPointers(size_t(image.height));
    for (int y = 0; y < image.height; ++y) {
        rowPointers[size_t(y)] = rows.data() + size_t(y) * size_t(image.width) * size_t(channels);
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fprintf(stderr, "libpng failed on %s\n", path.c_str());
        return false;
    }
    png_init_io(png, file.get());
    // Level 6 keeps the files small without slowing the build noticeably.
    png_set_compression_level(png, 6);
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8,
                 mode == PngMode::Alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rowPointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    // A full disk shows only when the buffered bytes are flushed.
    if (std::fflush(file.get()) != 0 || std::ferror(file.get())) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

bool readPng(const std::string& path, Image& image) {
    png_image header{};
    header.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&header, path.c_str())) return false;
    header.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> buffer(PNG_IMAGE_SIZE(header));
    if (!png_image_finish_read(&header, nullptr, buffer.data(), 0, nullptr)) {
        png_image_free(&header);
        return false;
    }
    image = makeImage(int(header.width), int(header.height));
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const float a = float(buffer[i * 4 + 3]) / 255.0f;
        image.pixels[i] = Color{float(buffer[i * 4]) / 255.0f * a, float(buffer[i * 4 + 1]) / 255.0f * a,
                                float(buffer[i * 4 + 2]) / 255.0f * a, a};
    }
    return true;
}
