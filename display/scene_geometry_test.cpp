#include "display/scene_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "app/app_state.h"

namespace {

TEST(TerrainFrame, SquareFitsInsideTheDomeAndKeepsItsAspect) {
  const TerrainFrame square = terrainFrame(5, 10, 10);
  EXPECT_FLOAT_EQ(square.origin, -3.1819806f);
  EXPECT_FLOAT_EQ(square.scale, 6.363961f / 10);
  // The longer side sets the scale.
  EXPECT_FLOAT_EQ(terrainFrame(5, 10, 20).scale, 6.363961f / 20);
  EXPECT_FLOAT_EQ(terrainFrame(5, 40, 20).scale, 6.363961f / 40);
  // The half-diagonal of the full square is 0.9 R.
  const float side = -2 * square.origin;
  EXPECT_NEAR(side / std::sqrt(2.0f), 0.9f * 5, 1e-5);
}

TEST(SamplePointPosition, LiesOnTheSkyAtItsDirection) {
  const Vec3 zenith = samplePointPosition(1.570795f, 2.0f, 5);
  EXPECT_NEAR(zenith.x, 0, 1e-5);
  EXPECT_NEAR(zenith.y, 0, 1e-5);
  EXPECT_NEAR(zenith.z, 5, 1e-6);
  const Vec3 east = samplePointPosition(0, 0, 5);
  EXPECT_NEAR(east.x, 5, 1e-6);
  EXPECT_NEAR(east.z, 0, 1e-5);
  const Vec3 p = samplePointPosition(0.5f, 1.570795f, 5);  // azimuth along +y
  EXPECT_NEAR(p.x, 0, 1e-5);
  EXPECT_NEAR(p.y, 5 * std::cos(0.5), 1e-5);
  EXPECT_NEAR(p.z, 5 * std::sin(0.5), 1e-5);
  EXPECT_FLOAT_EQ(sampleSphereScale(0.6f), 0.099f);
}

TEST(RegionArc, TwentyOneVerticesJustAboveTheSkyFromCornerToCorner) {
  const Vec3 a(1, 0, 0), b(0, 0.6f, 0.8f);
  Vec3 arc[kRegionArcVertices];
  regionArc(a, b, 5, arc);
  const float lifted = static_cast<float>(1.003 * 5);
  EXPECT_NEAR(arc[0].x, lifted, 1e-5);
  EXPECT_NEAR(arc[20].y, 0.6f * lifted, 1e-5);
  EXPECT_NEAR(arc[20].z, 0.8f * lifted, 1e-5);
  // The 20th chord point is t = 0.95, not the end: accumulating 0.05 in float
  // passes 1 after 20 steps.
  EXPECT_LT((arc[19] - arc[20]).length(), (arc[18] - arc[20]).length());
  EXPECT_GT((arc[19] - arc[20]).length(), 0.01f);
  for (const Vec3& v : arc) EXPECT_NEAR(v.length(), lifted, 1e-4);
  // Steps along the arc all turn the same way, away from a towards b.
  for (int i = 1; i < kRegionArcVertices; ++i) EXPECT_GT(arc[i].z, arc[i - 1].z);
}

TEST(RegionArc, OneCornerGivesADegenerateArc) {
  const Vec3 a(0, 0, 1);
  Vec3 arc[kRegionArcVertices];
  regionArc(a, a, 5, arc);
  for (const Vec3& v : arc) EXPECT_NEAR((v - a * 5.015f).length(), 0, 1e-5);
}

class DomeTest : public testing::Test {
 protected:
  void SetUp() override { saved_ = appState.distribution; savedNormaliser_ = appState.skyNormaliser; }
  void TearDown() override {
    appState.distribution = saved_;
    appState.skyNormaliser = savedNormaliser_;
  }
  SkyDistribution saved_;
  float savedNormaliser_;
};

TEST_F(DomeTest, CoversTheHemisphereWithOutwardFacingCells) {
  appState.distribution = UNIFORM;
  appState.skyNormaliser = 4;
  std::vector<DomeCell> cells;
  computeDomeCells(cells);
  ASSERT_EQ(cells.size(), 128u * 64u);
  for (const DomeCell& cell : cells) {
    EXPECT_EQ(cell.grey, 0.25f);
    for (const Vec3& c : cell.corners) EXPECT_NEAR(c.length(), 5, 1e-5);
    const Vec3 centre = cell.corners[0] + cell.corners[2];
    const Vec3 normal = (cell.corners[1] - cell.corners[0]).cross(cell.corners[2] - cell.corners[0]);
    EXPECT_GT(normal.dot(centre), 0);
  }
  // Column 0, band 0 starts on the +x axis at the horizon; the last band
  // ends at the zenith and the last column closes the ring.
  EXPECT_NEAR(cells[0].corners[0].x, 5, 1e-6);
  EXPECT_NEAR(cells[0].corners[0].z, 0, 1e-5);
  EXPECT_NEAR(cells[63].corners[2].z, 5, 1e-5);
  EXPECT_NEAR(cells[127 * 64].corners[1].x, 5, 1e-4);
  EXPECT_NEAR(cells[127 * 64].corners[1].y, 0, 1e-4);
}

TEST_F(DomeTest, OvercastBrightensTowardsTheZenithAndSaturatesAboveTheNormaliser) {
  appState.distribution = OVERCAST;
  appState.skyNormaliser = 0.5f;  // the upper sky is brighter than the normaliser
  std::vector<DomeCell> cells;
  computeDomeCells(cells);
  for (int column = 0; column < 128; ++column) {
    for (int band = 0; band < 64; ++band) {
      const float grey = cells[column * 64 + band].grey;
      EXPECT_EQ(grey, cells[band].grey);  // same in every column
      if (band > 0) {
        EXPECT_GT(grey, cells[column * 64 + band - 1].grey);
      }
    }
  }
  EXPECT_GT(cells[63].grey, 1.0f);  // drawn white
  EXPECT_NEAR(cells[0].grey, 2.0f / 3, 0.02);  // band 0 centre: 0.7 degrees up
  EXPECT_EQ(domeAlpha(true), 0.7f);
  EXPECT_EQ(domeAlpha(false), 1.0f);
}

}  // namespace
