// The window and the screen over SDL2: an accelerated renderer when there is one, software
// otherwise; in headless mode a software renderer on a memory surface, with no window at all.
#include "runtime/screen.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "runtime/files.h"
#include "runtime/headless.h"
#include "runtime/images.h"
#include "runtime/internal.h"
#include "runtime/json.h"
#include "runtime/parallel.h"
#include "runtime/sound.h"
#include "runtime/timing.h"
#include "runtime/vectorised.h"

namespace {
SDL_Window* window = nullptr;
int64_t openWindowId = -1;
int64_t headlessWindowWidth = 0, headlessWindowHeight = 0;
bool headlessWindowOpen = false;

SDL_Renderer* renderer = nullptr;
SDL_Surface* headlessSurface = nullptr;
int64_t outputWidth = 0, outputHeight = 0;
bool videoStarted = false;
bool closeRequested = false;
std::string shownMessages;
size_t nextScreenshotEvent = 0;

void destroyScreen() {
    if (renderer) {
        destroySpriteTextures();
        SDL_DestroyRenderer(renderer);
        renderer = nullptr;
    }
    if (headlessSurface) {
        SDL_FreeSurface(headlessSurface);
        headlessSurface = nullptr;
    }
    outputWidth = outputHeight = 0;
}

bool haveWindow(int64_t windowId) {
    return windowId == openWindowId && (window || headlessWindowOpen);
}

void takeScriptedScreenshots() {
    const auto& script = headlessOptions().script;
    for (size_t i = 0; i < script.size(); ++i) {
        const ScriptEvent& event = script[i];
        if (event.kind != kScriptScreenshot || i < nextScreenshotEvent) continue;
        if (event.frame > presentedFrames()) continue;
        if (!saveScreenshot(event.path))
            std::fprintf(stderr, "headless: could not write screenshot %s\n", event.path.c_str());
        nextScreenshotEvent = i + 1;
    }
}
} // namespace

SDL_Renderer* runtimeRenderer() { return renderer; }
bool softwareRendering() {
    SDL_RendererInfo info;
    return renderer && SDL_GetRendererInfo(renderer, &info) == 0 &&
           (info.flags & SDL_RENDERER_SOFTWARE) != 0;
}
SDL_Surface* softwareScreenSurface() {
    if (renderingSkipped() || !softwareRendering()) return nullptr;
    SDL_Surface* surface = headlessSurface ? headlessSurface
                                           : window ? SDL_GetWindowSurface(window) : nullptr;
    if (!surface) return nullptr;
    float scaleX = 0, scaleY = 0;
    SDL_Rect view{0, 0, 0, 0};
    SDL_RenderGetScale(renderer, &scaleX, &scaleY);
    SDL_RenderGetViewport(renderer, &view);
    bool plain = scaleX == 1.0f && scaleY == 1.0f && view.x == 0 && view.y == 0 &&
                 view.w == surface->w && view.h == surface->h;
    return plain ? surface : nullptr;
}
bool drawingDiscarded() { return isHeadless() && headlessOptions().nullRenderer; }
bool renderingSkipped() { return !renderer || (isHeadless() && headlessOptions().nullRenderer); }

int64_t initSprites() {
    if (isHeadless()) return 1;
    if (!videoStarted) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return 0;
        videoStarted = true;
        watchDisplayConnection();
    }
    return 1;
}

int64_t desktopCount() {
    if (isHeadless()) return headlessOptions().desktopWidth > 0 ? 1 : 0;
    if (!videoStarted) return 0;
    int count = SDL_GetNumVideoDisplays();
    return count < 0 ? 0 : count;
}

int64_t desktopWidthOf(int64_t index) {
    if (isHeadless()) return index == 0 ? headlessOptions().desktopWidth : 0;
    SDL_DisplayMode mode;
    if (!videoStarted || SDL_GetDesktopDisplayMode(int(index), &mode) != 0) return 0;
    return mode.w;
}

int64_t desktopHeightOf(int64_t index) {
    if (isHeadless()) return index == 0 ? headlessOptions().desktopHeight : 0;
    SDL_DisplayMode mode;
    if (!videoStarted || SDL_GetDesktopDisplayMode(int(index), &mode) != 0) return 0;
    return mode.h;
}

int64_t openWindow(int64_t windowId, int64_t x, int64_t y, int64_t width, int64_t height,
                   const std::string& title, int64_t flags) {
    if (width <= 0 || height <= 0) return 0;
    if (openWindowId >= 0) closeWindow(openWindowId);
    if (windowId == -1) windowId = 1;
    if (isHeadless()) {
        headlessWindowOpen = true;
        headlessWindowWidth = width;
        headlessWindowHeight = height;
        openWindowId = windowId;
        return windowId;
    }
    if (!videoStarted) return 0;
    SDL_Rect bounds{0, 0, 0, 0};
    SDL_GetDisplayBounds(0, &bounds);
    Uint32 sdlFlags = SDL_WINDOW_SHOWN;
    if (flags & kWindowBorderless) sdlFlags |= SDL_WINDOW_BORDERLESS;
    if (flags & kWindowCaptioned) sdlFlags |= SDL_WINDOW_RESIZABLE | SDL_WINDOW_MAXIMIZED;
    window = SDL_CreateWindow(title.c_str(), bounds.x + int(x), bounds.y + int(y), int(width),
                              int(height), sdlFlags);
    if (!window) return 0;
    openWindowId = windowId;
    return windowId;
}

void closeWindow(int64_t windowId) {
    if (!haveWindow(windowId) && windowId != -1) return;
    destroyScreen();
    if (window) SDL_DestroyWindow(window);
    window = nullptr;
    headlessWindowOpen = false;
    openWindowId = -1;
}

int64_t windowHandle(int64_t windowId) { return haveWindow(windowId) ? windowId : 0; }

int64_t resizeWindow(int64_t windowId, int64_t x, int64_t y, int64_t width, int64_t height) {
    if (!haveWindow(windowId)) return 0;
    if (isHeadless()) {
        headlessWindowWidth = width;
        headlessWindowHeight = height;
        return 1;
    }
    SDL_Rect bounds{0, 0, 0, 0};
    SDL_GetDisplayBounds(0, &bounds);
    // A maximised window keeps its size; it is only moved and sized when it is not.
    if (!(SDL_GetWindowFlags(window) & SDL_WINDOW_MAXIMIZED)) {
        SDL_SetWindowSize(window, int(width), int(height));
        SDL_SetWindowPosition(window, bounds.x + int(x), bounds.y + int(y));
    }
    return 1;
}

int64_t openWindowedScreen(int64_t handle, int64_t, int64_t, int64_t width, int64_t height,
                           int64_t autoStretch, int64_t, int64_t, int64_t flipMode) {
    if (!haveWindow(handle) || width <= 0 || height <= 0) return 0;
    destroyScreen();
    if (isHeadless()) {
        // The null renderer keeps a 1x1 target: sprites still exist, drawing is skipped.
        bool drawNothing = headlessOptions().nullRenderer;
        headlessSurface = SDL_CreateRGBSurfaceWithFormat(0, drawNothing ? 1 : int(width),
                                                         drawNothing ? 1 : int(height), 32,
                                                         SDL_PIXELFORMAT_ARGB8888);
        if (!headlessSurface) return 0;
        renderer = SDL_CreateSoftwareRenderer(headlessSurface);
    } else {
        Uint32 flags = flipMode == 1 ? SDL_RENDERER_PRESENTVSYNC : 0;
        renderer = SDL_CreateRenderer(window, -1, flags | SDL_RENDERER_ACCELERATED);
        if (!renderer) renderer = SDL_CreateRenderer(window, -1, flags | SDL_RENDERER_SOFTWARE);
    }
    if (!renderer) {
        destroyScreen();
        return 0;
    }
    outputWidth = width;
    outputHeight = height;
    // Stretching keeps the game's own coordinates whatever the window's size.
    if (autoStretch && !isHeadless()) SDL_RenderSetLogicalSize(renderer, int(width), int(height));
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    recreateSpriteTextures();
    return 1;
}

bool screenIsOpen() { return renderer != nullptr; }
int64_t screenOutputWidth() { return outputWidth; }
int64_t screenOutputHeight() { return outputHeight; }

void clearScreen(int64_t colour) {
    if (!renderer) return;
    SDL_SetRenderDrawColor(renderer, Uint8(colour & 255), Uint8((colour >> 8) & 255),
                           Uint8((colour >> 16) & 255), 255);
    SDL_RenderClear(renderer);
}

namespace {
// SDL's blended fill in black scales each channel of every pixel by (255 - opacity) / 255,
// truncated; x / 255 for x up to 255 * 255 is (x * 0x8081) >> 23, which the compiler
// vectorises. A surface without alpha gets 0 there; with alpha, the fill's joins it.
QRX_VECTORISED
void shadeRows(uint8_t* pixels, int64_t pitch, int64_t width, int64_t firstRow, int64_t endRow,
               uint32_t opacity, bool keepsAlpha) {
    uint32_t left = 255 - opacity, alphaMask = keepsAlpha ? 0xFFFFFFFFu : 0x00FFFFFFu;
    auto scaled = [left](uint32_t v) { return (v * left * 0x8081u) >> 23; };
    for (int64_t y = firstRow; y < endRow; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(pixels + y * pitch);
        for (int64_t x = 0; x < width; ++x) {
            uint32_t p = row[x];
            row[x] = ((scaled(p >> 24) + opacity) << 24 | scaled((p >> 16) & 255) << 16 |
                      scaled((p >> 8) & 255) << 8 | scaled(p & 255)) & alphaMask;
        }
    }
}

// A screen of at least this many pixels is shaded on every core, in bands of rows.
constexpr int64_t kSharedPixels = 256 * 1024;
constexpr int64_t kBands = 8;

bool shadeSurface(SDL_Surface* surface, int64_t opacity) {
    Uint32 format = surface->format->format;
    bool keepsAlpha = format == SDL_PIXELFORMAT_ARGB8888;
    if (!keepsAlpha && format != SDL_PIXELFORMAT_RGB888) return false;
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return false;
    auto* pixels = static_cast<uint8_t*>(surface->pixels);
    int64_t height = surface->h;
    auto rows = [&](int64_t first, int64_t end) {
        shadeRows(pixels, surface->pitch, surface->w, first, end, uint32_t(opacity), keepsAlpha);
    };
    if (int64_t(surface->w) * height < kSharedPixels) rows(0, height);
    else
        forEachOnEveryCore(size_t(kBands), [&](size_t band) {
            rows(height * int64_t(band) / kBands, height * int64_t(band + 1) / kBands);
        });
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    return true;
}
} // namespace

void shadeScreen(int64_t opacity) {
    if (renderingSkipped() || opacity <= 0) return;
    opacity = std::min<int64_t>(opacity, 255);
    if (SDL_Surface* surface = softwareScreenSurface()) {
        SDL_RenderFlush(renderer); // what was drawn before is shaded too
        if (shadeSurface(surface, opacity)) return;
    }
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, Uint8(std::min<int64_t>(opacity, 255)));
    SDL_RenderFillRect(renderer, nullptr); // the draw blend mode is always blending
}

namespace {
// Every pending SDL event reaches its service; the number handled. SDL's queue is pumped once
// (SDL_PollEvent would pump again for each event, and each pump may poll the devices).
int64_t handlePendingEvents() {
    if (isHeadless()) {
        applyScriptedInput(presentedFrames());
        for (const ScriptEvent& event : headlessOptions().script)
            if (event.kind == kScriptCloseWindow && event.frame == presentedFrames())
                closeRequested = true;
    }
    if (!SDL_WasInit(SDL_INIT_EVENTS)) return 0;
    pumpSdlEvents();
    int64_t handled = 0;
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
        ++handled;
        if (event.type == SDL_QUIT ||
            (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE))
            closeRequested = true;
        else
            handleInputEvent(event);
    }
    return handled;
}
} // namespace

void pumpRuntimeEvents() { handlePendingEvents(); }

std::string screenshotDirectory;

namespace {
bool screenshotWanted = false;

void savePlayersScreenshot() {
    screenshotWanted = false;
    if (screenshotDirectory.empty()) return;
    std::error_code error;
    std::filesystem::create_directories(screenshotDirectory, error);
    auto now = std::chrono::system_clock::now().time_since_epoch();
    std::string path = screenshotDirectory + "/quarrelix-" +
                       std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(now).count()) +
                       ".png";
    if (saveScreenshot(path)) std::fprintf(stderr, "Quarrelix: screenshot %s\n", path.c_str());
    else std::fprintf(stderr, "Quarrelix: the screenshot could not be saved in %s\n", screenshotDirectory.c_str());
}
} // namespace

void requestScreenshot() { screenshotWanted = true; }

int64_t presentFrame() {
    pumpRuntimeEvents();
    if (renderer) {
        if (isHeadless()) takeScriptedScreenshots();
        if (screenshotWanted) savePlayersScreenshot();
        SDL_RenderPresent(renderer);
    }
    countPresentedFrame();
    advanceSilentSound();
    pumpRuntimeEvents();
    return 1;
}

int64_t processWindowEvent() {
    bool wasRequested = closeRequested;
    int64_t handled = handlePendingEvents();
    return handled > 0 || closeRequested != wasRequested ? 1 : 0;
}

bool windowCloseRequested() { return closeRequested; }
void clearWindowCloseRequest() { closeRequested = false; }

bool readScreen(Bitmap& bitmap) {
    if (!renderer || outputWidth <= 0) return false;
    int width = 0, height = 0;
    if (SDL_GetRendererOutputSize(renderer, &width, &height) != 0) return false;
    bitmap.width = width;
    bitmap.height = height;
    bitmap.depth = 24;
    bitmap.pixels.assign(size_t(width) * size_t(height), 0);
    if (SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, bitmap.pixels.data(),
                             width * 4) != 0)
        return false;
    for (uint32_t& p : bitmap.pixels) p |= 0xFF000000u; // the screen is opaque
    return true;
}

bool saveScreenshot(const std::string& path) {
    Bitmap screen;
    return readScreen(screen) && savePng(path, screen.width, screen.height, screen.pixels.data());
}

void messageBox(const std::string& title, const std::string& text, int64_t icon) {
    shownMessages += title + ": " + text + "\n";
    bool shown = false;
    if (!isHeadless() && videoStarted) {
        Uint32 flags = icon == kMessageErrorIcon ? SDL_MESSAGEBOX_ERROR : 0;
        shown = SDL_ShowSimpleMessageBox(flags, title.c_str(), text.c_str(), window) == 0;
    }
    if (!shown) std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
}

const std::string& messageBoxLog() { return shownMessages; }
void clearMessageBoxLog() { shownMessages.clear(); }

void endRuntime() {
    endSound();
    endSprites();
    closeWindow(-1);
    endImages();
    endInput();
    closeAllFiles();
    freeJson(-1);
    if (videoStarted) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    videoStarted = false;
    SDL_Quit();
    closeRequested = false;
    nextScreenshotEvent = 0;
    resetElapsedClock();
}

void shutdownProgram(int exitCode) {
    endRuntime();
    std::exit(exitCode);
}

void fatalError(const std::string& title, const std::string& text, int64_t icon) {
    messageBox(title, text, icon);
    // A failed start is not a success: the process says so with its exit code.
    shutdownProgram(1);
}
