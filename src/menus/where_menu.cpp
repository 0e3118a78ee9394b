// The where-to-play screen.
#include "menus/where_menu.h"

#include "fight/fighter.h"
#include "menus/choice_menu.h"
#include "menus/key_hints.h"
#include "input/player_setup.h"

int64_t whereSelection = kPlaySameComputer;

int64_t runWhereMenu(int64_t textX, int64_t textY) {
    ChoiceMenu menu;
    menu.screenName = "where to play";
    menu.header = "=======Where is the other player";
    menu.labels = {" Same computer  ", "  Host online   ", "  Join online   ", "   (go back)    "};
    menu.descriptions = {
        "Both players at this computer.",
        "Wait here for the other player to join.\\Open port 7770 (UDP) to play over the "
        "internet.",
        "Type the address of the computer that hosts."};
    // What player one presses here: the arrows or their own keys, as the screen reads them.
    menu.hints = {eitherKey("Up/Down", keyPairFor(playerSetups[0], &Controls::up, &Controls::down)) +
                      ": change",
                  eitherKey("Return", keyFor(playerSetups[0], &Controls::neutral)) + ": confirm",
                  eitherKey("Escape", keyFor(playerSetups[0], &Controls::heavy)) + ": back to the menu"};
    return runChoiceMenu(textX, textY, menu, whereSelection);
}
