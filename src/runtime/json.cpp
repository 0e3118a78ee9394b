// JSON documents. nlohmann's parser reads the text (comments allowed); the document is then
// kept as a tree of our own nodes whose addresses never move, so handles stay valid while
// members are added.
#include "runtime/json.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "runtime/files.h"
#include "runtime/numbers.h"
#include "runtime/object_table.h"

struct JsonNode {
    JsonType type = kJsonNull;
    std::string text;
    bool isInteger = false; // integers keep their exact value
    int64_t integer = 0;
    double number = 0;
    bool truth = false;
    std::vector<std::pair<std::string, std::unique_ptr<JsonNode>>> members;
    std::vector<std::unique_ptr<JsonNode>> elements;
};

namespace {
struct JsonDocument {
    std::unique_ptr<JsonNode> root = std::make_unique<JsonNode>();
};
ObjectTable<JsonDocument> documents;

void convert(const nlohmann::ordered_json& from, JsonNode& to) {
    switch (from.type()) {
    case nlohmann::ordered_json::value_t::string:
        to.type = kJsonString;
        to.text = from.get<std::string>();
        break;
    case nlohmann::ordered_json::value_t::boolean:
        to.type = kJsonBool;
        to.truth = from.get<bool>();
        break;
    case nlohmann::ordered_json::value_t::number_integer:
        to.type = kJsonNumber;
        to.isInteger = true;
        to.integer = from.get<int64_t>();
        to.number = double(to.integer);
        break;
    case nlohmann::ordered_json::value_t::number_unsigned: {
        uint64_t value = from.get<uint64_t>();
        to.type = kJsonNumber;
        to.isInteger = value <= uint64_t(INT64_MAX);
        to.integer = to.isInteger ? int64_t(value) : INT64_MAX;
        to.number = double(value);
        break;
    }
    case nlohmann::ordered_json::value_t::number_float:
        to.type = kJsonNumber;
        to.number = from.get<double>();
        break;
    case nlohmann::ordered_json::value_t::array:
        to.type = kJsonArray;
        for (const auto& element : from) {
            to.elements.push_back(std::make_unique<JsonNode>());
            convert(element, *to.elements.back());
        }
        break;
    case nlohmann::ordered_json::value_t::object:
        to.type = kJsonObject;
        for (const auto& [key, value] : from.items()) {
            to.members.emplace_back(key, std::make_unique<JsonNode>());
            convert(value, *to.members.back().second);
        }
        break;
    default:
        to.type = kJsonNull;
    }
}

void appendEscaped(std::string& out, const std::string& text) {
    out += '"';
    for (unsigned char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        default:
            if (c < 0x20) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                out += buffer;
            } else {
                out += char(c);
            }
        }
    }
    out += '"';
}

void appendNumber(std::string& out, const JsonNode& node) {
    if (node.isInteger) {
        out += std::to_string(node.integer);
        return;
    }
    if (!std::isfinite(node.number)) { // JSON has no infinities: write null as nlohmann does
        out += "null";
        return;
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.10g", node.number);
    out += buffer;
}

void compose(std::string& out, const JsonNode& node, bool pretty, int depth) {
    auto newline = [&](int level) {
        if (!pretty) return;
        out += '\n';
        out.append(size_t(level) * 4, ' ');
    };
    switch (node.type) {
    case kJsonNull: out += "null"; break;
    case kJsonString: appendEscaped(out, node.text); break;
    case kJsonNumber: appendNumber(out, node); break;
    case kJsonBool: out += node.truth ? "true" : "false"; break;
    case kJsonArray:
        out += '[';
        for (size_t i = 0; i < node.elements.size(); ++i) {
            if (i) out += ',';
            newline(depth + 1);
            compose(out, *node.elements[i], pretty, depth + 1);
        }
        if (!node.elements.empty()) newline(depth);
        out += ']';
        break;
    case kJsonObject:
        out += '{';
        for (size_t i = 0; i < node.members.size(); ++i) {
            if (i) out += ',';
            newline(depth + 1);
            appendEscaped(out, node.members[i].first);
            out += pretty ? ": " : ":";
            compose(out, *node.members[i].second, pretty, depth + 1);
        }
        if (!node.members.empty()) newline(depth);
        out += '}';
        break;
    }
}

JsonError lastError;

// 1-based line and byte column of a position in the text, counted as the parser counts them.
void placeError(const std::string& text, size_t offset) {
    offset = std::min(offset, text.size());
    lastError.line = 1;
    size_t lineStart = 0;
    for (size_t i = 0; i < offset; ++i)
        if (text[i] == '\n') {
            ++lastError.line;
            lineStart = i + 1;
        }
    lastError.column = int64_t(offset - lineStart) + 1;
}

// The first place outside strings and comments where `found` (given the text and a place)
// says yes; the text's size when it never does. The parser has accepted the text up to there,
// so strings and comments are all that must be stepped over.
template <typename Found> size_t firstOutsideStrings(const std::string& text, Found found) {
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            for (++i; i < text.size() && text[i] != '"'; ++i)
                if (text[i] == '\\') ++i;
        } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
            i = std::min(text.find('\n', i), text.size());
        } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
            size_t end = text.find("*/", i + 2);
            i = end == std::string::npos ? text.size() : end + 1;
        } else if (found(i)) {
            return i;
        }
    }
    return text.size();
}

// Where the first container opening below maxDepth levels starts.
size_t tooDeepOffset(const std::string& text, int64_t maxDepth) {
    int64_t depth = 0;
    return firstOutsideStrings(text, [&](size_t i) {
        if (text[i] == ']' || text[i] == '}') --depth;
        return (text[i] == '[' || text[i] == '{') && ++depth > maxDepth;
    });
}

// Splits nlohmann's "[json.exception...] parse error at line L, column C: what" into its parts.
void describeError(const std::string& what, const std::string& text, size_t byte) {
    size_t at = what.find(" at line ");
    long line = 0, column = 0;
    if (at != std::string::npos &&
        std::sscanf(what.c_str() + at, " at line %ld, column %ld", &line, &column) == 2) {
        lastError.line = line;
        lastError.column = column;
    } else if (byte > 0) {
        placeError(text, byte - 1);
    }
    size_t colon = what.find(": ", at == std::string::npos ? 0 : at);
    size_t bracket = what.rfind("] ", colon);
    if (colon != std::string::npos) lastError.message = what.substr(colon + 2);
    else if (bracket != std::string::npos) lastError.message = what.substr(bracket + 2);
    else lastError.message = what;
}

// Where the number token `token` (as the parser quotes it) first stands outside strings and
// comments.
size_t numberOffset(const std::string& text, const std::string& token) {
    auto numeric = [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) || (c != 0 && std::strchr("+-.eE", c));
    };
    return firstOutsideStrings(text, [&](size_t i) {
        return text.compare(i, token.size(), token) == 0 && (i == 0 || !numeric(text[i - 1])) &&
               (i + token.size() == text.size() || !numeric(text[i + token.size()]));
    });
}

// Why the text cannot be JSON for its encoding ("" when it is UTF-8), with lastError placed:
// UTF-16 (with or without its byte order mark) and bytes that are not UTF-8 (Latin-1 and
// other 8-bit encodings) are named, with how to mend the file.
std::string encodingProblem(const std::string& text) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const std::string mend = ": save it as UTF-8 (an editor's \"Save with encoding\")";
    bool bom16 = text.size() >= 2 && ((byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == 0xFE && byte(1) == 0xFF));
    bool zeros = text.size() >= 2 && (byte(0) == 0 || byte(1) == 0);
    if (bom16 || zeros) {
        placeError(text, 0);
        return "the file is UTF-16, not UTF-8" + mend;
    }
    for (size_t i = 0; i < text.size();) {
        unsigned char c = byte(i);
        size_t length = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 && c >= 0xC2 ? 2 : (c & 0xF0) == 0xE0 ? 3
                                     : (c & 0xF8) == 0xF0 && c <= 0xF4 ? 4 : 0;
        bool whole = length > 0 && i + length <= text.size();
        for (size_t k = 1; whole && k < length; ++k) whole = (byte(i + k) & 0xC0) == 0x80;
        if (!whole) {
            placeError(text, i);
            char shown[8];
            std::snprintf(shown, sizeof shown, "0x%02X", unsigned(c));
            return std::string("the byte ") + shown + " is not UTF-8 (Latin-1 or another 8-bit encoding?)" + mend;
        }
        i += length;
    }
    return "";
}

void reset(JsonNode* value, JsonType type) {
    *value = JsonNode{};
    value->type = type;
}
} // namespace

int64_t parseJson(int64_t jsonId, const std::string& text) {
    lastError = JsonError{};
    if (std::string problem = encodingProblem(text); !problem.empty()) {
        lastError.message = problem;
        return 0;
    }
    // The parser itself keeps its nesting on the heap; what it would build below the depth
    // limit is discarded as it goes, so a hostile file costs time linear in its size.
    bool tooDeep = false;
    auto limitDepth = [&](int depth, nlohmann::ordered_json::parse_event_t event,
                          nlohmann::ordered_json&) {
        bool opens = event == nlohmann::ordered_json::parse_event_t::object_start ||
                     event == nlohmann::ordered_json::parse_event_t::array_start;
        if (opens && depth >= kJsonMaxDepth) tooDeep = true;
        return !(opens && depth >= kJsonMaxDepth);
    };
    nlohmann::ordered_json parsed;
    try {
        // The members keep their order; comments are allowed.
        parsed = nlohmann::ordered_json::parse(text, limitDepth, true, true);
    } catch (const nlohmann::ordered_json::parse_error& error) {
        describeError(error.what(), text, error.byte);
        return 0;
    } catch (const nlohmann::ordered_json::exception& error) {
        describeError(error.what(), text, 0);
        // A number too large ("number overflow parsing '1e400'") comes without a place: the
        // number quoted is found in the text.
        std::string what = error.what();
        size_t open = what.find(" parsing '"), close = what.rfind('\'');
        if (open != std::string::npos && close > open + 10)
            placeError(text, numberOffset(text, what.substr(open + 10, close - open - 10)));
        if (lastError.line == 0) placeError(text, 0);
        return 0;
    }
    if (tooDeep) {
        lastError.message = "nesting deeper than " + std::to_string(kJsonMaxDepth) + " levels";
        placeError(text, tooDeepOffset(text, kJsonMaxDepth));
        return 0;
    }
    if (parsed.is_discarded()) return 0;
    auto document = std::make_unique<JsonDocument>();
    convert(parsed, *document->root);
    return creationResult(jsonId, documents.store(jsonId, std::move(document)));
}

int64_t loadJsonFile(int64_t jsonId, const std::string& path) {
    std::string text;
    if (fileSize(path) < 0 || !readWholeFile(path, text)) {
        lastError = JsonError{"cannot read " + path, 0, 0};
        return 0;
    }
    return parseJson(jsonId, text);
}

const JsonError& lastJsonError() { return lastError; }

int64_t createJson(int64_t jsonId) {
    return creationResult(jsonId, documents.store(jsonId, std::make_unique<JsonDocument>()));
}

void freeJson(int64_t jsonId) { documents.release(jsonId); }

JsonNode* jsonRoot(int64_t jsonId) {
    JsonDocument* document = documents.find(jsonId);
    return document ? document->root.get() : nullptr;
}

JsonNode* jsonMember(const JsonNode* object, const std::string& key) {
    if (!object || object->type != kJsonObject) return nullptr;
    // The last of duplicated keys wins, as in common JSON readers.
    for (auto it = object->members.rbegin(); it != object->members.rend(); ++it)
        if (it->first == key) return it->second.get();
    return nullptr;
}

JsonNode* jsonElement(const JsonNode* array, int64_t index) {
    if (!array || array->type != kJsonArray || index < 0 || index >= int64_t(array->elements.size()))
        return nullptr;
    return array->elements[size_t(index)].get();
}

namespace {
bool hasMember(const JsonNode* object, int64_t index) {
    return object && object->type == kJsonObject && index >= 0 &&
           index < int64_t(object->members.size());
}
} // namespace

std::string jsonMemberKey(const JsonNode* object, int64_t index) {
    return hasMember(object, index) ? object->members[size_t(index)].first : std::string();
}

JsonNode* jsonMemberAt(const JsonNode* object, int64_t index) {
    return hasMember(object, index) ? object->members[size_t(index)].second.get() : nullptr;
}

int64_t jsonArraySize(const JsonNode* array) {
    return array && array->type == kJsonArray ? int64_t(array->elements.size()) : 0;
}

int64_t jsonMemberCount(const JsonNode* object) {
    return object && object->type == kJsonObject ? int64_t(object->members.size()) : 0;
}

int64_t jsonType(const JsonNode* value) { return value ? value->type : kJsonNull; }

std::string jsonString(const JsonNode* value) {
    return value && value->type == kJsonString ? value->text : std::string();
}

int64_t jsonInteger(const JsonNode* value) {
    if (!value) return 0;
    if (value->type == kJsonBool) return value->truth ? 1 : 0;
    if (value->type != kJsonNumber) return 0;
    return value->isInteger ? value->integer : truncateToInt(value->number);
}

double jsonDouble(const JsonNode* value) {
    if (!value) return 0;
    if (value->type == kJsonBool) return value->truth ? 1.0 : 0.0;
    if (value->type != kJsonNumber) return 0;
    return value->isInteger ? double(value->integer) : value->number;
}

void jsonSetObject(JsonNode* value) {
    if (value) reset(value, kJsonObject);
}

void jsonSetArray(JsonNode* value) {
    if (value) reset(value, kJsonArray);
}

JsonNode* jsonAddMember(JsonNode* object, const std::string& key) {
    if (!object || object->type != kJsonObject) return nullptr;
    object->members.emplace_back(key, std::make_unique<JsonNode>());
    return object->members.back().second.get();
}

JsonNode* jsonAddElement(JsonNode* array) {
    if (!array || array->type != kJsonArray) return nullptr;
    array->elements.push_back(std::make_unique<JsonNode>());
    return array->elements.back().get();
}

void jsonSetString(JsonNode* value, const std::string& text) {
    if (!value) return;
    reset(value, kJsonString);
    value->text = text;
}

void jsonSetInteger(JsonNode* value, int64_t number) {
    if (!value) return;
    reset(value, kJsonNumber);
    value->isInteger = true;
    value->integer = number;
    value->number = double(number);
}

void jsonSetDouble(JsonNode* value, double number) {
    if (!value) return;
    reset(value, kJsonNumber);
    value->number = number;
}

void jsonSetBool(JsonNode* value, bool truth) {
    if (!value) return;
    reset(value, kJsonBool);
    value->truth = truth;
}

std::string composeJsonNode(const JsonNode* value, bool pretty) {
    std::string out;
    if (value) compose(out, *value, pretty, 0);
    else out = "null";
    return out;
}

std::string composeJson(int64_t jsonId, bool pretty) {
    JsonDocument* document = documents.find(jsonId);
    return document ? composeJsonNode(document->root.get(), pretty) : std::string();
}
