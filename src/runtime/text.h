// Text helpers on UTF-8 strings (positions count bytes; the game's own texts are ASCII).
#pragma once

#include <cstdint>
#include <string>

int64_t textLength(const std::string& text);
std::string substring(const std::string& text, int64_t start, int64_t length); // start from 1
std::string trim(const std::string& text);          // leading and trailing spaces
std::string upperCase(const std::string& text);     // ASCII letters
std::string lowerCase(const std::string& text);     // ASCII letters
std::string intToText(int64_t value);
std::string floatToText(double value, int64_t decimals);
int64_t firstCharCode(const std::string& text);     // the first character's code point, 0 if empty
std::string replaceText(const std::string& text, const std::string& find,
                        const std::string& replacement);
std::string fieldOfText(const std::string& text, int64_t index, char separator); // index from 1
