// JSON documents: numbered, parsed with comments allowed, navigated through stable node
// handles, read leniently and composed with "%.10g" numbers.
#pragma once

#include <cstdint>
#include <string>

struct JsonNode; // a value inside a document; a null handle means "none"

enum JsonType { kJsonNull = 0, kJsonString = 1, kJsonNumber = 2, kJsonBool = 3, kJsonArray = 4,
                kJsonObject = 5 };

// Containers nested deeper than this are refused as a parse error: the document tree is
// walked recursively, and a hostile file must not exhaust the stack.
constexpr int64_t kJsonMaxDepth = 512;

// Why the last loadJsonFile or parseJson failed. Line and column (1-based, the column in
// bytes) point at the fault; both are 0 when the text was never read (a missing file).
struct JsonError {
    std::string message;
    int64_t line = 0;
    int64_t column = 0;
};

int64_t loadJsonFile(int64_t jsonId, const std::string& path); // 0 if missing or invalid
int64_t parseJson(int64_t jsonId, const std::string& text);    // 0 if invalid
const JsonError& lastJsonError(); // empty message after a success
int64_t createJson(int64_t jsonId);                            // a document holding null
void freeJson(int64_t jsonId);                                 // -1 frees every document
JsonNode* jsonRoot(int64_t jsonId);

JsonNode* jsonMember(const JsonNode* object, const std::string& key); // null if absent
JsonNode* jsonElement(const JsonNode* array, int64_t index);
// An object's members by position, in the order of the text: the key and the value of member
// index ("" and null outside 0 .. jsonMemberCount - 1).
std::string jsonMemberKey(const JsonNode* object, int64_t index);
JsonNode* jsonMemberAt(const JsonNode* object, int64_t index);
int64_t jsonArraySize(const JsonNode* array);   // 0 for a non-array
int64_t jsonMemberCount(const JsonNode* object); // 0 for a non-object
int64_t jsonType(const JsonNode* value);        // JsonType; a null handle is kJsonNull

std::string jsonString(const JsonNode* value);  // "" unless a string
int64_t jsonInteger(const JsonNode* value);     // numbers truncated, true 1; else 0
double jsonDouble(const JsonNode* value);       // numbers, true 1.0; else 0

void jsonSetObject(JsonNode* value);            // becomes an empty object
void jsonSetArray(JsonNode* value);             // becomes an empty array
JsonNode* jsonAddMember(JsonNode* object, const std::string& key); // a new null member
JsonNode* jsonAddElement(JsonNode* array);                          // a new null element
void jsonSetString(JsonNode* value, const std::string& text);
void jsonSetInteger(JsonNode* value, int64_t number);
void jsonSetDouble(JsonNode* value, double number);
void jsonSetBool(JsonNode* value, bool truth);

std::string composeJson(int64_t jsonId, bool pretty = true);
std::string composeJsonNode(const JsonNode* value, bool pretty = true);
