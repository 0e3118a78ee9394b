// Software rasteriser: anti-aliased filled paths, thick round-capped lines, circles and gradients.
#pragma once

#include <vector>

struct Vec2 {
    float x = 0;
    float y = 0;
};

inline Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
inline Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
inline Vec2 operator*(Vec2 a, float s) { return {a.x * s, a.y * s}; }

// A colour with straight (not premultiplied) alpha, every channel in 0..1.
struct Color {
    float r = 0;
    float g = 0;
    float b = 0;
    float a = 1;
};

// A colour from 0..255 channels and an opacity in 0..1.
Color rgb(int r, int g, int b, float a = 1.0f);
Color mix(Color a, Color b, float t);
Color withAlpha(Color c, float a);
// Multiplies the colour channels (not alpha) by f, clamped to 0..1.
Color shade(Color c, float f);

// An image in premultiplied floating point RGBA, row by row from the top left.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<Color> pixels;  // premultiplied: r, g, b already multiplied by a
};

Image makeImage(int width, int height, Color fill = Color{0, 0, 0, 0});
Color& pixelAt(Image& image, int x, int y);
const Color& pixelAt(const Image& image, int x, int y);
// The straight-alpha colour of a pixel.
Color straightColor(const Image& image, int x, int y);

// How a filled shape is coloured: one colour, a linear gradient from p0 (c0) to p1 (c1), or a
// radial gradient from the centre p0 (c0) to the radius (c1).
enum class PaintKind { Solid, Linear, Radial };

struct Paint {
    PaintKind kind = PaintKind::Solid;
    Color c0;
    Color c1;
    Vec2 p0;
    Vec2 p1;
    float radius = 1;
};

Paint solid(Color c);
Paint linearGradient(Vec2 p0, Color c0, Vec2 p1, Color c1);
Paint radialGradient(Vec2 centre, float radius, Color inner, Color outer);
Color paintAt(const Paint& paint, float x, float y);

// A path is a set of closed contours. Contours are filled as a union (overlaps count once)
// unless a contour runs the other way round from the others, which cuts a hole.
using Contour = std::vector<Vec2>;
using Path = std::vector<Contour>;

// Fills the union of the contours, whatever their orientation (each contour is reoriented).
void fillPath(Image& image, const Path& path, const Paint& paint);
// Fills the outer contour minus the holes.
void fillWithHoles(Image& image, const Contour& outer, const Path& holes, const Paint& paint);
// Coverage mask of a path (0..1 per pixel, image size), union semantics.
std::vector<float> coverageOf(int width, int height, const Path& path);

// Contour builders; all run counter-clockwise on screen (y down).
Contour circleContour(Vec2 centre, float radius);
Contour ellipseContour(Vec2 centre, float rx, float ry, float rotation = 0);
Contour rectContour(float x, float y, float w, float h);
Contour roundedRectContour(float x, float y, float w, float h, float radius);
// A thick segment with round caps (a capsule); width is the full thickness in pixels.
Contour capsuleContour(Vec2 a, Vec2 b, float width);
Contour polygonContour(std::initializer_list<Vec2> points);
// Points of a quadratic Bezier curve from a through control c to b (excluding a).
void appendQuadratic(Contour& contour, Vec2 a, Vec2 c, Vec2 b, int steps = 12);

// Convenience drawing.
void fillPolygon(Image& image, const Contour& points, const Paint& paint);
void fillCircle(Image& image, Vec2 centre, float radius, const Paint& paint);
void fillEllipse(Image& image, Vec2 centre, float rx, float ry, const Paint& paint, float rotation = 0);
void fillRect(Image& image, float x, float y, float w, float h, const Paint& paint);
void fillRoundedRect(Image& image, float x, float y, float w, float h, float radius, const Paint& paint);
// A thick line with round caps.
void strokeLine(Image& image, Vec2 a, Vec2 b, float width, const Paint& paint);
// A thick polyline with round joins and caps, drawn as one shape (no double blending).
void strokePolyline(Image& image, const std::vector<Vec2>& points, float width, const Paint& paint);
// A ring (circle outline) of the given thickness.
void strokeCircle(Image& image, Vec2 centre, float radius, float width, const Paint& paint);

// Composites source over destination at the integer offset, with an extra opacity.
void drawImage(Image& dst, const Image& src, int x, int y, float opacity = 1.0f);
// Blurs every channel with three box passes of the given radius (pixels); radius 0 does nothing.
void blurImage(Image& image, int radius);
// A copy of a rectangle of the image (parts outside are transparent).
Image cropImage(const Image& image, int x, int y, int w, int h);

// Bounding box of pixels with alpha above the threshold; width 0 when empty.
struct PixelBox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
PixelBox visibleBox(const Image& image, float alphaThreshold = 1.0f / 255.0f);
// Crops to the visible pixels plus a margin; writes the crop's origin in the source to box.
Image cropToVisible(const Image& image, int margin, PixelBox* box);
// Nearest-free box downscale by an integer factor (supersampled drawing).
Image downscale(const Image& image, int factor);
// Mirrors left to right.
Image mirrorImage(const Image& image);
// Multiplies every pixel by the opacity (0..1).
void fadeImage(Image& image, float opacity);
