// The class selection panels: the two-player pair (each player moves a cursor over the
// selectable classes and their stances, then declares ready) and the single-cursor panel of a
// match against the bot (pick your class, then your opponent). They return a selection code:
// class + 100 x stance for one player (99 random, 98 mirror), player one's code + 10000 x
// player two's for a pair, -999 while no choice is made.
#pragma once

#include <cstdint>

struct FightState;

constexpr int64_t kNoSelection = -999;

// A panel's cursor and keys; kept between visits so a panel shows the previous choice.
struct SelectionPanel {
    int64_t cursor = 0;        // position in selectableClasses
    int64_t stance = 0;        // index in the class's stances; -1 random, -2 mirror
    int64_t carouselStart = 0; // position of the carousel's first slot
    bool latchNext = false, latchPrevious = false, latchStanceUp = false, latchStanceDown = false;
    bool ready = false;
};

struct SingleCursorPanel {
    SelectionPanel panel;
    int64_t step = 1;        // 1 pick your class, 2 pick your opponent, 3 done
    int64_t firstCode = -1;  // player one's choice once made
    int64_t result = kNoSelection;
    bool done = false;       // starts afresh when it next runs outside a fade out
};

// Online play: this computer's player moves their own panel with player one's keys; the other
// panel follows the peer's choice as it comes. The host starts the match once both are ready;
// the other side's screen ends when the host has started it.
struct OnlinePanels {
    bool active = false;
    int64_t localSide = 0;   // 0: player one's panel (the host's), 1: player two's
    int64_t peerCode = 0;    // the peer's choice, a panel code
    bool peerReady = false;
    bool started = false;    // the host started the match: the screen ends with the choices
};
extern OnlinePanels onlinePanels;

extern SelectionPanel playerOnePanel;
extern SelectionPanel playerTwoPanel;
extern SingleCursorPanel botPanel;
// The code of one panel's choice (class or 99/98, plus 100 x stance or 99/98).
int64_t panelCode(const SelectionPanel& panel);
// The cursor position of a stored choice's class id or marker; 0 when the list lacks it.
int64_t cursorOfCode(int64_t code);
// One frame of the pair (reads keys, draws both panels); the code or -999.
// The fight's players take the choices' colours (player two's alternate one).
int64_t twoPlayerPanels(FightState& fight, double frameFactor);
// One frame of the single-cursor panel; after a completed choice it starts afresh. With
// `ownClassOnly` the choice ends with player one's class (the opponents come from the mode).
int64_t singleCursorPanel(FightState& fight, double frameFactor, bool ownClassOnly = false);
