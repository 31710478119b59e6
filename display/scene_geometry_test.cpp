#include "display/scene_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "sky/sky_model.h"

namespace {

void expectNear(const Vec3& actual, const Vec3& expected, float tolerance) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

TEST(SceneGeometry, TheTerrainFitsInsideTheDomeAndSamplePointsLieOnTheSkyAtTheirDirection) {
  const TerrainFrame square = terrainFrame(5, 10, 10);
  EXPECT_FLOAT_EQ(square.origin, -3.1819806f);  // half-diagonal 0.9 R
  EXPECT_FLOAT_EQ(square.scale, 6.363961f / 10);
  EXPECT_FLOAT_EQ(terrainFrame(5, 10, 20).scale, 6.363961f / 20);  // the longer side sets the scale
  EXPECT_FLOAT_EQ(terrainFrame(5, 40, 20).scale, 6.363961f / 40);
  expectNear(samplePointPosition(1.570795f, 2.0f, 5), Vec3(0, 0, 5), 1e-5f);  // zenith
  expectNear(samplePointPosition(0, 0, 5), Vec3(5, 0, 0), 1e-5f);            // east
  expectNear(samplePointPosition(0.5f, 1.570795f, 5),                         // north
             Vec3(0, 5 * std::cos(0.5f), 5 * std::sin(0.5f)), 1e-5f);
}

TEST(SceneGeometry, RegionArcHasTwentyOneVerticesJustAboveTheSky) {
  Vec3 arc[kRegionArcVertices];
  regionArc(Vec3(1, 0, 0), Vec3(0, 0.6f, 0.8f), 5, arc);
  const float lifted = static_cast<float>(1.003 * 5);
  expectNear(arc[0], Vec3(lifted, 0, 0), 1e-5f);
  expectNear(arc[20], Vec3(0, 0.6f * lifted, 0.8f * lifted), 1e-5f);
  // The 20th chord point is t = 0.95, not the end: accumulating 0.05 in float
  // passes 1 after 20 steps.
  EXPECT_GT((arc[19] - arc[20]).length(), 0.01f);
  for (int i = 0; i < kRegionArcVertices; ++i)
    EXPECT_TRUE(std::fabs(arc[i].length() - lifted) < 1e-4 && (i == 0 || arc[i].z > arc[i - 1].z)) << i;
  regionArc(Vec3(0, 0, 1), Vec3(0, 0, 1), 5, arc);  // one corner: degenerate
  for (const Vec3& v : arc) expectNear(v, Vec3(0, 0, 5.015f), 1e-5f);
}

TEST(DomeTest, OutwardCellsOnTheHemisphereBrightenTowardsTheZenithAndSaturate) {
  const Sky overcast(SkyDistribution::OVERCAST, 11, 0.7853975f, 4.712385f);
  std::vector<DomeCell> cells;
  computeDomeCells(overcast, 0.5f, 5.0f, cells);
  ASSERT_EQ(cells.size(), 128u * 64u);
  for (size_t i = 0; i < cells.size(); ++i) {
    const DomeCell& cell = cells[i];
    for (const Vec3& c : cell.corners) EXPECT_NEAR(c.length(), 5, 1e-5);
    const Vec3 normal = (cell.corners[1] - cell.corners[0]).cross(cell.corners[2] - cell.corners[0]);
    EXPECT_GT(normal.dot(cell.corners[0] + cell.corners[2]), 0);
    EXPECT_TRUE(cell.grey == cells[i % 64].grey && (i % 64 == 0 || cell.grey > cells[i - 1].grey)) << i;
  }
  EXPECT_GT(cells[63].grey, 1.0f);             // brighter than the normaliser: drawn white
  EXPECT_NEAR(cells[0].grey, 2.0f / 3, 0.02);  // band 0 centre: 0.7 degrees up
  // Column 0 starts on the +x axis at the horizon; the last band ends at the
  // zenith and the last column closes the ring.
  expectNear(cells[0].corners[0], Vec3(5, 0, 0), 1e-5f);
  EXPECT_NEAR(cells[63].corners[2].z, 5, 1e-5);
  expectNear(cells[127 * 64].corners[1], Vec3(5, 0, 0), 1e-4f);
}

}  // namespace
