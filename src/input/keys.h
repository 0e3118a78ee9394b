// Key codes and the key name table that the menus show and the settings file stores.
#pragma once

#include <cstdint>
#include <string>

constexpr int64_t kKeyEscape = 1;
constexpr int64_t kKey1 = 2; // 2, 3 and 4 follow
constexpr int64_t kKeyR = 19;
constexpr int64_t kKeyReturn = 28;
constexpr int64_t kKeyF = 33;
constexpr int64_t kKeyLeftShift = 42;
constexpr int64_t kKeySpace = 57;
constexpr int64_t kKeyUp = 200;
constexpr int64_t kKeyLeft = 203;
constexpr int64_t kKeyRight = 205;
constexpr int64_t kKeyDown = 208;

extern const char* const kUnassignedKeyName; // "-unasigned-", the name of code 0
extern const char* const kUnknownKeyName;    // "-unkown-", a code without a name

const std::string& keyNameOf(int64_t code); // outside 0..255: the unknown name
// The first code whose name matches (trimmed, any case); 0 when none does. The unknown
// name matches nothing: it would otherwise bind a key the table does not offer.
int64_t keyCodeOf(const std::string& name);
