// The accuracy of a sample set: how well its weighted directions reproduce
// the light of the sky on surfaces of every orientation.
//
// A set's weights are shares of the sky's whole light, so the irradiance it
// gives on a plane with unit normal n is
//   E_set(n) = S sum_i w_i max(0, n . d_i),
// S being the luminance integrated over the hemisphere. The measure compares
// it with the dense integration of the sky model,
//   E(n) = integral over the visible sky of L(d) max(0, n . d) dd,
// on the planes of kAccuracyPlanes normals spread evenly over the whole
// sphere (the Fibonacci lattice, fibonacciSphere(2000, 0)), of which it keeps
// those that receive at least 5% of the irradiance of the brightest one. The
// figures are the root mean square and the largest absolute value of the
// relative error E_set / E - 1 over the planes kept.
//
// The dense integration is the SkyQuadrature of kReferenceRings rings: the
// product midpoint rule on 1.32 million cells about 0.125 degrees wide, the
// arcs where a plane turns away from the sky found per ring in closed form.
// Its error falls with the square of the cell size; against the integration
// with cells half as wide it differs by at most 9e-6 of a plane's
// irradiance (the sharp sky with the sun at 15 degrees; see the accuracy
// benchmark), so its own error is about 1e-5, twenty times below the
// smallest figure of any set (0.02% RMS, the fitted spiral set at 1000
// points).
//
// Masked variants: the same planes seeing only the sky above a horizon of
// 10, 20 or 30 degrees over the southern half of the azimuths (HorizonMask);
// a point of the set behind the mask adds nothing, while S stays that of the
// whole sky. A point exactly on the horizon line (as whole degrees put many)
// is not above it and counts as hidden; one exactly east or west is seen. The planes kept are those receiving 5% of the brightest plane's
// irradiance under that mask.
//
// Everything is deterministic: the same sky and set give the same figures.
#pragma once

#include <string>
#include <vector>

#include "core/sequence.h"
#include "sampling/sample_point.h"
#include "sampling/sky_quadrature.h"
#include "sky/sky.h"

constexpr int kAccuracyPlanes = 2000;
constexpr int kReferenceRings = 720;
constexpr double kPlaneThreshold = 0.05;
constexpr int kNumMasks = 3;
// The horizons of the masked variants, in degrees.
constexpr double kMaskHorizonDegrees[kNumMasks] = {10, 20, 30};

struct AccuracyFigures {
  double rmsError = 0;  // relative, 0.01 is 1%
  double maxError = 0;
  int planes = 0;       // the planes that count
};

struct SetAccuracy {
  AccuracyFigures open;                // the whole sky
  AccuracyFigures masked[kNumMasks];   // horizons of kMaskHorizonDegrees
};

// The reference irradiances of one sky on the measure's planes, under the
// open horizon and each mask: computed once, then any number of sets measured.
class AccuracyReference {
 public:
  // rings: the resolution of the dense integration (kReferenceRings, or
  // fewer where a coarse reference will do); a multiple of 9 keeps the masks
  // on ring edges.
  explicit AccuracyReference(const Sky& sky, int rings = kReferenceRings);

  // mask -1 is the open horizon, 0 .. kNumMasks - 1 the masks.
  AccuracyFigures measure(const Sequence<SamplePoint>& points, int mask = -1) const;
  SetAccuracy measureAll(const Sequence<SamplePoint>& points) const;

  double totalLight() const { return totalLight_; }
  const std::vector<Direction>& planes() const { return planes_; }
  // The reference irradiance of every plane under a mask (-1: open).
  const std::vector<double>& irradiances(int mask = -1) const { return reference_[mask + 1]; }

 private:
  double totalLight_ = 0;
  std::vector<Direction> planes_;
  std::vector<double> reference_[kNumMasks + 1];
};

// The figures in one line, as halvane-samples reports them:
//   irradiance off by 0.22% RMS, 2.35% at worst on 1876 planes; with the
//   southern horizon at 10, 20, 30 degrees: 1.62%/7.78%, ... (RMS/worst)
std::string describeAccuracy(const SetAccuracy& accuracy);

// The mask of the masked variant k (0 .. kNumMasks - 1), or the open horizon
// for -1.
HorizonMask accuracyMask(int mask);
