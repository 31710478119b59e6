// The beam on a wall's shadow and on sloped flanks: sunlit_terrain_test.cpp.
#include "terrain/sun_beam.h"

#include <gtest/gtest.h>

#include <cmath>

#include "terrain/terrain_test_files.h"

namespace {

TEST(SunBeamTest, FlatGroundGetsTheSineOfTheSunEverywhereAndNothingAtNight) {
  const Terrain flat = terrainOf(std::vector<float>(10 * 8, 2.0f), 10, 8);
  for (float elevation : {0.05f, 0.5f, 1.4f})
    for (float b : computeSunBeam(flat, elevation, 2.0f)) EXPECT_NEAR(b, std::sin(elevation), 3e-6f);
  for (float elevation : {0.0f, -0.3f})
    for (float b : computeSunBeam(flat, elevation, 2.0f)) EXPECT_EQ(b, 0.0f);
}

TEST(SunBeamTest, HorizonsAreInterpolatedBetweenTheNeighbouringDirections) {
  Terrain terrain = terrainOf(std::vector<float>(4, 0.0f), 2, 2, 4);
  // Direction j of 4 is centred on (j + 0.5) * 90 degrees.
  for (size_t k = 0; k < terrain.horizons.size(); ++k) terrain.horizons[k] = uint16_t(32768 + 4096 * (k / 4));
  const double quarter = 6.28318 / 4;
  EXPECT_NEAR(horizonSineTowards(terrain, 0, 0.5 * quarter), 0.0, 1e-12);       // centre of 0
  EXPECT_NEAR(horizonSineTowards(terrain, 0, 1.0 * quarter), 0.0625, 1e-12);    // half way to 1
  EXPECT_NEAR(horizonSineTowards(terrain, 0, 3.5 * quarter), 0.375, 1e-12);     // centre of 3
  EXPECT_NEAR(horizonSineTowards(terrain, 0, 0.0), 0.1875, 1e-12);              // between 3 and 0
  EXPECT_NEAR(horizonSineTowards(terrain, 0, 6.28318 + 0.5 * quarter), 0.0, 1e-9);  // wraps
}

}  // namespace
