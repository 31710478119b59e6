// The sun's beam and the sky together on a terrain.
#include "terrain/sunlit_terrain.h"

#include "sky/clear_sky.h"
#include "terrain/sky_light.h"
#include "terrain/sun_beam.h"
#include "terrain/terrain_test_files.h"

namespace {

constexpr float kSouth = 4.712385f;  // azimuth of bearing 180

// Open level ground gets the sine of the sun as its beam, none at night, and is 1
// under every sky, sun and ratio of beam to sky.
TEST(SunlitTerrain, OpenLevelGroundIsOneUnderEverySkySunAndRatio) {
  const Terrain flat = terrainOf(std::vector<float>(12 * 10, 3.0f), 12, 10);
  for (float elevation : {0.0f, -0.3f})
    for (float b : computeSunBeam(flat, elevation, 2.0f)) EXPECT_EQ(b, 0.0f);
  for (float elevation : {0.05f, 0.7853975f, 1.4f}) {
    for (float b : computeSunBeam(flat, elevation, 2.0f)) ASSERT_NEAR(b, std::sin(elevation), 3e-6f);
    for (SkyDistribution distribution : {SkyDistribution::CLEAR, SkyDistribution::SHARP, SkyDistribution::GENERAL})
      for (double ratio : {0.0, 3.0, clearSkyBeamRatio(elevation * 180 / 3.14159), 1e6}) {
        const Sky sky(distribution, 6, elevation, 2.0f);
        for (float value : computeSunlitTerrain(flat, sky, ratio))
          ASSERT_NEAR(value, 1.0f, 2e-5f) << int(distribution) << " " << elevation << " " << ratio;
      }
  }
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

TEST(SunlitTerrain, ASlopeFacingTheSunBeatsTheSlopeFacingAway) {
  // A ridge with flanks of slope 0.6 facing south (-y) and north; the sun due south at 40 degrees.
  const int sx = 15, sy = 31, crest = 15, r = 7;
  std::vector<float> heights(sx * sy);
  for (int k = 0; k < sx * sy; ++k) heights[k] = 12 - 0.6f * std::abs(k % sy - crest);
  const Terrain ridge = terrainOf(heights, sx, sy);
  const size_t south = r * sy + crest - 7, north = r * sy + crest + 7;
  const std::vector<float> beam = computeSunBeam(ridge, 0.6981317f, kSouth);
  EXPECT_NEAR(beam[south], std::cos(0.8726646 - std::atan(0.6)), 1e-4);
  EXPECT_NEAR(beam[north], std::cos(0.8726646 + std::atan(0.6)), 1e-4);
  const Sky sky(SkyDistribution::CLEAR, 11, 0.6981317f, kSouth);
  const std::vector<float> light = computeSunlitTerrain(ridge, sky, clearSkyBeamRatio(40));
  EXPECT_GT(light[south], 1.2f);
  EXPECT_LT(light[north], 0.8f);
  // Without the beam, the flank facing a low sun still gets more of the sky's light than open ground.
  const std::vector<float> skyAlone = computeSunlitTerrain(ridge, Sky(SkyDistribution::CLEAR, 11, 0.15f, kSouth), 0);
  EXPECT_GT(skyAlone[south], 1.5f * skyAlone[north]);
  EXPECT_GT(skyAlone[south], 1.2f);
}

TEST(SunlitTerrain, AWallsShadowHasNoBeamAndKeepsOnlyTheSky) {
  // A wall 6 high at x = 10; the sun towards -x at 30 degrees shades 6 / tan 30 = 10.4 beyond it.
  const int wx = 40, wy = 9, c = 4;
  std::vector<float> heights(wx * wy, 0.0f);
  for (int y = 0; y < wy; ++y) heights[10 * wy + y] = 6;
  const Terrain wall = terrainOf(heights, wx, wy, 72);
  const std::vector<float> beam = computeSunBeam(wall, 0.5235988f, 3.14159f);
  for (int row = 12; row <= 19; ++row) EXPECT_EQ(beam[row * wy + c], 0.0f) << "row " << row << " in the shadow";
  for (int row = 23; row < wx; ++row) EXPECT_NEAR(beam[row * wy + c], 0.5f, 1e-5f) << "row " << row << " in the sun";
  for (int row = 0; row < 9; ++row) EXPECT_NEAR(beam[row * wy + c], 0.5f, 1e-5f) << "row " << row << " before the wall";
  // In the shadow the sky alone lights the ground, over open ground's 1 + K s_z.
  const Sky low(SkyDistribution::CLEAR, 11, 0.5235988f, 3.14159f);
  const double ratio = clearSkyBeamRatio(30);
  const std::vector<float> sunlit = computeSunlitTerrain(wall, low, ratio);
  const std::vector<float> skyOnly = computeSkyLight(wall, low, SkyLightScale::kOpenGround);
  for (int row = 12; row <= 19; ++row) {
    const size_t cell = row * wy + c;
    EXPECT_NEAR(sunlit[cell] * (1 + ratio * low.sunDirection().z), skyOnly[cell], 1e-5) << row;
    EXPECT_LT(sunlit[cell], 0.2f) << row;
  }
  EXPECT_NEAR(sunlit[30 * wy + c], 1.0f, 0.02f);  // open ground far beyond
}

TEST(SunlitTerrain, ACumulativeMapWeighsTimesByOpenGroundsClearSkyLight) {
  // With the model's ratio open ground gets the clear sky's global irradiance; none at night.
  for (double elevation : {2.0, 25.0, 70.0}) {
    const float height = float(std::sin(elevation * 3.141592653589793 / 180));
    const ClearSkyIrradiance clear = clearSkyIrradiance(elevation);
    EXPECT_NEAR(openGroundIrradiance(elevation, clearSkyBeamRatio(elevation), height),
                clear.diffuseHorizontal + clear.directNormal * height, 1e-12);
  }
  EXPECT_EQ(openGroundIrradiance(-3, 10, 0), 0);
  CumulativeLight sum(3);
  EXPECT_EQ(sum.mean(), std::vector<float>(3, 0.0f));
  sum.add({1, 2, 4}, 1);
  sum.add({100, 100, 100}, 0);  // a night: weighs nothing
  sum.add({3, 2, 0}, 3);
  EXPECT_EQ(sum.mean(), (std::vector<float>{2.5f, 2.0f, 1.0f}));
}

}  // namespace
