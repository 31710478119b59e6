#include "terrain/sky_light.h"

#include <cmath>

#include "app/app_state.h"
#include "sky/sky_grid.h"
#include "sky/sky_model.h"
#include "terrain/horizons.h"
#include "terrain/terrain_test_files.h"

namespace {

void useSky(SkyDistribution distribution, float sunElevation = 0.7853975f,
            float sunAzimuth = 4.712385f) {
  appState.distribution = distribution;
  appState.generalType = 11;
  appState.sunElevation = sunElevation;
  appState.sunAzimuth = sunAzimuth;
  appState.sunDirection = angleToVector(sunAzimuth, sunElevation);
}

size_t at(int j, int b) { return size_t(j) * kHorizonBins + b; }

// ---- Tables ---------------------------------------------------------------------------

TEST(SkyTablesTest, UniformSkyScalesToAThousandAboveTheHorizonAndZeroBelow) {
  useSky(UNIFORM);
  for (int n : {1, 7, 36, 64}) {
    std::vector<float> table = buildLuminanceTable(n);
    ASSERT_EQ(table.size(), size_t(n) * 256);
    for (int j = 0; j < n; ++j)
      for (int b = 0; b < 256; ++b) ASSERT_EQ(table[at(j, b)], b < 128 ? 0.0f : 1000.0f) << j << " " << b;
  }
}

TEST(SkyTablesTest, LuminanceTableKeepsTheShapeOfTheSkyAndAveragesAThousand) {
  useSky(CLEAR, 0.3f, 1.0f);
  const int n = 12;
  std::vector<float> table = buildLuminanceTable(n);
  double sum = 0;
  for (int j = 0; j < n; ++j)
    for (int b = 128; b < 256; ++b) sum += table[at(j, b)];
  EXPECT_NEAR(sum / (128 * n), 1000.0, 0.05);
  // Entries are proportional to the sky at the bin centres.
  auto sky = [&](int j, int b) {
    return skyLuminance(float(6.28318 / n * (j + 0.5)), float(std::asin(((b + 0.5) - 128) / 128)));
  };
  double scale = table[at(0, 200)] / sky(0, 200);
  for (int j = 0; j < n; j += 5)
    for (int b = 128; b < 256; b += 9) EXPECT_NEAR(table[at(j, b)] / sky(j, b), scale, scale * 1e-5);
  // The sun's sector (azimuth 1.0 lies in sector 1) is the brightest near its elevation.
  EXPECT_GT(table[at(1, 128 + 38)], table[at(7, 128 + 38)]);
}

TEST(SkyTablesTest, VisibleSkyCosineFollowsTheBinsAndIsLevelAtAndBelowBin128) {
  EXPECT_EQ(visibleSkyCosine(0), 0.0f);
  EXPECT_EQ(visibleSkyCosine(128), 0.0f);
  EXPECT_EQ(visibleSkyCosine(129), 1.0f / 128);
  EXPECT_EQ(visibleSkyCosine(192), 0.5f);
  EXPECT_EQ(visibleSkyCosine(255), 127.0f / 128);
}

// The integral of the unit direction over a sector and the zenith angles
// 0 .. theta, by the midpoint rule in double precision.
Vec3 integrateDirections(double phi0, double phi1, double theta) {
  const int steps = 400;
  double x = 0, y = 0, z = 0;
  double dphi = (phi1 - phi0) / steps, dtheta = theta / steps;
  for (int a = 0; a < steps; ++a)
    for (int t = 0; t < steps; ++t) {
      double phi = phi0 + (a + 0.5) * dphi, th = (t + 0.5) * dtheta;
      double area = std::sin(th) * dtheta * dphi;
      x += std::sin(th) * std::cos(phi) * area;
      y += std::sin(th) * std::sin(phi) * area;
      z += std::cos(th) * area;
    }
  return Vec3(float(x), float(y), float(z));
}

TEST(SkyTablesTest, VisibleSkyEntriesAreTheIntegralsOverTheirSectors) {
  const int n = 8;
  std::vector<Vec3> table = buildVisibleSkyTable(n);
  const double w = 6.28318 / n;
  for (int j : {0, 3, 6})
    for (int i : {0, 128, 150, 200, 255}) {
      SCOPED_TRACE(::testing::Message() << "sector " << j << " bin " << i);
      Vec3 expected = integrateDirections(w * j, w * (j + 1), std::acos(visibleSkyCosine(i)));
      Vec3 entry = table[at(j, i)];
      EXPECT_NEAR(entry.x, expected.x, 2e-5);
      EXPECT_NEAR(entry.y, expected.y, 2e-5);
      EXPECT_NEAR(entry.z, expected.z, 2e-5);
    }
}

TEST(SkyTablesTest, WholeSkyZComponentsAddUpToPi) {
  for (int n : {4, 36, 64}) {
    std::vector<Vec3> table = buildVisibleSkyTable(n);
    for (int i : {0, 100, 128}) {
      Vec3 sum;
      for (int j = 0; j < n; ++j) sum += table[at(j, i)];
      EXPECT_NEAR(sum.z, 3.14159f, 2e-5f) << n;
      EXPECT_NEAR(sum.x, 0.0f, 1e-5f);
      EXPECT_NEAR(sum.y, 0.0f, 1e-5f);
    }
    // Above a horizon whose sine is c the disc of sky projects to pi (1 - c^2).
    Vec3 top;
    for (int j = 0; j < n; ++j) top += table[at(j, 192)];
    EXPECT_NEAR(top.z, 3.14159f * 0.75f, 2e-5f);
  }
}

TEST(SkyTablesTest, SkyLightUnderAUniformSkyIsAThousandTimesTheVisibleSky) {
  useSky(UNIFORM);
  SkyTables tables = buildSkyTables(9);
  for (int j = 0; j < 9; ++j)
    for (int i = 0; i < 256; i += 5) {
      Vec3 light = tables.skyLightTable[at(j, i)], visible = tables.visibleSkyTable[at(j, i)];
      EXPECT_NEAR(light.z, 1000 * visible.z, 1e-3f + 2e-5f * 1000 * visible.z) << j << " " << i;
      EXPECT_NEAR(light.x, 1000 * visible.x, 1e-3f + 2e-5f * std::fabs(1000 * visible.x));
    }
}

TEST(SkyTablesTest, SkyLightWeightsEachBandWithTheLuminanceOfItsBin) {
  const int n = 2;
  std::vector<Vec3> visible = buildVisibleSkyTable(n);
  // Light only in bin 200 of sector 1.
  std::vector<float> luminance(n * 256, 0.0f);
  luminance[at(1, 200)] = 5;
  std::vector<Vec3> light = buildSkyLightTable(n, visible, luminance);
  Vec3 band = (visible[at(1, 200)] - visible[at(1, 201)]) * 5;
  for (int i : {0, 128, 200}) {
    EXPECT_EQ(light[at(1, i)].z, band.z);
    EXPECT_EQ(light[at(0, i)].z, 0.0f);
  }
  EXPECT_EQ(light[at(1, 201)].z, 0.0f);
}

// ---- Cells ---------------------------------------------------------------------------------

TEST(SkyCellsTest, LevelCellsUnderLevelHorizonsSeeTheWholeSky) {
  useSky(UNIFORM);
  const int n = 36, cells = 6;
  SkyTables tables = buildSkyTables(n);
  std::vector<uint16_t> blocks(size_t(n) * cells, 32768);
  CellSums sums(cells);
  addHorizonBlocks(tables, 0, n, blocks.data(), sums);
  std::vector<Vec3> normals(cells, Vec3(0, 0, 1));
  std::vector<float> grid;
  float largest = computeBrightness(normals, sums, grid);
  for (int cell = 0; cell < cells; ++cell) {
    float v = normals[cell].dot(sums.visibleSky[cell]) * 0.31831015504887655;
    float e = normals[cell].dot(sums.skyLight[cell]);
    EXPECT_NEAR(v, 1.0f, 1e-5f);
    EXPECT_NEAR(grid[cell], 0.4 * e / 3.14159, 1e-6 * grid[cell]);
    EXPECT_NEAR(grid[cell], 400.0f, 0.01f);
  }
  EXPECT_EQ(largest, grid[0]);
  normaliseSkyGrid(grid, largest);
  for (float value : grid) EXPECT_EQ(value, 1.0f);
}

TEST(SkyCellsTest, DirectionsInPassesGiveTheSameSumsAsOneAtATime) {
  useSky(CLEAR, 0.2f, 2.0f);
  const int n = 7, cells = 50;
  SkyTables tables = buildSkyTables(n);
  std::vector<uint16_t> blocks(size_t(n) * cells);
  for (size_t k = 0; k < blocks.size(); ++k) blocks[k] = uint16_t(k * 2654435761u >> 7);
  CellSums together(cells), single(cells);
  addHorizonBlocks(tables, 0, 4, blocks.data(), together);
  addHorizonBlocks(tables, 4, 3, blocks.data() + 4 * cells, together);
  for (int j = 0; j < n; ++j) addHorizonBlocks(tables, j, 1, blocks.data() + j * cells, single);
  for (int cell = 0; cell < cells; ++cell) {
    EXPECT_EQ(together.skyLight[cell].x, single.skyLight[cell].x);
    EXPECT_EQ(together.skyLight[cell].z, single.skyLight[cell].z);
    EXPECT_EQ(together.visibleSky[cell].y, single.visibleSky[cell].y);
    // And by hand: the sum of the table entries of each cell's bins.
    Vec3 expected;
    for (int j = 0; j < n; ++j) expected += tables.skyLightTable[at(j, horizonBin(blocks[j * cells + cell]))];
    EXPECT_EQ(single.skyLight[cell].z, expected.z);
  }
}

TEST(SkyCellsTest, HiddenSkyReflectsTerrainLight) {
  // A cell that sees half the sky gets the light of the other half reflected
  // by terrain as bright as itself: 0.4 E / pi / (1 - 0.4 * 0.5).
  Vec3 up(0, 0, 1);
  Vec3 halfSky(0, 0, 3.14159f / 2), light(0, 0, 1000);
  EXPECT_NEAR(cellBrightness(up, halfSky, light), 0.4 * 1000 / 3.14159 / 0.8, 1e-3);
  EXPECT_NEAR(cellBrightness(up, Vec3(0, 0, 3.14159f), light), 0.4 * 1000 / 3.14159, 1e-3);
}

TEST(SkyCellsTest, GridsNoBrighterThanOneStayUnnormalised) {
  std::vector<float> grid = {0.2f, 1.0f, 0.5f};
  normaliseSkyGrid(grid, 1.0f);
  EXPECT_EQ(grid, (std::vector<float>{0.2f, 1.0f, 0.5f}));
  normaliseSkyGrid(grid, 0.0f);
  EXPECT_EQ(grid, (std::vector<float>{0.2f, 1.0f, 0.5f}));
  grid = {2, 4, 1};
  normaliseSkyGrid(grid, 4);
  EXPECT_EQ(grid, (std::vector<float>{0.5f, 1.0f, 0.25f}));
}

// ---- Physics, through written terrain files ------------------------------------------------

struct LitTerrain {
  int sizeX = 0, sizeY = 0;
  std::vector<float> brightness;
  float at(int r, int c) const { return brightness[size_t(r) * sizeY + c]; }
};

LitTerrain light(const std::vector<float>& heights, int sizeX, int sizeY, int n) {
  ScratchFolder folder;
  std::string name = folder.file("lit.hrz"), error;
  std::vector<uint16_t> horizons = computeHorizons(heights.data(), sizeX, sizeY, n);
  EXPECT_TRUE(writeTerrainFile(name, sizeX, sizeY, n, heights, horizons, error)) << error;
  LitTerrain lit;
  const float* grid = tryComputeSkyGrid(name, lit.sizeX, lit.sizeY);
  EXPECT_NE(grid, nullptr);
  if (grid) lit.brightness.assign(grid, grid + size_t(lit.sizeX) * lit.sizeY);
  return lit;
}

TEST(SkyLightPhysicsTest, FlatTerrainIsUniformlyLit) {
  for (SkyDistribution sky : {UNIFORM, CLEAR, OVERCAST, SHARP}) {
    useSky(sky, 0.4f, 1.2f);
    LitTerrain lit = light(std::vector<float>(12 * 9, 3.0f), 12, 9, 24);
    ASSERT_EQ(lit.brightness.size(), 12u * 9);
    for (float b : lit.brightness) EXPECT_EQ(b, 1.0f) << sky;
  }
}

TEST(SkyLightPhysicsTest, SymmetricValleyIsSymmetricAndDarkerOnTheFloor) {
  // A V-shaped valley along the first index with flat rims.
  const int sx = 21, sy = 31, centre = 15;
  std::vector<float> heights(sx * sy);
  for (int r = 0; r < sx; ++r)
    for (int c = 0; c < sy; ++c) heights[r * sy + c] = float(std::min(std::abs(c - centre), 8));
  for (SkyDistribution sky : {UNIFORM, OVERCAST}) {
    useSky(sky);
    LitTerrain lit = light(heights, sx, sy, 36);
    const int r = sx / 2;
    for (int d = 1; d <= centre; ++d)
      EXPECT_NEAR(lit.at(r, centre - d), lit.at(r, centre + d), 2e-3f) << "offset " << d;
    EXPECT_LT(lit.at(r, centre), 0.9f * lit.at(r, 2));
    EXPECT_LT(lit.at(r, centre), 0.9f * lit.at(r, sy - 3));
    // Along a flank (one slope, one normal) the sky opens up towards the rim.
    for (int d = 2; d <= 8; ++d) EXPECT_LT(lit.at(r, centre + d - 1), lit.at(r, centre + d));
  }
}

TEST(SkyLightPhysicsTest, SlopeFacingALowSunIsBrighter) {
  // A ridge along the first index: one flank faces +y, the other -y.
  const int sx = 15, sy = 31, crest = 15;
  std::vector<float> heights(sx * sy);
  for (int r = 0; r < sx; ++r)
    for (int c = 0; c < sy; ++c) heights[r * sy + c] = 12 - 0.6f * std::abs(c - crest);
  const int r = sx / 2;
  const float azimuthPlusY = 1.570795f, azimuthMinusY = 4.712385f;
  for (SkyDistribution sky : {CLEAR, TURBID}) {
    useSky(sky, 0.15f, azimuthPlusY);
    LitTerrain toward = light(heights, sx, sy, 36);
    EXPECT_GT(toward.at(r, crest + 7), 1.5f * toward.at(r, crest - 7)) << sky;
    useSky(sky, 0.15f, azimuthMinusY);
    LitTerrain away = light(heights, sx, sy, 36);
    EXPECT_GT(away.at(r, crest - 7), 1.5f * away.at(r, crest + 7)) << sky;
    // Under a sky without a sun the two flanks are lit alike.
    useSky(UNIFORM);
    LitTerrain even = light(heights, sx, sy, 36);
    EXPECT_NEAR(even.at(r, crest + 7), even.at(r, crest - 7), 1e-3f);
  }
}

}  // namespace
