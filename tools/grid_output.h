// Writing a grid of values in [0, 1] as a 16-bit greyscale PNG or as text.
// Both write to a temporary file beside the target and rename it when
// complete, so a failure never leaves a half-written file.
#pragma once

#include <cstdio>
#include <string>

// Row i of the image is grid row i (gridSizeX rows of gridSizeY values); a
// pixel is the value * 65535, rounded and held to 0 .. 65535.
bool writeGreyscalePng(const std::string& fileName, const float* grid, int gridSizeX,
                       int gridSizeY, std::string& error);

// One grid row per line, values with 9 significant digits separated by commas.
bool writeGridCsv(const std::string& fileName, const float* grid, int gridSizeX, int gridSizeY,
                  std::string& error);

// The same text to an open stream.
bool printGridCsv(std::FILE* out, const float* grid, int gridSizeX, int gridSizeY);

// The 16-bit pixel of a value.
unsigned pixelValue(float value);
