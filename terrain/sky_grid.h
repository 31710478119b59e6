// The terrain's sky grid: a terrain file read afresh and the brightness of
// every cell under a sky. The window calls it after every change of sky, sun
// or terrain, and after a pick; the tools call it once.
#pragma once

#include <string>
#include <vector>

#include "sky/sky.h"
#include "terrain/terrain_file.h"

// A terrain (its sizes, heights and normals; its horizons are summed as they
// are read and not kept) and its sky grid (gridSizeX rows of gridSizeY
// brightness values, scaled to the brightest cell as the window shows it).
struct TerrainSkyGrid {
  Terrain terrain;
  std::vector<float> skyGrid;
};

// Reads fileName and computes its sky grid under the sky. `result` is
// replaced only once both have succeeded; a file that cannot be read, or
// whose storage cannot be had, fills `error` (the reader's message and exit
// status) and leaves `result` as it was.
bool computeSkyGrid(const std::string& fileName, const Sky& sky, TerrainSkyGrid& result,
                    TerrainError& error);
