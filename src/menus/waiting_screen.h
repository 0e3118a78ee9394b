// A screen that waits for something outside the player's hands (the other player joining,
// a connection being made): a title and status lines, and Escape to give up.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Shows `title` and the lines `lines` gives (asked anew every frame, so that they follow the
// status) and calls `poll` once a frame until it returns true. True once poll has returned
// true and the screen has faded out; false when the player cancelled (Escape or player one's
// heavy key) or the window closed. `screenName` is the name the screen opens under for
// noteScreenOpened ("host online", "connecting", ...).
bool runWaitingScreen(int64_t textX, int64_t textY, const std::string& screenName,
                      const std::string& title,
                      const std::function<std::vector<std::string>()>& lines,
                      const std::function<bool()>& poll,
                      const std::function<int64_t(int64_t x, int64_t y)>& drawBelow = nullptr);
// drawBelow, when given, draws under the status lines each frame (a room's code in large
// letters) and returns the height it took, in px.
