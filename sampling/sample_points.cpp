// Sample sets: the jittered grid, the stratified picks, the weights.
//
// Index
//   1. Directions and angular distance
//   2. Publishing a set
//   3. computeJitteredSamples
//   4. computeStratifiedSamples (its steps are in stratified_selection.cpp)
//   5. computeSampleWeights
#include "sampling/sample_points.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "sampling/stratified_selection.h"
#include "sky/hemisphere_mapping.h"
#include "sky/sky_model.h"

// ---- 1. Directions and angular distance -------------------------------------------------

float angularDistance(const SamplePoint& a, const SamplePoint& b) {
  const Vec3 directionA = angleToVector(a.azimuth, a.elevation);
  const Vec3 directionB = angleToVector(b.azimuth, b.elevation);
  // Rounding can make the cross product of two unit vectors a little longer
  // than 1, whose arc sine is not a number.
  return std::asin(std::min(directionA.cross(directionB).length(), 1.0f));
}

namespace {

// ---- 2. Publishing a set ------------------------------------------------------------------

SamplePoint publishedPoint(float elevation, float azimuth, float weight,
                           const unsigned char* colour) {
  SamplePoint point;
  point.elevation = elevation;
  point.azimuth = azimuth;
  point.weight = weight;
  point.squareU = 0;
  point.squareV = 0;
  point.colour = colour;
  point.highlighted = false;
  return point;
}

// Weight of one point from its share of a total; every point gets an equal
// share when the total is nothing (or not a number), so no weight is ever
// infinite or not a number.
float shareOf(float value, float total, int count) {
  if (!(total > 0)) return 1.0f / count;
  return value / total;
}

// ---- 3. computeJitteredSamples ---------------------------------------------------------------

// The jitter's own pseudo-random integers 0 .. 32767 (the classic linear
// congruential generator), restarted at every computation.
class JitterGenerator {
 public:
  int next() {
    state_ = state_ * 1103515245u + 12345u;
    return static_cast<int>((state_ / 65536u) % 32768u);
  }

 private:
  std::uint32_t state_ = 1;
};

struct GridPoint {
  float squareU, squareV;
};

}  // namespace

SampleSet computeJitteredSamples(const Sky& sky, int numSamplePoints) {
  const int requested = numSamplePoints;
  std::vector<GridPoint> grid;
  grid.reserve(2 * std::max(requested, 1));
  JitterGenerator random;

  const float k = std::floor(std::sqrt(static_cast<float>(std::max(requested, 1))));
  const float step = 3.14159 * std::sqrt(k * k + 1) / (k * k);
  GridPoint zenith;
  hemisphereToSquare(1.570795, 0, zenith.squareU, zenith.squareV);
  grid.push_back(zenith);

  // One column per multiple of the step below 2 pi, rows at elevations step/2,
  // 3 step/2, ... below pi/2 - step; the jitter keeps the points off exact
  // circles and lines.
  float column = 0;
  do {
    float row = step / 2;
    if (row < 1.570795 - step) {
      do {
        const int r1 = random.next();
        const int r2 = random.next();
        const float azimuth =
            (column + step / 2) + (static_cast<float>(r1) / 32767 * 2 - 1) * 3.14159 * 0.5 / 100000;
        const float elevation =
            row + (static_cast<float>(r2) / 32767 * 2 - 1) * 3.14159 * 0.5 / 10000;
        GridPoint point;
        hemisphereToSquare(elevation, azimuth, point.squareU, point.squareV);
        grid.push_back(point);
        row = row + step;
      } while (row < 1.570795 - step);
    }
    column = column + step;
  } while (column < 6.28318);

  const int n = static_cast<int>(grid.size());
  std::vector<SamplePoint> points(n);
  float total = 0;
  for (int i = 0; i < n; ++i) {
    float elevation, azimuth;
    squareToHemisphere(grid[i].squareU, grid[i].squareV, elevation, azimuth);
    points[i] = publishedPoint(elevation, azimuth, skyLuminance(sky, azimuth, elevation), nullptr);
    total = total + points[i].weight;
  }
  SampleSet set;
  for (SamplePoint& point : points) {
    point.weight = shareOf(point.weight, total, n);
    set.samplePoints.append(point);
  }
  set.regionPolygons = computeRegions(set.samplePoints);
  return set;
}

// ---- 4. computeStratifiedSamples ----------------------------------------------------------------

SampleSet computeStratifiedSamples(const Sky& sky, int numSamplePoints, bool equalShares) {
  std::vector<SamplePoint> grid = fineSkyGrid(sky);
  const float deviation = luminanceDeviation(grid);
  sortByLuminance(grid);
  const LuminanceClasses classes = classifyByLuminance(grid, deviation);
  const std::vector<SamplePoint> picks =
      selectSamplePoints(grid, classes, numSamplePoints, equalShares);

  float total = 0;
  for (const SamplePoint& pick : picks) total = total + pick.weight;
  const int n = static_cast<int>(picks.size());
  SampleSet set;
  for (const SamplePoint& pick : picks) {
    float elevation, azimuth;
    squareToHemisphere(pick.squareU, pick.squareV, elevation, azimuth);
    set.samplePoints.append(
        publishedPoint(elevation, azimuth, shareOf(pick.weight, total, n), pick.colour));
  }
  set.regionPolygons = computeRegions(set.samplePoints);
  computeSampleWeights(sky, set.samplePoints, set.regionPolygons);
  return set;
}

// ---- 5. computeSampleWeights --------------------------------------------------------------------

void computeSampleWeights(const Sky& sky, Sequence<SamplePoint>& points,
                          const RegionPolygons& regions) {
  const int n = points.numElements;
  float total = 0;
  for (int i = 0; i < n; ++i) {
    SamplePoint& point = points.element(i);
    const float luminance = skyLuminance(sky, point.azimuth, point.elevation);
    const Vec3 centre = angleToVector(point.azimuth, point.elevation);
    // Twice the area of the fan of flat triangles from the point to each edge
    // of its region.
    float area = 0;
    if (i < static_cast<int>(regions.size())) {
      const Sequence<Vec3>& corners = regions[i];
      const int m = corners.numElements;
      for (int k = 0; k < m; ++k) {
        const Vec3 a = corners.element(k) - centre;
        const Vec3 b = corners.element((k + 1) % m) - centre;
        area = area + a.cross(b).length();
      }
    }
    point.weight = area * 0.5 * luminance;
    total = total + point.weight;
  }
  if (n == 0) return;
  if (!(total > 0)) {
    for (int i = 0; i < n; ++i) points.element(i).weight = 1.0f / n;
    return;
  }
  const float scale = 1 / total;
  for (int i = 0; i < n; ++i) points.element(i).weight = points.element(i).weight * scale;
}
