#include "terrain/sky_view.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "terrain/fast_horizons.h"
#include "terrain/terrain_file.h"

namespace {

constexpr double kPi = 3.14159265358979;

// A terrain of heights z(x, y) with its horizons in n directions and its normals.
struct Terrain {
  int sizeX = 0, sizeY = 0, n = 0;
  std::vector<float> heights;
  std::vector<uint16_t> horizons;
  std::vector<Vec3> normals;

  template <class Height>
  Terrain(int sizeX_, int sizeY_, int n_, Height z) : sizeX(sizeX_), sizeY(sizeY_), n(n_) {
    for (int x = 0; x < sizeX; ++x)
      for (int y = 0; y < sizeY; ++y) heights.push_back(float(z(x, y)));
    horizons = computeHorizonsFast(heights.data(), sizeX, sizeY, n);
    normals = computeNormals(heights.data(), sizeX, sizeY);
  }
  size_t cell(int x, int y) const { return size_t(x) * sizeY + y; }
  double skyView(int x, int y) const {
    return cellSkyViewFactor(horizons.data() + cell(x, y), heights.size(), n, normals[cell(x, y)]);
  }
  double visibleSky(int x, int y) const { return cellVisibleSky(horizons.data() + cell(x, y), heights.size(), n); }
};

// The grid computation (chunks, threads, tables) gives every cell exactly the plain
// per-cell sum; flat open ground sees exactly the whole sky.
TEST(SkyViewTest, GridIsThePlainSumOfEveryCellAndOneOnFlatGround) {
  std::mt19937 random(11);
  std::uniform_real_distribution<float> height(0, 9);
  for (auto [sizeX, sizeY, n, threads, relief] :
       {std::tuple{67, 83, 36, 2, 1}, {130, 41, 7, 1, 1}, {1, 5, 4, 2, 1}, {9, 13, 1, 2, 0}, {9, 13, 72, 1, 0}}) {
    Terrain t(sizeX, sizeY, n, [&](int, int) { return 3.5 + relief * height(random); });
    std::vector<float> factors = computeSkyViewFactor(t.horizons.data(), n, sizeX, sizeY, t.normals.data(), threads);
    std::vector<float> shares = computeVisibleSky(t.horizons.data(), n, sizeX, sizeY, threads);
    ASSERT_EQ(factors.size(), t.heights.size());
    for (int x = 0; x < sizeX; ++x)
      for (int y = 0; y < sizeY; ++y) {
        const size_t c = t.cell(x, y);
        ASSERT_EQ(factors[c], float(t.skyView(x, y))) << sizeX << " " << x << " " << y;
        ASSERT_EQ(shares[c], float(t.visibleSky(x, y))) << sizeX << " " << x << " " << y;
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
      Terrain valley(alongY ? across : along, alongY ? along : across, 72, z);
      const int x = alongY ? middle : along / 2, y = alongY ? along / 2 : middle;
      EXPECT_NEAR(valley.skyView(x, y), std::cos(b), 1e-4) << degrees << " " << alongY;
      EXPECT_NEAR(valley.visibleSky(x, y), 1 - 2 * b / kPi, 2e-3) << degrees << " " << alongY;
    }
  for (double degrees : {5.0, 20.0, 40.0, 70.0}) {
    const double s = degrees * kPi / 180;
    Terrain plane(31, 31, 72, [&](int x, int y) { return std::tan(s) * (0.6 * x - 0.8 * y); });
    EXPECT_NEAR(plane.skyView(15, 15), (1 + std::cos(s)) / 2, 2e-4) << degrees;
    EXPECT_NEAR(plane.visibleSky(15, 15), 1 - s / kPi, 1e-3) << degrees;
  }
  // 72 directions sample the narrow peak of sky along a high cliff coarsely.
  for (auto [height, distance] : {std::pair{4.0, 4}, {10.0, 5}, {60.0, 3}, {1e5, 2}}) {
    Terrain cliff(40, 401, 72, [&](int x, int) { return x >= 30 ? height : 0.0; });
    EXPECT_NEAR(cliff.skyView(30 - distance, 200), (1 + std::cos(std::atan(height / distance))) / 2, 0.005)
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
