#include "core/vec3.h"

#include "core/angles.h"

#include <gtest/gtest.h>

namespace {

TEST(Vec3Test, CrossProductIsRightHandedAndOrthogonal) {
  Vec3 x(1, 0, 0), y(0, 1, 0);
  Vec3 z = x.cross(y);
  EXPECT_EQ(z.x, 0.0f);
  EXPECT_EQ(z.y, 0.0f);
  EXPECT_EQ(z.z, 1.0f);
  Vec3 a(1.5f, -2.0f, 0.25f), b(-0.5f, 4.0f, 3.0f);
  Vec3 c = a.cross(b);
  EXPECT_NEAR(c.dot(a), 0.0f, 1e-5f);
  EXPECT_NEAR(c.dot(b), 0.0f, 1e-5f);
}

TEST(Vec3Test, UnitVectorHasLengthOne) {
  Vec3 v(3, 4, 12);
  EXPECT_EQ(v.length(), 13.0f);
  Vec3 u = v.unit();
  EXPECT_FLOAT_EQ(u.x, 3.0f / 13.0f);
  EXPECT_NEAR(u.length(), 1.0f, 1e-6f);
}

TEST(AnglesTest, BearingsRunClockwiseFromNorth) {
  EXPECT_EQ(displayedBearing(0.0f), 90.0f);
  EXPECT_EQ(displayedBearing(3.14159f), 270.0f);
  // Exactly 90 degrees takes the second branch: 360, not 0.
  EXPECT_EQ(displayedBearing(1.570795f), 360.0f);
  EXPECT_EQ(displayedBearing(4.712385f), 180.0f);
  EXPECT_EQ(displayedElevation(0.7853975f), 45.0f);
  EXPECT_EQ(displayedElevation(1.570795f), 90.0f);
}

}  // namespace
