#include "terrain/sky_light.h"

#include <utility>

#include "sky/sky_model.h"
#include "terrain/terrain_test_files.h"

namespace {

using D = SkyDistribution;

Sky skyOf(D distribution, float sunElevation = 0.7853975f, float sunAzimuth = 4.712385f) {
  return Sky(distribution, 11, sunElevation, sunAzimuth);
}

size_t at(int j, int b) { return size_t(j) * kHorizonBins + b; }

// Luminance averages 1000; the visible sky above a horizon of sine c projects to
// pi (1 - c^2); light in one bin reaches every horizon below it in its sector only.
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
      EXPECT_NEAR(sum.z, i == 192 ? 3.14159f * 0.75f : 3.14159f, 2e-5f) << n << " " << i;
      EXPECT_NEAR(std::hypot(sum.x, sum.y), 0.0f, 1e-5f);
    }
  }
  std::vector<Vec3> visible = buildVisibleSkyTable(4);
  EXPECT_GT(visible[at(0, 128)].x, 0.0f);
  EXPECT_GT(visible[at(0, 128)].y, 0.0f);
  EXPECT_LT(visible[at(2, 128)].x, 0.0f);
  std::vector<float> luminance(4 * 256, 0.0f);
  luminance[at(1, 200)] = 5;
  std::vector<Vec3> light = buildSkyLightTable(4, visible, luminance);
  const Vec3 band = (visible[at(1, 200)] - visible[at(1, 201)]) * 5;
  for (int i : {0, 128, 200}) {
    EXPECT_EQ(light[at(1, i)].z, band.z);
    EXPECT_EQ(light[at(0, i)].z, 0.0f);
  }
  EXPECT_EQ(light[at(1, 201)].z, 0.0f);
}

// Directions added in passes give the sums of one at a time: those of the table entries.
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
  std::vector<float> grid;
  const float largest = computeBrightness(std::vector<Vec3>(cells, Vec3(0, 0, 1)), sums, grid);
  for (float value : grid) EXPECT_NEAR(value, 400.0f, 0.01f);  // the albedo 0.4 of a sky of 1000
  EXPECT_EQ(largest, grid[0]);
  // Grids no brighter than one stay as they are.
  for (float limit : {1.0f, 0.0f}) {
    grid = {0.2f, 1.0f, 0.5f};
    normaliseSkyGrid(grid, limit);
    EXPECT_EQ(grid, (std::vector<float>{0.2f, 1.0f, 0.5f}));
  }
  // Half the sky hidden by terrain as bright as the cell: 0.4 E / pi / (1 - 0.4 * 0.5).
  Vec3 up(0, 0, 1), light(0, 0, 1000);
  EXPECT_NEAR(cellBrightness(up, Vec3(0, 0, 3.14159f / 2), light), 0.4 * 1000 / 3.14159 / 0.8, 1e-3);
  // A steep cell turned away from a bright low sky gets none of it, not less.
  CellSums low(1);
  low.visibleSky[0] = Vec3(0, 1, 2);
  low.skyLight[0] = Vec3(0, 1000, 100);
  EXPECT_EQ(computeBrightness({Vec3(0, -0.8f, 0.6f)}, low, grid), 0.0f);
  EXPECT_EQ(grid[0], 0.0f);
}

// The sky light of a terrain, scaled to its brightest cell or to open level ground.
constexpr SkyLightScale kOpen = SkyLightScale::kOpenGround;
std::vector<float> light(const Sky& sky, const std::vector<float>& heights, int sizeX, int sizeY,
                         SkyLightScale scale = SkyLightScale::kLargest) {
  return computeSkyLight(terrainOf(heights, sizeX, sizeY), sky, scale);
}

// Flat ground is exactly open ground under every sky; a V valley with flat rims is
// symmetric, darker on the floor than open ground, and brighter up each flank.
TEST(SkyLightPhysicsTest, FlatTerrainIsOpenGroundAndAValleyIsSymmetricAndDarkerOnTheFloor) {
  const std::vector<float> flat(12 * 9, 3.0f);
  for (D sky : {D::UNIFORM, D::CLEAR, D::OVERCAST, D::SHARP}) {
    for (float b : light(skyOf(sky, 0.4f, 1.2f), flat, 12, 9)) EXPECT_EQ(b, 1.0f) << static_cast<int>(sky);
    for (float b : light(skyOf(sky, 0.4f, 1.2f), flat, 12, 9, kOpen)) EXPECT_EQ(b, 1.0f) << static_cast<int>(sky);
  }
  const int sx = 21, sy = 31, centre = 15;
  std::vector<float> heights(sx * sy);
  for (int k = 0; k < sx * sy; ++k) heights[k] = float(std::min(std::abs(k % sy - centre), 8));
  for (D sky : {D::UNIFORM, D::OVERCAST}) {
    const std::vector<float> open = light(skyOf(sky), heights, sx, sy, kOpen);
    const float* row = &open[10 * sy];
    for (int d = 1; d <= centre; ++d) EXPECT_NEAR(row[centre - d], row[centre + d], 2e-3f) << "offset " << d;
    for (int d = 2; d <= 8; ++d) EXPECT_LT(row[centre + d - 1], row[centre + d]);
    EXPECT_LT(row[centre], 0.9f);
    EXPECT_NEAR(row[1], 1.0f, 1e-3f);
  }
}

}  // namespace
