#include "terrain/fast_horizons.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "terrain/horizons.h"
#include "terrain/synthetic_terrain.h"
#include "terrain/terrain_test_files.h"

namespace {

// A lone peak and a pit: the peak looks down to the edge (negative horizons).
std::vector<float> peakAndPit() {
  std::vector<float> heights(40 * 31, -3.0f);
  for (int r = 0; r < 40; ++r)
    for (int c = 0; c < 31; ++c) {
      double d = std::hypot(r - 12.0, c - 20.0);
      if (d < 8) heights[r * 31 + c] += float(25 - 3 * d);
      if (std::hypot(r - 30.0, c - 8.0) < 4) heights[r * 31 + c] = -20;
    }
  return heights;
}

TEST(FastHorizonsTest, SameAsTheMarchValueForValue) {
  struct Case {
    const char* what;
    std::vector<float> heights;
    int sizeX, sizeY, threads;
    std::vector<int> directions;
    double curvature;
  };
  // Oblong grids catch a mix-up of the indices; curvature makes horizons negative.
  const Case cases[] = {
      {"rough", roughGrid(37, 53, 4, 1), 37, 53, 2, {36}, 0},
      {"rough oblong, one thread", roughGrid(64, 23, 40, 2), 64, 23, 1, {7}, 0},
      {"gentle", roughGrid(50, 50, 0.5f, 3), 50, 50, 2, {72}, 0},
      {"landscape", syntheticHeights(96, 7), 96, 96, 2, {1, 2, 3, 8, 36}, 0},
      {"peak and pit", peakAndPit(), 40, 31, 2, {4, 16, 72}, 0},
      {"one cell", {5.0f}, 1, 1, 2, {4}, 0},
      {"one row", {1, 9, 2, 8, 3}, 1, 5, 2, {6}, 0},
      {"one column", {1, 9, 2, 8, 3}, 5, 1, 2, {6}, 0},
      {"2 x 2", {0, 3, 1, 2}, 2, 2, 1, {1}, 0},
      {"landscape, a 30 m DEM's curvature", syntheticHeights(96, 7), 96, 96, 2, {8, 36}, earthCurvature(30, 0.13)},
      {"landscape, strong curvature", syntheticHeights(96, 7), 96, 96, 2, {36}, 2e-3},
      {"rough oblong, strong curvature", roughGrid(64, 23, 40, 2), 64, 23, 1, {7, 72}, 5e-2},
      {"gentle, curvature above the relief", roughGrid(50, 50, 0.5f, 3), 50, 50, 2, {16}, 1e-2},
      {"peak and pit, curvature", peakAndPit(), 40, 31, 2, {16, 72}, 1e-2},
  };
  for (const Case& c : cases)
    for (int n : c.directions) {
      int calls = 0, fastCalls = 0;
      std::vector<uint16_t> reference =
          computeHorizons(c.heights.data(), c.sizeX, c.sizeY, n, c.curvature,
                          [&](int done, int total) { EXPECT_TRUE(done == ++calls && total == n) << c.what; });
      std::vector<uint16_t> fast = computeHorizonsFast(
          c.heights.data(), c.sizeX, c.sizeY, n, c.curvature,
          [&](int done, int total) { EXPECT_TRUE(done == ++fastCalls && total == n) << c.what; }, c.threads);
      EXPECT_TRUE(fast == reference) << c.what << ", " << n << " directions";
      EXPECT_EQ(calls, n) << c.what;
      EXPECT_EQ(fastCalls, n) << c.what;
    }
}

}  // namespace
