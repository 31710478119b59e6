#include "sampling/accuracy.h"

#include <gtest/gtest.h>

#include <cmath>

#include "sampling/patch_set.h"
#include "sky/sky_model.h"

namespace {

// The quadrature of `rings` rings as a sample set: each cell a point weighted
// by its share of the light.
Sequence<SamplePoint> quadratureSet(const Sky& sky, int rings) {
  const SkyQuadrature quadrature(sky, rings);
  Sequence<SamplePoint> points;
  for (const SkyQuadrature::Cell& cell : quadrature.cells()) {
    SamplePoint p{};
    anglesOf(cell.direction, p.azimuth, p.elevation);
    p.weight = static_cast<float>(cell.luminance * cell.solidAngle / quadrature.totalLight());
    points.append(p);
  }
  return points;
}

SamplePoint pointAt(double bearingDegrees, double elevationDegrees, float weight) {
  const double b = bearingDegrees * kExactPi / 180, e = elevationDegrees * kExactPi / 180;
  SamplePoint p{};
  anglesOf({std::cos(e) * std::sin(b), std::cos(e) * std::cos(b), std::sin(e)}, p.azimuth, p.elevation);
  p.weight = weight;
  return p;
}

TEST(AccuracyTest, TheQuadratureItselfScoresNearZeroAndAMovedWeightWorse) {
  const Sky sky(SkyDistribution::GENERAL, 11, 0.5f, 1.0f);
  const AccuracyReference reference(sky, 36);
  Sequence<SamplePoint> points = quadratureSet(sky, 36);
  const SetAccuracy exact = reference.measureAll(points);
  EXPECT_LT(exact.open.maxError, 1e-5);
  for (const AccuracyFigures& masked : exact.masked) EXPECT_LT(masked.maxError, 1e-5);
  EXPECT_GT(exact.open.planes, 1000);
  EXPECT_LT(exact.open.planes, kAccuracyPlanes);

  // Half of the brightest point's weight moved to the dimmest one.
  int brightest = 0, dimmest = 0;
  for (int i = 0; i < points.numElements; ++i) {
    if (points.element(i).weight > points.element(brightest).weight) brightest = i;
    if (points.element(i).weight < points.element(dimmest).weight) dimmest = i;
  }
  const float moved = points.element(brightest).weight / 2;
  points.element(brightest).weight -= moved;
  points.element(dimmest).weight += moved;
  const SetAccuracy worse = reference.measureAll(points);
  EXPECT_GT(worse.open.rmsError, 100 * exact.open.rmsError + 1e-4);
  EXPECT_GT(worse.open.maxError, 1e-3);
}

// All the light from one point due south, low down or on a mask's horizon line
// (its angles rounded to float): hidden, every lit plane loses all its light.
TEST(AccuracyTest, MasksHideTheSouthernSkyBelowTheirHorizon) {
  const AccuracyReference reference(Sky(SkyDistribution::UNIFORM, 0, 0.5f, 0), 36);
  Sequence<SamplePoint> south, north, onTheLine;
  south.append(pointAt(180, 5, 1));
  north.append(pointAt(0, 5, 1));
  onTheLine.append(pointAt(180, 20, 1));
  for (int mask = 0; mask < kNumMasks; ++mask) {
    EXPECT_EQ(reference.measure(south, mask).maxError, 1) << mask;
    EXPECT_EQ(reference.measure(south, mask).rmsError, 1) << mask;
    EXPECT_NE(reference.measure(north, mask).rmsError, 1) << mask;
  }
  EXPECT_EQ(reference.measure(onTheLine, 1).rmsError, 1);
  EXPECT_NE(reference.measure(onTheLine, 0).rmsError, 1);
  for (size_t k = 0; k < reference.planes().size(); ++k) {
    ASSERT_LE(reference.irradiances(0)[k], reference.irradiances(-1)[k] * (1 + 1e-12));
    ASSERT_LE(reference.irradiances(2)[k], reference.irradiances(1)[k] * (1 + 1e-12));
  }
}

// The 145-patch subdivision under the default clear sky is known to be off by
// about 0.5% RMS and 2.4% at worst.
TEST(AccuracyTest, PatchBaselineMatchesItsPublishedFigures) {
  const Sequence<SamplePoint> patches = computePatchSamples(Sky());
  ASSERT_EQ(patches.numElements, kPatchSetPoints);
  double sum = 0;
  for (int i = 0; i < patches.numElements; ++i) sum += patches.element(i).weight;
  EXPECT_NEAR(sum, 1, 1e-5);
  const SetAccuracy figures = AccuracyReference(Sky(), 180).measureAll(patches);
  EXPECT_TRUE(figures.open.rmsError > 0.004 && figures.open.rmsError < 0.007) << figures.open.rmsError;
  EXPECT_TRUE(figures.open.maxError > 0.02 && figures.open.maxError < 0.03) << figures.open.maxError;
}

}  // namespace
