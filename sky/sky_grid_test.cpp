#include "sky/sky_grid.h"

#include <string>
#include <vector>

#include "app/app_state.h"
#include "sky/sky_model.h"
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

class SkyGridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    appState.distribution = CLEAR;
    appState.generalType = 11;
    appState.sunDirection = angleToVector(appState.sunAzimuth, appState.sunElevation);
  }
  ScratchFolder folder;
};

TEST_F(SkyGridTest, RepeatedCallsGiveEqualGridsAndNewFilesTheirSizes) {
  std::string first = writeBump(folder, "first.hrz", 8, 6, 12);
  int sx = 0, sy = 0;
  const float* grid = computeSkyGrid(first, sx, sy);
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(sx, 8);
  EXPECT_EQ(sy, 6);
  std::vector<float> before(grid, grid + 48);
  grid = computeSkyGrid(first, sx, sy);
  EXPECT_EQ(std::vector<float>(grid, grid + 48), before);
  EXPECT_EQ(*std::max_element(before.begin(), before.end()), 1.0f);

  std::string second = writeBump(folder, "second.hrz", 5, 9, 4);
  grid = tryComputeSkyGrid(second, sx, sy);
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(sx, 5);
  EXPECT_EQ(sy, 9);
  EXPECT_EQ(currentTerrain().gridSizeX, 5);
  EXPECT_EQ(currentTerrain().numDirections, 4);
  EXPECT_FLOAT_EQ(terrainHeights()[3 * 9 + 2], 5.0f);

  // Names of any length.
  std::string third = writeBump(folder, std::string(180, 'x') + ".hrz", 4, 4, 3);
  EXPECT_NE(tryComputeSkyGrid(third, sx, sy), nullptr);
  EXPECT_EQ(sx, 4);
}

TEST_F(SkyGridTest, AFailedRecomputationKeepsThePreviousTerrainAndGrid) {
  std::string good = writeBump(folder, "good.hrz", 7, 5, 8);
  int sx = 0, sy = 0;
  const float* grid = tryComputeSkyGrid(good, sx, sy);
  ASSERT_NE(grid, nullptr);
  std::vector<float> kept(grid, grid + 35);
  std::vector<float> heights(terrainHeights(), terrainHeights() + 35);

  std::vector<std::string> badNames = {folder.file("missing.hrz")};
  for (const BadFile& bad : badFiles()) badNames.push_back(folder.write(std::string(bad.what) + ".hrz", bad.bytes));
  for (const std::string& name : badNames) {
    SCOPED_TRACE(name);
    int outX = -7, outY = -9;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(tryComputeSkyGrid(name, outX, outY), nullptr);
    std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(name), std::string::npos);
    EXPECT_EQ(said.back(), '\n');
    EXPECT_EQ(outX, -7);
    EXPECT_EQ(outY, -9);
    // The old grid is still there, unchanged, and still the current terrain.
    EXPECT_EQ(std::vector<float>(grid, grid + 35), kept);
    EXPECT_EQ(std::vector<float>(terrainHeights(), terrainHeights() + 35), heights);
    EXPECT_EQ(currentTerrain().gridSizeX, 7);
    EXPECT_EQ(currentTerrain().terrainNormals.size(), 35u);
  }
}

using SkyGridDeathTest = SkyGridTest;

TEST_F(SkyGridDeathTest, BadFilesEndStartUpWithTheReadersMessageAndStatus) {
  for (const BadFile& bad : badFiles()) {
    SCOPED_TRACE(bad.what);
    std::string name = folder.write("bad.hrz", bad.bytes);
    int sx = 0, sy = 0;
    EXPECT_EXIT(computeSkyGrid(name, sx, sy), ::testing::ExitedWithCode(bad.exitStatus),
                exactly(withName(bad.message, name)));
  }
  std::string missing = folder.file("sample.hrz");
  int sx = 0, sy = 0;
  EXPECT_EXIT(computeSkyGrid(missing, sx, sy), ::testing::ExitedWithCode(255),
              exactly("tgrid: cannot open input file '" + missing + "'\n"));
}

}  // namespace
