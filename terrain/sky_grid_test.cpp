#include "terrain/sky_grid.h"

#include <algorithm>
#include <string>
#include <vector>

#include "terrain/horizons.h"
#include "terrain/terrain_file.h"
#include "terrain/terrain_test_files.h"

namespace {

// A small terrain file with a bump, written with horizons from its heights.
std::string writeBump(ScratchFolder& folder, const std::string& name, int sx, int sy, int n) {
  std::vector<float> heights(size_t(sx) * sy);
  for (int r = 0; r < sx; ++r)
    for (int c = 0; c < sy; ++c) heights[r * sy + c] = float(5.0 / (1 + (r - 3) * (r - 3) + (c - 2) * (c - 2)));
  std::string full = folder.file(name), error;
  EXPECT_TRUE(writeTerrainFile(full, sx, sy, n, heights,
                               computeHorizons(heights.data(), sx, sy, n), error));
  return full;
}

TEST(SkyGridTest, RepeatedCallsGiveEqualGridsAndNewFilesTheirSizes) {
  ScratchFolder folder;
  const Sky sky;
  std::string first = writeBump(folder, "first.hrz", 8, 6, 12);
  TerrainSkyGrid current;
  TerrainError error;
  ASSERT_TRUE(computeSkyGrid(first, sky, current, error)) << error.message;
  EXPECT_EQ(current.terrain.gridSizeX, 8);
  EXPECT_EQ(current.terrain.gridSizeY, 6);
  EXPECT_EQ(current.terrain.fileName, first);
  const std::vector<float> before = current.skyGrid;
  ASSERT_EQ(before.size(), 48u);
  ASSERT_TRUE(computeSkyGrid(first, sky, current, error));
  EXPECT_EQ(current.skyGrid, before);
  EXPECT_EQ(*std::max_element(before.begin(), before.end()), 1.0f);

  std::string second = writeBump(folder, "second.hrz", 5, 9, 4);
  ASSERT_TRUE(computeSkyGrid(second, sky, current, error));
  EXPECT_EQ(current.terrain.gridSizeX, 5);
  EXPECT_EQ(current.terrain.numDirections, 4);
  EXPECT_TRUE(current.terrain.horizons.empty());  // summed as read, not kept
  EXPECT_FLOAT_EQ(current.terrain.terrainHeights[3 * 9 + 2], 5.0f);

  // Names of any length.
  std::string third = writeBump(folder, std::string(180, 'x') + ".hrz", 4, 4, 3);
  EXPECT_TRUE(computeSkyGrid(third, sky, current, error));
  EXPECT_EQ(current.terrain.gridSizeX, 4);
}

TEST(SkyGridTest, AFailedRecomputationKeepsThePreviousTerrainAndGrid) {
  ScratchFolder folder;
  const Sky sky;
  std::string good = writeBump(folder, "good.hrz", 7, 5, 8);
  TerrainSkyGrid current;
  TerrainError error;
  ASSERT_TRUE(computeSkyGrid(good, sky, current, error));
  const std::vector<float> kept = current.skyGrid;
  const std::vector<float> heights = current.terrain.terrainHeights;

  std::vector<BadFile> bad = badFiles();
  bad.push_back({"missing", {}, "tgrid: cannot open input file '%s'\n", -1});
  for (const BadFile& file : bad) {
    SCOPED_TRACE(file.what);
    const std::string name = std::string(file.what) == "missing"
                                 ? folder.file("missing.hrz")
                                 : folder.write(std::string(file.what) + ".hrz", file.bytes);
    EXPECT_FALSE(computeSkyGrid(name, sky, current, error));
    EXPECT_EQ(error.message, withName(file.message, name));
    EXPECT_EQ(error.exitStatus, file.exitStatus);
    // The old terrain and grid are still there, unchanged.
    EXPECT_EQ(current.skyGrid, kept);
    EXPECT_EQ(current.terrain.terrainHeights, heights);
    EXPECT_EQ(current.terrain.fileName, good);
    EXPECT_EQ(current.terrain.terrainNormals.size(), 35u);
  }
}

}  // namespace
