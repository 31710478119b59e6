#include "display/contours.h"

#include <gtest/gtest.h>

#include <cmath>

#include "app/app_state.h"
#include "sky/sky_model.h"

namespace {

// Restores the shared application state after each test.
class ContourTest : public testing::Test {
 protected:
  void SetUp() override { saved_ = appState.distribution; savedNormaliser_ = appState.skyNormaliser; }
  void TearDown() override {
    appState.distribution = saved_;
    appState.skyNormaliser = savedNormaliser_;
  }
  SkyDistribution saved_;
  float savedNormaliser_;
};

TEST(ContourLevels, FourteenGrowingLevelsFromAboutPoint09ToOne) {
  EXPECT_EQ(contourLevel(0), 1.0f);
  EXPECT_EQ(contourLevel(1), 1.2f);
  EXPECT_EQ(contourLevel(-1), 1 / 1.2f);
  EXPECT_EQ(contourLevel(2), 1.2f * 1.2f);
  EXPECT_NEAR(contourLevel(-13), 0.0934639, 1e-6);
  for (int k = -13; k < 0; ++k) {
    EXPECT_LT(contourLevel(k), contourLevel(k + 1));
    EXPECT_NEAR(contourLevel(k + 1) / contourLevel(k), 1.2, 1e-5);
  }
}

TEST(ContourCell, SaddlePairsCrossingsInEdgeOrder) {
  const float c[5] = {1, 0, 1, 0, 1};
  const Vec3 p[5] = {Vec3(0, 2, 0), Vec3(2, 2, 0), Vec3(2, 0, 0), Vec3(0, 0, 0), Vec3(0, 2, 0)};
  std::vector<Vec3> v;
  contourCellSegments(c, p, 0.5f, v);
  ASSERT_EQ(v.size(), 4u);
  // Crossing 1 (edge 0) to crossing 2 (edge 1), crossing 3 to crossing 4.
  EXPECT_EQ(v[0].x, 1);
  EXPECT_EQ(v[0].y, 2);
  EXPECT_EQ(v[1].x, 2);
  EXPECT_EQ(v[1].y, 1);
  EXPECT_EQ(v[2].x, 1);
  EXPECT_EQ(v[2].y, 0);
  EXPECT_EQ(v[3].x, 0);
  EXPECT_EQ(v[3].y, 1);
}

TEST(ContourCell, LevelThroughACornerIsCountedOnce) {
  const Vec3 p[5] = {Vec3(0, 2, 0), Vec3(2, 2, 0), Vec3(2, 0, 0), Vec3(0, 0, 0), Vec3(0, 2, 0)};
  // Corner 0 equals the level and the others lie below: both edges at corner 0
  // find the corner itself; the lone crossing is dropped.
  const float corner[5] = {1, 0, 0, 0, 1};
  std::vector<Vec3> v;
  contourCellSegments(corner, p, 1, v);
  EXPECT_TRUE(v.empty());

  // Corner 1 equals the level, corner 3 lies above it: the crossing at
  // corner 1 (edges 0 and 1) pairs with the crossing on edge 2 or 3.
  const float through[5] = {0, 0.5f, 0, 1, 0};
  contourCellSegments(through, p, 0.5f, v);
  ASSERT_EQ(v.size(), 2u);
  EXPECT_EQ(v[0].x, 2);
  EXPECT_EQ(v[0].y, 2);
  EXPECT_EQ(v[1].x, 1);
  EXPECT_EQ(v[1].y, 0);
}

TEST(ContourCell, EqualCornersAreNeverCrossed) {
  const float c[5] = {0.5f, 0.5f, 0.5f, 0.5f, 0.5f};
  const Vec3 p[5] = {Vec3(0, 1, 0), Vec3(1, 1, 0), Vec3(1, 0, 0), Vec3(0, 0, 0), Vec3(0, 1, 0)};
  std::vector<Vec3> v;
  for (float level : {0.25f, 0.5f, 0.75f}) contourCellSegments(c, p, level, v);
  EXPECT_TRUE(v.empty());
}

TEST_F(ContourTest, UniformSkyHasNoLinesEvenAtItsOwnLevel) {
  appState.distribution = UNIFORM;
  appState.skyNormaliser = 1;  // relative luminance exactly the level 1.0
  std::vector<Vec3> v;
  computeContourSegments(v);
  EXPECT_TRUE(v.empty());
}

TEST_F(ContourTest, OvercastLinesAreHorizontalRingsAtTheLevelHeights) {
  // Overcast luminance depends on elevation only: (1 + 2 sin h) / 3, from 1/3
  // at the horizon to 1 at the zenith. With a normaliser of 1 each level in
  // between is a ring at sin h = (3 level - 1) / 2, one segment per column.
  appState.distribution = OVERCAST;
  appState.skyNormaliser = 1;
  std::vector<Vec3> v;
  computeContourSegments(v);
  ASSERT_FALSE(v.empty());
  ASSERT_EQ(v.size() % (2 * 128), 0u);

  const float rc = static_cast<float>(1.002 * appState.hemisphereRadius);
  int matched[kNumContourLevels] = {};
  for (size_t i = 0; i < v.size(); i += 2) {
    EXPECT_NEAR(v[i].z, v[i + 1].z, 1e-4) << "segment " << i / 2;
    bool found = false;
    for (int k = 0; k < kNumContourLevels; ++k) {
      const double sinH = (3 * contourLevel(k - 13) - 1) / 2;
      if (std::fabs(v[i].z - rc * sinH) < 0.01 * rc) {
        ++matched[k];
        found = true;
      }
    }
    EXPECT_TRUE(found) << "segment at height " << v[i].z;
    // Chord points of a cell lie just inside the sphere.
    EXPECT_LE(v[i].length(), rc * 1.00001f);
    EXPECT_GT(v[i].length(), rc * 0.999f);
  }
  // The levels between 1/3 and 1 each give a full ring; those below 1/3 none.
  for (int k = 0; k < kNumContourLevels; ++k) {
    const float level = contourLevel(k - 13);
    if (level > 0.34f && level < 0.99f) {
      EXPECT_EQ(matched[k], 128) << "level " << level;
    }
    if (level < 0.33f) {
      EXPECT_EQ(matched[k], 0) << "level " << level;
    }
  }
}

// The cell-by-cell computation: four luminance evaluations and four corner
// points per cell, straight from the sky model.
std::vector<Vec3> contourSegmentsCellByCell() {
  std::vector<Vec3> v;
  const float rc = static_cast<float>(1.002 * appState.hemisphereRadius);
  const float n = appState.skyNormaliser;
  const float da = 0.049087345600128174, de = 0.024543672800064087;
  for (float a0 = 0; a0 < 6.28318; a0 += da) {
    const float a1 = a0 + da;
    for (float e = 0.022089306265115738f; e < 1.570795; e += de) {
      const float e1 = e + de;
      const float c[5] = {skyLuminance(a0, e1) / n, skyLuminance(a1, e1) / n,
                          skyLuminance(a1, e) / n, skyLuminance(a0, e) / n,
                          skyLuminance(a0, e1) / n};
      const Vec3 p[5] = {skyPoint(a0, e1, rc), skyPoint(a1, e1, rc), skyPoint(a1, e, rc),
                         skyPoint(a0, e, rc), skyPoint(a0, e1, rc)};
      for (int k = -13; k <= 0; ++k) contourCellSegments(c, p, contourLevel(k), v);
    }
  }
  return v;
}

TEST_F(ContourTest, SharedCornersGiveExactlyTheCellByCellSegments) {
  const SkyDistribution skies[] = {CLEAR, SHARP, GENERAL, OVERCAST};
  for (SkyDistribution sky : skies) {
    appState.distribution = sky;
    appState.sunDirection = angleToVector(appState.sunAzimuth, appState.sunElevation);
    normaliseSky();
    std::vector<Vec3> shared;
    computeContourSegments(shared);
    const std::vector<Vec3> expected = contourSegmentsCellByCell();
    ASSERT_EQ(shared.size(), expected.size()) << "distribution " << sky;
    EXPECT_GT(shared.size(), 100u) << "distribution " << sky;
    for (size_t i = 0; i < shared.size(); ++i) {
      const Vec3 &x = shared[i], &y = expected[i];
      ASSERT_TRUE(x.x == y.x && x.y == y.y && x.z == y.z) << "distribution " << sky << ", vertex " << i;
    }
  }
}

TEST_F(ContourTest, NoLinesAboveLevelOne) {
  // Everything brighter than the normaliser: only levels up to 1 exist, and
  // a sky at twice the normaliser everywhere has none.
  appState.distribution = UNIFORM;
  appState.skyNormaliser = 0.5f;
  std::vector<Vec3> v;
  computeContourSegments(v);
  EXPECT_TRUE(v.empty());
}

TEST(SkyLattice, SameBitsAsSkyPointAndTheContourGridHas128By64Cells) {
  const std::vector<float> a = gridEdges(0, 0.049087345600128174f, 6.28318);
  const std::vector<float> e = gridEdges(0.022089306265115738f, 0.024543672800064087f, 1.570795);
  ASSERT_EQ(a.size(), 129u);
  ASSERT_EQ(e.size(), 65u);
  EXPECT_EQ(gridEdges(0, 0.5f, 4).size(), 5u);
  const std::vector<Vec3> lattice = skyLattice(a, e, 5.01f);
  for (size_t i = 0; i < a.size(); ++i) {
    for (size_t k = 0; k < e.size(); ++k) {
      const Vec3 p = skyPoint(a[i], e[k], 5.01f);
      const Vec3& q = lattice[i * e.size() + k];
      ASSERT_TRUE(p.x == q.x && p.y == q.y && p.z == q.z) << i << ", " << k;
    }
  }
}

TEST(HorizonCircle, HasOneHundredTwentyEightPointsOnTheGround) {
  std::vector<Vec3> points;
  computeHorizonCircle(points);
  ASSERT_EQ(points.size(), 128u);
  const float rc = static_cast<float>(1.002 * appState.hemisphereRadius);
  EXPECT_EQ(points[0].x, rc);
  EXPECT_EQ(points[0].y, 0);
  for (const Vec3& p : points) {
    EXPECT_EQ(p.z, 0.001f);
    EXPECT_NEAR(std::hypot(p.x, p.y), rc, 1e-5);
  }
}

}  // namespace
