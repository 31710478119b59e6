#include "core/vec3.h"

#include <gtest/gtest.h>

namespace {

// The bearings and elevations the program shows are checked through the
// sample file's lines, which are made of them.
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

}  // namespace
