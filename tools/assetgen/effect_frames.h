// Landing dust and loading animations: their pictures and their data.json entries.
#pragma once

#include <string>

#include "data_builder.h"

struct EffectAnimations {
    Json landLightFront = Json::array();
    Json landLightBack = Json::array();
    Json landHeavyFront = Json::array();
    Json landHeavyBack = Json::array();
    Json loading = Json::array();
};

// Draws every frame under outDir/image/effect/ and returns the animations that show them.
EffectAnimations writeEffectAnimations(const std::string& outDir, bool* ok);
