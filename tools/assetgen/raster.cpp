// Software rasteriser: exact-area anti-aliased polygon coverage and compositing.
#include "raster.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPi = 3.14159265358979f;

float clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

// Signed area (positive when counter-clockwise on screen, y down).
float signedArea(const Contour& c) {
    double area = 0;
    for (size_t i = 0; i < c.size(); ++i) {
        const Vec2& p = c[i];
        const Vec2& q = c[(i + 1) % c.size()];
        area += double(p.x) * q.y - double(q.x) * p.y;
    }
    return float(-area * 0.5);
}

Contour reversed(const Contour& c) { return Contour(c.rbegin(), c.rend()); }

// Accumulation buffer of one shape over a window of the image: each edge adds its signed
// area contribution per cell; a running sum along a row then gives the winding coverage.
struct Accumulator {
    int x0 = 0;
    int y0 = 0;
    int width = 0;  // cells per row (window width + 2 for the spill of the last edge)
    int height = 0;
    std::vector<float> cells;
};

void addEdge(Accumulator& acc, Vec2 p0, Vec2 p1) {
    p0.x -= float(acc.x0);
    p1.x -= float(acc.x0);
    p0.y -= float(acc.y0);
    p1.y -= float(acc.y0);
    if (std::fabs(p0.y - p1.y) <= 1e-7f) return;
    float dir = 1.0f;
    if (p0.y > p1.y) {
        std::swap(p0, p1);
        dir = -1.0f;
    }
    const float dxdy = (p1.x - p0.x) / (p1.y - p0.y);
    const float limit = float(acc.width - 2);
    const int yStart = std::max(0, int(std::floor(p0.y)));
    const int yEnd = std::min(acc.height, int(std::ceil(p1.y)));
    for (int y = yStart; y < yEnd; ++y) {
        const float top = std::max(float(y), p0.y);
        const float bottom = std::min(float(y + 1), p1.y);
        const float dy = bottom - top;
        if (dy <= 0) continue;
        float xStart = p0.x + (top - p0.y) * dxdy;
        float xNext = xStart + dxdy * dy;
        xStart = std::clamp(xStart, 0.0f, limit);
        xNext = std::clamp(xNext, 0.0f, limit);
        const float d = dy * dir;
        float* row = acc.cells.data() + size_t(y) * size_t(acc.width);
        const float xa = std::min(xStart, xNext);
        const float xb = std::max(xStart, xNext);
        const float xaFloor = std::floor(xa);
        const int xai = int(xaFloor);
        const float xbCeil = std::ceil(xb);
        const int xbi = int(xbCeil);
        if (xbi <= xai + 1) {
            const float xmf = 0.5f * (xStart + xNext) - xaFloor;
            row[xai] += d - d * xmf;
            row[xai + 1] += d * xmf;
        } else {
            const float s = 1.0f / (xb - xa);
            const float xaf = xa - xaFloor;
            const float a0 = 0.5f * s * (1.0f - xaf) * (1.0f - xaf);
            const float xbf = xb - xbCeil + 1.0f;
            const float am = 0.5f * s * xbf * xbf;
            row[xai] += d * a0;
            if (xbi == xai + 2) {
                row[xai + 1] += d * (1.0f - a0 - am);
            } else {
                const float a1 = s * (1.5f - xaf);
                row[xai + 1] += d * (a1 - a0);
                for (int xi = xai + 2; xi < xbi - 1; ++xi) row[xi] += d * s;
                const float a2 = a1 + float(xbi - xai - 3) * s;
                row[xbi - 1] += d * (1.0f - a2 - am);
            }
            row[xbi] += d * am;
        }
    }
}

// Window of the image touched by the path; false when nothing is inside.
bool pathWindow(int width, int height, const Path& path, int& x0, int& y0, int& x1, int& y1) {
    float minX = 1e30f, minY = 1e30f, maxX = -1e30f, maxY = -1e30f;
    for (const Contour& c : path) {
        for (const Vec2& p : c) {
            minX = std::min(minX, p.x);
            minY = std::min(minY, p.y);
            maxX = std::max(maxX, p.x);
            maxY = std::max(maxY, p.y);
        }
    }
    if (minX > maxX) return false;
    x0 = std::max(0, int(std::floor(minX)));
    y0 = std::max(0, int(std::floor(minY)));
    x1 = std::min(width, int(std::ceil(maxX)) + 1);
    y1 = std::min(height, int(std::ceil(maxY)) + 1);
    return x0 < x1 && y0 < y1;
}

// Rasterises contours (already oriented) and calls visit(x, y, coverage) for covered pixels.
template <typename Visit>
void rasterise(int width, int height, const Path& path, Visit visit) {
    int x0, y0, x1, y1;
    if (!pathWindow(width, height, path, x0, y0, x1, y1)) return;
    Accumulator acc;
    acc.x0 = x0;
    acc.y0 = y0;
    acc.width = (x1 - x0) + 2;
    acc.height = y1 - y0;
    acc.cells.assign(size_t(acc.width) * size_t(acc.height), 0.0f);
    for (const Contour& c : path) {
        for (size_t i = 0; i < c.size(); ++i) addEdge(acc, c[i], c[(i + 1) % c.size()]);
    }
    for (int y = 0; y < acc.height; ++y) {
        const float* row = acc.cells.data() + size_t(y) * size_t(acc.width);
        float sum = 0;
        for (int x = 0; x < x1 - x0; ++x) {
            sum += row[x];
            const float cover = std::min(1.0f, std::fabs(sum));
            if (cover > 1e-4f) visit(x0 + x, y0 + y, cover);
        }
    }
}

Path orientedUnion(const Path& path) {
    Path out;
    out.reserve(path.size());
    for (const Contour& c : path) {
        if (c.size() < 3) continue;
        out.push_back(signedArea(c) < 0 ? reversed(c) : c);
    }
    return out;
}

void blendOver(Color& dst, Color src, float cover) {
    // src is straight alpha; convert to premultiplied with the coverage.
    const float a = src.a * cover;
    const float keep = 1.0f - a;
    dst.r = src.r * a + dst.r * keep;
    dst.g = src.g * a + dst.g * keep;
    dst.b = src.b * a + dst.b * keep;
    dst.a = a + dst.a * keep;
}

void fillOriented(Image& image, const Path& path, const Paint& paint) {
    rasterise(image.width, image.height, path, [&](int x, int y, float cover) {
        const Color c = paintAt(paint, float(x) + 0.5f, float(y) + 0.5f);
        blendOver(pixelAt(image, x, y), c, cover);
    });
}

int segmentsFor(float radius) { return std::clamp(int(radius * 2.5f) + 16, 16, 512); }

}  // namespace

Color rgb(int r, int g, int b, float a) { return Color{float(r) / 255.0f, float(g) / 255.0f, float(b) / 255.0f, a}; }

Color mix(Color a, Color b, float t) {
    return Color{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Color withAlpha(Color c, float a) {
    c.a = a;
    return c;
}

Color shade(Color c, float f) { return Color{clamp01(c.r * f), clamp01(c.g * f), clamp01(c.b * f), c.a}; }

Image makeImage(int width, int height, Color fill) {
    Image image;
    image.width = width;
    image.height = height;
    const Color pre{fill.r * fill.a, fill.g * fill.a, fill.b * fill.a, fill.a};
    image.pixels.assign(size_t(width) * size_t(height), pre);
    return image;
}

Color& pixelAt(Image& image, int x, int y) { return image.pixels[size_t(y) * size_t(image.width) + size_t(x)]; }

const Color& pixelAt(const Image& image, int x, int y) {
    return image.pixels[size_t(y) * size_t(image.width) + size_t(x)];
}

Color straightColor(const Image& image, int x, int y) {
    const Color& p = pixelAt(image, x, y);
    if (p.a <= 1e-6f) return Color{0, 0, 0, 0};
    return Color{clamp01(p.r / p.a), clamp01(p.g / p.a), clamp01(p.b / p.a), clamp01(p.a)};
}

Paint solid(Color c) {
    Paint p;
    p.kind = PaintKind::Solid;
    p.c0 = c;
    p.c1 = c;
    return p;
}

Paint linearGradient(Vec2 p0, Color c0, Vec2 p1, Color c1) {
    Paint p;
    p.kind = PaintKind::Linear;
    p.p0 = p0;
    p.p1 = p1;
    p.c0 = c0;
    p.c1 = c1;
    return p;
}

Paint radialGradient(Vec2 centre, float radius, Color inner, Color outer) {
    Paint p;
    p.kind = PaintKind::Radial;
    p.p0 = centre;
    p.radius = std::max(radius, 1e-3f);
    p.c0 = inner;
    p.c1 = outer;
    return p;
}

Color paintAt(const Paint& paint, float x, float y) {
    switch (paint.kind) {
        case PaintKind::Solid:
            return paint.c0;
        case PaintKind::Linear: {
            const Vec2 d = paint.p1 - paint.p0;
            const float len2 = d.x * d.x + d.y * d.y;
            const float t = len2 > 0 ? ((x - paint.p0.x) * d.x + (y - paint.p0.y) * d.y) / len2 : 0.0f;
            return mix(paint.c0, paint.c1, clamp01(t));
        }
        case PaintKind::Radial: {
            const float dx = x - paint.p0.x;
            const float dy = y - paint.p0.y;
            return mix(paint.c0, paint.c1, clamp01(std::sqrt(dx * dx + dy * dy) / paint.radius));
        }
    }
    return paint.c0;
}

void fillPath(Image& image, const Path& path, const Paint& paint) { fillOriented(image, orientedUnion(path), paint); }

void fillWithHoles(Image& image, const Contour& outer, const Path& holes, const Paint& paint) {
    Path path = orientedUnion(Path{outer});
    for (const Contour& h : holes) {
        if (h.size() < 3) continue;
        path.push_back(signedArea(h) > 0 ? reversed(h) : h);
    }
    fillOriented(image, path, paint);
}

std::vector<float> coverageOf(int width, int height, const Path& path) {
    std::vector<float> mask(size_t(width) * size_t(height), 0.0f);
    rasterise(width, height, orientedUnion(path),
              [&](int x, int y, float cover) { mask[size_t(y) * size_t(width) + size_t(x)] = cover; });
    return mask;
}

Contour ellipseContour(Vec2 centre, float rx, float ry, float rotation) {
    const int n = segmentsFor(std::max(rx, ry));
    Contour c;
    c.reserve(size_t(n));
    const float cr = std::cos(rotation);
    const float sr = std::sin(rotation);
    for (int i = 0; i < n; ++i) {
        const float t = -2.0f * kPi * float(i) / float(n);
        const float ex = std::cos(t) * rx;
        const float ey = std::sin(t) * ry;
        c.push_back({centre.x + ex * cr - ey * sr, centre.y + ex * sr + ey * cr});
    }
    return c;
}

Contour circleContour(Vec2 centre, float radius) { return ellipseContour(centre, radius, radius); }

Contour rectContour(float x, float y, float w, float h) { return {{x, y}, {x, y + h}, {x + w, y + h}, {x + w, y}}; }

Contour roundedRectContour(float x, float y, float w, float h, float radius) {
    radius = std::min({radius, w * 0.5f, h * 0.5f});
    if (radius <= 0.01f) return rectContour(x, y, w, h);
    Contour c;
    const int n = std::max(4, segmentsFor(radius) / 4);
    const Vec2 centres[4] = {{x + radius, y + radius}, {x + radius, y + h - radius},
                             {x + w - radius, y + h - radius}, {x + w - radius, y + radius}};
    const float starts[4] = {kPi * 0.5f, kPi, kPi * 1.5f, 0.0f};
    for (int k = 0; k < 4; ++k) {
        for (int i = 0; i <= n; ++i) {
            const float t = starts[k] + kPi * 0.5f * float(i) / float(n);
            c.push_back({centres[k].x + std::cos(t) * radius, centres[k].y - std::sin(t) * radius});
        }
    }
    return c;
}

Contour capsuleContour(Vec2 a, Vec2 b, float width) {
    const float r = width * 0.5f;
    Vec2 d = b - a;
    float len = std::sqrt(d.x * d.x + d.y * d.y);
    if (len < 1e-4f) return circleContour(a, r);
    const float angle = std::atan2(d.y, d.x);
    const int n = std::max(6, segmentsFor(r) / 2);
    Contour c;
    // Cap around b from +90 to -90 degrees, then around a from -90 to -270.
    for (int i = 0; i <= n; ++i) {
        const float t = angle + kPi * 0.5f - kPi * float(i) / float(n);
        c.push_back({b.x + std::cos(t) * r, b.y + std::sin(t) * r});
    }
    for (int i = 0; i <= n; ++i) {
        const float t = angle - kPi * 0.5f - kPi * float(i) / float(n);
        c.push_back({a.x + std::cos(t) * r, a.y + std::sin(t) * r});
    }
    return c;
}

Contour polygonContour(std::initializer_list<Vec2> points) { return Contour(points); }

void appendQuadratic(Contour& contour, Vec2 a, Vec2 c, Vec2 b, int steps) {
    for (int i = 1; i <= steps; ++i) {
        const float t = float(i) / float(steps);
        const float u = 1.0f - t;
        contour.push_back({u * u * a.x + 2 * u * t * c.x + t * t * b.x, u * u * a.y + 2 * u * t * c.y + t * t * b.y});
    }
}

void fillPolygon(Image& image, const Contour& points, const Paint& paint) { fillPath(image, Path{points}, paint); }

void fillCircle(Image& image, Vec2 centre, float radius, const Paint& paint) {
    fillPath(image, Path{circleContour(centre, radius)}, paint);
}

void fillEllipse(Image& image, Vec2 centre, float rx, float ry, const Paint& paint, float rotation) {
    fillPath(image, Path{ellipseContour(centre, rx, ry, rotation)}, paint);
}

void fillRect(Image& image, float x, float y, float w, float h, const Paint& paint) {
    fillPath(image, Path{rectContour(x, y, w, h)}, paint);
}

void fillRoundedRect(Image& image, float x, float y, float w, float h, float radius, const Paint& paint) {
    fillPath(image, Path{roundedRectContour(x, y, w, h, radius)}, paint);
}

void strokeLine(Image& image, Vec2 a, Vec2 b, float width, const Paint& paint) {
    fillPath(image, Path{capsuleContour(a, b, width)}, paint);
}

void strokePolyline(Image& image, const std::vector<Vec2>& points, float width, const Paint& paint) {
    Path path;
    for (size_t i = 0; i + 1 < points.size(); ++i) path.push_back(capsuleContour(points[i], points[i + 1], width));
    if (points.size() == 1) path.push_back(circleContour(points[0], width * 0.5f));
    fillPath(image, path, paint);
}

void strokeCircle(Image& image, Vec2 centre, float radius, float width, const Paint& paint) {
    fillWithHoles(image, circleContour(centre, radius + width * 0.5f),
                  Path{circleContour(centre, std::max(0.0f, radius - width * 0.5f))}, paint);
}

void drawImage(Image& dst, const Image& src, int x, int y, float opacity) {
    for (int sy = 0; sy < src.height; ++sy) {
        const int dy = y + sy;
        if (dy < 0 || dy >= dst.height) continue;
        for (int sx = 0; sx < src.width; ++sx) {
            const int dx = x + sx;
            if (dx < 0 || dx >= dst.width) continue;
            const Color& s = pixelAt(src, sx, sy);
            if (s.a <= 0) continue;
            Color& d = pixelAt(dst, dx, dy);
            const float keep = 1.0f - s.a * opacity;
            d.r = s.r * opacity + d.r * keep;
            d.g = s.g * opacity + d.g * keep;
            d.b = s.b * opacity + d.b * keep;
            d.a = s.a * opacity + d.a * keep;
        }
    }
}

void blurImage(Image& image, int radius) {
    if (radius <= 0 || image.width == 0 || image.height == 0) return;
    std::vector<Color> line;
    const float norm = 1.0f / float(2 * radius + 1);
    auto pass = [&](int count, int length, auto at) {
        line.resize(size_t(length));
        for (int k = 0; k < count; ++k) {
            for (int i = 0; i < length; ++i) line[size_t(i)] = at(k, i);
            Color sum{0, 0, 0, 0};
            for (int i = -radius; i <= radius; ++i) {
                const Color& c = line[size_t(std::clamp(i, 0, length - 1))];
                sum.r += c.r, sum.g += c.g, sum.b += c.b, sum.a += c.a;
            }
            for (int i = 0; i < length; ++i) {
                at(k, i) = Color{sum.r * norm, sum.g * norm, sum.b * norm, sum.a * norm};
                const Color& out = line[size_t(std::clamp(i - radius, 0, length - 1))];
                const Color& in = line[size_t(std::clamp(i + radius + 1, 0, length - 1))];
                sum.r += in.r - out.r, sum.g += in.g - out.g, sum.b += in.b - out.b, sum.a += in.a - out.a;
            }
        }
    };
    for (int p = 0; p < 3; ++p) {
        pass(image.height, image.width, [&](int row, int i) -> Color& { return pixelAt(image, i, row); });
        pass(image.width, image.height, [&](int col, int i) -> Color& { return pixelAt(image, col, i); });
    }
}

Image cropImage(const Image& image, int x, int y, int w, int h) {
    Image out = makeImage(w, h);
    for (int yy = 0; yy < h; ++yy) {
        for (int xx = 0; xx < w; ++xx) {
            const int sx = x + xx, sy = y + yy;
            if (sx >= 0 && sy >= 0 && sx < image.width && sy < image.height) pixelAt(out, xx, yy) = pixelAt(image, sx, sy);
        }
    }
    return out;
}

PixelBox visibleBox(const Image& image, float alphaThreshold) {
    int minX = image.width, minY = image.height, maxX = -1, maxY = -1;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (pixelAt(image, x, y).a > alphaThreshold) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
        }
    }
    if (maxX < 0) return PixelBox{};
    return PixelBox{minX, minY, maxX - minX + 1, maxY - minY + 1};
}

Image cropToVisible(const Image& image, int margin, PixelBox* box) {
    PixelBox v = visibleBox(image);
    if (v.width == 0) v = PixelBox{0, 0, 1, 1};
    const PixelBox crop{v.x - margin, v.y - margin, v.width + 2 * margin, v.height + 2 * margin};
    if (box) *box = crop;
    return cropImage(image, crop.x, crop.y, crop.width, crop.height);
}

Image downscale(const Image& image, int factor) {
    if (factor <= 1) return image;
    Image out = makeImage(image.width / factor, image.height / factor);
    const float norm = 1.0f / float(factor * factor);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            Color sum{0, 0, 0, 0};
            for (int j = 0; j < factor; ++j) {
                for (int i = 0; i < factor; ++i) {
                    const Color& c = pixelAt(image, x * factor + i, y * factor + j);
                    sum.r += c.r, sum.g += c.g, sum.b += c.b, sum.a += c.a;
                }
            }
            pixelAt(out, x, y) = Color{sum.r * norm, sum.g * norm, sum.b * norm, sum.a * norm};
        }
    }
    return out;
}

Image mirrorImage(const Image& image) {
    Image out = makeImage(image.width, image.height);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) pixelAt(out, x, y) = pixelAt(image, image.width - 1 - x, y);
    }
    return out;
}

void fadeImage(Image& image, float opacity) {
    for (Color& c : image.pixels) c = Color{c.r * opacity, c.g * opacity, c.b * opacity, c.a * opacity};
}
