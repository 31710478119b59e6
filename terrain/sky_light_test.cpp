#include "terrain/sky_light.h"

#include <cmath>
#include <tuple>
#include <utility>

#include "sky/sky_model.h"
#include "terrain/horizons.h"
#include "terrain/terrain_test_files.h"

namespace {

using D = SkyDistribution;

Sky skyOf(D distribution, float sunElevation = 0.7853975f, float sunAzimuth = 4.712385f) {
  return Sky(distribution, 11, sunElevation, sunAzimuth);
}

size_t at(int j, int b) { return size_t(j) * kHorizonBins + b; }

TEST(SkyTablesTest, LuminanceAveragesAThousandVisibleSkyAddsUpToPiBandsWeighedByTheirBin) {
  std::vector<float> table = buildLuminanceTable(skyOf(D::CLEAR, 0.3f, 1.0f), 12);
  ASSERT_EQ(table.size(), 12u * 256);
  double sum = 0;
  for (float entry : table) sum += entry;  // the bins below the horizon add nothing
  EXPECT_NEAR(sum / (128 * 12), 1000.0, 0.05);
  for (int n : {4, 36, 64}) {
    std::vector<Vec3> table = buildVisibleSkyTable(n);
    for (int i : {0, 100, 128, 192}) {
      Vec3 sum;
      for (int j = 0; j < n; ++j) sum += table[at(j, i)];
      // Above a horizon whose sine is c the disc of sky projects to pi (1 - c^2).
      EXPECT_NEAR(sum.z, i == 192 ? 3.14159f * 0.75f : 3.14159f, 2e-5f) << n << " " << i;
      EXPECT_NEAR(sum.x, 0.0f, 1e-5f);
      EXPECT_NEAR(sum.y, 0.0f, 1e-5f);
    }
  }
  // One sector of four holds the quarter whose directions it points to.
  std::vector<Vec3> quarter = buildVisibleSkyTable(4);
  EXPECT_GT(quarter[at(0, 128)].x, 0.0f);
  EXPECT_GT(quarter[at(0, 128)].y, 0.0f);
  EXPECT_LT(quarter[at(2, 128)].x, 0.0f);
  // Light only in bin 200 of sector 1 of 2 reaches every horizon below it, and no other sector.
  std::vector<Vec3> visible = buildVisibleSkyTable(2);
  std::vector<float> luminance(2 * 256, 0.0f);
  luminance[at(1, 200)] = 5;
  std::vector<Vec3> light = buildSkyLightTable(2, visible, luminance);
  const Vec3 band = (visible[at(1, 200)] - visible[at(1, 201)]) * 5;
  for (int i : {0, 128, 200}) {
    EXPECT_EQ(light[at(1, i)].z, band.z);
    EXPECT_EQ(light[at(0, i)].z, 0.0f);
  }
  EXPECT_EQ(light[at(1, 201)].z, 0.0f);
}

TEST(SkyCellsTest, DirectionsInPassesGiveTheSumsOfTheTableEntriesOneAtATime) {
  const int n = 7, cells = 50;
  SkyTables tables = buildSkyTables(skyOf(D::CLEAR, 0.2f, 2.0f), n);
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
    Vec3 expected;
    for (int j = 0; j < n; ++j) expected += tables.skyLightTable[at(j, horizonBin(blocks[j * cells + cell]))];
    EXPECT_EQ(single.skyLight[cell].z, expected.z);
  }
}

TEST(SkyCellsTest, LevelCellsSeeTheWholeSkyAndHiddenSkyReflectsTerrainLight) {
  const int n = 36, cells = 6;
  SkyTables tables = buildSkyTables(skyOf(D::UNIFORM), n);
  std::vector<uint16_t> blocks(size_t(n) * cells, 32768);
  CellSums sums(cells);
  addHorizonBlocks(tables, 0, n, blocks.data(), sums);
  std::vector<Vec3> normals(cells, Vec3(0, 0, 1));
  std::vector<float> grid;
  const float largest = computeBrightness(normals, sums, grid);
  for (int cell = 0; cell < cells; ++cell) {
    EXPECT_NEAR(sums.visibleSky[cell].z / 3.14159f, 1.0f, 1e-5f);
    EXPECT_NEAR(grid[cell], 400.0f, 0.01f);  // the albedo 0.4 of a sky of 1000
  }
  EXPECT_EQ(largest, grid[0]);
  normaliseSkyGrid(grid, largest);
  for (float value : grid) EXPECT_EQ(value, 1.0f);
  // Grids no brighter than one stay as they are.
  for (float limit : {1.0f, 0.0f}) {
    grid = {0.2f, 1.0f, 0.5f};
    normaliseSkyGrid(grid, limit);
    EXPECT_EQ(grid, (std::vector<float>{0.2f, 1.0f, 0.5f}));
  }
  // Half the sky hidden by terrain as bright as the cell: 0.4 E / pi / (1 - 0.4 * 0.5).
  Vec3 up(0, 0, 1), light(0, 0, 1000);
  EXPECT_NEAR(cellBrightness(up, Vec3(0, 0, 3.14159f / 2), light), 0.4 * 1000 / 3.14159 / 0.8, 1e-3);
  EXPECT_NEAR(cellBrightness(up, Vec3(0, 0, 3.14159f), light), 0.4 * 1000 / 3.14159, 1e-3);
  // A steep cell turned away from a bright low sky gets none of it, not less.
  CellSums low(1);
  low.visibleSky[0] = Vec3(0, 1, 2);
  low.skyLight[0] = Vec3(0, 1000, 100);
  EXPECT_LT(cellBrightness(Vec3(0, -0.8f, 0.6f), low.visibleSky[0], low.skyLight[0]), 0);
  EXPECT_EQ(computeBrightness({Vec3(0, -0.8f, 0.6f)}, low, grid), 0.0f);
  EXPECT_EQ(grid[0], 0.0f);
}

// The sky light of a terrain, scaled to its brightest cell or to open level ground.
constexpr SkyLightScale kOpen = SkyLightScale::kOpenGround;
std::vector<float> light(const Sky& sky, const std::vector<float>& heights, int sizeX, int sizeY,
                         SkyLightScale scale = SkyLightScale::kLargest) {
  return computeSkyLight(terrainOf(heights, sizeX, sizeY), sky, scale);
}

TEST(SkyLightPhysicsTest, FlatTerrainIsUniformlyLitAndExactlyOpenGround) {
  const std::vector<float> flat(12 * 9, 3.0f);
  for (D sky : {D::UNIFORM, D::CLEAR, D::OVERCAST, D::SHARP}) {
    std::vector<float> lit = light(skyOf(sky, 0.4f, 1.2f), flat, 12, 9);
    ASSERT_EQ(lit.size(), 12u * 9);
    for (float b : lit) EXPECT_EQ(b, 1.0f) << static_cast<int>(sky);
    for (float b : light(skyOf(sky, 0.4f, 1.2f), flat, 12, 9, kOpen)) EXPECT_EQ(b, 1.0f) << static_cast<int>(sky);
  }
}

TEST(SkyLightPhysicsTest, SymmetricValleyIsSymmetricAndDarkerOnTheFloor) {
  // A V-shaped valley along the first index with flat rims; row 10 is looked at.
  const int sx = 21, sy = 31, centre = 15;
  std::vector<float> heights(sx * sy);
  for (int k = 0; k < sx * sy; ++k) heights[k] = float(std::min(std::abs(k % sy - centre), 8));
  for (D sky : {D::UNIFORM, D::OVERCAST}) {
    std::vector<float> lit = light(skyOf(sky), heights, sx, sy);
    const float* row = &lit[10 * sy];
    for (int d = 1; d <= centre; ++d) EXPECT_NEAR(row[centre - d], row[centre + d], 2e-3f) << "offset " << d;
    EXPECT_LT(row[centre], 0.9f * row[2]);
    EXPECT_LT(row[centre], 0.9f * row[sy - 3]);
    // Along a flank (one slope, one normal) the sky opens up towards the rim.
    for (int d = 2; d <= 8; ++d) EXPECT_LT(row[centre + d - 1], row[centre + d]);
    // Against open ground: the floor gets less, the open rims all of it.
    const std::vector<float> open = light(skyOf(sky), heights, sx, sy, kOpen);
    EXPECT_LT(open[10 * sy + centre], 0.9f);
    EXPECT_NEAR(open[10 * sy + 1], 1.0f, 1e-3f);
  }
}

TEST(SkyLightPhysicsTest, SlopeFacingALowSunIsBrighter) {
  // A ridge along the first index: the flank at crest + 7 faces +y, crest - 7 faces -y.
  const int sx = 15, sy = 31, crest = 15, r = 7;
  std::vector<float> heights(sx * sy);
  for (int k = 0; k < sx * sy; ++k) heights[k] = 12 - 0.6f * std::abs(k % sy - crest);
  auto flanks = [&](D sky, float azimuth) {
    std::vector<float> lit = light(skyOf(sky, 0.15f, azimuth), heights, sx, sy);
    return std::make_pair(lit[r * sy + crest + 7], lit[r * sy + crest - 7]);
  };
  for (D sky : {D::CLEAR, D::TURBID}) {
    auto [plusY, minusY] = flanks(sky, 1.570795f);
    EXPECT_GT(plusY, 1.5f * minusY) << static_cast<int>(sky);
    std::tie(plusY, minusY) = flanks(sky, 4.712385f);
    EXPECT_GT(minusY, 1.5f * plusY) << static_cast<int>(sky);
  }
  auto [plusY, minusY] = flanks(D::UNIFORM, 4.712385f);  // no sun: the flanks are lit alike
  EXPECT_NEAR(plusY, minusY, 1e-3f);
  // Against open level ground, the flank facing a low sun gets more than 1.
  EXPECT_GT(light(skyOf(D::CLEAR, 0.15f, 1.570795f), heights, sx, sy, kOpen)[r * sy + crest + 7], 1.2f);
}

}  // namespace
