// The picture reader against pictures of every kind made here with libpng's writer: each colour
// type and bit depth, interlaced or not, palettes with transparency, gamma, and chunks that
// declare more than they hold. Every pixel is compared, alpha included.
#include <gtest/gtest.h>

#include <png.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "png_fixture.h"
#include "runtime/runtime.h"

namespace {
constexpr png_uint_32 kWidth = 13, kHeight = 11; // odd: every interlace pass is partly filled

struct PngCase {
    int colourType;
    int depth;
    bool interlaced;
    bool transparency; // a tRNS chunk (a palette's alphas, or one transparent grey or colour)
    double gamma;      // a gAMA chunk, 0 for none
};

int channelsOf(int colourType) {
    switch (colourType) {
    case PNG_COLOR_TYPE_GRAY: return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 1; // a palette index
    }
}

// Sample `c` of pixel (x, y) at the case's depth: every value of small depths appears.
uint32_t sampleAt(const PngCase& c, png_uint_32 x, png_uint_32 y, int channel) {
    const uint32_t top = (1u << c.depth) - 1;
    uint32_t mixed = (x * 2654435761u) ^ (y * 40503u) ^ (uint32_t(channel) * 97u + 11u);
    if (c.colourType == PNG_COLOR_TYPE_PALETTE) return (x + y * kWidth) % (top + 1);
    if (x == 0 && y == 0) return top;   // a corner of full values
    if (x == 1 && y == 0) return 0;     // and of none: transparent where there is alpha
    return (mixed >> 7) % (top + 1);
}

// The palette's colours and alphas: entry i.
uint8_t paletteChannel(uint32_t i, int channel) { return uint8_t((i * 37 + uint32_t(channel) * 91) & 255); }
uint8_t paletteAlpha(uint32_t i) { return uint8_t(255 - i * 17 % 256); }

// The sample at 8 bits as an exact decoder gives it: scaled with rounding; when the file states
// a gamma other than sRGB's, its linear light encoded by sRGB's curve.
uint32_t eightBits(const PngCase& c, uint32_t value, bool colour) {
    const double top = double((1u << c.depth) - 1);
    double level = double(value) / top;
    if (colour && c.gamma > 0 && std::abs(c.gamma * 2.2 - 1) >= 0.05) { // sRGB's is no change
        double light = std::pow(level, 1.0 / c.gamma);
        level = light <= 0.0031308 ? 12.92 * light : 1.055 * std::pow(light, 1 / 2.4) - 0.055;
    }
    return uint32_t(std::lround(level * 255));
}

// The pixel as 0xAARRGGBB.
uint32_t expectedPixel(const PngCase& c, png_uint_32 x, png_uint_32 y) {
    const int channels = channelsOf(c.colourType);
    uint32_t samples[4];
    for (int i = 0; i < channels; ++i) samples[i] = sampleAt(c, x, y, i);
    uint32_t r, g, b, a = 255;
    if (c.colourType == PNG_COLOR_TYPE_PALETTE) {
        r = paletteChannel(samples[0], 0), g = paletteChannel(samples[0], 1), b = paletteChannel(samples[0], 2);
        if (c.transparency) a = paletteAlpha(samples[0]);
    } else if (channels <= 2) {
        r = g = b = eightBits(c, samples[0], true);
        if (channels == 2) a = eightBits(c, samples[1], false);
        else if (c.transparency && samples[0] == sampleAt(c, 1, 0, 0)) a = 0;
    } else {
        r = eightBits(c, samples[0], true), g = eightBits(c, samples[1], true), b = eightBits(c, samples[2], true);
        if (channels == 4) a = eightBits(c, samples[3], false);
        else if (c.transparency && samples[0] == sampleAt(c, 1, 0, 0) &&
                 samples[1] == sampleAt(c, 1, 0, 1) && samples[2] == sampleAt(c, 1, 0, 2))
            a = 0;
    }
    return a << 24 | r << 16 | g << 8 | b;
}

struct Written {
    std::string bytes;
};
void appendBytes(png_structp png, png_bytep data, size_t length) {
    static_cast<Written*>(png_get_io_ptr(png))->bytes.append(reinterpret_cast<char*>(data), length);
}

// The case's picture, packed as PNG stores it (samples big-endian, small depths packed).
std::string writeCase(const PngCase& c) {
    Written out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return "";
    }
    png_set_write_fn(png, &out, appendBytes, nullptr);
    png_set_IHDR(png, info, kWidth, kHeight, c.depth, c.colourType,
                 c.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    const int channels = channelsOf(c.colourType);
    std::vector<png_color> palette;
    std::vector<png_byte> alphas;
    png_color_16 transparent{};
    if (c.colourType == PNG_COLOR_TYPE_PALETTE) {
        for (uint32_t i = 0; i < (1u << c.depth); ++i) {
            palette.push_back({paletteChannel(i, 0), paletteChannel(i, 1), paletteChannel(i, 2)});
            alphas.push_back(paletteAlpha(i));
        }
        png_set_PLTE(png, info, palette.data(), int(palette.size()));
        if (c.transparency) png_set_tRNS(png, info, alphas.data(), int(alphas.size()), nullptr);
    } else if (c.transparency) {
        transparent.gray = png_uint_16(sampleAt(c, 1, 0, 0));
        transparent.red = png_uint_16(sampleAt(c, 1, 0, 0));
        transparent.green = png_uint_16(sampleAt(c, 1, 0, 1));
        transparent.blue = png_uint_16(sampleAt(c, 1, 0, 2));
        png_set_tRNS(png, info, nullptr, 0, &transparent);
    }
    if (c.gamma > 0) png_set_gAMA(png, info, c.gamma);
    png_write_info(png, info);
    const size_t rowBytes = (size_t(kWidth) * size_t(channels) * size_t(c.depth) + 7) / 8;
    std::vector<std::vector<png_byte>> rows(kHeight, std::vector<png_byte>(rowBytes, 0));
    std::vector<png_bytep> pointers;
    for (png_uint_32 y = 0; y < kHeight; ++y) {
        size_t bit = 0;
        for (png_uint_32 x = 0; x < kWidth; ++x)
            for (int ch = 0; ch < channels; ++ch, bit += size_t(c.depth)) {
                uint32_t v = sampleAt(c, x, y, ch);
                if (c.depth == 16) {
                    rows[y][bit / 8] = png_byte(v >> 8);
                    rows[y][bit / 8 + 1] = png_byte(v);
                } else {
                    rows[y][bit / 8] |= png_byte(v << (8 - c.depth - bit % 8));
                }
            }
        pointers.push_back(rows[y].data());
    }
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out.bytes;
}

bool writeBytes(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

std::string caseName(const PngCase& c) {
    return "type " + std::to_string(c.colourType) + ", " + std::to_string(c.depth) + " bits" +
           (c.interlaced ? ", interlaced" : "") + (c.transparency ? ", tRNS" : "") +
           (c.gamma > 0 ? ", gamma " + std::to_string(c.gamma) : "");
}
} // namespace

// Every colour type at every depth it allows, plain and interlaced, with and without
// transparency; 16-bit pictures that state no gamma are taken as sRGB (scaled, not brightened),
// and a stated gamma is brought to sRGB.
TEST(PngReader, EveryKindOfPictureDecodesToItsPixels) {
    std::vector<PngCase> cases;
    const std::pair<int, std::vector<int>> kinds[] = {
        {PNG_COLOR_TYPE_GRAY, {1, 2, 4, 8, 16}}, {PNG_COLOR_TYPE_GRAY_ALPHA, {8, 16}},
        {PNG_COLOR_TYPE_RGB, {8, 16}},           {PNG_COLOR_TYPE_RGB_ALPHA, {8, 16}},
        {PNG_COLOR_TYPE_PALETTE, {1, 2, 4, 8}}};
    for (const auto& [type, depths] : kinds)
        for (int depth : depths)
            for (bool interlaced : {false, true})
                for (bool transparency : {false, true}) {
                    if (transparency && (type & PNG_COLOR_MASK_ALPHA)) continue;
                    cases.push_back({type, depth, interlaced, transparency, 0});
                }
    for (bool interlaced : {false, true}) {
        cases.push_back({PNG_COLOR_TYPE_GRAY, 16, interlaced, false, 1.0}); // linear light
        cases.push_back({PNG_COLOR_TYPE_RGB_ALPHA, 16, interlaced, false, 1 / 1.8});
        cases.push_back({PNG_COLOR_TYPE_RGB_ALPHA, 16, interlaced, false, 1 / 2.2}); // sRGB's
        cases.push_back({PNG_COLOR_TYPE_RGB, 8, interlaced, false, 1.0});
    }
    for (const PngCase& c : cases) {
        SCOPED_TRACE(caseName(c));
        std::string bytes = writeCase(c);
        ASSERT_FALSE(bytes.empty());
        ASSERT_TRUE(writeBytes("kind.png", bytes));
        Bitmap bitmap;
        bool alpha = false;
        ASSERT_TRUE(loadPng("kind.png", bitmap, alpha));
        ASSERT_EQ(bitmap.width, int64_t(kWidth));
        ASSERT_EQ(bitmap.height, int64_t(kHeight));
        EXPECT_EQ(alpha, (c.colourType & PNG_COLOR_MASK_ALPHA) != 0 || c.transparency);
        int wrong = 0;
        for (png_uint_32 y = 0; y < kHeight; ++y)
            for (png_uint_32 x = 0; x < kWidth; ++x) {
                uint32_t got = bitmap.pixels[size_t(y) * kWidth + x];
                uint32_t want = expectedPixel(c, x, y);
                // libpng's gamma tables may round a level the other way than the exact curve.
                int tolerance = c.gamma > 0 ? 1 : 0;
                bool near = true;
                for (int shift : {0, 8, 16, 24})
                    near = near && std::abs(int(got >> shift & 255) - int(want >> shift & 255)) <= tolerance;
                if (!near && ++wrong <= 3)
                    ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << got << " not " << want;
            }
        EXPECT_EQ(wrong, 0);
    }
    std::remove("kind.png");
}

// A chunk that declares a huge length is refused with a line naming the file (that nothing is
// allocated for it, PngLimits shows).
TEST(PngReader, AChunkDeclaringTooMuchIsRefusedWithItsName) {
    for (const char* type : {"tEXt", "zTXt", "iCCP", "quRx"}) {
        SCOPED_TRACE(type);
        ASSERT_EQ(hugeChunkPng(type).size(), 57u);
        ASSERT_TRUE(writeBytes("huge_chunk.png", hugeChunkPng(type)));
        Bitmap bitmap;
        bool alpha = false;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(loadPng("huge_chunk.png", bitmap, alpha));
        EXPECT_NE(testing::internal::GetCapturedStderr().find("the picture huge_chunk.png cannot be read: "),
                  std::string::npos);
    }
    std::remove("huge_chunk.png");
}
