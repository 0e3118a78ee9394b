// The pair matrix as a heat map: each cell the row class's Hard-against-Hard win rate against
// the column class, coloured on a scale centred at 50 %, drawn with the content generator's
// rasteriser and fonts.
#pragma once

#include <string>

#include "balance_matches.h"
#include "balance_stats.h"
#include "raster.h"

// The picture's size in pixels.
constexpr int kMatrixWidth = 900;
constexpr int kMatrixHeight = 700;

// White at 50 %, shading to red above and to blue below, full colour from 70 % and to 30 %.
Color winRateColour(double fraction);

// The whole picture: title, class names on both axes, the cells and a colour legend.
Image drawPairMatrix(const Roster& roster, const HardFigures& hard);

// Draws and writes it as a PNG; false (with a message on stderr) when it cannot be written.
bool writePairMatrix(const std::string& path, const Roster& roster, const HardFigures& hard);
