// What every menu screen shares: the background, the header, the entries' keys with their hold
// counters, and the menu sounds.
#pragma once

#include <cstdint>
#include <string>

constexpr int64_t kMenuMovePool = 1;
constexpr int64_t kMenuSelectPool = 2;
constexpr int64_t kMenuBackPool = 3;

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

// The background shared by every menu and the fight, made when missing or of another size.
int64_t menuBackgroundSprite();
void drawMenuBackground();
void drawMenuHeader(int64_t textX, int64_t textY, const std::string& title);
// Reads this frame's keys (after the keyboard snapshot): arrows or either player's directions
// move, Return or either player's neutral key selects, Escape or either heavy key goes back.
MenuInput readMenuInput(MenuKeys& keys);
void playMenuSound(int64_t pool);
// While a fade to black runs, the keyboard is not examined.
bool menuInputFrozen();
void resetMenuBackground(); // forgets its sprite number (a new run)
