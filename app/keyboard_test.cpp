#include "app/keyboard.h"

#include <gtest/gtest.h>

#include "app/app_state.h"
#include "sky/sky_model.h"

namespace {

TEST(CommandKeyTest, ExactlyTheTwentyCommandKeys) {
  int accepted = 0;
  for (int key = 0; key < 256; ++key) accepted += isCommandKey(static_cast<unsigned char>(key));
  EXPECT_EQ(accepted, 20);
  for (unsigned char key : {'j', 'i', 'q', 'l', 'o', 't', 'h', 'r', 'p', '+', '=', '-', '_', '?'}) {
    EXPECT_TRUE(isCommandKey(key)) << key;
  }
  for (unsigned char key : {3, 7, 15, 19, 21, 27}) EXPECT_TRUE(isCommandKey(key)) << int(key);
  for (unsigned char key : {'W', 'n', '0', 'P', ' ', '\0', '\r'}) EXPECT_FALSE(isCommandKey(key));
}

TEST(CommandKeyTest, DistributionKeysChooseMenuValues) {
  EXPECT_EQ(distributionKeyMenuValue(21), 0);
  EXPECT_EQ(distributionKeyMenuValue(15), 1);
  EXPECT_EQ(distributionKeyMenuValue(3), 2);
  EXPECT_EQ(distributionKeyMenuValue(19), 3);
  EXPECT_EQ(distributionKeyMenuValue(7), 18);
  EXPECT_EQ(distributionKeyMenuValue('g'), -1);
  EXPECT_EQ(distributionKeyMenuValue(27), -1);
}

TEST(SamplePointCountTest, PlusSteps) {
  EXPECT_EQ(moreSamplePoints(250), 300);
  EXPECT_EQ(moreSamplePoints(100), 150);
  EXPECT_EQ(moreSamplePoints(99), 109);
  EXPECT_EQ(moreSamplePoints(10), 20);
  EXPECT_EQ(moreSamplePoints(9), 10);
  EXPECT_EQ(moreSamplePoints(1), 2);
  EXPECT_EQ(moreSamplePoints(9990), 10000);
  EXPECT_EQ(moreSamplePoints(10000), 10000);
}

TEST(SamplePointCountTest, MinusSteps) {
  EXPECT_EQ(fewerSamplePoints(250), 200);
  EXPECT_EQ(fewerSamplePoints(101), 51);
  EXPECT_EQ(fewerSamplePoints(100), 90);
  EXPECT_EQ(fewerSamplePoints(11), 1);
  EXPECT_EQ(fewerSamplePoints(10), 9);
  EXPECT_EQ(fewerSamplePoints(2), 1);
  EXPECT_EQ(fewerSamplePoints(1), 1);
}

class SunStepTest : public ::testing::Test {
 protected:
  void SetUp() override { appState = AppState(); }
};

TEST_F(SunStepTest, StepsFiveDegreesInDoubleAndStoresFloats) {
  const double step = 3.14159 / 36;
  stepSun(SunStep::East);
  EXPECT_EQ(appState.sunAzimuth, static_cast<float>(4.712385f + step));
  stepSun(SunStep::Up);
  EXPECT_EQ(appState.sunElevation, static_cast<float>(0.7853975f + step));
  stepSun(SunStep::Down);
  stepSun(SunStep::West);
  // Back at the default angles: 45 degrees up, bearing 180.
  EXPECT_EQ(appState.sunElevation, static_cast<float>(static_cast<float>(0.7853975f + step) - step));
  Vec3 expected = angleToVector(appState.sunAzimuth, appState.sunElevation);
  EXPECT_EQ(appState.sunDirection.x, expected.x);
  EXPECT_EQ(appState.sunDirection.y, expected.y);
  EXPECT_EQ(appState.sunDirection.z, expected.z);
}

TEST_F(SunStepTest, AzimuthWrapsToTheExactBounds) {
  appState.sunAzimuth = 0.05f;
  stepSun(SunStep::West);
  EXPECT_EQ(appState.sunAzimuth, 6.28318f);
  stepSun(SunStep::East);
  EXPECT_EQ(appState.sunAzimuth, 0.0f);
  appState.sunAzimuth = 6.2f;
  stepSun(SunStep::East);
  EXPECT_EQ(appState.sunAzimuth, 0.0f);
}

TEST_F(SunStepTest, ElevationStopsAtHorizonAndZenith) {
  appState.sunElevation = 1.570795f;
  stepSun(SunStep::Up);
  EXPECT_EQ(appState.sunElevation, 1.570795f);
  appState.sunElevation = 1.5f;
  stepSun(SunStep::Up);
  EXPECT_EQ(appState.sunElevation, 1.570795f);
  appState.sunElevation = 0.01f;
  stepSun(SunStep::Down);
  EXPECT_EQ(appState.sunElevation, 0.0f);
  EXPECT_NEAR(appState.sunDirection.z, 0, 1e-5f);  // cos(1.570795)
}

}  // namespace
