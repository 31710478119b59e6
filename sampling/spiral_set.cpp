// The spiral set: placement, nearest-point cells, centroids and cell integrals.
//
// Index
//   1. The spiral
//   2. Nearest sites through a grid of buckets
//   3. computeSpiralSamples
#include "sampling/spiral_set.h"

#include <algorithm>
#include <cmath>

#include "sky/sky_model.h"

// ---- 1. The spiral ---------------------------------------------------------------------------

std::vector<Direction> spiralDirections(int numPoints, double rotation) {
  const double goldenAngle = kExactPi * (3 - std::sqrt(5.0));
  std::vector<Direction> points(std::max(numPoints, 0));
  for (int i = 0; i < numPoints; ++i) {
    const double z = 1 - (i + 0.5) / numPoints;
    const double r = std::sqrt(1 - z * z);
    const double azimuth = std::fmod(i * goldenAngle, 2 * kExactPi) + rotation;
    points[i] = {r * std::cos(azimuth), r * std::sin(azimuth), z};
  }
  return points;
}

double spiralRotation(const Sky& sky, int numPoints) {
  if (!sky.dependsOnTheSun() || numPoints < 1) return 0;
  const Direction sun = directionOf(sky.sunAzimuth(), sky.sunElevation());
  // The point whose height band holds the sun's height.
  const int i = std::max(0, std::min(numPoints - 1, static_cast<int>(std::floor((1 - sun.z) * numPoints))));
  const double goldenAngle = kExactPi * (3 - std::sqrt(5.0));
  return std::atan2(sun.y, sun.x) - std::fmod(i * goldenAngle, 2 * kExactPi);
}

// ---- 2. Nearest sites through a grid of buckets ---------------------------------------------

namespace {

// Sites bucketed in cubes of side `side` covering [-1, 1]^3, stored bucket by
// bucket (the sites of bucket b are order[start[b] .. start[b + 1] - 1]).
class SiteBuckets {
 public:
  SiteBuckets(const std::vector<Direction>& sites) : sites_(sites) {
    const int n = std::max(1, static_cast<int>(sites.size()));
    // About the spacing of n points on a hemisphere: a few sites per bucket
    // near each query.
    side_ = std::max(std::sqrt(2 * kExactPi / n), 2.0 / 128);
    size_ = static_cast<int>(std::ceil(2 / side_));
    std::vector<int> bucketOf(sites.size());
    start_.assign(static_cast<size_t>(size_) * size_ * size_ + 1, 0);
    for (size_t i = 0; i < sites.size(); ++i) {
      bucketOf[i] = index(cell(sites[i].x), cell(sites[i].y), cell(sites[i].z));
      ++start_[bucketOf[i] + 1];
    }
    for (size_t b = 1; b < start_.size(); ++b) start_[b] += start_[b - 1];
    order_.resize(sites.size());
    std::vector<int> next(start_.begin(), start_.end() - 1);
    for (size_t i = 0; i < sites.size(); ++i) order_[next[bucketOf[i]]++] = static_cast<int>(i);
  }

  int nearest(const Direction& q) const {
    const int cx = cell(q.x), cy = cell(q.y), cz = cell(q.z);
    int best = -1;
    double bestDot = -2;
    for (int s = 0; s <= size_; ++s) {
      for (int x = cx - s; x <= cx + s; ++x) {
        if (x < 0 || x >= size_) continue;
        for (int y = cy - s; y <= cy + s; ++y) {
          if (y < 0 || y >= size_) continue;
          const bool onShell = std::abs(x - cx) == s || std::abs(y - cy) == s;
          for (int z = cz - s; z <= cz + s; z += (onShell ? 1 : std::max(1, 2 * s))) {
            if (z < 0 || z >= size_) continue;
            const int b = index(x, y, z);
            for (int k = start_[b]; k < start_[b + 1]; ++k) {
              const int i = order_[k];
              const double d = q.dot(sites_[i]);
              if (d > bestDot || (d == bestDot && i < best)) {
                bestDot = d;
                best = i;
              }
            }
          }
        }
      }
      // Every site not yet seen lies at least s sides away (in one coordinate).
      if (best >= 0) {
        const double distance = std::sqrt(std::max(0.0, 2 - 2 * bestDot));
        if (distance < s * side_) break;
      }
    }
    return best;
  }

 private:
  int cell(double v) const {
    return std::min(size_ - 1, std::max(0, static_cast<int>(std::floor((v + 1) / side_))));
  }
  int index(int x, int y, int z) const { return (x * size_ + y) * size_ + z; }

  const std::vector<Direction>& sites_;
  double side_ = 1;
  int size_ = 1;
  std::vector<int> start_, order_;
};

}  // namespace

std::vector<int> nearestSites(const std::vector<Direction>& sites,
                              const std::vector<Direction>& queries) {
  std::vector<int> owners(queries.size(), -1);
  if (sites.empty()) return owners;
  const SiteBuckets buckets(sites);
  for (size_t q = 0; q < queries.size(); ++q) owners[q] = buckets.nearest(queries[q]);
  return owners;
}

// ---- 3. computeSpiralSamples -------------------------------------------------------------------

Sequence<SamplePoint> computeSpiralSamples(const Sky& sky, int numPoints) {
  numPoints = std::max(numPoints, 1);
  const std::vector<Direction> sites = spiralDirections(numPoints, spiralRotation(sky, numPoints));
  const SkyQuadrature quadrature(sky, ringsForCellsPerPoint(numPoints, kSpiralCellsPerPoint));
  std::vector<Direction> cellDirections;
  cellDirections.reserve(quadrature.cells().size());
  for (const SkyQuadrature::Cell& cell : quadrature.cells()) cellDirections.push_back(cell.direction);
  const std::vector<int> owners = nearestSites(sites, cellDirections);

  std::vector<double> light(numPoints, 0.0);
  std::vector<Direction> moment(numPoints);
  for (size_t c = 0; c < owners.size(); ++c) {
    const SkyQuadrature::Cell& cell = quadrature.cells()[c];
    const double l = cell.luminance * cell.solidAngle;
    light[owners[c]] += l;
    moment[owners[c]].x += l * cell.direction.x;
    moment[owners[c]].y += l * cell.direction.y;
    moment[owners[c]].z += l * cell.direction.z;
  }

  double total = 0;
  for (int i = 0; i < numPoints; ++i) {
    // A cell that no direction of the grid reaches (the grid has many per
    // point, so none does) would stand for its share of the hemisphere at
    // the luminance of its point.
    if (!(light[i] > 0)) {
      float azimuth, elevation;
      anglesOf(sites[i], azimuth, elevation);
      light[i] = skyLuminanceQuietly(sky, azimuth, elevation) * 2 * kExactPi / numPoints;
      moment[i] = sites[i];
    }
    total += light[i];
  }

  Sequence<SamplePoint> points;
  for (int i = 0; i < numPoints; ++i) {
    SamplePoint point{};
    anglesOf(moment[i], point.azimuth, point.elevation);
    point.weight = static_cast<float>(total > 0 ? light[i] / total : 1.0 / numPoints);
    points.append(point);
  }
  return points;
}
