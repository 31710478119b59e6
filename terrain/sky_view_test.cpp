#include "terrain/sky_view.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "terrain/terrain_test_files.h"

namespace {

constexpr double kPi = 3.14159265358979;

// Heights z(x, y) as a terrain with its normals and horizons in n directions.
template <class Height>
Terrain terrainOf(int sizeX, int sizeY, int n, Height z) {
  std::vector<float> heights;
  for (int x = 0; x < sizeX; ++x)
    for (int y = 0; y < sizeY; ++y) heights.push_back(float(z(x, y)));
  return ::terrainOf(heights, sizeX, sizeY, n);
}

size_t cellOf(const Terrain& t, int x, int y) { return size_t(x) * t.gridSizeY + y; }
double skyView(const Terrain& t, int x, int y) {
  const size_t cell = cellOf(t, x, y);
  return cellSkyViewFactor(t.horizons.data() + cell, t.numCells(), t.numDirections, t.terrainNormals[cell]);
}
double visibleSky(const Terrain& t, int x, int y) {
  return cellVisibleSky(t.horizons.data() + cellOf(t, x, y), t.numCells(), t.numDirections);
}

// The grid computation (chunks, threads, tables) gives every cell exactly the plain
// per-cell sum; flat open ground sees exactly the whole sky.
TEST(SkyViewTest, GridIsThePlainSumOfEveryCellAndOneOnFlatGround) {
  std::mt19937 random(11);
  std::uniform_real_distribution<float> height(0, 9);
  for (auto [sizeX, sizeY, n, threads, relief] :
       {std::tuple{67, 83, 36, 2, 1}, {130, 41, 7, 1, 1}, {1, 5, 4, 2, 1}, {9, 13, 1, 2, 0}, {9, 13, 72, 1, 0}}) {
    const Terrain t = terrainOf(sizeX, sizeY, n, [&](int, int) { return 3.5 + relief * height(random); });
    std::vector<float> factors = computeSkyViewFactor(t.horizons.data(), n, sizeX, sizeY, t.terrainNormals.data(), threads);
    std::vector<float> shares = computeVisibleSky(t.horizons.data(), n, sizeX, sizeY, threads);
    ASSERT_EQ(factors.size(), t.numCells());
    for (int x = 0; x < sizeX; ++x)
      for (int y = 0; y < sizeY; ++y) {
        const size_t c = cellOf(t, x, y);
        ASSERT_EQ(factors[c], float(skyView(t, x, y))) << sizeX << " " << x << " " << y;
        ASSERT_EQ(shares[c], float(visibleSky(t, x, y))) << sizeX << " " << x << " " << y;
        ASSERT_GE(factors[c], 0.0f);
        ASSERT_LE(factors[c], 1.0f);
        ASSERT_TRUE(relief || (factors[c] == 1.0f && shares[c] == 1.0f)) << n << " " << x << " " << y;
      }
  }
}

// A V valley's floor with walls at angle b sees V = cos b, a share 1 - 2 b / pi (along
// either index); an open plane of slope S (1 + cos S) / 2, a share 1 - S / pi; a cell
// at d from the foot of a cliff of height H, (1 + cos atan(H / d)) / 2.
TEST(SkyViewTest, ValleyOpenSlopeAndCliffMatchTheClosedForms) {
  for (double degrees : {10.0, 30.0, 45.0, 60.0, 75.0})
    for (bool alongY : {true, false}) {
      const double b = degrees * kPi / 180, slope = std::tan(b);
      const int across = 21, along = 41, middle = across / 2;
      auto z = [&](int x, int y) { return slope * std::abs((alongY ? x : y) - middle); };
      const Terrain valley = terrainOf(alongY ? across : along, alongY ? along : across, 72, z);
      const int x = alongY ? middle : along / 2, y = alongY ? along / 2 : middle;
      EXPECT_NEAR(skyView(valley, x, y), std::cos(b), 1e-4) << degrees << " " << alongY;
      EXPECT_NEAR(visibleSky(valley, x, y), 1 - 2 * b / kPi, 2e-3) << degrees << " " << alongY;
    }
  for (double degrees : {5.0, 20.0, 40.0, 70.0}) {
    const double s = degrees * kPi / 180;
    const Terrain plane = terrainOf(31, 31, 72, [&](int x, int y) { return std::tan(s) * (0.6 * x - 0.8 * y); });
    EXPECT_NEAR(skyView(plane, 15, 15), (1 + std::cos(s)) / 2, 2e-4) << degrees;
    EXPECT_NEAR(visibleSky(plane, 15, 15), 1 - s / kPi, 1e-3) << degrees;
  }
  // 72 directions sample the narrow peak of sky along a high cliff coarsely.
  for (auto [height, distance] : {std::pair{4.0, 4}, {10.0, 5}, {60.0, 3}, {1e5, 2}}) {
    const Terrain cliff = terrainOf(40, 401, 72, [&](int x, int) { return x >= 30 ? height : 0.0; });
    EXPECT_NEAR(skyView(cliff, 30 - distance, 200), (1 + std::cos(std::atan(height / distance))) / 2, 0.005)
        << height << " " << distance;
  }
}

// Raising a horizon only hides sky; no cell sees more than an open plane of its slope.
TEST(SkyViewTest, RaisingAHorizonNeverShowsMoreSky) {
  std::mt19937 random(5);
  std::uniform_int_distribution<int> value(0, 65535);
  std::uniform_real_distribution<float> tilt(-3, 3);
  for (int trial = 0; trial < 400; ++trial) {
    const int n = trial % 2 ? 36 : 1 + trial % 40;
    std::vector<uint16_t> horizons(static_cast<size_t>(n));
    for (uint16_t& h : horizons) h = uint16_t(value(random));
    const Vec3 normal = Vec3(tilt(random), tilt(random), 1).unit();
    const double before = cellSkyViewFactor(horizons.data(), 1, n, normal);
    const double openBefore = cellVisibleSky(horizons.data(), 1, n);
    if (n == 36) {
      EXPECT_LE(before, (1 + normal.z) / 2 + 6e-4) << trial;
    }
    const int j = trial % n;
    horizons[j] = uint16_t(std::min(65535, horizons[j] + 1 + value(random) % 8000));
    EXPECT_LE(cellSkyViewFactor(horizons.data(), 1, n, normal), before) << trial;
    EXPECT_LE(cellVisibleSky(horizons.data(), 1, n), openBefore) << trial;
  }
}

}  // namespace
