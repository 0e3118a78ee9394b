// The fighter classes of data.json: the roster, its pictures and its class objects.
#pragma once

#include <string>
#include <vector>

#include "class_builder.h"
#include "class_design.h"
#include "data_builder.h"

// The roster in data file order: position 0 brawler, 1 duelist, 2 lancer, 3 crusher, 4 dancer,
// 5 a class still to be added.
std::vector<ClassDesign> rosterDesigns();

// Draws every class's pictures into outDir and appends the classes to the builder in roster
// order. Returns false when a picture could not be written or does not fit.
bool addFighterClasses(DataBuilder& builder, const std::string& outDir);
