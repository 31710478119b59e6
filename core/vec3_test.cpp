#include "core/vec3.h"

#include "core/angles.h"

#include <gtest/gtest.h>

namespace {

TEST(Vec3Test, CrossProductIsRightHandedAndUnitVectorsHaveLengthOne) {
  Vec3 z = Vec3(1, 0, 0).cross(Vec3(0, 1, 0));
  EXPECT_TRUE(z.x == 0 && z.y == 0 && z.z == 1);
  Vec3 a(1.5f, -2.0f, 0.25f), b(-0.5f, 4.0f, 3.0f), c = a.cross(b);
  EXPECT_NEAR(c.dot(a), 0.0f, 1e-5f);
  EXPECT_NEAR(c.dot(b), 0.0f, 1e-5f);
  Vec3 v(3, 4, 12);
  EXPECT_EQ(v.length(), 13.0f);
  EXPECT_FLOAT_EQ(v.unit().x, 3.0f / 13.0f);
}

TEST(AnglesTest, BearingsRunClockwiseFromNorthInExactDegrees) {
  const float bearings[][2] = {
      {0, 90}, {3.14159f, 270}, {1.570795f, 360} /* exactly 90: second branch */, {4.712385f, 180}};
  for (const auto& b : bearings) EXPECT_EQ(displayedBearing(b[0]), b[1]) << b[0];
  EXPECT_EQ(displayedElevation(0.7853975f), 45.0f);
  EXPECT_EQ(displayedElevation(1.570795f), 90.0f);
}

}  // namespace
