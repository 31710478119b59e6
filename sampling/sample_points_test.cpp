#include "sampling/sample_points.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "sampling/sampling_test_support.h"
#include "sampling/stratified_selection.h"
#include "sky/hemisphere_mapping.h"
#include "sky/sky_model.h"

namespace {

float weightSum() {
  float sum = 0;
  for (int i = 0; i < appState.samplePoints.numElements; ++i)
    sum += appState.samplePoints.element(i).weight;
  return sum;
}

int rampEntry(const unsigned char* colour) {
  return colour ? static_cast<int>((colour - &colourRamp[0][0]) / 4) : -1;
}

// ---- Colour ramp -------------------------------------------------------------------

TEST(ColourRampTest, KeyColoursAreExactAndChannelsRunLinearlyBetweenThem) {
  struct Key {
    int index;
    unsigned char r, g, b;
  };
  const Key keys[] = {{0, 0, 0, 188},     {16, 0, 0, 219},    {32, 0, 0, 245},
                      {48, 0, 1, 255},    {64, 0, 34, 255},   {96, 0, 95, 255},
                      {128, 0, 153, 255}, {160, 0, 211, 255}, {192, 0, 255, 240},
                      {224, 53, 255, 186}, {240, 85, 255, 153}, {256, 117, 255, 122},
                      {288, 172, 255, 66}, {320, 234, 255, 4},  {336, 255, 251, 0},
                      {368, 255, 188, 0}, {400, 255, 129, 0}, {432, 255, 73, 0},
                      {464, 255, 14, 0},  {480, 255, 0, 0},   {496, 224, 0, 0},
                      {511, 201, 0, 0}};
  for (const Key& key : keys) {
    EXPECT_EQ(colourRamp[key.index][0], key.r) << key.index;
    EXPECT_EQ(colourRamp[key.index][1], key.g) << key.index;
    EXPECT_EQ(colourRamp[key.index][2], key.b) << key.index;
  }
  for (int i = 0; i < 512; ++i) EXPECT_EQ(colourRamp[i][3], 128) << i;
  for (size_t k = 0; k + 1 < sizeof keys / sizeof keys[0]; ++k) {
    const int from = keys[k].index, to = keys[k + 1].index;
    for (int channel = 0; channel < 3; ++channel) {
      const int a = colourRamp[from][channel], b = colourRamp[to][channel];
      for (int i = from; i < to; ++i) {
        const int here = colourRamp[i][channel], next = colourRamp[i + 1][channel];
        EXPECT_TRUE(b >= a ? next >= here : next <= here) << "channel " << channel << " at " << i;
        const double linear = a + double(b - a) * (i - from) / (to - from);
        EXPECT_LE(std::fabs(here - linear), 1.0) << "channel " << channel << " at " << i;
      }
    }
  }
}

// ---- Angular distance --------------------------------------------------------------

SamplePoint direction(float elevation, float azimuth) {
  SamplePoint p;
  p.elevation = elevation;
  p.azimuth = azimuth;
  return p;
}

TEST(AngularDistanceTest, FoldsAnglesBeyondARightAngle) {
  EXPECT_NEAR(angularDistance(direction(0, 0), direction(0, 3.14159f / 6)), 3.14159 / 6, 1e-5);
  // 120 degrees apart along the horizon count as 60.
  EXPECT_NEAR(angularDistance(direction(0, 0), direction(0, 2 * 3.14159f / 3)), 3.14159 / 3, 1e-5);
  // Opposite points of the horizon are as one.
  EXPECT_NEAR(angularDistance(direction(0, 0), direction(0, 3.14159f)), 0, 1e-5);
  EXPECT_NEAR(angularDistance(direction(1.570795f, 0), direction(0, 1)), 1.570795, 1e-3);
  EXPECT_EQ(angularDistance(direction(0.3f, 2), direction(0.3f, 2)), 0.0f);
}

TEST(AngularDistanceTest, IsAlwaysANumber) {
  // Right angles, where rounding can push the cross product past length 1.
  for (int k = 0; k < 2000; ++k) {
    const float azimuth = k * 0.00314159f;
    const float d = angularDistance(direction(1.570795f, 0), direction(0, azimuth));
    ASSERT_FALSE(std::isnan(d)) << azimuth;
    const float e = angularDistance(direction(0, azimuth), direction(0, azimuth + 1.570795f));
    ASSERT_FALSE(std::isnan(e)) << azimuth;
  }
}

// ---- Jittered sets -------------------------------------------------------------------

TEST(JitteredSamplesTest, GridSizesFollowTheRequestedCount) {
  ScopedSky sky;
  RegionPolygons regions;
  const struct {
    int requested, expected;
  } cases[] = {{250, 181}, {16, 9}, {15, 1}, {1, 1}, {10000, 9801}};
  for (const auto& c : cases) {
    appState.numSamplePoints = c.requested;
    computeJitteredSamples(regions);
    EXPECT_EQ(appState.samplePoints.numElements, c.expected) << c.requested;
    EXPECT_EQ(static_cast<int>(regions.size()), c.expected) << c.requested;
    EXPECT_NEAR(weightSum(), 1.0f, 1e-5) << c.requested;
  }
}

TEST(JitteredSamplesTest, ZenithFirstThenColumnsOfRowsWithProvisionalLuminanceShares) {
  ScopedSky sky;
  RegionPolygons regions;
  appState.numSamplePoints = 250;
  computeJitteredSamples(regions);
  const Sequence<SamplePoint>& points = appState.samplePoints;
  EXPECT_EQ(points.element(0).elevation, 1.570795f);
  float total = 0;
  for (int i = 0; i < points.numElements; ++i)
    total += skyLuminance(points.element(i).azimuth, points.element(i).elevation);
  const float d = 3.14159 * std::sqrt(226.0f) / 225;
  for (int i = 0; i < points.numElements; ++i) {
    const SamplePoint& p = points.element(i);
    EXPECT_EQ(p.colour, nullptr);
    EXPECT_FALSE(p.highlighted);
    EXPECT_NEAR(p.weight, skyLuminance(p.azimuth, p.elevation) / total, 1e-6);
    if (i == 0) continue;
    // Six rows: d/2, 3d/2, ... 11d/2, each within the jitter.
    const int row = (i - 1) % 6, column = (i - 1) / 6;
    EXPECT_NEAR(p.elevation, d / 2 + row * d, 2e-4) << i;
    EXPECT_NEAR(p.azimuth, column * d + d / 2, 1e-4) << i;
  }
}

TEST(JitteredSamplesTest, TheSameCountGivesTheSameSet) {
  ScopedSky sky;
  RegionPolygons regions;
  appState.numSamplePoints = 100;
  computeJitteredSamples(regions);
  Sequence<SamplePoint> first = appState.samplePoints;
  appState.numSamplePoints = 400;
  computeJitteredSamples(regions);
  appState.numSamplePoints = 100;
  computeJitteredSamples(regions);
  ASSERT_EQ(first.numElements, appState.samplePoints.numElements);
  for (int i = 0; i < first.numElements; ++i) {
    EXPECT_EQ(first.element(i).elevation, appState.samplePoints.element(i).elevation);
    EXPECT_EQ(first.element(i).azimuth, appState.samplePoints.element(i).azimuth);
  }
}

// ---- Weights ------------------------------------------------------------------------------

TEST(SampleWeightsTest, SumToOneForJitteredSetsUnderEverySky) {
  const SkyDistribution skies[] = {UNIFORM, OVERCAST, CLEAR, SHARP, POINT, COSINE, TURBID, GENERAL};
  for (SkyDistribution distribution : skies) {
    ScopedSky sky(distribution, 4, 0.3f, 1.0f);
    RegionPolygons regions;
    appState.numSamplePoints = 250;
    computeJitteredSamples(regions);
    computeSampleWeights(regions);
    EXPECT_NEAR(weightSum(), 1.0f, 1e-5) << distribution;
    for (int i = 0; i < appState.samplePoints.numElements; ++i)
      ASSERT_GT(appState.samplePoints.element(i).weight, 0.0f) << distribution << " point " << i;
  }
}

TEST(SampleWeightsTest, AreFanAreaTimesLuminanceNormalised) {
  ScopedSky sky(UNIFORM, 11, 0.5f, 0.5f);
  appState.samplePoints.clear();
  appState.samplePoints.append(direction(1.570795f, 0));
  appState.samplePoints.append(direction(0.5f, 1));
  appState.samplePoints.append(direction(0.5f, 3));
  // Round the first point, a square of half-diagonal 0.2 (fan area 0.08,
  // closed by the last edge back to the first corner); round the second a
  // square of half the size (0.02); the third has no region.
  RegionPolygons regions(3);
  const float h = 0.2f, q = 0.1f;
  regions[0].append(Vec3(h, 0, 1));
  regions[0].append(Vec3(0, h, 1));
  regions[0].append(Vec3(-h, 0, 1));
  regions[0].append(Vec3(0, -h, 1));
  const Vec3 c = angleToVector(1, 0.5f);
  const Vec3 u = Vec3(-std::sin(1.0f), std::cos(1.0f), 0);
  const Vec3 w = c.cross(u);
  regions[1].append(c + u * q);
  regions[1].append(c + w * q);
  regions[1].append(c - u * q);
  regions[1].append(c - w * q);
  computeSampleWeights(regions);
  EXPECT_NEAR(appState.samplePoints.element(0).weight, 0.8f, 1e-4);
  EXPECT_NEAR(appState.samplePoints.element(1).weight, 0.2f, 1e-4);
  EXPECT_EQ(appState.samplePoints.element(2).weight, 0.0f);
}

TEST(SampleWeightsTest, ALonePointWithoutRegionGetsTheWholeWeight) {
  ScopedSky sky;
  RegionPolygons regions;
  appState.numSamplePoints = 15;
  computeJitteredSamples(regions);
  ASSERT_EQ(appState.samplePoints.numElements, 1);
  EXPECT_EQ(regions[0].numElements, 0);
  computeSampleWeights(regions);
  EXPECT_EQ(appState.samplePoints.element(0).weight, 1.0f);
}

TEST(SampleWeightsTest, PointsWithoutRegionsShareEquallyWhenNothingElseHasArea) {
  ScopedSky sky;
  appState.samplePoints.clear();
  for (int i = 0; i < 4; ++i) appState.samplePoints.append(direction(0.2f * i, 1));
  computeSampleWeights(RegionPolygons(4));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(appState.samplePoints.element(i).weight, 0.25f);
}

// ---- The fine grid and its classes ------------------------------------------------------------

TEST(FineGridTest, HasTheZenithAnd62RingsOf9956Points) {
  ScopedSky sky;
  std::vector<SamplePoint> grid = fineSkyGrid();
  ASSERT_EQ(grid.size(), 9956u);
  EXPECT_EQ(grid[0].elevation, 1.570795f);
  EXPECT_EQ(grid[0].azimuth, 0.0f);
  std::set<float> elevations;
  for (const SamplePoint& p : grid) {
    elevations.insert(p.elevation);
    ASSERT_EQ(p.weight, skyLuminance(p.azimuth, p.elevation));
    float u, v;
    hemisphereToSquare(p.elevation, p.azimuth, u, v);
    ASSERT_EQ(p.squareU, u);
    ASSERT_EQ(p.squareV, v);
  }
  EXPECT_EQ(elevations.size(), 63u);
  const float d = std::sqrt(0.000628318);
  EXPECT_EQ(*elevations.begin(), static_cast<float>(0.55 * d));
}

TEST(LuminanceClassesTest, AreOneDeviationWideColouredDimToBright) {
  ScopedSky sky;
  std::vector<SamplePoint> grid = fineSkyGrid();
  const float deviation = luminanceDeviation(grid);
  sortByLuminance(grid);
  for (size_t i = 1; i < grid.size(); ++i) ASSERT_LE(grid[i - 1].weight, grid[i].weight);
  const LuminanceClasses classes = classifyByLuminance(grid, deviation);
  const int c = classes.count;
  ASSERT_GT(c, 1);
  ASSERT_LE(c, 40);
  EXPECT_EQ(classes.bounds.front(), 0);
  EXPECT_EQ(classes.bounds.back(), static_cast<int>(grid.size()));
  int previousEntry = -1;
  for (int j = 0; j < c; ++j) {
    const int first = classes.bounds[j], last = classes.bounds[j + 1];
    ASSERT_LE(first, last);
    if (first == last) continue;
    const int entry = rampEntry(grid[first].colour);
    EXPECT_GT(entry, previousEntry);
    previousEntry = entry;
    float total = 0;
    for (int i = first; i < last; ++i) {
      EXPECT_EQ(rampEntry(grid[i].colour), entry);
      total += grid[i].weight;
    }
    EXPECT_NEAR(classes.totals[j], total, 1e-3 * total);
    // Above its boundary point a class spans at most one deviation.
    if (last - first > 1) {
      EXPECT_LE(grid[last - 1].weight - grid[first + 1].weight, deviation * 1.0001f) << j;
    }
  }
  EXPECT_EQ(rampEntry(grid.front().colour), 0);
  EXPECT_EQ(rampEntry(grid.back().colour), 511);
}

TEST(LuminanceClassesTest, AUniformSkyIsOneClassOfEntryZero) {
  ScopedSky sky(UNIFORM, 11, 0.5f, 1);
  std::vector<SamplePoint> grid = fineSkyGrid();
  const float deviation = luminanceDeviation(grid);
  sortByLuminance(grid);
  const LuminanceClasses classes = classifyByLuminance(grid, deviation);
  EXPECT_EQ(classes.count, 1);
  for (const SamplePoint& p : grid) ASSERT_EQ(rampEntry(p.colour), 0);
}

// ---- Stratified sets ----------------------------------------------------------------------------

TEST(StratifiedSamplesTest, CountsFollowTheRequestAndTheGrid) {
  ScopedSky sky;
  RegionPolygons regions;
  appState.numSamplePoints = 250;
  computeStratifiedSamples(regions);
  EXPECT_EQ(appState.samplePoints.numElements, 250);
  EXPECT_EQ(regions.size(), 250u);
  EXPECT_NEAR(weightSum(), 1.0f, 1e-5);

  appState.numSamplePoints = 10000;
  computeStratifiedSamples(regions);
  EXPECT_LE(appState.samplePoints.numElements, 9956);
  EXPECT_GT(appState.samplePoints.numElements, 9000);
  EXPECT_NEAR(weightSum(), 1.0f, 1e-4);

  appState.numSamplePoints = 1;
  computeStratifiedSamples(regions);
  ASSERT_EQ(appState.samplePoints.numElements, 1);
  EXPECT_EQ(appState.samplePoints.element(0).weight, 1.0f);
}

TEST(StratifiedSamplesTest, UnderAUniformSkyTheOneClassGivesOneLessThanAsked) {
  ScopedSky sky(UNIFORM, 11, 0.5f, 1);
  RegionPolygons regions;
  for (int requested : {2, 50, 250}) {
    appState.numSamplePoints = requested;
    computeStratifiedSamples(regions);
    EXPECT_EQ(appState.samplePoints.numElements, requested - 1);
    for (int i = 0; i < appState.samplePoints.numElements; ++i)
      EXPECT_EQ(rampEntry(appState.samplePoints.element(i).colour), 0);
  }
}

TEST(StratifiedSamplesTest, StartsWithTheBrightestDirectionAndPublishesItBackFromTheSquare) {
  ScopedSky sky;
  std::vector<SamplePoint> grid = fineSkyGrid();
  const SamplePoint brightest =
      *std::max_element(grid.begin(), grid.end(), [](const SamplePoint& a, const SamplePoint& b) {
        return a.weight < b.weight;
      });
  RegionPolygons regions;
  appState.numSamplePoints = 250;
  computeStratifiedSamples(regions);
  const SamplePoint& first = appState.samplePoints.element(0);
  float elevation, azimuth;
  squareToHemisphere(brightest.squareU, brightest.squareV, elevation, azimuth);
  EXPECT_EQ(first.elevation, elevation);
  EXPECT_EQ(first.azimuth, azimuth);
  EXPECT_EQ(rampEntry(first.colour), 511);
  // The default sun is at 45 degrees; the brightest direction is next to it.
  EXPECT_LT(angularDistance(first, direction(appState.sunElevation, appState.sunAzimuth)), 0.05f);
}

TEST(StratifiedSamplesTest, EqualSharesGiveTheBrightestClassItsShareOfPoints) {
  ScopedSky sky(OVERCAST, 11, 0.5f, 1);
  std::vector<SamplePoint> grid = fineSkyGrid();
  const float deviation = luminanceDeviation(grid);
  sortByLuminance(grid);
  const LuminanceClasses classes = classifyByLuminance(grid, deviation);
  const int c = classes.count;
  ASSERT_GT(c, 1);
  const int brightestClassSize = classes.bounds[c] - classes.bounds[c - 1];
  const int requested = 101;
  ASSERT_GT(brightestClassSize, requested);
  std::vector<SamplePoint> picks = selectSamplePoints(grid, classes, requested, true);
  int brightest = 0;
  for (const SamplePoint& p : picks) brightest += rampEntry(p.colour) == 511;
  EXPECT_EQ(brightest, (requested - 1) / c);
  EXPECT_EQ(static_cast<int>(picks.size()), requested);
}

TEST(StratifiedSamplesTest, SharesByLuminanceLetTheBrightestClassTakeAllItHas) {
  ScopedSky sky;
  std::vector<SamplePoint> grid = fineSkyGrid();
  const float deviation = luminanceDeviation(grid);
  sortByLuminance(grid);
  const LuminanceClasses classes = classifyByLuminance(grid, deviation);
  const int c = classes.count;
  const int brightestClassSize = classes.bounds[c] - classes.bounds[c - 1];
  ASSERT_LT(brightestClassSize, 100);
  std::vector<SamplePoint> picks = selectSamplePoints(grid, classes, 250, false);
  ASSERT_GE(static_cast<int>(picks.size()), brightestClassSize);
  for (int i = 0; i < brightestClassSize; ++i) EXPECT_EQ(rampEntry(picks[i].colour), 511) << i;
  EXPECT_NE(rampEntry(picks[brightestClassSize].colour), 511);
}

// ---- The selection against a plain reference ---------------------------------------------------

// What angularDistance computes, from directions made once.
float plainDistance(const Vec3& a, const Vec3& b) {
  return std::asin(std::min(a.cross(b).length(), 1.0f));
}

TEST(AngularDistanceTest, IsTheArcSineOfTheCrossProductOfTheDirections) {
  ScopedSky sky;
  std::vector<SamplePoint> grid = fineSkyGrid();
  for (size_t i = 0; i < grid.size(); i += 7) {
    const SamplePoint& a = grid[i];
    const SamplePoint& b = grid[(i * 31 + 5) % grid.size()];
    ASSERT_EQ(angularDistance(a, b), plainDistance(angleToVector(a.azimuth, a.elevation),
                                                   angleToVector(b.azimuth, b.elevation)));
  }
}

// The selection exactly as it is defined: a distance per fine point, lowered
// after every pick, and a linear search per attempt.
std::vector<SamplePoint> referenceSelection(const std::vector<SamplePoint>& sorted,
                                            const LuminanceClasses& classes, int maxPoints,
                                            bool equalShares) {
  const int n = static_cast<int>(sorted.size());
  std::vector<Vec3> directions;
  for (const SamplePoint& p : sorted) directions.push_back(angleToVector(p.azimuth, p.elevation));
  std::vector<SamplePoint> picks;
  std::vector<bool> chosen(n, false);
  std::vector<float> dist(n);
  picks.push_back(sorted[n - 1]);
  chosen[n - 1] = true;
  for (int i = 0; i < n; ++i) dist[i] = plainDistance(directions[i], directions[n - 1]);
  const int c = classes.count;
  std::vector<float> running(c);
  int accumulator = 0;
  for (int j = c - 1; j >= 0; --j) {
    accumulator = static_cast<int>(accumulator + classes.totals[j]);
    running[j] = accumulator;
  }
  for (int j = c - 1; j >= 0; --j) {
    const int count = static_cast<int>(picks.size());
    const int remaining = maxPoints - count;
    int q = 0;
    if (equalShares)
      q = remaining / (j + 1);
    else if (running[j] != 0)
      q = static_cast<int>(std::floor(classes.totals[j] / running[j] * remaining));
    for (int a = count == 1 ? 1 : 0; a < q && static_cast<int>(picks.size()) < maxPoints; ++a) {
      float best = 0;
      int found = -1;
      for (int i = classes.bounds[j]; i < classes.bounds[j + 1]; ++i)
        if (!chosen[i] && dist[i] > best) {
          best = dist[i];
          found = i;
        }
      if (found < 0) continue;
      picks.push_back(sorted[found]);
      chosen[found] = true;
      for (int i = 0; i < n; ++i) {
        if (chosen[i]) continue;
        const float d = plainDistance(directions[i], directions[found]);
        if (d < dist[i]) dist[i] = d;
      }
    }
  }
  return picks;
}

void expectSamePicks(const std::vector<SamplePoint>& sorted, int maxPoints, bool equalShares,
                     const LuminanceClasses& classes) {
  const std::vector<SamplePoint> expected =
      referenceSelection(sorted, classes, maxPoints, equalShares);
  const std::vector<SamplePoint> actual = selectSamplePoints(sorted, classes, maxPoints, equalShares);
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t k = 0; k < expected.size(); ++k) {
    ASSERT_EQ(actual[k].elevation, expected[k].elevation) << "pick " << k;
    ASSERT_EQ(actual[k].azimuth, expected[k].azimuth) << "pick " << k;
    ASSERT_EQ(actual[k].colour, expected[k].colour) << "pick " << k;
  }
}

struct SkyCase {
  const char* name;
  SkyDistribution distribution;
  int generalType;
  float sunElevation, sunAzimuth;
};

void PrintTo(const SkyCase& sky, std::ostream* out) { *out << sky.name; }

class SelectionReferenceTest : public testing::TestWithParam<SkyCase> {
 protected:
  // The fine grid (every step-th point of it) sorted and classified for the
  // sky of the test.
  void prepare(size_t step) {
    const SkyCase& s = GetParam();
    ScopedSky::set(s.distribution, s.generalType, s.sunElevation, s.sunAzimuth);
    std::vector<SamplePoint> full = fineSkyGrid();
    for (size_t i = 0; i < full.size(); i += step) grid_.push_back(full[i]);
    const float deviation = luminanceDeviation(grid_);
    sortByLuminance(grid_);
    classes_ = classifyByLuminance(grid_, deviation);
  }
  ScopedSky sky_;
  std::vector<SamplePoint> grid_;
  LuminanceClasses classes_;
};

TEST_P(SelectionReferenceTest, FullGridPicksAreThoseOfThePlainSelection) {
  prepare(1);
  for (bool equalShares : {true, false})
    for (int size : {1, 2, 16, 250}) {
      SCOPED_TRACE(testing::Message() << "equal shares " << equalShares << " size " << size);
      expectSamePicks(grid_, size, equalShares, classes_);
    }
}

// Every fifth point of the grid, so that the selection runs to exhaustion
// and through the small distances of dense sets.
TEST_P(SelectionReferenceTest, SparseGridPicksAreThoseOfThePlainSelectionUpToExhaustion) {
  prepare(5);
  for (bool equalShares : {true, false})
    for (int size : {500, 2100}) {
      SCOPED_TRACE(testing::Message() << "equal shares " << equalShares << " size " << size);
      expectSamePicks(grid_, size, equalShares, classes_);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Skies, SelectionReferenceTest,
    testing::Values(SkyCase{"ClearDefaultSun", CLEAR, 11, 0.7853975f, 4.712385f},
                    SkyCase{"General1LowSun", GENERAL, 0, 0.2f, 1.0f},
                    SkyCase{"General7HighSun", GENERAL, 6, 1.3f, 3.0f},
                    SkyCase{"General15SunOnHorizon", GENERAL, 14, 0.05f, 6.0f},
                    SkyCase{"Overcast", OVERCAST, 11, 0.5f, 2.0f},
                    SkyCase{"Sharp", SHARP, 11, 0.6f, 5.5f},
                    SkyCase{"Uniform", UNIFORM, 11, 0.5f, 2.0f},
                    SkyCase{"TurbidSunNearZenith", TURBID, 11, 1.5f, 0.1f}),
    [](const testing::TestParamInfo<SkyCase>& info) { return std::string(info.param.name); });

}  // namespace
