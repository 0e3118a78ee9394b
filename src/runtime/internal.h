// What the runtime's own files share: the renderer and the event pump. Not for the game.
#pragma once

#include <SDL.h>

SDL_Renderer* runtimeRenderer(); // null when no screen is open
bool renderingSkipped();          // no screen, or the headless null renderer
bool softwareRendering();         // the renderer draws with the CPU
// The surface a software renderer draws on, when the game's pixels are its pixels (no logical
// scaling); null otherwise. Flush the renderer before writing to it.
SDL_Surface* softwareScreenSurface();
void watchDisplayConnection(); // after video starts: a lost X server ends the game cleanly
void pumpRuntimeEvents();        // every pending SDL event reaches its service
void pumpSdlEvents();            // one counted SDL_PumpEvents
// Starts SDL's controller support once initControllers has asked for it; false before that.
bool startControllerSupport();
void handleInputEvent(const SDL_Event& event);   // keyboard and controllers
void applyScriptedInput(int64_t frame);          // headless input for this frame
void recreateSpriteTextures();   // after the renderer changed
void destroySpriteTextures();    // before the renderer goes away
void endSprites();
void endImages();
void endSound();
void endInput();
void endVirtualControllers();    // unplugs those still plugged in
SDL_GameControllerButton controllerButtonOf(int64_t button); // the game's buttons 1-14

struct Bitmap;
Bitmap* spriteBitmapForDrawing(int64_t spriteId); // null when the sprite cannot be drawn on
void finishSpriteDrawing(int64_t spriteId);       // keys, masks and uploads the new pixels
