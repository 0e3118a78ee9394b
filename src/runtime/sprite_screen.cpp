// Drawing sprites onto the screen. On a software screen an enlarged, turned or tinted sprite is
// stretched and blended by our own code, which gives the bytes SDL would give, faster; anything
// else, and every accelerated screen, goes through SDL.
#include "runtime/sprite_record.h"

#include <algorithm>
#include <cmath>

#include "runtime/blend.h"
#include "runtime/colour.h"
#include "runtime/parallel.h"
#include "runtime/screen.h"
#include "runtime/stretch.h"

namespace {
struct QuadShape {
    bool rectangular = false;
    bool flipX = false, flipY = false;
    double left = 0, top = 0, width = 0, height = 0;
};

QuadShape shapeOf(const Sprite& s) {
    const double* c = s.corners;
    QuadShape q;
    bool rows = c[1] == c[3] && c[5] == c[7] && c[0] == c[6] && c[2] == c[4];
    if (!rows) return q;
    q.rectangular = true;
    q.flipX = c[2] < c[0];
    q.flipY = c[7] < c[1];
    // Corners are pixel centres: the covered area reaches half a pixel beyond them.
    q.left = std::min(c[0], c[2]);
    q.top = std::min(c[1], c[7]);
    q.width = std::fabs(c[2] - c[0]) + 1;
    q.height = std::fabs(c[7] - c[1]) + 1;
    return q;
}

int64_t scaledPixels = 0; // pixels computed by enlarged or shrunk draws since the start

// The pixels a texture of the sprite was made from, within its clip: its own colours, or a
// silhouette in a baked tint (made into a buffer kept for the next). False when they are not
// at hand.
bool stretchSourceOf(Sprite& sprite, SDL_Texture* texture, StretchSource& out) {
    const Sprite::Tint* tint = nullptr;
    for (const Sprite::Tint& t : sprite.tints)
        if (t.texture == texture) tint = &t;
    if (!tint) {
        if (texture != sprite.texture || !ensurePixels(sprite)) return false;
        sprite.keepPixels = true; // drawn this way again next frame: no file read then
        out = {sprite.bitmap.pixels.data() + sprite.clipY * sprite.bitmap.width + sprite.clipX,
               sprite.clipWidth, sprite.clipHeight, sprite.bitmap.width};
        return true;
    }
    if (tint->colour < 0) return false; // tinted by colour modulation (accelerated)
    static std::vector<uint32_t> silhouette;
    silhouette.clear();
    uint32_t rgb = pixelOf(tint->colour, 0);
    for (int64_t v = sprite.clipY; v < sprite.clipY + sprite.clipHeight; ++v)
        for (int64_t u = sprite.clipX; u < sprite.clipX + sprite.clipWidth; ++u) {
            uint32_t alpha = alphaAt(sprite, size_t(v * sprite.bitmap.width + u));
            silhouette.push_back((alpha * uint32_t(tint->intensity) / 255) << 24 | rgb);
        }
    out = {silhouette.data(), sprite.clipWidth, sprite.clipHeight, sprite.clipWidth, true, rgb};
    return true;
}

// The rectangle of the sprite's own pixels with alpha above 0, found once per upload.
SpriteBounds visibleBoxOf(Sprite& sprite) {
    if (sprite.boxWidth < 0) {
        int64_t w = sprite.bitmap.width, h = sprite.bitmap.height;
        int64_t left = w, right = -1, top = h, bottom = -1;
        for (int64_t y = 0; y < h; ++y)
            for (int64_t x = 0; x < w; ++x)
                if (alphaAt(sprite, size_t(y * w + x)) != 0) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
        sprite.boxX = right < 0 ? 0 : left, sprite.boxY = right < 0 ? 0 : top;
        sprite.boxWidth = right < 0 ? 0 : right - left + 1;
        sprite.boxHeight = right < 0 ? 0 : bottom - top + 1;
    }
    return {sprite.boxX, sprite.boxY, sprite.boxWidth, sprite.boxHeight};
}

bool ownSoftwareDrawing = true; // false: SDL draws everything (a test's reference)

// Whether the game may blend onto the software screen itself: 32 bits a pixel (ARGB8888 when
// keepsAlpha, else RGB888), its pixels at hand, and blendPixel SDL's own blend on this machine.
bool blendsOwnPixels(SDL_Surface* screen, bool& keepsAlpha) {
    Uint32 format = screen->format->format;
    keepsAlpha = format == SDL_PIXELFORMAT_ARGB8888;
    return ownSoftwareDrawing && (keepsAlpha || format == SDL_PIXELFORMAT_RGB888) &&
           !SDL_MUSTLOCK(screen) && blendMatchesRenderer(keepsAlpha);
}

// Whether the pixels a texture of the sprite shows are on the CPU without reading a file: a
// loaded sprite drawn wholly on the screen is left to SDL rather than read again and kept.
bool colourAtHand(const Sprite& sprite, SDL_Texture* texture) {
    return texture != sprite.texture || !sprite.bitmap.pixels.empty();
}

// The software renderer stretches a picture that crosses the screen's edge whole into a
// picture of its own before it clips it (the countdown's digit, twenty times its size, is
// mostly off the screen), and blends any stretched picture pixel by pixel. Stretched here,
// only the part on the screen is computed, to the same bytes, and blended as SDL blends its
// stretched picture, in loops the compiler vectorises. False: SDL draws it.
bool stretchOnScreenOnly(Sprite& sprite, SDL_Texture* texture, const SDL_Rect& source,
                         const SDL_Rect& dest) {
    SDL_Surface* screen = softwareScreenSurface();
    SDL_ScaleMode mode = SDL_ScaleModeNearest;
    if (!ownSoftwareDrawing || !screen || SDL_GetTextureScaleMode(texture, &mode) != 0 ||
        mode != SDL_ScaleModeLinear)
        return false;
    // SDL's limits: a source under 2 pixels across is stretched otherwise, and an output
    // beyond 65535 pixels across not at all.
    if (source.w < 2 || source.h < 2 || dest.w <= 0 || dest.h <= 0 || dest.w > 65535 ||
        dest.h > 65535)
        return false;
    // Wholly on the screen, SDL's own stretch is as quick unless the picture is enlarged (each
    // source row then serves many output rows here).
    bool crossesEdge = dest.x < 0 || dest.y < 0 || dest.x + dest.w > screen->w ||
                       dest.y + dest.h > screen->h;
    bool enlarged = dest.h > source.h;
    StretchSource pixels;
    if ((!crossesEdge && (!enlarged || !colourAtHand(sprite, texture))) ||
        !stretchSourceOf(sprite, texture, pixels))
        return false;
    Uint8 r = 255, g = 255, b = 255, a = 255;
    SDL_BlendMode blend = SDL_BLENDMODE_NONE;
    SDL_GetTextureColorMod(texture, &r, &g, &b);
    SDL_GetTextureAlphaMod(texture, &a);
    SDL_GetTextureBlendMode(texture, &blend);
    SDL_Rect whole{0, 0, screen->w, screen->h}, shown;
    if (!SDL_IntersectRect(&dest, &whole, &shown)) return true;
    // Blended, a stretched pixel of no alpha leaves the screen as it is: only the outputs
    // that read the source's visible pixels are computed (the digit's transparent margins,
    // enlarged, are much of the screen).
    if (blend == SDL_BLENDMODE_BLEND) {
        SpriteBounds box = visibleBoxOf(sprite);
        int64_t left = std::max(box.x, sprite.clipX) - sprite.clipX;
        int64_t top = std::max(box.y, sprite.clipY) - sprite.clipY;
        int64_t right = std::min(box.x + box.width, sprite.clipX + sprite.clipWidth) - 1 - sprite.clipX;
        int64_t bottom = std::min(box.y + box.height, sprite.clipY + sprite.clipHeight) - 1 - sprite.clipY;
        if (left > right || top > bottom) return true;
        StretchSpan across = stretchedColumns(source.w, dest.w, left, right);
        StretchSpan down = stretchedRows(source.h, dest.h, top, bottom);
        SDL_Rect reading{dest.x + int(across.first), dest.y + int(down.first),
                         int(across.end - across.first), int(down.end - down.first)};
        SDL_Rect onScreen = shown;
        if (!SDL_IntersectRect(&reading, &onScreen, &shown)) return true;
    }
    // Blended onto a 32-bit screen, the window is stretched straight onto it (the same bytes
    // as SDL's blit of the stretched window, which is checked once against SDL's own blit).
    bool keepsAlpha = false;
    if (blend == SDL_BLENDMODE_BLEND && blendsOwnPixels(screen, keepsAlpha)) {
        SDL_RenderFlush(runtimeRenderer()); // what was drawn before lies under it
        int64_t pitch = screen->pitch / 4;
        uint32_t* corner = static_cast<uint32_t*>(screen->pixels) + shown.y * pitch + shown.x;
        scaledPixels += stretchBlendWindow(pixels, dest.w, dest.h, shown.x - dest.x, shown.y - dest.y,
                                           shown.w, shown.h, corner, pitch, {r, g, b, a}, keepsAlpha);
        return true;
    }
    static std::vector<uint32_t> part; // kept from frame to frame: no allocation per draw
    part.resize(size_t(shown.w) * size_t(shown.h));
    stretchWindow(pixels, dest.w, dest.h, shown.x - dest.x,
                  shown.y - dest.y, shown.w, shown.h, part.data(), shown.w);
    scaledPixels += int64_t(shown.w) * shown.h;
    SDL_Surface* stretched = SDL_CreateRGBSurfaceWithFormatFrom(
        part.data(), shown.w, shown.h, 32, shown.w * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!stretched) return false;
    SDL_SetSurfaceColorMod(stretched, r, g, b);
    SDL_SetSurfaceAlphaMod(stretched, a);
    SDL_SetSurfaceBlendMode(stretched, blend);
    SDL_RenderFlush(runtimeRenderer()); // what was drawn before lies under it
    SDL_BlitSurface(stretched, nullptr, screen, &shown);
    SDL_FreeSurface(stretched);
    return true;
}

// A sprite turned by a multiple of 90 degrees on the software screen, as SDL turns it: the
// clip stretched to the displayed size, its pixels turned about the displayed rectangle's
// centre, then blended with the texture's modulation (SDL takes some 3-5 ms for one of the
// combo display's enlarged arrows, drawn twice in every frame of a combo at 1920x1080).
// False: SDL draws it.
bool turnOnScreen(Sprite& sprite, SDL_Texture* texture, const SDL_Rect& source, const SDL_Rect& dest) {
    double turns = sprite.angle / 90;
    SDL_Surface* screen = softwareScreenSurface();
    SDL_ScaleMode mode = SDL_ScaleModeNearest;
    SDL_BlendMode blend = SDL_BLENDMODE_NONE;
    if (!screen || turns != std::floor(turns) ||
        SDL_GetTextureScaleMode(texture, &mode) != 0 || mode != SDL_ScaleModeLinear ||
        SDL_GetTextureBlendMode(texture, &blend) != 0 || blend != SDL_BLENDMODE_BLEND ||
        source.w < 2 || source.h < 2 || dest.w <= 0 || dest.h <= 0 || dest.w > 65535 || dest.h > 65535)
        return false;
    bool keepsAlpha = false;
    if (!blendsOwnPixels(screen, keepsAlpha)) return false;
    Uint8 r = 255, g = 255, b = 255, a = 255;
    SDL_GetTextureColorMod(texture, &r, &g, &b);
    SDL_GetTextureAlphaMod(texture, &a);
    BlendModulation modulation{r, g, b, a};
    StretchSource pixels;
    if (!colourAtHand(sprite, texture) || !stretchSourceOf(sprite, texture, pixels)) return false;
    int64_t quarter = (int64_t(turns) % 4 + 4) % 4; // clockwise quarter turns
    int64_t w = dest.w, h = dest.h;
    // Turned by an odd number of quarters, a rectangle whose sides differ by an odd number of
    // pixels lands half a pixel off the grid, where SDL's rounding hangs on floating point
    // noise: SDL draws those (the combo display's icons are square).
    if (quarter % 2 && (w - h) % 2) return false;
    // Turned by a quarter, the picture is the source turned on its side (rows for columns),
    // stretched to h x w and mirrored: the stretch's one rounding is of a sum of products
    // that reads the same either way, so this gives the bytes of the source stretched to
    // w x h and then turned. Half a turn mirrors both ways; the mirroring comes after the
    // stretch, as the turn does.
    StretchSource turned = pixels;
    int64_t tw = w, th = h;
    if (quarter % 2) {
        static std::vector<uint32_t> onItsSide; // kept from frame to frame
        onItsSide.resize(size_t(pixels.width * pixels.height));
        for (int64_t y = 0; y < pixels.height; ++y)
            for (int64_t x = 0; x < pixels.width; ++x)
                onItsSide[size_t(x * pixels.height + y)] = pixels.pixels[y * pixels.pitch + x];
        turned.pixels = onItsSide.data();
        turned.width = pixels.height, turned.height = pixels.width, turned.pitch = pixels.height;
        tw = h, th = w;
    }
    const StretchMirror mirrors[4] = {{false, false}, {true, false}, {true, true}, {false, true}};
    // About the displayed rectangle's centre (on the pixel grid: see above).
    int64_t shift = quarter % 2 ? (w - h) / 2 : 0;
    SDL_Rect placed{int(dest.x + shift), int(dest.y - shift), int(tw), int(th)};
    SDL_Rect whole{0, 0, screen->w, screen->h}, shown;
    if (!SDL_IntersectRect(&placed, &whole, &shown)) return true;
    SDL_RenderFlush(runtimeRenderer()); // what was drawn before lies under it
    int64_t pitch = screen->pitch / 4;
    uint32_t* corner = static_cast<uint32_t*>(screen->pixels) + shown.y * pitch + shown.x;
    int64_t computed = stretchBlendWindow(turned, tw, th, shown.x - placed.x, shown.y - placed.y, shown.w,
                                          shown.h, corner, pitch, modulation, keepsAlpha, mirrors[quarter]);
    if (w != source.w || h != source.h) scaledPixels += computed;
    return true;
}

int64_t blendedPixels = 0; // pixels handed to the software blender by unscaled blended draws

// Bands of kBandRows rows; in each, the runs of columns that have a visible pixel in some row
// of the band, runs closer than kRunGap px joined (a copy call costs about as much as a few
// dozen pixels), and within them the runs of at least kOpaqueRun columns opaque in every row of
// the band. The HUD's frames and bars are mostly transparent or opaque: blending them whole
// cost a software fight frame much of its time.
constexpr int64_t kBandRows = 8;
constexpr int64_t kRunGap = 32;
constexpr int64_t kOpaqueRun = 16;

const std::vector<VisibleRect>& visibleRectsOf(Sprite& sprite) {
    if (sprite.visibleRectsKnown) return sprite.visibleRects;
    sprite.visibleRectsKnown = true;
    sprite.visibleRects.clear();
    int64_t w = sprite.bitmap.width, h = sprite.bitmap.height;
    // Per column of a band: 0 transparent in every row, 2 opaque in every row, 1 otherwise.
    std::vector<uint8_t> state(size_t(std::max<int64_t>(w, 0)));
    for (int64_t top = 0; top < h; top += kBandRows) {
        int64_t rows = std::min(kBandRows, h - top);
        for (int64_t x = 0; x < w; ++x) {
            bool any = false, all = true;
            for (int64_t y = top; y < top + rows; ++y) {
                uint8_t a = alphaAt(sprite, size_t(y * w + x));
                any = any || a != 0;
                all = all && a == 255;
            }
            state[size_t(x)] = all ? 2 : any ? 1 : 0;
        }
        auto add = [&](int64_t from, int64_t to, bool opaque) {
            if (to > from) sprite.visibleRects.push_back({{int(from), int(top), int(to - from), int(rows)}, opaque});
        };
        for (int64_t x = 0; x < w;) {
            if (state[size_t(x)] == 0) {
                ++x;
                continue;
            }
            int64_t end = x + 1, gap = 0;
            for (int64_t u = end; u < w && gap < kRunGap; ++u) {
                if (state[size_t(u)] != 0) end = u + 1, gap = 0;
                else ++gap;
            }
            // The run [x, end) split into blended pieces and long opaque ones.
            int64_t blendFrom = x;
            for (int64_t u = x; u < end;) {
                int64_t v = u;
                while (v < end && state[size_t(v)] == 2) ++v;
                if (v - u >= kOpaqueRun) {
                    add(blendFrom, u, false);
                    add(u, v, true);
                    blendFrom = v;
                }
                u = v == u ? u + 1 : v;
            }
            add(blendFrom, end, false);
            x = end;
        }
    }
    return sprite.visibleRects;
}

// A blended copy at the sprite's own size on the software screen: only the parts of the clip
// that hold a visible pixel go to SDL, which leaves the screen as it is under alpha 0 (the
// texture's and any tint's, whose alpha is 0 wherever the sprite's is). The sprite's own
// colours at full intensity are copied where they are opaque, as blending gives them exactly.
// False: drawn whole.
bool blendVisibleParts(Sprite& sprite, SDL_Texture* texture, const SDL_Rect& source, int64_t x,
                       int64_t y) {
    SDL_BlendMode blend = SDL_BLENDMODE_NONE;
    if (SDL_GetTextureBlendMode(texture, &blend) != 0 || blend != SDL_BLENDMODE_BLEND ||
        !softwareRendering())
        return false;
    Uint8 r = 0, g = 0, b = 0, a = 0;
    SDL_GetTextureColorMod(texture, &r, &g, &b);
    SDL_GetTextureAlphaMod(texture, &a);
    bool copyOpaque = texture == sprite.texture && a == 255 && r == 255 && g == 255 && b == 255;
    SDL_Renderer* renderer = runtimeRenderer();
    for (const VisibleRect& rect : visibleRectsOf(sprite)) {
        SDL_Rect part;
        if (!SDL_IntersectRect(&rect.area, &source, &part)) continue;
        SDL_Rect dest{int(x) + part.x - source.x, int(y) + part.y - source.y, part.w, part.h};
        bool copy = copyOpaque && rect.opaque;
        if (copy) SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
        else blendedPixels += int64_t(part.w) * part.h;
        SDL_RenderCopy(renderer, texture, &part, &dest);
        if (copy) SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    }
    return true;
}

// The sprite's own colours where it is opaque with the silhouette (rgb, alpha at intensity)
// blended over them; the other pixels are left 0.
const std::vector<uint32_t>& tintedOverOf(Sprite& sprite, uint32_t rgb, int64_t intensity) {
    auto& kept = sprite.tintedOver;
    auto found = std::find_if(kept.begin(), kept.end(), [&](const Sprite::TintedOver& t) {
        return t.intensity == intensity && t.rgb == rgb;
    });
    if (found == kept.end()) { // the least recently used makes way
        found = kept.end() - 1;
        const std::vector<uint32_t>& own = sprite.bitmap.pixels;
        uint32_t silhouette = uint32_t(intensity) << 24 | rgb; // of an opaque pixel
        found->pixels.assign(own.size(), 0);
        for (size_t i = 0; i < own.size(); ++i)
            if (own[i] >> 24 == 255) found->pixels[i] = blendUnmodulated(silhouette, own[i]);
        found->rgb = rgb;
        found->intensity = intensity;
    }
    std::rotate(kept.begin(), found, found + 1);
    return kept.front().pixels;
}

} // namespace

// The sprite blended at its own size on the software screen, then its silhouette in a tint
// over it, in one pass of the same bytes as the two draws through SDL (blendPixel is SDL's
// blend, checked on this machine): the life gauges' parts are each drawn so every frame.
// Opaque pixels come from tintedOverOf, the others are blended twice. False: not this way.
bool blendWithTintOnScreen(Sprite& sprite, int64_t x, int64_t y, int64_t intensity, uint32_t rgb) {
    SDL_Surface* screen = softwareScreenSurface();
    if (!screen || sprite.transformed || sprite.angle != 0 ||
        sprite.displayWidth != sprite.clipWidth || sprite.displayHeight != sprite.clipHeight)
        return false;
    bool keepsAlpha = false;
    Uint8 r = 0, g = 0, b = 0;
    SDL_GetTextureColorMod(sprite.texture, &r, &g, &b);
    if ((r & g & b) != 255 || !blendsOwnPixels(screen, keepsAlpha) || !ensurePixels(sprite))
        return false;
    sprite.keepPixels = true; // drawn this way again next frame: no file read then
    const std::vector<uint32_t>& over = tintedOverOf(sprite, rgb, intensity);
    const std::vector<uint32_t>& own = sprite.bitmap.pixels;
    SDL_RenderFlush(runtimeRenderer()); // what was drawn before lies under it
    SDL_Rect source{int(sprite.clipX), int(sprite.clipY), int(sprite.clipWidth), int(sprite.clipHeight)};
    SDL_Rect whole{0, 0, screen->w, screen->h};
    int64_t pitch = screen->pitch / 4, width = sprite.bitmap.width;
    auto* screenPixels = static_cast<uint32_t*>(screen->pixels);
    for (const VisibleRect& rect : visibleRectsOf(sprite)) {
        SDL_Rect part, shown;
        if (!SDL_IntersectRect(&rect.area, &source, &part)) continue;
        SDL_Rect dest{int(x) + part.x - source.x, int(y) + part.y - source.y, part.w, part.h};
        if (!SDL_IntersectRect(&dest, &whole, &shown)) continue;
        int64_t u = part.x + shown.x - dest.x, v = part.y + shown.y - dest.y;
        if (!rect.opaque) blendedPixels += 2 * int64_t(shown.w) * shown.h;
        for (int64_t row = 0; row < shown.h; ++row) {
            size_t from = size_t((v + row) * width + u);
            uint32_t* out = screenPixels + (shown.y + row) * pitch + shown.x;
            if (rect.opaque) {
                std::copy_n(over.begin() + ptrdiff_t(from), shown.w, out);
                continue;
            }
            for (int64_t i = 0; i < shown.w; ++i) {
                uint32_t pixel = own[from + size_t(i)], alpha = pixel >> 24;
                if (alpha == 0) continue;
                if (alpha == 255) {
                    out[i] = over[from + size_t(i)];
                    continue;
                }
                uint32_t silhouette = (alpha * uint32_t(intensity) / 255) << 24 | rgb;
                out[i] = blendUnmodulated(silhouette, blendUnmodulated(pixel, out[i]));
            }
        }
    }
    return true;
}

void renderSprite(Sprite& sprite, SDL_Texture* texture, int64_t x, int64_t y) {
    SDL_Renderer* renderer = runtimeRenderer();
    SDL_Rect source{int(sprite.clipX), int(sprite.clipY), int(sprite.clipWidth),
                    int(sprite.clipHeight)};
    if (sprite.transformed) {
        QuadShape q = shapeOf(sprite);
        if (q.rectangular) {
            if (q.width != source.w || q.height != source.h) scaledPixels += int64_t(q.width * q.height);
            SDL_FRect dest{float(x + q.left), float(y + q.top), float(q.width), float(q.height)};
            int flip = (q.flipX ? SDL_FLIP_HORIZONTAL : 0) | (q.flipY ? SDL_FLIP_VERTICAL : 0);
            SDL_RenderCopyExF(renderer, texture, &source, &dest, sprite.angle, nullptr,
                              SDL_RendererFlip(flip));
            return;
        }
        Uint8 r, g, b, a;
        SDL_GetTextureColorMod(texture, &r, &g, &b);
        SDL_GetTextureAlphaMod(texture, &a);
        float w = float(sprite.bitmap.width), h = float(sprite.bitmap.height);
        float u0 = (float(sprite.clipX) + 0.5f) / w, v0 = (float(sprite.clipY) + 0.5f) / h;
        float u1 = (float(sprite.clipX + sprite.clipWidth) - 0.5f) / w;
        float v1 = (float(sprite.clipY + sprite.clipHeight) - 0.5f) / h;
        float uv[8] = {u0, v0, u1, v0, u1, v1, u0, v1};
        SDL_Vertex vertices[4];
        for (int i = 0; i < 4; ++i) {
            vertices[i].position = {float(x + sprite.corners[2 * i] + 0.5),
                                    float(y + sprite.corners[2 * i + 1] + 0.5)};
            vertices[i].color = {r, g, b, a};
            vertices[i].tex_coord = {uv[2 * i], uv[2 * i + 1]};
        }
        const int indices[6] = {0, 1, 2, 0, 2, 3};
        SDL_RenderGeometry(renderer, texture, vertices, 4, indices, 6);
        return;
    }
    SDL_Rect dest{int(x), int(y), int(sprite.displayWidth), int(sprite.displayHeight)};
    bool scaled = dest.w != source.w || dest.h != source.h;
    if (!scaled && sprite.angle == 0 && blendVisibleParts(sprite, texture, source, x, y)) return;
    if (sprite.angle != 0) {
        if (turnOnScreen(sprite, texture, source, dest)) return;
        if (scaled) scaledPixels += int64_t(dest.w) * dest.h;
        SDL_RenderCopyEx(renderer, texture, &source, &dest, sprite.angle, nullptr, SDL_FLIP_NONE);
    } else if (!scaled || !stretchOnScreenOnly(sprite, texture, source, dest)) {
        if (scaled) scaledPixels += int64_t(dest.w) * dest.h;
        SDL_RenderCopy(renderer, texture, &source, &dest);
    }
}

// Nothing is drawn when the displayed rectangle (widened for a rotated sprite) lies wholly
// off the screen.
bool spriteOffScreen(const Sprite& sprite, int64_t x, int64_t y) {
    int64_t margin = sprite.angle != 0 ? std::max(sprite.displayWidth, sprite.displayHeight) : 0;
    int64_t left = x, top = y, right = x + sprite.displayWidth, bottom = y + sprite.displayHeight;
    if (sprite.transformed) {
        double minX = 1e18, minY = 1e18, maxX = -1e18, maxY = -1e18;
        for (int i = 0; i < 4; ++i) {
            minX = std::min(minX, sprite.corners[2 * i]);
            maxX = std::max(maxX, sprite.corners[2 * i]);
            minY = std::min(minY, sprite.corners[2 * i + 1]);
            maxY = std::max(maxY, sprite.corners[2 * i + 1]);
        }
        left = x + int64_t(std::floor(minX)), right = x + int64_t(std::ceil(maxX)) + 1;
        top = y + int64_t(std::floor(minY)), bottom = y + int64_t(std::ceil(maxY)) + 1;
    }
    int64_t width = screenOutputWidth(), height = screenOutputHeight();
    return right + margin <= 0 || bottom + margin <= 0 || left - margin >= width ||
           top - margin >= height;
}

// Alpha at a displayed pixel (dx, dy counted from the sprite's display position).
bool spriteOpaqueAt(const Sprite& sprite, int64_t dx, int64_t dy) {
    int64_t u = dx * sprite.clipWidth / std::max<int64_t>(sprite.displayWidth, 1);
    int64_t v = dy * sprite.clipHeight / std::max<int64_t>(sprite.displayHeight, 1);
    if (sprite.transformed) {
        QuadShape q = shapeOf(sprite);
        if (q.flipX) u = sprite.clipWidth - 1 - u;
        if (q.flipY) v = sprite.clipHeight - 1 - v;
    }
    u += sprite.clipX;
    v += sprite.clipY;
    if (u < 0 || v < 0 || u >= sprite.bitmap.width || v >= sprite.bitmap.height) return false;
    return alphaAt(sprite, size_t(v * sprite.bitmap.width + u)) != 0;
}

void drawThroughSdlOnly(bool only) { ownSoftwareDrawing = !only; }
int64_t scaledPixelCount() { return scaledPixels; }
int64_t blendedPixelCount() { return blendedPixels; }
