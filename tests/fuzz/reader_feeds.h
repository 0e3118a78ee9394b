// One input through each of the game's readers, the way the game reads it. The fuzz targets
// and the test that replays every input that ever broke a reader share these, so an input
// found by the fuzzer fails the ordinary test suite in the same place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Starts the runtime headless (silent sound, message boxes on stderr) and arranges for the
// settings reader to read the players' keys too. Readers that only take a path get their
// input written into inputDirectory. The data loader looks for the sound pools' files in
// sound/ under the current directory: where there is none, every pool gets the silent sound
// and an input costs only its own reading.
void startReaderRuntime(const std::string& inputDirectory);
void endReaderRuntime();

// Each returns "" when the reader kept its promises (a crash or a sanitizer report is the
// other way to fail), otherwise a line saying what went wrong.
std::string feedJson(const uint8_t* data, size_t size);     // parse, compose, parse again
std::string feedGameData(const uint8_t* data, size_t size); // data.json as quarrelix-data loads it
std::string feedSettings(const uint8_t* data, size_t size); // settings.txt, saved and read back
std::string feedPng(const uint8_t* data, size_t size);      // loadPng
std::string feedWav(const uint8_t* data, size_t size);      // sound loading, RIFF files only
std::string feedOgg(const uint8_t* data, size_t size);      // sound loading, all but RIFF files
// A replay file as it is, then the same bytes read as a header line and an uncompressed body,
// sealed (compressed, checksummed) as the writer seals them, so that the frame reader is
// reached past the checksum. What reads must encode, read back the same and encode the same.
std::string feedReplay(const uint8_t* data, size_t size);
// A packet of online play through the packet decoder; what decodes must encode to the same
// bytes.
std::string feedPackets(const uint8_t* data, size_t size);

// A datagram to the lobby: through the message decoder (what decodes must encode to the same
// bytes), then into one lobby that lives across inputs, from an address the input's first byte
// picks, with the clock moving on: its tables stay within their limits.
std::string feedLobby(const uint8_t* data, size_t size);

struct ReaderFeed {
    const char* name; // the fuzz target's name and its regressions directory
    std::string (*feed)(const uint8_t* data, size_t size);
};
extern const ReaderFeed kReaderFeeds[9];
