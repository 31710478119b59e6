// The accuracy measure of sample sets.
#include "sampling/accuracy.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

HorizonMask accuracyMask(int mask) {
  HorizonMask horizon;
  if (mask >= 0 && mask < kNumMasks) horizon.elevation = kMaskHorizonDegrees[mask] * kExactPi / 180;
  return horizon;
}

AccuracyReference::AccuracyReference(const Sky& sky, int rings)
    : planes_(fibonacciSphere(kAccuracyPlanes, 0)) {
  const SkyQuadrature quadrature(sky, rings);
  totalLight_ = quadrature.totalLight();
  HorizonMask masks[kNumMasks + 1];
  for (int mask = -1; mask < kNumMasks; ++mask) {
    masks[mask + 1] = accuracyMask(mask);
    reference_[mask + 1].reserve(planes_.size());
  }
  for (const Direction& normal : planes_) {
    double irradiance[kNumMasks + 1];
    quadrature.irradiances(normal, masks, kNumMasks + 1, irradiance);
    for (int k = 0; k <= kNumMasks; ++k) reference_[k].push_back(irradiance[k]);
  }
}

AccuracyFigures AccuracyReference::measure(const Sequence<SamplePoint>& points, int mask) const {
  const HorizonMask horizon = accuracyMask(mask);
  // The visible points, their weights in units of irradiance.
  std::vector<Direction> directions;
  std::vector<double> weights;
  for (int i = 0; i < points.numElements; ++i) {
    const SamplePoint& point = points.element(i);
    const Direction d = directionOf(point.azimuth, point.elevation);
    if (horizon.hides(d)) continue;
    directions.push_back(d);
    weights.push_back(point.weight * totalLight_);
  }

  const std::vector<double>& reference = irradiances(mask);
  const double brightest = *std::max_element(reference.begin(), reference.end());
  AccuracyFigures figures;
  double sumOfSquares = 0;
  for (size_t k = 0; k < planes_.size(); ++k) {
    if (!(reference[k] >= kPlaneThreshold * brightest) || !(reference[k] > 0)) continue;
    double irradiance = 0;
    for (size_t i = 0; i < directions.size(); ++i)
      irradiance += weights[i] * std::max(0.0, planes_[k].dot(directions[i]));
    const double error = irradiance / reference[k] - 1;
    sumOfSquares += error * error;
    figures.maxError = std::max(figures.maxError, std::fabs(error));
    ++figures.planes;
  }
  if (figures.planes > 0) figures.rmsError = std::sqrt(sumOfSquares / figures.planes);
  return figures;
}

SetAccuracy AccuracyReference::measureAll(const Sequence<SamplePoint>& points) const {
  SetAccuracy accuracy;
  accuracy.open = measure(points, -1);
  for (int mask = 0; mask < kNumMasks; ++mask) accuracy.masked[mask] = measure(points, mask);
  return accuracy;
}

namespace {

// A relative error as a percentage with three significant digits.
std::string percent(double error) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3g%%", 100 * error);
  return text;
}

}  // namespace

std::string describeAccuracy(const SetAccuracy& accuracy) {
  std::string text = "irradiance off by " + percent(accuracy.open.rmsError) + " RMS, " +
                     percent(accuracy.open.maxError) + " at worst on " +
                     std::to_string(accuracy.open.planes) + " planes; with the southern horizon at ";
  for (int mask = 0; mask < kNumMasks; ++mask)
    text += std::to_string(static_cast<int>(kMaskHorizonDegrees[mask])) + (mask + 1 < kNumMasks ? ", " : " degrees: ");
  for (int mask = 0; mask < kNumMasks; ++mask)
    text += percent(accuracy.masked[mask].rmsError) + "/" + percent(accuracy.masked[mask].maxError) +
            (mask + 1 < kNumMasks ? ", " : " (RMS/worst)");
  return text;
}
