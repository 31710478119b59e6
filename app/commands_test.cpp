#include "app/commands.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "sampling/sample_points.h"
#include "sky/sky_model.h"

namespace {

// A window whose terrain step records the sky it was run under.
struct RecordingWindow {
  AppState state;
  std::vector<Sky> terrainSteps;
  CommandTarget target{state, [this] { terrainSteps.push_back(state.sky); }};
};

bool sameSun(const Sky& a, const Sky& b) {
  return a.sunElevation() == b.sunElevation() && a.sunAzimuth() == b.sunAzimuth();
}

bool sameWeights(const Sequence<SamplePoint>& a, const Sequence<SamplePoint>& b) {
  if (a.numElements != b.numElements) return false;
  for (int i = 0; i < a.numElements; ++i)
    if (a.element(i).weight != b.element(i).weight || a.element(i).azimuth != b.element(i).azimuth)
      return false;
  return true;
}

// Each command changes the state first, so that the terrain step, the
// normaliser and the weights all see the new sky; the set is hidden after
// every change and shown after `p`.
TEST(CommandsTest, TheTerrainNormaliserAndWeightsFollowTheChangedSky) {
  RecordingWindow w;
  startUpCommand(w.target);
  EXPECT_TRUE(w.terrainSteps.empty());
  EXPECT_EQ(w.state.samplePoints.numElements, 181);  // the jittered set of 250
  EXPECT_EQ(w.state.skyNormaliser, normaliseSky(w.state.sky));

  w.state.samplesComputed = w.state.drawRegions = true;
  sunStepCommand(w.target, SunStep::Up);
  ASSERT_EQ(w.terrainSteps.size(), 1u);
  EXPECT_TRUE(sameSun(w.terrainSteps[0], w.state.sky));
  EXPECT_NE(w.state.sky.sunElevation(), kDefaultSunElevation);
  EXPECT_EQ(w.state.skyNormaliser, normaliseSky(w.state.sky));
  EXPECT_FALSE(w.state.samplesComputed || w.state.drawRegions);
  Sequence<SamplePoint> reweighed = w.state.samplePoints;
  computeSampleWeights(w.state.sky, reweighed, w.state.regionPolygons);
  EXPECT_TRUE(sameWeights(w.state.samplePoints, reweighed));

  w.state.samplesComputed = w.state.drawRegions = true;
  selectDistributionCommand(w.target, 7 + 2);  // general type 3
  EXPECT_FALSE(w.state.samplesComputed || w.state.drawRegions);
  ASSERT_EQ(w.terrainSteps.size(), 2u);
  EXPECT_EQ(w.terrainSteps[1].distribution, SkyDistribution::GENERAL);
  EXPECT_EQ(w.terrainSteps[1].generalType, 2);
  EXPECT_EQ(w.state.skyNormaliser, normaliseSky(w.state.sky));

  computeSamplePointsCommand(w.target);
  EXPECT_EQ(w.terrainSteps.size(), 3u);
  EXPECT_TRUE(w.state.samplesComputed && w.state.drawRegions);
  const SampleSet expected = computeStratifiedSamples(w.state.sky, 250, true);
  EXPECT_TRUE(sameWeights(w.state.samplePoints, expected.samplePoints));
  EXPECT_EQ(w.state.regionPolygons.size(), expected.regionPolygons.size());

  pickCommand(w.target);
  EXPECT_EQ(w.terrainSteps.size(), 4u);
  EXPECT_TRUE(w.state.samplesComputed);
}

// `+` only asks for more points next time; `-` recomputes the start-up set.
TEST(CommandsTest, PlusOnlyRaisesTheCountMinusRecomputesTheSet) {
  RecordingWindow w;
  startUpCommand(w.target);
  morePointsCommand(w.target);
  EXPECT_EQ(w.state.numSamplePoints, 300);
  EXPECT_TRUE(w.terrainSteps.empty());
  fewerPointsCommand(w.target);
  fewerPointsCommand(w.target);
  EXPECT_EQ(w.terrainSteps.size(), 2u);
  EXPECT_EQ(w.state.samplePoints.numElements, 169);  // the jittered grid of 200
  EXPECT_EQ(w.state.regionPolygons.size(), 169u);
}

}  // namespace

namespace {

// The window keeps the arrays of the sample set's region outlines while the
// set's version stays the same: every command that changes the set must
// count it up.
TEST(CommandsTest, EveryCommandThatChangesTheSampleSetCountsItsVersionUp) {
  RecordingWindow w;
  const std::vector<std::pair<const char*, std::function<void()>>> commands = {
      {"start-up", [&] { startUpCommand(w.target); }},
      {"p", [&] { computeSamplePointsCommand(w.target); }},
      {"-", [&] { fewerPointsCommand(w.target); }},
      {"arrow", [&] { sunStepCommand(w.target, SunStep::Up); }},
      {"sky menu", [&] { selectDistributionCommand(w.target, 1); }},
      {"pick", [&] { pickCommand(w.target); }},
  };
  for (const auto& command : commands) {
    const long before = w.state.sampleSetVersion;
    command.second();
    EXPECT_GT(w.state.sampleSetVersion, before) << command.first;
  }
  const long before = w.state.sampleSetVersion;
  morePointsCommand(w.target);  // only the count for next time
  for (unsigned char key : {'t', 'h', 'r', 'i', 'j'}) toggleCommand(w.state, key);
  EXPECT_EQ(w.state.sampleSetVersion, before);
}

}  // namespace
