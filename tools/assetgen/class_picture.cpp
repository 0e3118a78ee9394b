// The 500x500 class picture shown by the menus, with the head and shoulders in the portrait square.
#include "class_picture.h"

#include <cmath>

#include "png_writer.h"

namespace {

// Scale of the figure on the picture: the bust fills the portrait square.
constexpr float kPictureScale = 2.45f;
// Where the centre of the head lands.
constexpr float kHeadX = 252;
constexpr float kHeadY = 222;

Color unpack(int packed) { return rgb(packed & 255, (packed >> 8) & 255, (packed >> 16) & 255); }

}  // namespace

Image classPicture(const ClassDesign& design) {
    Image image = makeImage(kClassPictureSize, kClassPictureSize, rgb(0, 0, 0));
    const Color tone = design.stances.empty() ? rgb(120, 120, 120) : unpack(design.stances[0].specialColor);
    const Vec2 centre{250, 250};
    // Emblem: a dark disc in the class colour with a brighter rim; near black, never pure black.
    fillCircle(image, centre, 236, solid(mix(rgb(10, 10, 10), tone, 0.55f)));
    fillCircle(image, centre, 226, radialGradient({250, 200}, 260, mix(rgb(12, 12, 12), tone, 0.42f), mix(rgb(9, 9, 9), tone, 0.12f)));
    for (int k = 0; k < 12; ++k) {
        // Faint rays behind the figure.
        const float a = 3.14159265f * 2.0f * float(k) / 12.0f + 0.13f;
        const Vec2 d{std::cos(a), std::sin(a)};
        const Vec2 n{-d.y, d.x};
        fillPolygon(image, Contour{centre + n * 4.0f, centre + d * 222.0f + n * 26.0f, centre + d * 222.0f - n * 26.0f, centre - n * 4.0f},
                    solid(withAlpha(mix(rgb(12, 12, 12), tone, 0.6f), 0.35f)));
    }
    const Rig rig = solvePose(design.build, design.portrait);
    View view;
    view.scale = kPictureScale;
    view.faceRight = true;
    view.origin = {kHeadX - rig.headCentre.x * kPictureScale, kHeadY + rig.headCentre.y * kPictureScale};
    Image figure = makeImage(kClassPictureSize, kClassPictureSize);
    drawFighter(figure, view, design.build, rig);
    // A soft dark halo keeps the light figure apart from the emblem.
    Image halo = figure;
    for (Color& c : halo.pixels) c = Color{0.03f * c.a, 0.03f * c.a, 0.03f * c.a, c.a};
    blurImage(halo, 4);
    drawImage(image, halo, 0, 0, 0.9f);
    drawImage(image, figure, 0, 0);
    return image;
}

bool writeClassPicture(const ClassDesign& design, const std::string& file) {
    return writePng(file, classPicture(design), PngMode::ColorKey);
}
