// blendPixel held against SDL's own blit of the same pixels.
#include "runtime/blend.h"

#include <SDL.h>

#include <cstdint>
#include <random>

int64_t blendDisagreements(const std::vector<uint32_t>& source, const std::vector<uint32_t>& screen,
                           int64_t width, int64_t height, const BlendModulation& m,
                           bool screenKeepsAlpha) {
    size_t count = size_t(width * height);
    if (width <= 0 || height <= 0 || source.size() < count || screen.size() < count) return -1;
    Uint32 format = screenKeepsAlpha ? SDL_PIXELFORMAT_ARGB8888 : SDL_PIXELFORMAT_RGB888;
    SDL_Surface* from = SDL_CreateRGBSurfaceWithFormat(0, int(width), int(height), 32,
                                                       SDL_PIXELFORMAT_ARGB8888);
    SDL_Surface* onto = SDL_CreateRGBSurfaceWithFormat(0, int(width), int(height), 32, format);
    int64_t differing = -1;
    if (from && onto) {
        auto* in = static_cast<uint32_t*>(from->pixels);
        auto* out = static_cast<uint32_t*>(onto->pixels);
        for (int64_t y = 0; y < height; ++y)
            for (int64_t x = 0; x < width; ++x) {
                in[y * from->pitch / 4 + x] = source[size_t(y * width + x)];
                out[y * onto->pitch / 4 + x] = screen[size_t(y * width + x)];
            }
        SDL_SetSurfaceBlendMode(from, SDL_BLENDMODE_BLEND);
        SDL_SetSurfaceColorMod(from, Uint8(m.r), Uint8(m.g), Uint8(m.b));
        SDL_SetSurfaceAlphaMod(from, Uint8(m.a));
        if (SDL_BlitSurface(from, nullptr, onto, nullptr) == 0) {
            differing = 0;
            for (int64_t y = 0; y < height; ++y)
                for (int64_t x = 0; x < width; ++x) {
                    size_t i = size_t(y * width + x);
                    uint32_t ours = blendPixel(source[i], screen[i], m, screenKeepsAlpha);
                    differing += ours != out[y * onto->pitch / 4 + x];
                }
        }
    }
    SDL_FreeSurface(from);
    SDL_FreeSurface(onto);
    return differing;
}

bool blendMatchesRenderer(bool screenKeepsAlpha) {
    static int known[2] = {-1, -1}; // per kind of screen: -1 not checked yet, else the answer
    int& answer = known[screenKeepsAlpha ? 1 : 0];
    if (answer >= 0) return answer == 1;
    // Every alpha on each of 16 rows of random colours, over random screen pixels.
    const int64_t width = 256, height = 16;
    std::mt19937 random(20240611u);
    std::vector<uint32_t> source(size_t(width * height)), screen(source.size());
    for (size_t i = 0; i < source.size(); ++i) {
        source[i] = (random() & 0x00FFFFFFu) | uint32_t(i % 256) << 24;
        screen[i] = random();
    }
    const BlendModulation checks[] = {{}, {255, 255, 255, 128}, {255, 255, 255, 1},
                                      {255, 255, 255, 254}, {200, 90, 31, 255}, {17, 255, 240, 77}};
    answer = 1;
    for (const BlendModulation& m : checks)
        if (blendDisagreements(source, screen, width, height, m, screenKeepsAlpha) != 0) answer = 0;
    return answer == 1;
}
