#include "terrain/sky_grid.h"

#include <new>

#include "terrain/sky_light.h"

bool computeSkyGrid(const std::string& fileName, const Sky& sky, TerrainSkyGrid& result,
                    TerrainError& error) {
  TerrainSkyGrid fresh;
  if (!readTerrain(fileName, fresh.terrain, error)) return false;
  try {
    fresh.skyGrid = computeSkyLight(fresh.terrain, sky);
  } catch (const std::bad_alloc&) {
    error = terrainTooLarge(fileName);
    return false;
  }
  result = std::move(fresh);
  return true;
}
