// Text helpers.
#include "runtime/text.h"

#include <cstdio>

int64_t textLength(const std::string& text) { return int64_t(text.size()); }

std::string substring(const std::string& text, int64_t start, int64_t length) {
    if (start < 1) start = 1;
    if (length <= 0 || start > int64_t(text.size())) return {};
    return text.substr(size_t(start - 1), size_t(length));
}

std::string trim(const std::string& text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string upperCase(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return out;
}

std::string lowerCase(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

std::string intToText(int64_t value) { return std::to_string(value); }

std::string floatToText(double value, int64_t decimals) {
    if (decimals < 0) decimals = 0;
    if (decimals > 17) decimals = 17;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", int(decimals), value);
    return buffer;
}

int64_t firstCharCode(const std::string& text) {
    if (text.empty()) return 0;
    auto byte = [&](size_t i) { return i < text.size() ? uint8_t(text[i]) : 0; };
    uint8_t b0 = byte(0);
    if (b0 < 0x80) return b0;
    if ((b0 & 0xE0) == 0xC0) return ((b0 & 0x1F) << 6) | (byte(1) & 0x3F);
    if ((b0 & 0xF0) == 0xE0) return ((b0 & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
    return ((b0 & 0x07) << 18) | ((byte(1) & 0x3F) << 12) | ((byte(2) & 0x3F) << 6) |
           (byte(3) & 0x3F);
}

std::string replaceText(const std::string& text, const std::string& find,
                        const std::string& replacement) {
    if (find.empty()) return text;
    std::string out;
    size_t from = 0;
    for (size_t at; (at = text.find(find, from)) != std::string::npos; from = at + find.size())
        out += text.substr(from, at - from) + replacement;
    return out + text.substr(from);
}

std::string fieldOfText(const std::string& text, int64_t index, char separator) {
    if (index < 1) return {};
    size_t start = 0;
    for (int64_t i = 1; i < index; ++i) {
        size_t at = text.find(separator, start);
        if (at == std::string::npos) return {};
        start = at + 1;
    }
    size_t end = text.find(separator, start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}
