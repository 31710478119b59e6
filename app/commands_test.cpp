#include "app/commands.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "sampling/sample_points.h"
#include "sky/sky_model.h"

namespace {

bool sameWeights(const Sequence<SamplePoint>& a, const Sequence<SamplePoint>& b) {
  if (a.numElements != b.numElements) return false;
  for (int i = 0; i < a.numElements; ++i)
    if (a.element(i).weight != b.element(i).weight || a.element(i).azimuth != b.element(i).azimuth)
      return false;
  return true;
}

// Each command changes the state first, so that the terrain step, the
// normaliser and the weights all see the new sky; the set is hidden after
// every change and shown after `p`. Every command that changes the set
// counts its version up: the window keeps the outlines' arrays while it stays.
TEST(CommandsTest, TheTerrainNormaliserWeightsAndSetVersionFollowEveryCommand) {
  AppState state;
  std::vector<Sky> terrainSteps;  // the sky each terrain step ran under
  CommandTarget target{state, [&] { terrainSteps.push_back(state.sky); }};
  long version = state.sampleSetVersion;
  const auto run = [&](const char* name, const std::function<void()>& command, size_t steps) {
    command();
    EXPECT_GT(state.sampleSetVersion, version) << name;
    version = state.sampleSetVersion;
    EXPECT_EQ(terrainSteps.size(), steps) << name;
    EXPECT_EQ(state.skyNormaliser, normaliseSky(state.sky)) << name;
  };

  run("start-up", [&] { startUpCommand(target); }, 0);
  EXPECT_EQ(state.samplePoints.numElements, 181);  // the jittered set of 250
  state.samplesComputed = state.drawRegions = true;
  run("arrow", [&] { sunStepCommand(target, SunStep::Up); }, 1);
  EXPECT_TRUE(terrainSteps[0].sunElevation() == state.sky.sunElevation() &&
              terrainSteps[0].sunAzimuth() == state.sky.sunAzimuth());
  EXPECT_NE(state.sky.sunElevation(), kDefaultSunElevation);
  EXPECT_FALSE(state.samplesComputed || state.drawRegions);
  Sequence<SamplePoint> reweighed = state.samplePoints;
  computeSampleWeights(state.sky, reweighed, state.regionPolygons);
  EXPECT_TRUE(sameWeights(state.samplePoints, reweighed));

  state.samplesComputed = state.drawRegions = true;
  run("sky menu", [&] { selectDistributionCommand(target, 7 + 2); }, 2);  // general type 3
  EXPECT_FALSE(state.samplesComputed || state.drawRegions);
  EXPECT_TRUE(terrainSteps[1].distribution == SkyDistribution::GENERAL && terrainSteps[1].generalType == 2);

  run("p", [&] { computeSamplePointsCommand(target); }, 3);
  EXPECT_TRUE(state.samplesComputed && state.drawRegions);
  const SampleSet expected = computeStratifiedSamples(state.sky, 250, true);
  EXPECT_TRUE(sameWeights(state.samplePoints, expected.samplePoints));
  EXPECT_EQ(state.regionPolygons.size(), expected.regionPolygons.size());
  run("pick", [&] { pickCommand(target); }, 4);
  EXPECT_TRUE(state.samplesComputed);

  // `+` and the switches leave the set; `-` recomputes the start-up set.
  morePointsCommand(target);
  for (unsigned char key : {'t', 'h', 'r', 'i', 'j'}) toggleCommand(state, key);
  EXPECT_EQ(state.numSamplePoints, 300);
  EXPECT_EQ(state.sampleSetVersion, version);
  EXPECT_EQ(terrainSteps.size(), 4u);
  run("-", [&] { fewerPointsCommand(target); }, 5);
  run("- again", [&] { fewerPointsCommand(target); }, 6);
  EXPECT_EQ(state.samplePoints.numElements, 169);  // the jittered grid of 200
  EXPECT_EQ(state.regionPolygons.size(), 169u);
}

}  // namespace
