// The sky and the sun together on a terrain: open level ground is the unit,
// slopes facing the sun exceed it, shadows keep only the sky, and a
// cumulative map weighs the times by open ground's light.
#include "terrain/sunlit_terrain.h"

#include <gtest/gtest.h>

#include <cmath>

#include "sky/clear_sky.h"
#include "terrain/terrain_test_files.h"
#include "terrain/sky_light.h"

namespace {

constexpr float kSouth = 4.712385f;  // azimuth of bearing 180

TEST(SunlitTerrain, OpenLevelGroundIsOneUnderEverySkySunAndRatio) {
  const Terrain flat = terrainOf(std::vector<float>(12 * 10, 3.0f), 12, 10);
  for (SkyDistribution distribution : {SkyDistribution::CLEAR, SkyDistribution::SHARP, SkyDistribution::GENERAL})
    for (float elevation : {0.05f, 0.7853975f, 1.4f})
      for (double ratio : {0.0, 3.0, clearSkyBeamRatio(elevation * 180 / 3.14159), 1e6}) {
        const Sky sky(distribution, 6, elevation, 2.0f);
        for (float value : computeSunlitTerrain(flat, sky, ratio))
          ASSERT_NEAR(value, 1.0f, 2e-5f) << int(distribution) << " " << elevation << " " << ratio;
      }
}

TEST(SunlitTerrain, SlopesFacingTheSunExceedOpenGroundAndShadowsKeepOnlyTheSky) {
  // A ridge along the first index, flanks of slope 0.6 (31 degrees) facing
  // south (-y) and north; the sun due south at 40 degrees.
  const int sx = 15, sy = 31, crest = 15, r = 7;
  std::vector<float> heights(sx * sy);
  for (int k = 0; k < sx * sy; ++k) heights[k] = 12 - 0.6f * std::abs(k % sy - crest);
  const Terrain ridge = terrainOf(heights, sx, sy);
  const Sky sky(SkyDistribution::CLEAR, 11, 0.6981317f, kSouth);
  const size_t south = r * sy + crest - 7, north = r * sy + crest + 7;
  const double model = clearSkyBeamRatio(40);
  const std::vector<float> light = computeSunlitTerrain(ridge, sky, model);
  EXPECT_GT(light[south], 1.2f);
  EXPECT_LT(light[north], 0.8f);
  // As the beam outweighs the sky, a cell's light tends to the ratio of the
  // cosines of incidence on it and on level ground.
  const std::vector<float> beamOnly = computeSunlitTerrain(ridge, sky, 1e7);
  EXPECT_NEAR(beamOnly[south], std::cos(0.8726646 - std::atan(0.6)) / std::sin(0.6981317), 1e-3);
  EXPECT_NEAR(beamOnly[north], std::cos(0.8726646 + std::atan(0.6)) / std::sin(0.6981317), 1e-3);

  // A wall 6 spacings high; the sun low behind it (30 degrees) shades the
  // ground up to about 10 spacings beyond. There only the sky lights the
  // ground: its light is the sky light alone over open ground's 1 + K s_z.
  const int wx = 40, wy = 9;
  std::vector<float> wallHeights(wx * wy, 0.0f);
  for (int c = 0; c < wy; ++c) wallHeights[10 * wy + c] = 6;
  const Terrain wall = terrainOf(wallHeights, wx, wy, 72);
  const Sky low(SkyDistribution::CLEAR, 11, 0.5235988f, 3.14159f);
  const double ratio = clearSkyBeamRatio(30);
  const std::vector<float> sunlit = computeSunlitTerrain(wall, low, ratio);
  const std::vector<float> skyOnly = computeSkyLight(wall, low, SkyLightScale::kOpenGround);
  for (int row = 12; row <= 19; ++row) {
    const size_t cell = row * wy + 4;
    EXPECT_NEAR(sunlit[cell] * (1 + ratio * low.sunDirection().z), skyOnly[cell], 1e-5) << row;
    EXPECT_LT(sunlit[cell], 0.2f) << row;
  }
  EXPECT_NEAR(sunlit[30 * wy + 4], 1.0f, 0.02f);  // open ground far beyond
}

TEST(SunlitTerrain, ACumulativeMapWeighsTimesByOpenGroundsClearSkyLight) {
  // With the model's ratio, open ground's weight is the clear sky's global
  // horizontal irradiance; at night it is nothing.
  for (double elevation : {2.0, 25.0, 70.0}) {
    const float height = float(std::sin(elevation * 3.141592653589793 / 180));
    const ClearSkyIrradiance clear = clearSkyIrradiance(elevation);
    EXPECT_NEAR(openGroundIrradiance(elevation, clearSkyBeamRatio(elevation), height),
                clear.diffuseHorizontal + clear.directNormal * height, 1e-12);
    EXPECT_NEAR(openGroundIrradiance(elevation, 0, height), clear.diffuseHorizontal, 1e-15);
  }
  EXPECT_EQ(openGroundIrradiance(-3, 10, 0), 0);

  CumulativeLight sum(3);
  EXPECT_EQ(sum.mean(), std::vector<float>(3, 0.0f));
  sum.add({1, 2, 4}, 1);
  sum.add({100, 100, 100}, 0);  // a night: weighs nothing
  sum.add({3, 2, 0}, 3);
  EXPECT_EQ(sum.totalWeight(), 4);
  EXPECT_EQ(sum.mean(), (std::vector<float>{2.5f, 2.0f, 1.0f}));
}

}  // namespace
