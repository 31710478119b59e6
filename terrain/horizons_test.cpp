#include "terrain/horizons.h"

#include <cmath>

#include <gtest/gtest.h>

#include "terrain/terrain_file.h"

namespace {

constexpr int kSize = 21;

struct Grid {
  std::vector<float> heights = std::vector<float>(kSize * kSize, 0.0f);
  float& at(int r, int c) { return heights[r * kSize + c]; }
  float maxHeight() const { return *std::max_element(heights.begin(), heights.end()); }
  double sine(int r, int c, int j, int n) const {
    return horizonSine(heights.data(), kSize, kSize, r, c, directionAzimuth(j, n),
                       *std::max_element(heights.begin(), heights.end()));
  }
};

// The sine of the elevation of a point `rise` above and `distance` away.
double sineOf(double rise, double distance) { return rise / std::hypot(rise, distance); }

// The march follows 6.28318, not 2 pi, so a diagonal is off by a few 1e-7.
constexpr double kTolerance = 2e-5;

TEST(HorizonsTest, SpikeSeenAlongTheDiagonals) {
  Grid grid;
  grid.at(10, 10) = 10;
  // Four directions: centres at 45, 135, 225 and 315 degrees.
  EXPECT_NEAR(grid.sine(5, 5, 0, 4), sineOf(10, 5 * std::sqrt(2.0)), kTolerance);
  EXPECT_NEAR(grid.sine(13, 13, 2, 4), sineOf(10, 3 * std::sqrt(2.0)), kTolerance);
  EXPECT_NEAR(grid.sine(12, 8, 1, 4), sineOf(10, 2 * std::sqrt(2.0)), kTolerance);
  // Looking away from the spike, or past it: level ground.
  EXPECT_EQ(grid.sine(5, 5, 2, 4), 0.0);
  EXPECT_EQ(grid.sine(5, 6, 0, 4) > 0.01, false);
  // From the top, the lowest point of the view is the grid's corner.
  EXPECT_NEAR(grid.sine(10, 10, 0, 4), -sineOf(10, 10 * std::sqrt(2.0)), kTolerance);
}

TEST(HorizonsTest, StepSeenFromBelowAndAbove) {
  Grid grid;
  for (int r = 10; r < kSize; ++r)
    for (int c = 0; c < kSize; ++c) grid.at(r, c) = 5;
  // The nearest edge point of the step is the highest angle.
  EXPECT_NEAR(grid.sine(5, 10, 0, 4), sineOf(5, 5 * std::sqrt(2.0)), kTolerance);
  EXPECT_NEAR(grid.sine(5, 10, 3, 4), sineOf(5, 5 * std::sqrt(2.0)), kTolerance);
  // Eight directions: the first centre is 22.5 degrees off the first index.
  double along = std::cos(3.14159265358979 / 8);
  EXPECT_NEAR(grid.sine(5, 10, 0, 8), sineOf(5, 5 / along), kTolerance);
  EXPECT_NEAR(grid.sine(8, 10, 7, 8), sineOf(5, 2 / along), kTolerance);
  // Away from the step, and on top of it: level.
  EXPECT_EQ(grid.sine(5, 10, 4, 8), 0.0);
  EXPECT_EQ(grid.sine(15, 10, 4, 8), 0.0);
  EXPECT_EQ(grid.sine(15, 10, 0, 8), 0.0);
}

TEST(HorizonsTest, EdgeCellsLookingOutSeeALevelHorizon) {
  Grid grid;
  grid.at(20, 5) = 3;
  grid.at(19, 6) = 9;  // behind the cell, out of its view
  EXPECT_EQ(grid.sine(20, 5, 0, 4), 0.0);
  EXPECT_EQ(grid.sine(20, 5, 3, 4), 0.0);
}

TEST(HorizonsTest, BlocksHoldEveryCellInEveryDirection) {
  Grid grid;
  for (int r = 0; r < kSize; ++r)
    for (int c = 0; c < kSize; ++c) grid.at(r, c) = float(std::sin(r * 0.7) * 3 + std::cos(c * 0.4) * 2);
  const int n = 6;
  std::vector<uint16_t> horizons = computeHorizons(grid.heights.data(), kSize, kSize, n);
  ASSERT_EQ(horizons.size(), size_t(kSize * kSize * n));
  for (int j = 0; j < n; ++j)
    for (int r = 0; r < kSize; r += 4)
      for (int c = 0; c < kSize; c += 3)
        EXPECT_EQ(horizons[(j * kSize + r) * kSize + c], encodeHorizon(grid.sine(r, c, j, n)));
}

TEST(HorizonsTest, LevelGridHasLevelHorizonsAndProgressIsReported) {
  std::vector<float> level(7 * 9, 2.0f);
  int calls = 0, last = 0;
  std::vector<uint16_t> horizons =
      computeHorizons(level.data(), 7, 9, 5, [&](int done, int total) {
        ++calls;
        last = done;
        EXPECT_EQ(total, 5);
      });
  for (uint16_t v : horizons) EXPECT_EQ(v, 32768);
  EXPECT_EQ(calls, 5);
  EXPECT_EQ(last, 5);
}

}  // namespace
