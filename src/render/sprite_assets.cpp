// Loading and deriving the shared pictures.
#include "render/sprite_assets.h"

#include "data/fighter_class.h"
#include "data/sprite_numbers.h"
#include "render/layout_record.h"
#include "render/text.h"
#include "runtime/runtime.h"

int64_t shadowSprite = 0;
int64_t hudBlock = 0;
CountdownSprites countdownSprites;
ComboImages comboImages;
ImageSequence hurtSequence;
int64_t statIconBlock = 0;
int64_t dotSprite = 0;
int64_t crescentSprite = 0;

namespace {
bool statIconsRequested = false;

// A sprite with alpha holding an image, keyed on black first so that it starts transparent.
void spriteFromImage(int64_t sprite, int64_t image, int64_t flags) {
    createSprite(sprite, imageWidth(image), imageHeight(image), flags);
    setSpriteTransparentColour(sprite, 0);
    if (beginDrawing(spriteOutput(sprite))) {
        drawImageAlpha(imageHandle(image), 0, 0);
        endDrawing();
    }
}

void makeShadow() {
    if (shadowSprite != 0 && spriteExists(shadowSprite)) return;
    if (shadowSprite == 0) shadowSprite = takeSpriteNumber();
    createSprite(shadowSprite, 300, 40, kLoadAlpha);
    if (!beginDrawing(spriteOutput(shadowSprite))) return;
    setDrawingMode(kDrawBlend);
    for (int64_t i = 2; i <= 10; ++i) {
        int64_t grey = 21 - 2 * i;
        fillEllipse(150, 20, 300 / i, 40 / i, RGBA(grey, grey, grey, 128 - 10 * i));
    }
    endDrawing();
}

void loadNumbered(int64_t& sprite, const std::string& path, int64_t flags) {
    if (sprite == 0) sprite = takeSpriteNumber();
    loadSprite(sprite, path, flags);
}

const char* const kStatIconFiles[kStatIconCount] = {
    "image/icon_strength_mini.png", "image/icon_agility_mini.png", "image/icon_speed_mini.png",
    "image/icon_weight_mini.png",   "image/icon_stamina_mini.png", "image/icon_life_mini.png",
    "image/icon_cut_mini.png",      "image/icon_pierce_mini.png",  "image/icon_blunt_mini.png",
    "image/icon_range_mini.png",    "image/icon_difficulty_mini.png", "image/tobeadded.png"};
} // namespace

int64_t mirrorImage(int64_t image) {
    const Bitmap* source = imageBitmap(image);
    if (!source || (source->depth != 24 && source->depth != 32)) return 0;
    int64_t mirrored = createImage(-1, source->width, source->height, source->depth, 0);
    if (!mirrored) return 0;
    Bitmap* target = imageBitmap(mirrored);
    for (int64_t y = 0; y < source->height; ++y)
        for (int64_t x = 0; x < source->width; ++x)
            target->pixels[size_t(y * source->width + x)] =
                source->pixels[size_t(y * source->width + source->width - 1 - x)];
    return mirrored;
}

void loadMirroredSprite(int64_t sprite, const std::string& path) {
    int64_t plain = loadImage(-1, path);
    if (!plain) {
        messageBox("error for ", path);
        return;
    }
    spriteFromImage(sprite, plain, kLoadAlpha);
    int64_t mirrored = mirrorImage(plain);
    if (mirrored) spriteFromImage(sprite + 1, mirrored, kLoadAlpha);
    freeImage(plain);
    freeImage(mirrored);
}

void loadSharedImages() {
    loadFont();
    if (statIconsRequested) loadStatIcons();
    makeShadow();
    if (hudBlock == 0) hudBlock = takeSpriteNumbers(15);
    loadMirroredSprite(hudBlock + 0, "image/bar.png");
    loadMirroredSprite(hudBlock + 4, "image/bar_big.png");
    loadMirroredSprite(hudBlock + 8, "image/HUD.png");
    createSprite(hudBlock + 10, 610, 210, kLoadAlpha);
    if (beginDrawing(spriteOutput(hudBlock + 10))) {
        setDrawingMode(kDrawExact);
        fillBox(0, 0, 610, 210, RGBA(255, 255, 255, 255));
        endDrawing();
    }
    // The countdown's digits are drawn enlarged on the CPU from their first frame.
    int64_t digitFlags = kLoadAlpha | kSpriteKeepColours;
    loadNumbered(countdownSprites.two, "image/counterTwo.png", digitFlags);
    loadNumbered(countdownSprites.three, "image/counterThree.png", digitFlags);
    loadNumbered(countdownSprites.one, "image/counterOne.png", digitFlags);
    makeSymbolSprites();
    if (hurtSequence.frames.empty()) {
        hurtSequence = createImageSequence("image/hurt", "hurt", 6, 5, 2);
        setSequenceOption(hurtSequence, 32, 0.95, 0.95);
        setSequenceOption(hurtSequence, 8, double(RGB(255, 0, 0)), 0);
        setSequenceOption(hurtSequence, 2, 2.0, 0);
    }
}

void loadComboImages() {
    loadNumbered(comboImages.neutral, "image/comboNeutral.png", kLoadAlpha);
    if (comboImages.up == 0) comboImages.up = takeSpriteNumbers(2);
    loadMirroredSprite(comboImages.up, "image/comboUp.png");
    loadNumbered(comboImages.heavy, "image/comboHeavy.png", kLoadAlpha);
    loadNumbered(comboImages.neutralSmall, "image/comboNeutral_small.png", kLoadAlpha);
    if (comboImages.upSmall == 0) comboImages.upSmall = takeSpriteNumbers(2);
    loadMirroredSprite(comboImages.upSmall, "image/comboNUp_small.png");
    loadNumbered(comboImages.heavySmall, "image/comboHeavy_small.png", kLoadAlpha);
}

void makePortrait(FighterClass& c) {
    if (c.pictureSprite == 0 || c.iconPath.empty() || spriteExists(c.portraitSprite)) return;
    int64_t picture = loadImage(-1, c.iconPath);
    if (!picture) fatalError("Error", "cannot load image", kMessageNoIcon);
    int64_t square = grabImage(picture, -1, 175, 175, 150, 150);
    freeImage(picture);
    if (!square) fatalError("Error", "cannot grab image", kMessageNoIcon);
    createSprite(c.portraitSprite, 150, 150);
    setSpriteTransparentColour(c.portraitSprite, 0);
    if (beginDrawing(spriteOutput(c.portraitSprite))) {
        setDrawingMode(kDrawExact);
        fillBox(0, 0, 150, 150, RGBA(255, 255, 255, 255));
        drawImage(imageHandle(square), 0, 0);
        endDrawing();
    }
    freeImage(square);
}

void loadClassPicture(FighterClass& c) {
    if (c.pictureSprite == 0 || c.iconPath.empty() || spriteExists(c.pictureSprite)) return;
    loadSprite(c.pictureSprite, c.iconPath, kLoadKeyed);
}

void freeClassPicture(FighterClass& c) {
    if (c.pictureSprite != 0) freeSprite(c.pictureSprite);
}

void freeAllClassPictures() {
    for (auto& c : classes) freeClassPicture(*c);
}

ImageSequence createImageSequence(const std::string& prefix, const std::string& name,
                                  int64_t count, int64_t frameTime, int64_t frameStep) {
    ImageSequence sequence;
    sequence.prefix = prefix;
    sequence.name = name;
    sequence.frameTime = frameTime;
    sequence.frameStep = frameStep;
    sequence.offsets.assign(size_t(count + 1), 0.0);
    for (int64_t i = 0; i <= count; ++i) {
        int64_t sprite = takeSpriteNumber();
        sequence.frames.push_back(sprite);
        loadSprite(sprite, prefix + std::to_string(i + 1) + ".png", kLoadAlpha);
    }
    return sequence;
}

void setSequenceOption(ImageSequence& sequence, int64_t flag, double first, double second) {
    sequence.options |= flag;
    if (flag == 2 || flag == 4) sequence.fade = first;
    if (flag == 8) sequence.blinkColor = int64_t(first);
    if (flag == 16 || flag == 32) {
        sequence.optionX = first;
        sequence.optionY = second;
    }
}

void loadStatIcons() {
    if (statIconBlock == 0) {
        statIconBlock = takeSpriteNumbers(kStatIconCount);
        dotSprite = takeSpriteNumber();
        crescentSprite = takeSpriteNumber();
    }
    statIconsRequested = true;
    for (int64_t i = 0; i < kStatIconCount; ++i)
        loadSprite(statIconBlock + i, kStatIconFiles[i], kLoadAlpha);
    loadSprite(dotSprite, "image/dot.png", kLoadAlpha);
    loadSprite(crescentSprite, "image/crescent.png", kLoadAlpha);
}

void freeStatIcons() {
    if (statIconBlock == 0) return;
    for (int64_t i = 0; i < kStatIconCount; ++i) freeSprite(statIconBlock + i);
    freeSprite(dotSprite);
    freeSprite(crescentSprite);
}

void drawStatIcon(int64_t index, int64_t x, int64_t y) {
    if (statIconBlock == 0 || index < 0 || index >= kStatIconCount) return;
    int64_t icon = statIconBlock + index;
    drawSpriteBlended(icon, x - spriteWidth(icon) / 2, y);
    noteSpriteLayout(LayoutRole::Picture, icon, x - spriteWidth(icon) / 2, y, "stat icon");
}

void resetSpriteAssets() {
    shadowSprite = hudBlock = statIconBlock = dotSprite = crescentSprite = 0;
    countdownSprites = {};
    comboImages = {};
    hurtSequence = {};
    statIconsRequested = false;
    letterSprite = questionMarkSprite = mirrorMarkSprite = 0;
}
