// The settings file "settings.txt" (JSON): the player's options and both players' keys.
#pragma once

#include <cstdint>
#include <string>

#include "net/packets.h"

constexpr int64_t kAutoInputDelay = -1; // the input delay setting's "Auto"

// The player's options as the options screen shows them and settings.txt keeps them, with the
// values a new player starts with (defaultSettings adjusts those to the desktop).
struct Settings {
    int64_t soundVolume = 50;    // percent, 0-100
    int64_t musicVolume = 20;    // percent, 0-100
    int64_t soundStereo = 60;    // largest stereo pan of an effect, 0-60
    int64_t soundVariation = 1;  // multiplies pitch variation requests
    int64_t keyboardType = 1;    // 1 "Local keyboard", 0 "Force QWERTY"
    int64_t comboDisplay = 1;    // combo display mode 1-3
    int64_t windEnabled = 1;
    int64_t particleEnabled = 1;
    int64_t buffedFrames = 5;    // how the class images are prepared before a match, 1-5
    int64_t attackDelay = 3;     // hit-stop: 1 off, 2 fixed, 3 relative to the damage
    // Rounds a match against a player or the bot lasts at most: 1, 3 or 5. The first to win
    // most of them wins the match; 1 is a single knock-out.
    int64_t rounds = 1;
    int64_t showFps = 1;
    int64_t screenSizeIndex = 0; // index into screenSizes, 0-9
    int64_t fullscreen = 1;      // non-zero: a borderless screen-sized window
    int64_t debugMode = 0;       // -1 on, 0 off
    int64_t lessonsPassed = 0;   // bit n set: lesson n + 1 has been passed
    // Online play: frames between a key press and the move it makes, 0 to kMaxInputDelay
    // (net/packets.h), or kAutoInputDelay: chosen from the round trip measured when a match
    // starts. A longer delay hides more of the other player's lag; a shorter one feels quicker.
    int64_t inputDelay = kAutoInputDelay;
    // The address last typed to join a game online ("" none): offered again next time.
    std::string lastJoinAddress;
    // The lobby that gives rooms and codes, "HOST" or "HOST:PORT" ("" none yet: the room
    // entries say how to set one).
    std::string lobbyAddress;
};
extern Settings settings;

// The one list of defaults: what start-up begins with and what the options screen's "Reset to
// default" goes back to. A desktop narrower than 1500 pixels gets the small combo display.
Settings defaultSettings(int64_t desktopWidth);

constexpr int64_t kLessonCount = 6; // the lessons there are
constexpr size_t kMaxAddressLength = 64; // characters, the join screen's limit too

// What an address typed to join may hold: letters, digits and the marks of a host name, an
// IPv4 or IPv6 address and a port (".", ":", "-", "[", "]").
bool addressCharacterAllowed(char c);
// An address the join screen could have typed: non-empty, within the limit, allowed characters.
bool plausibleAddress(const std::string& address);

// "settings.txt" in the game's directory; elsewhere for an installed game (shell/player_files.h);
// "" when the settings are not kept: nothing is read or written.
extern std::string settingsPath;

void resetSettingsToDefaults(int64_t desktopWidth); // defaultSettings, and the default frame rate
int64_t loadSettings();  // 1 when the file was read; 0 (nothing changed) otherwise
int64_t saveSettings();  // 1 when written; 0 after showing the failure message, or when not kept
void applyMusicVolume(); // every sound in the music slots 1-8 gets the music volume
