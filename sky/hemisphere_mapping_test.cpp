#include "sky/hemisphere_mapping.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "sky/sky_model.h"

namespace {

struct Direction {
  float elevation, azimuth;
};

Direction toHemisphere(float u, float v) {
  Direction d;
  squareToHemisphere(u, v, d.elevation, d.azimuth);
  return d;
}

TEST(HemisphereMappingTest, CentreAxesAndDiagonalsFallAsTheOctantTestsOrderThem) {
  Direction d = toHemisphere(0.75f, 0.5f);  // octant 7, r = 0.5
  EXPECT_EQ(d.elevation, 0.8480607f);
  EXPECT_EQ(d.azimuth, 6.2831802f);

  d = toHemisphere(0.5f, 0.5f);
  EXPECT_EQ(d.elevation, 1.570795f);
  EXPECT_EQ(d.azimuth, 0.0f);

  // The four half-axes on the border.
  d = toHemisphere(1.0f, 0.5f);
  EXPECT_EQ(d.azimuth, 6.2831802f);  // octant 7, not 0
  d = toHemisphere(0.5f, 1.0f);
  EXPECT_EQ(d.azimuth, 1.570795f);  // octant 2
  d = toHemisphere(0.0f, 0.5f);
  EXPECT_EQ(d.azimuth, 3.14159f);  // octant 4
  d = toHemisphere(0.5f, 0.0f);
  EXPECT_NEAR(d.azimuth, 4.712385f, 1e-6f);  // octant 5: 0.7853975 + 3.9269874

  // The diagonals, at r = 0.5.
  EXPECT_EQ(toHemisphere(0.75f, 0.75f).azimuth, 0.7853975f);  // octant 1
  EXPECT_EQ(toHemisphere(0.25f, 0.75f).azimuth, 2.3561926f);  // octant 3
  EXPECT_EQ(toHemisphere(0.25f, 0.25f).azimuth, 3.9269874f);  // octant 5
  EXPECT_NEAR(toHemisphere(0.75f, 0.25f).azimuth, 5.4977827f, 1e-6f);  // octant 6, at its end
  for (float u : {0.75f, 0.25f})
    for (float v : {0.75f, 0.25f}) EXPECT_EQ(toHemisphere(u, v).elevation, 0.8480607f);

  // Within an octant the azimuth runs linearly along the ring.
  EXPECT_FLOAT_EQ(toHemisphere(1.0f, 0.75f).azimuth, 0.5f * 0.7853975f);  // octant 0
  EXPECT_FLOAT_EQ(toHemisphere(0.25f, 0.0f).azimuth, 3.9269874f + 0.5f * 0.7853975f);
}

TEST(HemisphereMappingTest, BorderIsJustBelowTheHorizonAndTheHorizonJustInside) {
  Direction d = toHemisphere(1.0f, 0.8f);
  EXPECT_LT(d.elevation, 0.0f);
  EXPECT_NEAR(d.elevation, -1.33e-6f, 1e-7f);
  EXPECT_EQ(skyLuminance(Sky(), d.azimuth, d.elevation), 0.0f);

  for (float azimuth : {0.3f, 2.0f, 4.0f, 6.0f}) {
    float u, v;
    hemisphereToSquare(0.0f, azimuth, u, v);
    float r = std::max(std::fabs(2 * u - 1), std::fabs(2 * v - 1));
    EXPECT_NEAR(r, 0.9999993f, 2e-7f) << "azimuth " << azimuth;
  }
}

TEST(HemisphereMappingTest, NearTheZenithMapsToTheCentreAndTurnsApartToOnePoint) {
  for (float elevation : {1.570795f, 1.5707f, 1.6f}) {
    float u = 0, v = 0;
    hemisphereToSquare(elevation, 2.5f, u, v);
    EXPECT_EQ(u, 0.5f) << elevation;
    EXPECT_EQ(v, 0.5f) << elevation;
  }
  float u, v;
  hemisphereToSquare(1.5705f, 2.5f, u, v);  // 0.0003 from the zenith: not yet
  EXPECT_NE(u, 0.5f);

  const float pairs[][2] = {{-0.1f, 6.18318f}, {-6.2f, 0.08318f}, {12.5f, 6.21682f}};
  for (const auto& p : pairs) {
    float u1, v1, u2, v2;
    hemisphereToSquare(0.3f, p[0], u1, v1);
    hemisphereToSquare(0.3f, p[1], u2, v2);
    EXPECT_NEAR(u1, u2, 1e-6f) << p[0] << " and " << p[1];
    EXPECT_NEAR(v1, v2, 1e-6f) << p[0] << " and " << p[1];
  }
}

TEST(HemisphereMappingTest, SquareToHemisphereAndBackReturnsThePoint) {
  for (int i = 0; i <= 40; ++i)
    for (int j = 0; j <= 40; ++j) {
      if (i == 20 && j == 20) continue;
      float u = i / 40.0f, v = j / 40.0f;
      Direction d = toHemisphere(u, v);
      float u2, v2;
      hemisphereToSquare(d.elevation, d.azimuth, u2, v2);
      ASSERT_NEAR(u2, u, 1e-5f) << "(" << u << ", " << v << ")";
      ASSERT_NEAR(v2, v, 1e-5f) << "(" << u << ", " << v << ")";
    }
}

// Equal areas of the square cover equal solid angles: the share of a uniform
// grid over the square lying within zenith angle Z is 1 - cos Z, and the
// azimuth runs linearly, so half an octant holds a sixteenth.
TEST(HemisphereMappingTest, MappingIsEqualArea) {
  const int n = 400;
  int withinCap = 0, inHalfOctant = 0;
  const double capZ = 1.0;
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      Direction d = toHemisphere((i + 0.5f) / n, (j + 0.5f) / n);
      if (1.570795 - d.elevation < capZ) ++withinCap;
      if (d.azimuth < 0.7853975f / 2) ++inHalfOctant;
    }
  // The grid resolves the square ring of the cap to about 1 / n.
  EXPECT_NEAR(withinCap / double(n * n), 1 - std::cos(capZ), 5e-3);
  EXPECT_NEAR(inHalfOctant / double(n * n), 1.0 / 16, 2e-3);
}

using HemisphereMappingDeathTest = ::testing::Test;

TEST_F(HemisphereMappingDeathTest, AzimuthOutsideTheAcceptedTurnsEndsTheProgram) {
  float u, v;
  EXPECT_EXIT(hemisphereToSquare(0.5f, 12.6f, u, v), ::testing::ExitedWithCode(255),
              "^ERROR: offset = 8, phi = 12\\.6\n$");
  EXPECT_EXIT(hemisphereToSquare(0.5f, -6.3f, u, v), ::testing::ExitedWithCode(255),
              "^ERROR: offset = -1, phi = -6\\.3\n$");
  EXPECT_EXIT(hemisphereToSquare(0.5f, std::nanf(""), u, v), ::testing::ExitedWithCode(255),
              "^ERROR: offset = -?[0-9]+, phi = -?nan\n$");
}

}  // namespace
