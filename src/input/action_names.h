// The names players see for their actions: the key bound to an action, or the game
// controller's button or stick direction when the player uses one.
#pragma once

#include <cstdint>
#include <string>

#include "input/bindings.h"

// What to press for one action (a field of Controls): the primary key's name ("Left", "P"),
// the secondary key's when the primary is unassigned, and with a game controller
// "button 1" (neutral), "button 3" (heavy), "button 4" (jump) or "stick left" and the like.
// padIndex: the player's game controller, -1 for none (its keys are named while it is unplugged).
std::string actionName(const KeyBindings& keys, int64_t padIndex, int64_t Controls::*action);
