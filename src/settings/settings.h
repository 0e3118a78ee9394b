// The settings file "settings.txt" (JSON): the player's options and both players' keys.
#pragma once

#include <cstdint>
#include <string>

#include "net/packets.h"

extern int64_t soundVolume;    // percent, 0-100
extern int64_t musicVolume;    // percent, 0-100
extern int64_t soundStereo;    // largest stereo pan of an effect, 0-60
extern int64_t soundVariation; // multiplies pitch variation requests
extern int64_t keyboardType;   // 1 "Local keyboard", 0 "Force QWERTY"
extern int64_t comboDisplay;   // combo display mode 1-3
extern int64_t windEnabled;
extern int64_t particleEnabled;
extern int64_t buffedFrames;   // how the class images are prepared before a match, 1-5
extern int64_t attackDelay;    // hit-stop: 1 off, 2 fixed, 3 relative to the damage
extern int64_t showFps;
extern int64_t screenSizeIndex; // index into screenSizes, 0-9
extern int64_t fullscreen;      // non-zero: a borderless screen-sized window
extern int64_t debugMode;       // -1 on, 0 off
extern int64_t lessonsPassed;   // bit n set: lesson n + 1 has been passed
constexpr int64_t kLessonCount = 6; // the lessons there are
// Online play: frames between a key press and the move it makes, 0-4. A longer delay hides
// more of the other player's lag; a shorter one feels quicker.
extern int64_t inputDelay; // 0 to kMaxInputDelay, kDefaultInputDelay at first (net/packets.h)
// The address last typed to join a game online ("" none): offered again next time.
extern std::string lastJoinAddress;
constexpr size_t kMaxAddressLength = 64; // characters, the join screen's limit too

// What an address typed to join may hold: letters, digits and the marks of a host name, an
// IPv4 or IPv6 address and a port (".", ":", "-", "[", "]").
bool addressCharacterAllowed(char c);
// An address the join screen could have typed: non-empty, within the limit, allowed characters.
bool plausibleAddress(const std::string& address);

// "settings.txt" in the game's directory; elsewhere for an installed game (app/player_files.h);
// "" when the settings are not kept: nothing is read or written.
extern std::string settingsPath;

void resetSettingsToDefaults(int64_t desktopWidth); // the start-up defaults
int64_t loadSettings();  // 1 when the file was read; 0 (nothing changed) otherwise
int64_t saveSettings();  // 1 when written; 0 after showing the failure message, or when not kept
void applyMusicVolume(); // every sound in the music slots 1-8 gets the music volume
