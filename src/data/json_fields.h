// The lenient reading rules of the data file, one helper per kind of field.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct JsonNode;

struct Vec2 {
    float x = 0;
    float y = 0;
};

// A number or boolean truncated toward zero; anything else or a missing key gives 0.
int64_t readIntegerField(const JsonNode* object, const char* key);
// A number as a float; anything else or a missing key gives 0.
float readFloatField(const JsonNode* object, const char* key);
// A string; anything else or a missing key gives "".
std::string readTextField(const JsonNode* object, const char* key);
// The member when it is an object; a missing member or one of another type (null, a number,
// a text, an array) is absent, so that it never makes a record of defaults.
const JsonNode* objectMember(const JsonNode* object, const char* key);
// An object with integer "x" and "y" (each missing one 0); a missing key or a member that is
// not an object gives no vector.
std::optional<Vec2> readVectorField(const JsonNode* object, const char* key);
