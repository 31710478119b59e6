#include "terrain/sky_grid.h"

#include <tuple>

#include "terrain/sky_light.h"
#include "terrain/terrain_test_files.h"

namespace {

// A small terrain file with a bump, written with horizons from its heights.
std::string writeBump(const std::string& full, int sx, int sy, int n) {
  std::vector<float> heights(size_t(sx) * sy);
  for (int r = 0; r < sx; ++r)
    for (int c = 0; c < sy; ++c) heights[r * sy + c] = float(5.0 / (1 + (r - 3) * (r - 3) + (c - 2) * (c - 2)));
  std::string error;
  EXPECT_TRUE(writeTerrainFile(full, sx, sy, n, heights, computeHorizons(heights.data(), sx, sy, n), error));
  return full;
}

using SkyGridTest = ScratchFolderTest;

// Each computation rereads the file; a bad one keeps the previous terrain and grid.
TEST_F(SkyGridTest, RecomputationsRereadTheFileAndAFailedOneKeepsTheLastGrid) {
  const Sky sky;
  const std::string good = writeBump(path("good.hrz"), 7, 5, 8);
  TerrainSkyGrid current;
  TerrainError error;
  ASSERT_TRUE(computeSkyGrid(good, sky, current, error)) << error.message;
  const std::vector<float> kept = current.skyGrid;
  const std::vector<float> heights = current.terrain.terrainHeights;
  // The grid is the sky light of the terrain read whole; the horizons are summed, not kept.
  EXPECT_TRUE(current.terrain.horizons.empty());
  Terrain whole;
  ASSERT_TRUE(readTerrain(good, whole, error));
  EXPECT_EQ(kept, computeSkyLight(whole, sky));
  ASSERT_TRUE(computeSkyGrid(good, sky, current, error));
  EXPECT_EQ(current.skyGrid, kept);

  // A file cut short in its last horizon block fails after the sums began.
  std::string cut = terrainBytes(2, 2, 2, std::vector<float>(4), std::vector<uint16_t>(8));
  cut.pop_back();
  const std::string corrupted = path("cut.hrz"), missing = path("missing.hrz");
  writeFile(corrupted, cut);
  for (const std::string& name : {corrupted, missing}) {
    EXPECT_FALSE(computeSkyGrid(name, sky, current, error)) << name;
    EXPECT_EQ(error.exitStatus, name == missing ? -1 : 1);
    EXPECT_EQ(current.skyGrid, kept) << name;
    EXPECT_EQ(current.terrain.terrainHeights, heights) << name;
    EXPECT_EQ(current.terrain.fileName, good) << name;
    EXPECT_EQ(current.terrain.terrainNormals.size(), 35u) << name;
  }

  // A new file, its name of any length.
  const std::string second = writeBump(path(std::string(180, 'x') + ".hrz"), 5, 9, 4);
  ASSERT_TRUE(computeSkyGrid(second, sky, current, error)) << error.message;
  EXPECT_EQ(std::make_tuple(current.terrain.gridSizeX, current.terrain.gridSizeY, current.terrain.numDirections),
            std::make_tuple(5, 9, 4));
  EXPECT_EQ(current.skyGrid.size(), 45u);
  EXPECT_FLOAT_EQ(current.terrain.terrainHeights[3 * 9 + 2], 5.0f);
}

}  // namespace
