// The key name table, indexed by key code.
#include "input/keys.h"

#include <array>

#include "runtime/text.h"

const char* const kUnassignedKeyName = "-unasigned-";
const char* const kUnknownKeyName = "-unkown-";

namespace {
const std::array<std::string, 256>& keyNames() {
    static const std::array<std::string, 256> names = [] {
        std::array<std::string, 256> table;
        table.fill(kUnknownKeyName);
        table[0] = kUnassignedKeyName;
        auto run = [&](int first, std::initializer_list<const char*> list) {
            for (const char* name : list) table[size_t(first++)] = name;
        };
        run(1, {"Escape", "1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "-", "="});
        run(15, {"Tab", "Q", "W", "E", "R", "T", "Y", "U", "I", "O", "P"});
        run(28, {"Return"});
        run(30, {"A", "S", "D", "F", "G", "H", "J", "K", "L", ";", "'"});
        run(42, {"Left shift"});
        run(44, {"Z", "X", "C", "V", "B", "N", "M", ","});
        run(53, {"/", "Right shift", "*", "Left alt", "Space"});
        run(59, {"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10"});
        run(71, {"Pad 7", "Pad 8", "Pad 9"});
        run(87, {"F11", "F12"});
        run(75, {"Pad 4", "Pad 5", "Pad 6", "+", "Pad 1", "Pad 2", "Pad 3", "Pad 0", "."});
        run(179, {"Pad Comma"});
        run(181, {"Pad Divide"});
        run(184, {"Right alt"});
        run(200, {"Up"});
        run(203, {"Left"});
        run(205, {"Right"});
        run(208, {"Down"});
        return table;
    }();
    return names;
}
} // namespace

const std::string& keyNameOf(int64_t code) {
    static const std::string unknown = kUnknownKeyName;
    if (code < 0 || code > 255) return unknown;
    return keyNames()[size_t(code)];
}

int64_t keyCodeOf(const std::string& name) {
    std::string wanted = lowerCase(trim(name));
    if (wanted == lowerCase(kUnknownKeyName)) return 0;
    for (int64_t code = 0; code < 256; ++code)
        if (lowerCase(keyNames()[size_t(code)]) == wanted) return code;
    return 0;
}
