#include "sampling/spiral_set.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "sampling/accuracy.h"
#include "sampling/fitted_weights.h"
#include "sampling/file_directions.h"
#include "sampling/sample_file.h"

namespace {

using D = SkyDistribution;

// Exactly N points above the horizon with positive weights summing to one,
// the same each time for the same sky.
TEST(SpiralSetTest, ExactlyNPointsAboveTheHorizonWithPositiveWeightsSummingToOne) {
  const Sky skies[] = {Sky(), Sky(D::SHARP, 0, 0.2f, 1.0f), Sky(D::UNIFORM, 0, 0.5f, 0), Sky(D::COSINE, 0, 0.5f, 0),
                       Sky(D::GENERAL, 6, 1.3f, 5.0f)};
  for (const Sky& sky : skies)
    for (int n : {1, 2, 7, 145, 1000}) {
      const Sequence<SamplePoint> points = computeSpiralSamples(sky, n);
      ASSERT_EQ(points.numElements, n);
      double sum = 0;
      for (int i = 0; i < n; ++i) {
        const SamplePoint& p = points.element(i);
        ASSERT_GT(p.weight, 0) << n << " " << i;
        ASSERT_GE(p.elevation, 0) << n << " " << i;
        ASSERT_LE(p.elevation, 1.5708f);
        sum += p.weight;
      }
      EXPECT_NEAR(sum, 1, 1e-5) << n;
      EXPECT_EQ(formatSamplePoints(sky, points, 6), formatSamplePoints(sky, computeSpiralSamples(sky, n), 6));
    }
}

// One elevation per point; under a sky that depends on the sun one point lies
// within half a height band of it, in its azimuth; a uniform sky turns nothing.
TEST(SpiralSetTest, PlacementHasOneElevationPerPointAndMeetsTheSun) {
  for (int n : {3, 145, 2000}) {
    std::set<double> heights;
    for (const Direction& d : spiralDirections(n, 0.4)) {
      ASSERT_NEAR(d.dot(d), 1, 1e-12);
      ASSERT_GT(d.z, 0);
      heights.insert(d.z);
    }
    EXPECT_EQ(heights.size(), static_cast<size_t>(n));
  }
  const Sky sky(D::CLEAR, 0, 0.6f, 2.5f);
  const Direction sun = directionOf(sky.sunAzimuth(), sky.sunElevation());
  for (int n : {145, 250, 1000}) {
    double nearest = -1;
    for (const Direction& d : spiralDirections(n, spiralRotation(sky, n))) nearest = std::max(nearest, d.dot(sun));
    EXPECT_LT(std::acos(std::min(1.0, nearest)), 0.5 / n / std::cos(sky.sunElevation()) + 1e-9) << n;
  }
  EXPECT_EQ(spiralRotation(Sky(D::OVERCAST, 0, 0.6f, 2.5f), 145), 0);
}

// Queries are the cells of a grid and the sites themselves, where ties are exact.
TEST(SpiralSetTest, BucketedNearestSitesEqualTheBruteForceOnes) {
  const SkyQuadrature grid(Sky(), 30);
  for (int n : {1, 5, 300, 3000}) {
    const std::vector<Direction> sites = spiralDirections(n, 1.1);
    std::vector<Direction> queries = sites;
    for (const SkyQuadrature::Cell& cell : grid.cells()) queries.push_back(cell.direction);
    const std::vector<int> owners = nearestSites(sites, queries);
    ASSERT_EQ(owners.size(), queries.size());
    for (size_t q = 0; q < queries.size(); ++q) {
      int best = 0;
      for (int i = 1; i < n; ++i)
        if (queries[q].dot(sites[i]) > queries[q].dot(sites[best])) best = i;
      ASSERT_EQ(owners[q], best) << n << " query " << q;
    }
  }
}

// The fit is judged by the accuracy measure, on planes it never saw.
TEST(FittedWeightsTest, FittedWeightsAreNeverWorseThanTheCellIntegrals) {
  const Sky skies[] = {Sky(), Sky(D::SHARP, 0, 0.26f, 4.71f), Sky(D::OVERCAST, 0, 0.5f, 0), Sky(D::UNIFORM, 0, 0.5f, 0),
                       Sky(D::GENERAL, 0, 1.3f, 1.0f), Sky(D::TURBID, 0, 0.78f, 1.57f)};
  for (const Sky& sky : skies) {
    const AccuracyReference reference(sky, 90);
    for (int n : {145, 400}) {
      Sequence<SamplePoint> cells = computeSpiralSamples(sky, n);
      roundToFile(cells, 0);
      Sequence<SamplePoint> fitted = cells;
      ASSERT_TRUE(fitSampleWeights(sky, fitted));
      double sum = 0;
      for (int i = 0; i < n; ++i) {
        ASSERT_GE(fitted.element(i).weight, 0);
        ASSERT_EQ(fitted.element(i).azimuth, cells.element(i).azimuth);
        sum += fitted.element(i).weight;
      }
      EXPECT_NEAR(sum, 1, 1e-5);
      const AccuracyFigures before = reference.measure(cells), after = reference.measure(fitted);
      EXPECT_LT(after.rmsError, before.rmsError) << static_cast<int>(sky.distribution) << " " << n;
      EXPECT_LT(after.maxError, before.maxError) << static_cast<int>(sky.distribution) << " " << n;
    }
  }
  Sequence<SamplePoint> empty, largest = computeSpiralSamples(Sky(), kMaxFittedPoints);
  EXPECT_FALSE(fitSampleWeights(Sky(), empty));
  EXPECT_TRUE(fitSampleWeights(Sky(), largest));
}

}  // namespace
