// PNG output of rasterised images through libpng.
#pragma once

#include <string>

#include "raster.h"

// How the pixels are stored.
enum class PngMode {
    // RGBA with the image's own alpha (the game loads these keeping their alpha channel).
    Alpha,
    // RGB for pictures loaded with the black colour key: pixels under half opacity become pure
    // black (transparent to the game); solid pixels that would round to pure black are lifted to
    // near black so that they stay visible.
    ColorKey,
};

// Writes the image; returns false (with a message on stderr) when the file cannot be written.
bool writePng(const std::string& path, const Image& image, PngMode mode);

// Reads a PNG back (8-bit RGB or RGBA) into an image; false on failure. Used by tests and
// tools that check what was written.
bool readPng(const std::string& path, Image& image);
