// Field readers of the data file.
#include "data/json_fields.h"

#include "runtime/json.h"

int64_t readIntegerField(const JsonNode* object, const char* key) {
    return jsonInteger(jsonMember(object, key));
}

float readFloatField(const JsonNode* object, const char* key) {
    return float(jsonDouble(jsonMember(object, key)));
}

std::string readTextField(const JsonNode* object, const char* key) {
    return jsonString(jsonMember(object, key));
}

const JsonNode* objectMember(const JsonNode* object, const char* key) {
    const JsonNode* value = jsonMember(object, key);
    return jsonType(value) == kJsonObject ? value : nullptr;
}

std::optional<Vec2> readVectorField(const JsonNode* object, const char* key) {
    const JsonNode* value = objectMember(object, key);
    if (!value) return std::nullopt;
    // Integer members, as every integer of the file: 2.9 reads as 2.
    return Vec2{float(readIntegerField(value, "x")), float(readIntegerField(value, "y"))};
}
