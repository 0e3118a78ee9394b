// Hook for the fighter classes: the fighter generator fills the "class" section here.
#pragma once

#include <string>

#include "data_builder.h"

// Draws every class's pictures into outDir and appends the classes to the builder in roster
// order. Until the fighter generator exists this adds nothing.
void addFighterClasses(DataBuilder& builder, const std::string& outDir);
