// Directions as the sample point file holds them.
#include "sampling/file_directions.h"

#include <algorithm>
#include <cmath>

#include "core/angles.h"
#include "sampling/sky_quadrature.h"

namespace {

// The elevation of the unit vector of the program's angles exceeds the
// program's elevation by this much (its zenith angle is 1.570795 - elevation).
constexpr double kElevationOffset = kExactPi / 2 - 1.570795;

double roundTo(double value, int decimals) {
  const double scale = std::pow(10.0, decimals);
  return std::round(value * scale) / scale + 0.0;  // + 0.0: never -0
}

}  // namespace

void fileAngles(const SamplePoint& point, int decimals, double& bearing, double& elevation) {
  if (decimals <= 0) {
    bearing = displayedBearing(point.azimuth);
    elevation = displayedElevation(point.elevation);
    return;
  }
  decimals = std::min(decimals, kMaxDecimals);
  double b = std::fmod(90 - static_cast<double>(point.azimuth) * 180 / kExactPi, 360.0);
  if (b < 0) b += 360;
  bearing = roundTo(b, decimals);
  if (bearing >= 360) bearing = 0;
  const double e = (static_cast<double>(point.elevation) + kElevationOffset) * 180 / kExactPi;
  elevation = roundTo(std::max(-90.0, std::min(90.0, e)), decimals);
}

void roundToFile(Sequence<SamplePoint>& points, int decimals) {
  for (int i = 0; i < points.numElements; ++i) {
    SamplePoint& point = points.element(i);
    double bearing, elevation;
    fileAngles(point, decimals, bearing, elevation);
    double azimuth = (90 - bearing) * kExactPi / 180;
    if (azimuth < 0) azimuth += 2 * kExactPi;
    point.azimuth = static_cast<float>(azimuth);
    point.elevation = static_cast<float>(elevation * kExactPi / 180 - kElevationOffset);
  }
}
