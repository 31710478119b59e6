#include "terrain/sky_grid.h"

#include <memory>
#include <new>

#include "terrain/sky_light.h"

bool computeSkyGrid(const std::string& fileName, const Sky& sky, TerrainSkyGrid& result,
                    TerrainError& error) {
  TerrainSkyGrid fresh;
  try {
    // The sky light is summed as the horizons are read, while they are in
    // the cache.
    std::unique_ptr<SkyLightSum> sum;
    const auto addBlocks = [&](const Terrain& terrain, int firstDirection, int count, const uint16_t* blocks) {
      if (!sum) sum.reset(new SkyLightSum(sky, terrain.numDirections, terrain.numCells()));
      sum->add(firstDirection, count, blocks);
    };
    if (!readTerrain(fileName, fresh.terrain, error, addBlocks, KeepHorizons::kNone)) return false;
    fresh.skyGrid = sum->skyGrid(fresh.terrain.terrainNormals, SkyLightScale::kLargest);
  } catch (const std::bad_alloc&) {
    error = terrainTooLarge(fileName);
    return false;
  }
  result = std::move(fresh);
  return true;
}
