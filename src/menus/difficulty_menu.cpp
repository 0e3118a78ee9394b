// The difficulty screen.
#include "menus/difficulty_menu.h"

#include "fight/fighter.h"
#include "menus/choice_menu.h"
#include "menus/key_hints.h"
#include "render/sprite_assets.h"
#include "runtime/runtime.h"
#include "input/player_setup.h"

int64_t difficultySelection = 0;

int64_t runDifficultyMenu(int64_t textX, int64_t textY) {
    ChoiceMenu menu;
    menu.screenName = "difficulty";
    menu.header = "=======Difficulty selection";
    menu.labels = {"      Easy      ", "     Medium     ", "      Hard      ", "   (go back)    "};
    menu.descriptions = {
        "Attacks randomly, heavy attacks are rare.",
        "Attacks frequently, punishes you in the air\\and may use random combos.",
        "Attacks very frequently with semi-intelligent combos.\\Some classes and stances may "
        "have specific behaviors."};
    // What player one presses here: the arrows or their own keys, as the screen reads them.
    menu.hints = {eitherKey("Up/Down", keyPairFor(playerSetups[0], &Controls::up, &Controls::down)) +
                      ": change difficulty",
                  eitherKey("Return", keyFor(playerSetups[0], &Controls::neutral)) + ": confirm",
                  eitherKey("Escape", keyFor(playerSetups[0], &Controls::heavy)) +
                      ": back to the class selection"};
    loadStatIcons();
    seedRandom(uint64_t(systemTimeMs()));
    int64_t result = runChoiceMenu(textX, textY, menu, difficultySelection);
    freeStatIcons();
    return result;
}
