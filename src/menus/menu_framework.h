// What every menu screen shares: the background, the header, the entries' keys with their hold
// counters, and the menu sounds.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "data/sound_library.h"
#include "data/sound_pools.h"
#include "render/backdrop.h" // the background

inline const std::string kMenuBanner = "QUARRELIX PROJECT pre-alpha 0.1.0.5a =======";
inline const std::string kOptionsBanner = "QUARRELIX PROJECT ALPHA pre-alpha 0.1.0.5a =======";

struct Controls;
struct Fighter;
struct PlayerSetup;

// A player's key for an action, primary or secondary, or their controller's part in it: held,
// or just let go (all are read, so that each release is taken once).
bool playerKeyDown(const PlayerSetup& player, int64_t Controls::*key);
bool playerKeyReleased(const PlayerSetup& player, int64_t Controls::*key);
bool eitherPlayerKeyDown(int64_t Controls::*key);
bool eitherPlayerKeyReleased(int64_t Controls::*key);
// Back (Escape or either player's heavy key let go), honoured once per screen: plays the back
// sound and starts the fade out. True on the frame it is taken.
bool takeMenuBack(bool& backTaken);
// True on the frame a key goes down; the latch holds it until the key is let go.
bool pressedOnce(bool down, bool& latch);

struct MenuKeys {
    int64_t holdPrevious = 0; // frames the direction has been held; a move happens at 1
    int64_t holdNext = 0;
    bool backTaken = false;   // Back is honoured once per screen
};

struct MenuInput {
    int64_t move = 0; // -1 previous, +1 next
    bool select = false;
    bool back = false;
};

void drawMenuBackground();
// The help lines, the banner and the title of a screen.
constexpr int64_t kRightMargin = 20; // px kept free at the screen's right edge
// x, or further left where a line of text from x would pass the right margin.
int64_t fittedTextX(const std::string& line, int64_t x);
// The description beside a menu's highlighted entry, in its own lines where they fit the
// screen and wrapped anew where they do not.
void drawEntryDescription(const std::string& text, int64_t x, int64_t y);
void drawMenuHeader(int64_t textX, int64_t textY, const std::string& title,
                    const std::string& banner = kMenuBanner);
// Reads this frame's keys (after the keyboard snapshot): arrows or either player's directions
// move, Return or either player's neutral key selects, Escape or either heavy key goes back.
MenuInput readMenuInput(MenuKeys& keys);
// A list of entries with "(go back)" last (at `goBack`): the input's move, with its sound, then
// its choice or Back, with theirs, starting the fade out; `result` becomes the entry chosen, -1
// for going back.
void followEntryList(const MenuInput& input, int64_t& highlighted, int64_t goBack, int64_t& result);
void playMenuSound(int64_t pool, int64_t x = kNoStereo); // x: screen position for the pan
// Tests listen to the menus: when set, every menu sound's pool is appended to it.
extern std::vector<int64_t>* menuSoundLog;
// Frames Return has been held (0 when released): selection screens start on its first frame
// only, so a Return held over from the screen before never chooses.
extern int64_t returnHoldFrames;
void updateReturnHold();
// Called with a screen's name each time one opens ("main menu", "class selection", ...):
// tests follow the game from screen to screen with it.
extern std::function<void(const std::string&)> screenOpenedHook;
void noteScreenOpened(const std::string& name);
// While a fade to black runs, the keyboard is not examined.
bool menuInputFrozen();
// The frame loop every menu screen shares: the background, the keyboard snapshot (not while
// the screen darkens), the screen's own frame, window events, the fade, pacing and the menu
// pulse. Returns when the fade reaches full black, or false at once when the window is asked
// to close (the program then ends).
bool runMenuFrames(const std::function<void(double frameFactor, bool inputFrozen)>& frame);
// While an online connection is open: called once a frame by every menu and by the end of match
// to keep it alive. When it returns false (the connection ended) a menu fades out as if left.
extern std::function<bool()> menuFrameService;
// Called from a screen's frame: the frame is paced from the moment its frame callback returns
// instead of from its start (after a change of the frame rate, so that the frame that changed
// it takes the new frame length from then on).
void restartMenuFrameClock();
