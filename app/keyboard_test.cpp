#include "app/keyboard.h"

#include <gtest/gtest.h>

#include "sky/sky.h"

namespace {

TEST(KeyboardTest, ExactlyTheTwentyCommandKeys) {
  int accepted = 0;
  for (int key = 0; key < 256; ++key) accepted += isCommandKey(static_cast<unsigned char>(key));
  EXPECT_EQ(accepted, 20);
}

TEST(KeyboardTest, PlusAndMinusStepThePointCount) {
  const int more[][2] = {{250, 300}, {100, 150}, {99, 109}, {10, 20}, {9, 10},
                         {1, 2},     {9990, 10000}, {10000, 10000}};
  for (const auto& c : more) EXPECT_EQ(moreSamplePoints(c[0]), c[1]) << "+ from " << c[0];
  const int fewer[][2] = {{250, 200}, {101, 51}, {100, 90}, {11, 1}, {10, 9}, {2, 1}, {1, 1}};
  for (const auto& c : fewer) EXPECT_EQ(fewerSamplePoints(c[0]), c[1]) << "- from " << c[0];
}

TEST(KeyboardTest, SunStepsFiveDegreesInDoubleWrapsTheAzimuthExactlyAndStopsTheElevation) {
  const double step = 3.14159 / 36;
  const float up = static_cast<float>(0.7853975f + step);
  const struct { float azimuth, elevation; SunStep step; float newAzimuth, newElevation; } cases[] = {
      {4.712385f, 1, SunStep::East, static_cast<float>(4.712385f + step), 1},
      {1, 0.7853975f, SunStep::Up, 1, up},    {1, up, SunStep::Down, 1, static_cast<float>(up - step)},
      {0.05f, 1, SunStep::West, 6.28318f, 1},  {6.28318f, 1, SunStep::East, 0, 1},
      {6.2f, 1, SunStep::East, 0, 1},          {1, 1.570795f, SunStep::Up, 1, 1.570795f},
      {1, 1.5f, SunStep::Up, 1, 1.570795f},    {1, 0.01f, SunStep::Down, 1, 0}};
  for (const auto& c : cases) {
    Sky sky;
    sky.setSun(c.elevation, c.azimuth);
    stepSun(sky, c.step);
    const Vec3 sun = sky.sunDirection(), expected = angleToVector(c.newAzimuth, c.newElevation);
    EXPECT_TRUE(sky.sunAzimuth() == c.newAzimuth && sky.sunElevation() == c.newElevation &&
                sun.x == expected.x && sun.y == expected.y && sun.z == expected.z)
        << c.azimuth << " " << c.elevation << " " << int(c.step) << " -> " << sky.sunAzimuth()
        << " " << sky.sunElevation();
  }
}

}  // namespace
