// Writing a grid of values in [0, 1] as a 16-bit greyscale PNG or as text,
// into an OutputFile (core/output_file.h): the writers open it and write
// everything, and the caller commits it, alone or with the files written
// beside it. On failure the file's error() says why.
#pragma once

#include <string>

#include "core/output_file.h"

// Row i of the image is grid row i (gridSizeX rows of gridSizeY values); a
// pixel is the value * 65535, rounded and held to 0 .. 65535.
bool writeGreyscalePng(OutputFile& output, const float* grid, int gridSizeX, int gridSizeY);

// One grid row per line, values with 9 significant digits separated by commas.
bool writeGridCsv(OutputFile& output, const float* grid, int gridSizeX, int gridSizeY);

// The 16-bit pixel of a value.
unsigned pixelValue(float value);
