#include "display/contours.h"

#include <gtest/gtest.h>

#include <cmath>

#include "sky/sky_model.h"

namespace {

bool same(const Vec3& a, const Vec3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

using D = SkyDistribution;
constexpr float kRadius = 5.0f;  // the window's hemisphere radius

TEST(ContourLevels, FourteenLevelsGrowingBy1Point2FromAboutPoint09ToOne) {
  EXPECT_EQ(contourLevel(0), 1.0f);
  EXPECT_NEAR(contourLevel(-13), 0.0934639, 1e-6);
  for (int k = -13; k < 0; ++k) EXPECT_NEAR(contourLevel(k + 1) / contourLevel(k), 1.2, 1e-5);
}

TEST(ContourCell, CrossingsArePairedInEdgeOrderAndACornerOnTheLevelCountsOnce) {
  const Vec3 p[5] = {Vec3(0, 2, 0), Vec3(2, 2, 0), Vec3(2, 0, 0), Vec3(0, 0, 0), Vec3(0, 2, 0)};
  const struct {
    const char* name;
    float c[5], level;
    std::vector<Vec3> expected;
  } cases[] = {
      {"saddle", {1, 0, 1, 0, 1}, 0.5f, {{1, 2, 0}, {2, 1, 0}, {1, 0, 0}, {0, 1, 0}}},
      {"lone corner crossing dropped", {1, 0, 0, 0, 1}, 1, {}},
      {"through corner 1", {0, 0.5f, 0, 1, 0}, 0.5f, {{2, 2, 0}, {1, 0, 0}}},
      {"a quarter along", {0, 0, 1, 0, 0}, 0.25f, {{2, 1.5f, 0}, {0.5f, 0, 0}}},
      {"equal corners", {0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.5f, {}},
  };
  for (const auto& c : cases) {
    std::vector<Vec3> v;
    contourCellSegments(c.c, p, c.level, v);
    ASSERT_EQ(v.size(), c.expected.size()) << c.name;
    for (size_t i = 0; i < v.size(); ++i) EXPECT_TRUE(same(v[i], c.expected[i])) << c.name << " " << i;
  }
}

// The cell-by-cell computation: four luminance evaluations and four corner
// points per cell, straight from the sky model.
std::vector<Vec3> contourSegmentsCellByCell(const Sky& sky, float n) {
  std::vector<Vec3> v;
  const float rc = static_cast<float>(1.002 * kRadius);
  auto skyLuminance = [&sky](float a, float e) { return ::skyLuminance(sky, a, e); };
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

TEST(ContourTest, SharedCornersGiveExactlyTheCellByCellSegments) {
  for (D distribution : {D::CLEAR, D::SHARP, D::GENERAL, D::OVERCAST}) {
    const Sky sky(distribution, 11, 0.7853975f, 4.712385f);
    const float normaliser = normaliseSky(sky);
    std::vector<Vec3> shared;
    computeContourSegments(sky, normaliser, kRadius, shared);
    const std::vector<Vec3> expected = contourSegmentsCellByCell(sky, normaliser);
    ASSERT_EQ(shared.size(), expected.size()) << static_cast<int>(distribution);
    EXPECT_GT(shared.size(), 100u);
    for (size_t i = 0; i < shared.size(); ++i)
      ASSERT_TRUE(same(shared[i], expected[i])) << static_cast<int>(distribution) << " " << i;
  }
}

TEST(HorizonCircle, HasOneHundredTwentyEightPointsRoundTheGround) {
  std::vector<Vec3> points;
  computeHorizonCircle(kRadius, points);
  ASSERT_EQ(points.size(), 128u);
  const float rc = static_cast<float>(1.002 * kRadius);
  EXPECT_TRUE(same(points[0], Vec3(rc, 0, 0.001f)));
  for (const Vec3& p : points) EXPECT_TRUE(p.z == 0.001f && std::fabs(std::hypot(p.x, p.y) - rc) < 1e-5);
}

}  // namespace
