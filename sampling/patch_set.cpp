// The 145-patch subdivision.
#include "sampling/patch_set.h"

#include <cmath>

#include "sampling/sky_quadrature.h"
#include "sky/sky_model.h"

namespace {

constexpr int kRows = 7;
constexpr int kPatchesPerRow[kRows] = {30, 30, 24, 24, 18, 12, 6};

SamplePoint patchPoint(double bearingDegrees, double elevationDegrees, double weight) {
  const double bearing = bearingDegrees * kExactPi / 180;
  const double elevation = elevationDegrees * kExactPi / 180;
  // North (bearing 0) is +y; bearings turn clockwise, towards +x.
  const Direction d = {std::cos(elevation) * std::sin(bearing),
                       std::cos(elevation) * std::cos(bearing), std::sin(elevation)};
  SamplePoint point{};
  anglesOf(d, point.azimuth, point.elevation);
  point.weight = static_cast<float>(weight);
  return point;
}

}  // namespace

Sequence<SamplePoint> computePatchSamples(const Sky& sky) {
  std::vector<double> elevations, bearings, weights;
  double total = 0;
  auto addPatch = [&](double bearing, double elevationLow, double elevationHigh, double width) {
    const double centre = elevationHigh >= 90 ? 90 : (elevationLow + elevationHigh) / 2;
    const double solidAngle = (std::sin(elevationHigh * kExactPi / 180) -
                               std::sin(elevationLow * kExactPi / 180)) * width * kExactPi / 180;
    SamplePoint point = patchPoint(bearing, centre, 0);
    const double weight =
        skyLuminanceQuietly(sky, point.azimuth, point.elevation) * solidAngle;
    elevations.push_back(centre);
    bearings.push_back(bearing);
    weights.push_back(weight);
    total += weight;
  };
  for (int row = 0; row < kRows; ++row) {
    const double width = 360.0 / kPatchesPerRow[row];
    for (int j = 0; j < kPatchesPerRow[row]; ++j) addPatch(j * width, 12.0 * row, 12.0 * row + 12, width);
  }
  addPatch(0, 84, 90, 360);

  Sequence<SamplePoint> points;
  for (size_t i = 0; i < weights.size(); ++i)
    points.append(patchPoint(bearings[i], elevations[i], total > 0 ? weights[i] / total : 1.0 / weights.size()));
  return points;
}
