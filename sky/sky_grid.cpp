#include "sky/sky_grid.h"

#include <cstdio>
#include <vector>

#include "terrain/sky_light.h"
#include "terrain/terrain_file.h"

namespace {

// The grid of the current terrain, replaced only by a complete computation.
std::vector<float>& currentSkyGrid() {
  static std::vector<float> grid;
  return grid;
}

// Reads the file and computes its grid into fresh storage; on success makes
// both current.
bool recompute(const std::string& fileName, TerrainError& error) {
  TerrainFile file;
  TerrainRecord terrain;
  std::vector<float> grid;
  if (!file.open(fileName, terrain, error)) return false;
  if (!computeSkyLight(file, terrain, grid, error)) return false;
  replaceCurrentTerrain(std::move(terrain));
  currentSkyGrid().swap(grid);
  return true;
}

}  // namespace

const float* computeSkyGrid(const std::string& fileName, int& gridSizeX, int& gridSizeY) {
  TerrainError error;
  if (!recompute(fileName, error)) exitWithTerrainError(error);
  gridSizeX = currentTerrain().gridSizeX;
  gridSizeY = currentTerrain().gridSizeY;
  return currentSkyGrid().data();
}

const float* tryComputeSkyGrid(const std::string& fileName, int& gridSizeX, int& gridSizeY) {
  TerrainError error;
  if (!recompute(fileName, error)) {
    std::fputs(error.message.c_str(), stderr);
    std::fflush(stderr);
    return nullptr;
  }
  gridSizeX = currentTerrain().gridSizeX;
  gridSizeY = currentTerrain().gridSizeY;
  return currentSkyGrid().data();
}
