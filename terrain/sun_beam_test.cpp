#include "terrain/sun_beam.h"

#include <gtest/gtest.h>

#include <cmath>

#include "terrain/terrain_test_files.h"

namespace {

TEST(SunBeamTest, FlatGroundGetsTheSineOfTheSunEverywhereAndNothingAtNight) {
  const Terrain flat = terrainOf(std::vector<float>(10 * 8, 2.0f), 10, 8);
  for (float elevation : {0.05f, 0.5f, 1.4f}) {
    const std::vector<float> beam = computeSunBeam(flat, elevation, 2.0f);
    for (float b : beam) EXPECT_NEAR(b, std::sin(elevation), 3e-6f);  // the sun of 1.570795
  }
  for (float b : computeSunBeam(flat, 0.0f, 2.0f)) EXPECT_EQ(b, 0.0f);
  for (float b : computeSunBeam(flat, -0.3f, 2.0f)) EXPECT_EQ(b, 0.0f);
}

TEST(SunBeamTest, AWallShadesTheGroundBehindItUpToItsShadowLength) {
  // A wall 6 spacings high across the grid at the first index 10.
  const int sx = 40, sy = 9;
  std::vector<float> heights(sx * sy, 0.0f);
  for (int c = 0; c < sy; ++c) heights[10 * sy + c] = 6;
  const Terrain wall = terrainOf(heights, sx, sy, 72);
  // The sun in the -x direction (azimuth pi) at 30 degrees: the shadow on
  // the +x side reaches about 6 / tan 30 = 10.4 spacings beyond the wall.
  const float elevation = 0.5235988f;
  const std::vector<float> beam = computeSunBeam(wall, elevation, 3.14159f);
  const int c = 4;
  for (int r = 12; r <= 19; ++r) EXPECT_EQ(beam[r * sy + c], 0.0f) << "row " << r << " in the shadow";
  for (int r = 23; r < sx; ++r) EXPECT_NEAR(beam[r * sy + c], 0.5f, 1e-5f) << "row " << r << " in the sun";
  for (int r = 0; r < 9; ++r) EXPECT_NEAR(beam[r * sy + c], 0.5f, 1e-5f) << "row " << r << " before the wall";
}

TEST(SunBeamTest, ASlopeFacingTheSunBeatsTheSlopeFacingAway) {
  // A ridge along the first index: +y flank and -y flank; the sun in the -y
  // direction (south, azimuth 3 pi / 2) at 40 degrees, as at noon in the
  // northern mid-latitudes.
  const int sx = 15, sy = 31, crest = 15, r = 7;
  std::vector<float> heights(sx * sy);
  for (int k = 0; k < sx * sy; ++k) heights[k] = 12 - 0.6f * std::abs(k % sy - crest);
  const std::vector<float> beam = computeSunBeam(terrainOf(heights, sx, sy), 0.6981317f, 4.712385f);
  const float south = beam[r * sy + crest - 7], north = beam[r * sy + crest + 7];
  // cos of the angle between the normals (slope 31 degrees) and the sun.
  EXPECT_NEAR(south, std::cos(0.8726646 - std::atan(0.6)), 1e-4);
  EXPECT_NEAR(north, std::cos(0.8726646 + std::atan(0.6)), 1e-4);
  EXPECT_GT(south, 2 * north);
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
