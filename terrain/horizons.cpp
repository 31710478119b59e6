#include "terrain/horizons.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "terrain/terrain_file.h"

double earthCurvature(double cellSize, double refraction) {
  return cellSize * (1 - refraction) / (2 * kEarthRadius);
}

double directionAzimuth(int j, int numDirections) {
  return (j + 0.5) * 6.28318 / numDirections;
}

double horizonSine(const float* heights, int gridSizeX, int gridSizeY, int r, int c,
                   double azimuth, float maxHeight, double curvature) {
  auto z = [&](int x, int y) { return double(heights[size_t(x) * gridSizeY + y]); };
  const double dx = std::cos(azimuth), dy = std::sin(azimuth);
  const bool alongX = std::fabs(dx) >= std::fabs(dy);
  // Per step: one cell along the dominant axis, `slope` cells across it, and
  // `stepLength` grid spacings of horizontal distance.
  const double major = alongX ? dx : dy, minor = alongX ? dy : dx;
  const int majorStep = major > 0 ? 1 : -1;
  const double slope = minor / std::fabs(major);
  const double stepLength = 1 / std::fabs(major);
  const int majorStart = alongX ? r : c, minorStart = alongX ? c : r;
  const int majorSize = alongX ? gridSizeX : gridSizeY, minorSize = alongX ? gridSizeY : gridSizeX;

  const double z0 = z(r, c);
  double bestTan = -std::numeric_limits<double>::infinity();
  for (int t = 1;; ++t) {
    int m = majorStart + t * majorStep;
    double across = minorStart + t * slope;
    if (m < 0 || m >= majorSize || across < 0 || across > minorSize - 1) break;
    double distance = t * stepLength;
    // Nothing farther can rise higher: farther terrain is at most maxHeight
    // and lowered more. Where even maxHeight here lies below the cell,
    // farther samples come nearer to level, so the march ends only under a
    // horizon at or above level.
    const double highest = horizonRise(maxHeight, z0, distance, curvature);
    if (highest >= 0 ? highest <= bestTan : bestTan >= 0) break;
    int low = std::min(int(across), minorSize - 1);
    double frac = across - low;
    double height;
    if (frac > 0) {
      double a = alongX ? z(m, low) : z(low, m);
      double b = alongX ? z(m, low + 1) : z(low + 1, m);
      height = a + (b - a) * frac;
    } else {
      height = alongX ? z(m, low) : z(low, m);
    }
    bestTan = std::max(bestTan, horizonRise(height, z0, distance, curvature));
  }
  if (bestTan == -std::numeric_limits<double>::infinity()) return 0;
  return bestTan / std::sqrt(1 + bestTan * bestTan);
}

std::vector<uint16_t> computeHorizons(const float* heights, int gridSizeX, int gridSizeY,
                                      int numDirections, double curvature,
                                      const HorizonProgress& progress) {
  const size_t cells = size_t(gridSizeX) * size_t(gridSizeY);
  std::vector<uint16_t> horizons(cells * size_t(numDirections));
  const float maxHeight = *std::max_element(heights, heights + cells);
  for (int j = 0; j < numDirections; ++j) {
    double azimuth = directionAzimuth(j, numDirections);
    uint16_t* block = horizons.data() + cells * size_t(j);
    for (int r = 0; r < gridSizeX; ++r)
      for (int c = 0; c < gridSizeY; ++c)
        *block++ = encodeHorizon(
            horizonSine(heights, gridSizeX, gridSizeY, r, c, azimuth, maxHeight, curvature));
    if (progress) progress(j + 1, numDirections);
  }
  return horizons;
}
