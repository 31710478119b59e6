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

struct Square {
  float u, v;
};

Square toSquare(float elevation, float azimuth) {
  Square s;
  hemisphereToSquare(elevation, azimuth, s.u, s.v);
  return s;
}

// The octant each axis and diagonal falls in, and the linear azimuth within an
// octant (a NaN elevation is not checked).
TEST(HemisphereMappingTest, KnownPointsBorderHorizonZenithAndTurns) {
  const float any = std::nanf(""), ring = 0.8480607f, octant = 0.7853975f;
  const struct { float u, v, elevation, azimuth, tolerance; } cases[] = {
      {0.5f, 0.5f, 1.570795f, 0, 0},          {0.75f, 0.5f, ring, 6.2831802f, 0},   // octant 7
      {1.0f, 0.5f, any, 6.2831802f, 0},       {0.5f, 1.0f, any, 1.570795f, 0},      // octants 7 (not 0) and 2
      {0.0f, 0.5f, any, 3.14159f, 0},         {0.5f, 0.0f, any, 4.712385f, 1e-6f},  // octants 4 and 5
      {0.75f, 0.75f, ring, octant, 0},        {0.25f, 0.75f, ring, 2.3561926f, 0},  // octants 1 and 3
      {0.25f, 0.25f, ring, 3.9269874f, 0},    {0.75f, 0.25f, ring, 5.4977827f, 1e-6f},  // 5, and 6 at its end
      {1.0f, 0.75f, any, 0.5f * octant, 1e-7f}, {0.25f, 0.0f, any, 3.9269874f + 0.5f * octant, 2e-6f},
  };
  for (const auto& c : cases) {
    const Direction d = toHemisphere(c.u, c.v);
    EXPECT_TRUE(std::isnan(c.elevation) || d.elevation == c.elevation) << c.u << ", " << c.v;
    EXPECT_NEAR(d.azimuth, c.azimuth, c.tolerance) << c.u << ", " << c.v;
  }
  // The square's border lies just below the horizon, the horizon just inside it.
  const Direction border = toHemisphere(1.0f, 0.8f);
  EXPECT_NEAR(border.elevation, -1.33e-6f, 1e-7f);
  EXPECT_EQ(skyLuminance(Sky(), border.azimuth, border.elevation), 0.0f);
  for (float azimuth : {0.3f, 2.0f, 4.0f, 6.0f}) {
    const Square s = toSquare(0.0f, azimuth);
    EXPECT_NEAR(std::max(std::fabs(2 * s.u - 1), std::fabs(2 * s.v - 1)), 0.9999993f, 2e-7f) << azimuth;
  }
  for (float elevation : {1.570795f, 1.5707f, 1.6f}) {
    const Square s = toSquare(elevation, 2.5f);
    EXPECT_TRUE(s.u == 0.5f && s.v == 0.5f) << elevation;
  }
  EXPECT_NE(toSquare(1.5705f, 2.5f).u, 0.5f);  // 0.0003 from the zenith: not yet
  const float pairs[][2] = {{-0.1f, 6.18318f}, {-6.2f, 0.08318f}, {12.5f, 6.21682f}};
  for (const auto& p : pairs) {
    EXPECT_NEAR(toSquare(0.3f, p[0]).u, toSquare(0.3f, p[1]).u, 1e-6f) << p[0] << " and " << p[1];
    EXPECT_NEAR(toSquare(0.3f, p[0]).v, toSquare(0.3f, p[1]).v, 1e-6f) << p[0] << " and " << p[1];
  }
}

// Equal areas: the share of cell centres within zenith angle Z is 1 - cos Z
// (to about 1 / n), and half an octant holds a sixteenth.
TEST(HemisphereMappingTest, SquareToHemisphereAndBackReturnsThePointAndIsEqualArea) {
  const int n = 400;
  int withinCap = 0, inHalfOctant = 0;
  for (int i = 0; i <= n; ++i)
    for (int j = 0; j <= n; ++j) {
      const float u = float(i) / n, v = float(j) / n;
      const Direction d = toHemisphere(u, v);
      const Square back = toSquare(d.elevation, d.azimuth);
      if (2 * i != n || 2 * j != n) {
        ASSERT_NEAR(back.u, u, 1e-5f) << "(" << u << ", " << v << ")";
        ASSERT_NEAR(back.v, v, 1e-5f) << "(" << u << ", " << v << ")";
      }
      if (i == n || j == n) continue;
      const Direction centre = toHemisphere((i + 0.5f) / n, (j + 0.5f) / n);
      if (1.570795 - centre.elevation < 1.0) ++withinCap;
      if (centre.azimuth < 0.7853975f / 2) ++inHalfOctant;
    }
  EXPECT_NEAR(withinCap / double(n * n), 1 - std::cos(1.0), 5e-3);
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
