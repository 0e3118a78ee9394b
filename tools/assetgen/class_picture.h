// The 500x500 class picture shown by the menus, with the head and shoulders in the portrait square.
#pragma once

#include <string>

#include "class_design.h"

// Side of the class picture and the portrait square the menus cut from it (px).
constexpr int kClassPictureSize = 500;
constexpr int kPortraitX = 175;
constexpr int kPortraitY = 175;
constexpr int kPortraitSize = 150;

// Draws the class's portrait pose large, facing right, over a dark emblem on pure black (the
// black colour key makes the rest transparent). Returns false when the file cannot be written.
bool writeClassPicture(const ClassDesign& design, const std::string& file);
// The same picture in memory.
Image classPicture(const ClassDesign& design);
