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
// An object with integer "x" and "y" (each missing one 0); a missing key gives no vector.
std::optional<Vec2> readVectorField(const JsonNode* object, const char* key);
