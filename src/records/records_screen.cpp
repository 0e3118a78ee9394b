// The records screen.
#include "records/records_screen.h"

#include <algorithm>
#include <cstdio>

#include "input/keys.h"
#include "input/player_setup.h"
#include "menus/choice_menu.h"
#include "menus/key_hints.h"
#include "menus/menu_framework.h"
#include "render/fade.h"
#include "render/text.h"
#include "runtime/runtime.h"

namespace {
constexpr size_t kNameColumn = 14; // letters; longer class names are cut
constexpr size_t kColumn = 8;
constexpr int64_t kLinesTint = 0xFFFFFF;
const char* const kEntries[] = {" Clear records  ", "   (go back)    "};
constexpr int64_t kClearEntry = 0, kGoBackEntry = 1;

std::string winsAndLosses(int64_t wins, int64_t losses) {
    return std::to_string(wins) + "-" + std::to_string(losses);
}

// Asked before anything is lost; true when the player confirmed.
bool confirmClearing(int64_t textX, int64_t textY) {
    ChoiceMenu menu;
    menu.screenName = "clear records";
    menu.header = "=======Clear the records?";
    menu.labels = {"  Clear them    ", "   Keep them    "};
    menu.descriptions = {"Every win, loss, clear and best is\\forgotten: this cannot be undone."};
    menu.hints = {eitherKey("Return", keyFor(playerSetups[0], &Controls::neutral)) + ": confirm",
                  eitherKey("Escape", keyFor(playerSetups[0], &Controls::heavy)) + ": keep them"};
    int64_t kept = -1; // "Keep them" first: a stray Return loses nothing
    return runChoiceMenu(textX, textY, menu, kept) == 0;
}

// One visit of the screen: the entry chosen, or -1 when it was left.
int64_t showRecords(int64_t textX, int64_t textY) {
    noteScreenOpened("records");
    const std::vector<std::string> lines = recordsLines(records);
    const std::vector<std::string> hints = {
        eitherKey("Up/Down", keyPairFor(playerSetups[0], &Controls::up, &Controls::down)) +
            ": choose",
        eitherKey("Return", keyFor(playerSetups[0], &Controls::neutral)) + ": confirm",
        eitherKey("Escape", keyFor(playerSetups[0], &Controls::heavy)) + ": back"};
    int64_t highlighted = kGoBackEntry, result = -1;
    MenuKeys keys;
    bool black = runMenuFrames([&](double, bool frozen) {
        drawMenuHeader(textX, textY, "=======Records");
        int64_t y = textY + 120;
        for (const std::string& line : lines) y = drawText(line, textX + 100, y, kLinesTint, 128);
        y += 20;
        for (int64_t i = 0; i <= kGoBackEntry; ++i)
            drawMenuEntry(textX + 100, y + 20 * i, kEntries[i], i, highlighted, 0);
        drawHintLines(hints, textX + 100, y + 20 * (kGoBackEntry + 1) + 20, kHintGrey);
        if (frozen) return;
        MenuInput input = readMenuInput(keys);
        if (fadeActive) input.select = false; // no choice unseen, as on the other menus
        followEntryList(input, highlighted, kGoBackEntry, result);
    });
    return black ? result : -1;
}
} // namespace

std::string padded(std::string text, size_t width) {
    if (text.size() > width - 1) text.resize(width - 1);
    return text + std::string(width - text.size(), ' ');
}

std::string clockText(double seconds) {
    const int64_t tenths = int64_t(std::max(0.0, seconds) * 10 + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld.%lld", (long long)(tenths / 600),
                  (long long)(tenths / 10 % 60), (long long)(tenths % 10));
    return text;
}

std::vector<std::string> recordsLines(const Records& from) {
    std::vector<std::string> lines;
    if (from.classes.empty()) {
        lines.push_back("No matches yet: fight the computer, a friend,");
        lines.push_back("the arcade's ladder or survival.");
    } else {
        lines.push_back(padded("Class", kNameColumn) + padded("Easy", kColumn) + padded("Medium", kColumn) +
                        padded("Hard", kColumn) + padded("People", kColumn) + "Online");
        for (const auto& [name, counts] : from.classes) {
            std::string line = padded(name, kNameColumn);
            for (int64_t level = 0; level < kBotLevels; ++level)
                line += padded(winsAndLosses(counts.botWins[size_t(level)], counts.botLosses[size_t(level)]),
                               kColumn);
            line += padded(winsAndLosses(counts.peopleWins, counts.peopleLosses), kColumn);
            lines.push_back(line + winsAndLosses(counts.onlineWins, counts.onlineLosses));
        }
        bool header = false;
        for (const auto& [name, counts] : from.classes) {
            if (counts.arcadeClears == 0) continue;
            if (!header) {
                lines.push_back("");
                lines.push_back(padded("Arcade", kNameColumn) + padded("Clears", kColumn) +
                                padded("Best", kColumn) + "Fewest continues");
                header = true;
            }
            lines.push_back(padded(name, kNameColumn) + padded(std::to_string(counts.arcadeClears), kColumn) +
                            padded(clockText(counts.arcadeBestSeconds), kColumn) +
                            std::to_string(counts.arcadeFewestContinues));
        }
    }
    lines.push_back("");
    const size_t label = 22;
    lines.push_back(padded("Survival best", label) + std::to_string(from.survivalBest) + " wins");
    lines.push_back(padded("Longest win streak", label) + std::to_string(from.longestWinStreak));
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f s", from.fastestKnockOutSeconds);
    lines.push_back(padded("Fastest knock-out", label) +
                    (from.fastestKnockOutSeconds > 0 ? std::string(seconds) : std::string("-")));
    lines.push_back(padded("Highest combo", label) + std::to_string(from.highestCombo) + " hits");
    return lines;
}

void runRecordsScreen(int64_t textX, int64_t textY) {
    for (;;) {
        if (showRecords(textX, textY) != kClearEntry || windowCloseRequested()) return;
        if (confirmClearing(textX, textY)) {
            records = Records{};
            saveRecords();
        }
        if (windowCloseRequested()) return;
    }
}
