// The where-to-play screen.
#include "menus/where_menu.h"

#include "fight/fighter.h"
#include "menus/choice_menu.h"
#include "menus/key_hints.h"
#include "input/player_setup.h"

int64_t whereSelection = kPlaySameComputer;

int64_t runWhereMenu(int64_t textX, int64_t textY, const std::string& lobby) {
    // Without a lobby, the room entries say where to set one.
    const std::string noLobby = lobby.empty() ? "\\No lobby yet: Options, Lobby sets one." : "";
    ChoiceMenu menu;
    menu.screenName = "where to play";
    menu.header = "=======Where is the other player";
    menu.labels = {" Same computer  ", "  Host a room   ", "  Join a room   ", "  Watch a room  ",
                   "Host by address ", "Join by address ", "   (go back)    "};
    menu.descriptions = {
        "Both players at this computer.",
        "Get a short code to tell the other player." + noLobby,
        "Type the code the host tells you." + noLobby,
        "Watch a room's match, a second behind." + noLobby,
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
