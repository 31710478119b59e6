#include "terrain/sky_grid.h"

#include <string>
#include <vector>

#include "terrain/horizons.h"
#include "terrain/sky_light.h"
#include "terrain/terrain_file.h"
#include "terrain/terrain_test_files.h"

namespace {

// A small terrain file with a bump, written with horizons from its heights.
std::string writeBump(ScratchFolder& folder, const std::string& name, int sx, int sy, int n) {
  std::vector<float> heights(size_t(sx) * sy);
  for (int r = 0; r < sx; ++r)
    for (int c = 0; c < sy; ++c) heights[r * sy + c] = float(5.0 / (1 + (r - 3) * (r - 3) + (c - 2) * (c - 2)));
  std::string full = folder.file(name), error;
  EXPECT_TRUE(writeTerrainFile(full, sx, sy, n, heights, computeHorizons(heights.data(), sx, sy, n), error));
  return full;
}

// Each computation rereads the file: the same file gives the same grid, a bad
// one keeps the previous terrain and grid, and a new one brings its sizes.
TEST(SkyGridTest, RecomputationsRereadTheFileAndAFailedOneKeepsTheLastGrid) {
  ScratchFolder folder;
  const Sky sky;
  const std::string good = writeBump(folder, "good.hrz", 7, 5, 8);
  TerrainSkyGrid current;
  TerrainError error;
  ASSERT_TRUE(computeSkyGrid(good, sky, current, error)) << error.message;
  EXPECT_EQ(current.terrain.fileName, good);
  const std::vector<float> kept = current.skyGrid;
  const std::vector<float> heights = current.terrain.terrainHeights;
  ASSERT_EQ(kept.size(), 35u);
  // The grid is the sky light of the terrain read whole; the horizons are
  // summed as they are read, not kept.
  EXPECT_TRUE(current.terrain.horizons.empty());
  Terrain whole;
  ASSERT_TRUE(readTerrain(good, whole, error));
  EXPECT_EQ(kept, computeSkyLight(whole, sky));
  ASSERT_TRUE(computeSkyGrid(good, sky, current, error));
  EXPECT_EQ(current.skyGrid, kept);

  std::vector<BadFile> bad = badFiles();
  bad.push_back({"missing", {}, "tgrid: cannot open input file '%s'\n", -1});
  for (const BadFile& file : bad) {
    const std::string name = std::string(file.what) == "missing"
                                 ? folder.file("missing.hrz")
                                 : folder.write(std::string(file.what) + ".hrz", file.bytes);
    EXPECT_FALSE(computeSkyGrid(name, sky, current, error)) << file.what;
    EXPECT_EQ(error.message, withName(file.message, name)) << file.what;
    EXPECT_EQ(error.exitStatus, file.exitStatus) << file.what;
    EXPECT_EQ(current.skyGrid, kept) << file.what;
    EXPECT_EQ(current.terrain.terrainHeights, heights) << file.what;
    EXPECT_EQ(current.terrain.fileName, good) << file.what;
    EXPECT_EQ(current.terrain.terrainNormals.size(), 35u) << file.what;
  }

  // A new file, its name of any length.
  const std::string second = writeBump(folder, std::string(180, 'x') + ".hrz", 5, 9, 4);
  ASSERT_TRUE(computeSkyGrid(second, sky, current, error)) << error.message;
  EXPECT_EQ(current.terrain.gridSizeX, 5);
  EXPECT_EQ(current.terrain.gridSizeY, 9);
  EXPECT_EQ(current.terrain.numDirections, 4);
  EXPECT_TRUE(current.terrain.horizons.empty());
  EXPECT_EQ(current.skyGrid.size(), 45u);
  EXPECT_FLOAT_EQ(current.terrain.terrainHeights[3 * 9 + 2], 5.0f);
}

}  // namespace
