#include "sampling/sample_points.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "sampling/stratified_selection.h"
#include "sky/sky_model.h"

namespace {

using D = SkyDistribution;

int rampEntry(const unsigned char* colour) {
  return colour ? static_cast<int>((colour - &colourRamp[0][0]) / 4) : -1;
}

SamplePoint direction(float elevation, float azimuth) {
  SamplePoint p;
  p.elevation = elevation;
  p.azimuth = azimuth;
  return p;
}

// The fine grid of a sky (every step-th point of it), sorted and classified.
struct ClassifiedGrid {
  std::vector<SamplePoint> grid;
  float deviation;
  LuminanceClasses classes;
  explicit ClassifiedGrid(const Sky& sky, size_t step = 1) {
    const std::vector<SamplePoint> full = fineSkyGrid(sky);
    for (size_t i = 0; i < full.size(); i += step) grid.push_back(full[i]);
    deviation = luminanceDeviation(grid);
    sortByLuminance(grid);
    classes = classifyByLuminance(grid, deviation);
  }
};

TEST(AngularDistanceTest, FoldsAnglesBeyondARightAngleAndIsAlwaysANumber) {
  // 120 degrees apart along the horizon count as 60; opposite points as one.
  EXPECT_NEAR(angularDistance(direction(0, 0), direction(0, 2 * 3.14159f / 3)), 3.14159 / 3, 1e-5);
  EXPECT_NEAR(angularDistance(direction(0, 0), direction(0, 3.14159f)), 0, 1e-5);
  EXPECT_NEAR(angularDistance(direction(1.570795f, 0), direction(0, 1)), 1.570795, 1e-3);
  // Right angles, where rounding can push the cross product past length 1.
  for (float azimuth = 0; azimuth < 6.28318f; azimuth += 0.00314159f) {
    ASSERT_FALSE(std::isnan(angularDistance(direction(1.570795f, 0), direction(0, azimuth))));
    ASSERT_FALSE(std::isnan(angularDistance(direction(0, azimuth), direction(0, azimuth + 1.570795f))));
  }
}

// A uniform sky's one class (of ramp entry 0) gives one point less than asked;
// a lone point has no region. (The default stratified 250: the golden file.)
TEST(SampleSetsTest, SizesFollowTheRequestAndWeightsSumToOne) {
  const Sky sky, uniform(D::UNIFORM, 11, 0.5f, 1);
  const struct { bool stratified; const Sky& sky; int requested, size; } cases[] = {
      {false, sky, 250, 181}, {false, sky, 16, 9},     {false, sky, 10000, 9801}, {false, sky, 15, 1},
      {true, sky, 1, 1},      {true, uniform, 2, 1}, {true, uniform, 250, 249}};
  for (const auto& c : cases) {
    const SampleSet set = c.stratified ? computeStratifiedSamples(c.sky, c.requested, true)
                                       : computeJitteredSamples(c.sky, c.requested);
    ASSERT_EQ(set.samplePoints.numElements, c.size) << c.requested;
    float sum = 0;
    for (int i = 0; i < c.size; ++i) {
      sum += set.samplePoints.element(i).weight;
      if (&c.sky == &uniform) {
        EXPECT_EQ(rampEntry(set.samplePoints.element(i).colour), 0);
      }
    }
    EXPECT_NEAR(sum, 1.0f, 1e-5) << c.requested;
  }
  EXPECT_EQ(computeJitteredSamples(sky, 15).regionPolygons[0].numElements, 0);
}

// Fan areas 0.08 and 0.02, the second closed by a repeated corner as a set's
// zenith region is; the third point has no region. (Luminance: golden file.)
TEST(SampleWeightsTest, AreFanAreaTimesLuminanceNormalised) {
  const Sky sky(D::UNIFORM, 11, 0.5f, 0.5f);
  Sequence<SamplePoint> points;
  RegionPolygons regions(3);
  for (float size : {0.2f, 0.1f}) {
    for (const Vec3& corner : {Vec3(size, 0, 1), Vec3(0, size, 1), Vec3(-size, 0, 1), Vec3(0, -size, 1)})
      regions[points.numElements].append(corner);
    points.append(direction(1.570795f, 0));
  }
  const Vec3 firstCorner = regions[1].element(0);
  regions[1].append(firstCorner);
  points.append(direction(0.5f, 3));
  computeSampleWeights(sky, points, regions);
  EXPECT_NEAR(points.element(0).weight, 0.8f, 1e-4);
  EXPECT_NEAR(points.element(1).weight, 0.2f, 1e-4);
  EXPECT_EQ(points.element(2).weight, 0.0f);

  // Points without regions share equally when nothing else has area.
  points.clear();
  for (int i = 0; i < 4; ++i) points.append(direction(0.2f * i, 1));
  computeSampleWeights(sky, points, RegionPolygons(4));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(points.element(i).weight, 0.25f);
}

// The totals are the shares of proportional selection; where the bounds fall
// is pinned down by the golden file of the default set.
TEST(LuminanceClassesTest, HoldTheirTotalsAndAreColouredDimToBright) {
  const ClassifiedGrid g{Sky()};
  ASSERT_GT(g.classes.count, 1);
  int previousEntry = -1;
  for (int j = 0; j < g.classes.count; ++j) {
    const int first = g.classes.bounds[j], last = g.classes.bounds[j + 1];
    if (first == last) continue;
    const int entry = rampEntry(g.grid[first].colour);
    EXPECT_GT(entry, previousEntry);
    previousEntry = entry;
    float total = 0;
    for (int i = first; i < last; ++i) {
      EXPECT_EQ(rampEntry(g.grid[i].colour), entry);
      total += g.grid[i].weight;
    }
    EXPECT_NEAR(g.classes.totals[j], total, 1e-3 * total);
  }
  EXPECT_EQ(rampEntry(g.grid.front().colour), 0);
  EXPECT_EQ(rampEntry(g.grid.back().colour), 511);
}

// ---- The selection against a plain reference ---------------------------------------------------

// What angularDistance computes, from directions made once.
float plainDistance(const Vec3& a, const Vec3& b) { return std::asin(std::min(a.cross(b).length(), 1.0f)); }

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
      for (int i = 0; i < n; ++i)
        if (!chosen[i]) dist[i] = std::min(dist[i], plainDistance(directions[i], directions[found]));
    }
  }
  return picks;
}

// Skies of every kind of class structure; every fifth grid point too, so that
// the selection runs to exhaustion and through the small distances of dense sets.
TEST(SelectionReferenceTest, PicksAreThoseOfThePlainSelection) {
  const Sky skies[] = {Sky(D::CLEAR, 11, 0.7853975f, 4.712385f), Sky(D::GENERAL, 0, 0.2f, 1.0f),
                       Sky(D::GENERAL, 14, 0.05f, 6.0f), Sky(D::SHARP, 11, 0.6f, 5.5f),
                       Sky(D::UNIFORM, 11, 0.5f, 2.0f)};
  for (size_t s = 0; s < std::size(skies); ++s)
    for (size_t step : {1, 5}) {
      const ClassifiedGrid g(skies[s], step);
      for (bool equalShares : {true, false})
        for (int size : step == 1 ? std::vector<int>{1, 16, 250} : std::vector<int>{2100}) {
          const std::vector<SamplePoint> expected = referenceSelection(g.grid, g.classes, size, equalShares);
          const std::vector<SamplePoint> actual = selectSamplePoints(g.grid, g.classes, size, equalShares);
          ASSERT_EQ(actual.size(), expected.size()) << "sky " << s << " step " << step << " size " << size;
          for (size_t k = 0; k < expected.size(); ++k)
            ASSERT_TRUE(actual[k].elevation == expected[k].elevation && actual[k].azimuth == expected[k].azimuth &&
                        actual[k].colour == expected[k].colour)
                << "sky " << s << " step " << step << " equal shares " << equalShares << " size " << size
                << " pick " << k;
        }
    }
}

}  // namespace
