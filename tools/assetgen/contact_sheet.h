// Contact sheets: many generated pictures laid out on one image for a quick look.
#pragma once

#include <string>
#include <vector>

#include "raster.h"

// Lays the PNG files out in rows no wider than `width`, each scaled down by `shrink` (1 = as
// is), over a mid-grey checker so that transparency shows.
Image makeContactSheet(const std::vector<std::string>& files, int width, int shrink);
// Writes a sheet of every PNG under dir whose name contains `filter` (all when empty).
bool writeContactSheet(const std::string& dir, const std::string& filter, const std::string& outFile, int width, int shrink);
