#include "terrain/fast_horizons.h"

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "terrain/horizons.h"
#include "terrain/synthetic_terrain.h"

namespace {

// The number of cells whose encoded horizon differs from the plain march's.
size_t differences(const std::vector<float>& heights, int sizeX, int sizeY, int n, int threads) {
  std::vector<uint16_t> reference = computeHorizons(heights.data(), sizeX, sizeY, n);
  std::vector<uint16_t> fast = computeHorizonsFast(heights.data(), sizeX, sizeY, n, {}, threads);
  EXPECT_EQ(fast.size(), reference.size());
  size_t count = 0;
  for (size_t i = 0; i < reference.size() && i < fast.size(); ++i) count += fast[i] != reference[i];
  return count;
}

std::vector<float> roughGrid(int sizeX, int sizeY, float relief, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> uniform(0, relief);
  std::vector<float> heights(size_t(sizeX) * sizeY);
  for (float& h : heights) h = uniform(random);
  return heights;
}

TEST(FastHorizonsTest, SameAsTheMarchOnRoughAndOblongGrids) {
  // Random heights make the steepest sample jump from cell to cell; oblong
  // grids catch a mix-up of the two indices.
  EXPECT_EQ(differences(roughGrid(37, 53, 4, 1), 37, 53, 36, 2), 0u);
  EXPECT_EQ(differences(roughGrid(64, 23, 40, 2), 64, 23, 7, 1), 0u);
  EXPECT_EQ(differences(roughGrid(50, 50, 0.5f, 3), 50, 50, 72, 2), 0u);
}

TEST(FastHorizonsTest, SameAsTheMarchOnALandscape) {
  const int size = 96;
  std::vector<float> heights = syntheticHeights(size, 7);
  for (int n : {1, 2, 3, 8, 36}) EXPECT_EQ(differences(heights, size, size, n, 2), 0u) << n << " directions";
}

TEST(FastHorizonsTest, SameAsTheMarchBelowPeaksAndOnThem) {
  // A lone peak and a pit on level ground: cells on the peak look down all the
  // way to the edge (negative horizons), which the skipping must not cut short.
  const int sizeX = 40, sizeY = 31;
  std::vector<float> heights(size_t(sizeX) * sizeY, -3.0f);
  for (int r = 0; r < sizeX; ++r)
    for (int c = 0; c < sizeY; ++c) {
      double d = std::hypot(r - 12.0, c - 20.0);
      if (d < 8) heights[r * sizeY + c] += float(25 - 3 * d);
      if (std::hypot(r - 30.0, c - 8.0) < 4) heights[r * sizeY + c] = -20;
    }
  for (int n : {4, 16, 72}) EXPECT_EQ(differences(heights, sizeX, sizeY, n, 2), 0u) << n << " directions";
}

TEST(FastHorizonsTest, TinyGridsAndOneDirection) {
  EXPECT_EQ(differences({5.0f}, 1, 1, 4, 2), 0u);
  EXPECT_EQ(differences({1, 9, 2, 8, 3}, 1, 5, 6, 2), 0u);
  EXPECT_EQ(differences({1, 9, 2, 8, 3}, 5, 1, 6, 2), 0u);
  EXPECT_EQ(differences({0, 3, 1, 2}, 2, 2, 1, 1), 0u);
  // A level grid sees a level horizon everywhere.
  std::vector<uint16_t> level = computeHorizonsFast(std::vector<float>(12, 2.0f).data(), 3, 4, 5);
  for (uint16_t v : level) EXPECT_EQ(v, 32768);
}

TEST(FastHorizonsTest, ProgressCountsEveryDirectionOnce) {
  std::vector<float> heights = roughGrid(20, 20, 3, 4);
  std::vector<int> reported;
  computeHorizonsFast(heights.data(), 20, 20, 9, [&](int done, int total) {
    EXPECT_EQ(total, 9);
    reported.push_back(done);
  }, 2);
  ASSERT_EQ(reported.size(), 9u);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(reported[i], i + 1);
}

}  // namespace
