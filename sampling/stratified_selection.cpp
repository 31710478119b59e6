// The steps of the stratified sample computation.
//
// Index
//   1. The fine grid of the sky
//   2. Luminance statistics, sorting and classes
//   3. Farthest-point distances (the hot loop)
//   4. Selection class by class
//
// The selection is quadratic: every pick lowers the distance of all unpicked
// fine points. Section 3 keeps that cheap without changing a single pick:
// each fine point's direction is computed once (by the same call that
// angularDistance makes, so the floats are identical), distances are kept as
// squared cross lengths (the arc sine is monotone), four points are updated
// at a time, and chunks of points that a pick cannot reach are passed over.
#include "sampling/stratified_selection.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "sampling/sample_points.h"
#include "sky/hemisphere_mapping.h"
#include "sky/sky_model.h"

// ---- 1. The fine grid of the sky ----------------------------------------------------

std::vector<SamplePoint> fineSkyGrid(const Sky& sky) {
  std::vector<SamplePoint> grid;
  grid.reserve(20000);
  auto add = [&grid, &sky](float elevation, float azimuth) {
    SamplePoint point;
    point.elevation = elevation;
    point.azimuth = azimuth;
    point.weight = skyLuminance(sky, azimuth, elevation);
    hemisphereToSquare(elevation, azimuth, point.squareU, point.squareV);
    point.colour = nullptr;
    point.highlighted = false;
    grid.push_back(point);
  };

  // d * d is the area of one cell, 2 pi / 10000.
  const float d = std::sqrt(0.000628318);
  add(1.570795, 0);
  // The azimuth offset grows from ring to ring and is never reset, so the
  // rings do not line up; azimuths are not reduced below 2 pi.
  float offset = 0;
  float elevation = 0.55 * d;
  while (elevation < 1.570795 - d / 2) {
    const int ringSize = static_cast<int>(std::floor(6.28318 * std::sin(1.570795 - elevation) / d));
    const float step = 6.28318 / ringSize;
    offset = offset + step / 2;
    if (6.28318 - step / 2 > 0) {
      float t = 0;
      do {
        add(elevation, t + d / 2 + offset);
        t = t + step;
      } while (t < 6.28318 - step / 2);
    }
    elevation = elevation + d;
  }
  return grid;
}

// ---- 2. Luminance statistics, sorting and classes ------------------------------------

float luminanceDeviation(const std::vector<SamplePoint>& points) {
  const int n = static_cast<int>(points.size());
  float sum = 0, sumOfSquares = 0;
  for (const SamplePoint& point : points) {
    sum = sum + point.weight;
    sumOfSquares = sumOfSquares + point.weight * point.weight;
  }
  return std::sqrt((sumOfSquares - sum * sum / n) / (n - 1));
}

void sortByLuminance(std::vector<SamplePoint>& points) {
  std::stable_sort(points.begin(), points.end(),
                   [](const SamplePoint& a, const SamplePoint& b) { return a.weight < b.weight; });
}

LuminanceClasses classifyByLuminance(std::vector<SamplePoint>& sorted, float deviation) {
  LuminanceClasses classes;
  const int n = static_cast<int>(sorted.size());
  if (n == 0) {
    classes.bounds = {0, 0};
    classes.totals = {0};
    return classes;
  }
  const float lowest = sorted[0].weight, highest = sorted[n - 1].weight;
  if (lowest != highest) {
    const float count = std::ceil((highest - lowest) / deviation);
    // A spread that is not a number (no deviation to speak of) gets the cap.
    if (count < 1)
      classes.count = 1;
    else
      classes.count = count <= 40 ? static_cast<int>(count) : 40;
  }
  const int c = classes.count;

  // Counted down from the brightest point: each class starts at the first
  // point below its threshold, so the boundary point belongs to the class
  // above. Classes whose threshold is never crossed stay empty.
  classes.bounds.assign(c + 1, 0);
  classes.bounds[c] = n;
  float threshold = highest - deviation;
  int j = c - 1;
  for (int i = n - 1; i >= 0;) {
    if (sorted[i].weight < threshold && j >= 0) {
      classes.bounds[j] = i;
      threshold = threshold - deviation;
      --j;
    } else {
      --i;
    }
  }
  classes.bounds[0] = 0;

  classes.totals.assign(c, 0.0f);
  for (int k = 0; k < c; ++k) {
    int entry = 0;
    if (c > 1) {
      const float share = static_cast<float>(k) / (c - 1);
      entry = static_cast<int>(std::floor(share * 511 + 0.5));
    }
    for (int i = classes.bounds[k]; i < classes.bounds[k + 1]; ++i) {
      sorted[i].colour = colourRamp[entry];
      classes.totals[k] = classes.totals[k] + sorted[i].weight;
    }
  }
  return classes;
}

// ---- 3. Farthest-point distances -------------------------------------------------------

namespace {

// Four floats or four comparison results as one value; every lane is computed
// with the same float operations as the scalar code.
typedef float Floats4 __attribute__((vector_size(16)));
constexpr int kLanes = 4;
// Points per chunk: neighbours on one ring of one luminance class.
constexpr int kChunkGroups = 4;

// The folded angle asin(|A x B|) from the squared length of the cross
// product, exactly as angularDistance forms it. It never falls as the square
// grows (sqrt and asin are monotone), so the smallest square belongs to the
// smallest distance.
inline float distanceFromSquaredCross(float squaredCross) {
  return std::asin(std::min(std::sqrt(squaredCross), 1.0f));
}

// Distance of every fine point to the nearest pick so far.
//
// Each point keeps the smallest squared cross length to any pick, its key;
// its distance is distanceFromSquaredCross(key), the same float as the
// smallest angularDistance to a pick, since the function is monotone. So the
// update after a pick is a plain minimum, four points at a time, and the arc
// sine runs only where a class looks for its farthest point. A picked point
// (and padding) has key -1.
//
// Points are held in chunks of up to 16 neighbours of one class on one ring,
// each with a cap (centre and angular radius) round its points and the
// largest key in it. The folded angle obeys the triangle inequality, so a pick
// farther from the cap than radius + the chunk's largest distance cannot lower
// any distance in the chunk and the chunk is passed over. The 1e-4 margin
// covers the float rounding of the distances (below 1e-5 away from a right
// angle); near a right angle, where the arc sine magnifies rounding, no chunk
// is passed over.
class FarthestPointDistances {
 public:
  FarthestPointDistances(const std::vector<SamplePoint>& sorted, const LuminanceClasses& classes)
      : slotOfSorted_(sorted.size(), -1) {
    const Floats4 none = {-1, -1, -1, -1};
    classFirstChunk_.push_back(0);
    for (int j = 0; j < classes.count; ++j) {
      // The class's points by ring, along each ring.
      std::vector<int> members;
      for (int i = classes.bounds[j]; i < classes.bounds[j + 1]; ++i) members.push_back(i);
      std::sort(members.begin(), members.end(), [&sorted](int a, int b) {
        if (sorted[a].elevation != sorted[b].elevation)
          return sorted[a].elevation < sorted[b].elevation;
        if (sorted[a].azimuth != sorted[b].azimuth) return sorted[a].azimuth < sorted[b].azimuth;
        return a < b;
      });
      for (size_t first = 0; first < members.size();) {
        size_t last = first + 1;
        while (last < members.size() && last - first < kLanes * kChunkGroups &&
               sorted[members[last]].elevation == sorted[members[first]].elevation)
          ++last;
        Chunk chunk;
        chunk.firstGroup = static_cast<int>(x_.size());
        for (size_t m = first; m < last; m += kLanes) {
          Floats4 x = {0, 0, 0, 0}, y = x, z = x, key = none;
          for (size_t k = 0; k < kLanes && m + k < last; ++k) {
            const int point = members[m + k];
            const Vec3 v = angleToVector(sorted[point].azimuth, sorted[point].elevation);
            x[k] = v.x;
            y[k] = v.y;
            z[k] = v.z;
            key[k] = std::numeric_limits<float>::infinity();
            slotOfSorted_[point] = static_cast<int>(x_.size()) * kLanes + static_cast<int>(k);
          }
          for (size_t k = 0; k < kLanes; ++k)
            sortedIndexOfSlot_.push_back(m + k < last ? members[m + k] : -1);
          x_.push_back(x);
          y_.push_back(y);
          z_.push_back(z);
          key_.push_back(key);
          chunkOfGroup_.push_back(static_cast<int>(chunks_.size()));
        }
        chunk.endGroup = static_cast<int>(x_.size());
        setCap(chunk);
        chunks_.push_back(chunk);
        first = last;
      }
      classFirstChunk_.push_back(static_cast<int>(chunks_.size()));
    }
  }

  // Marks sorted point i as picked and lowers the distance of every other
  // unpicked point to its distance from point i.
  void pick(int i) {
    const int group = slotOfSorted_[i] / kLanes, lane = slotOfSorted_[i] % kLanes;
    key_[group][lane] = -1.0f;
    const float px = x_[group][lane], py = y_[group][lane], pz = z_[group][lane];
    const int ownChunk = chunkOfGroup_[group];
    for (int c = 0; c < static_cast<int>(chunks_.size()); ++c) {
      Chunk& chunk = chunks_[c];
      if (c != ownChunk && beyondReach(chunk, px, py, pz)) continue;
      Floats4 largest = {-1, -1, -1, -1};
      for (int g = chunk.firstGroup; g < chunk.endGroup; ++g) {
        // |A x P|^2 with A the point and P the pick, in the order of
        // operations of Vec3::cross and Vec3::length.
        const Floats4 cx = y_[g] * pz - z_[g] * py;
        const Floats4 cy = z_[g] * px - x_[g] * pz;
        const Floats4 cz = x_[g] * py - y_[g] * px;
        const Floats4 squares = cx * cx + cy * cy + cz * cz;
        key_[g] = squares < key_[g] ? squares : key_[g];
        largest = largest > key_[g] ? largest : key_[g];
      }
      float largestKey = largest[0];
      for (int k = 1; k < kLanes; ++k) largestKey = std::max(largestKey, largest[k]);
      setReach(chunk, largestKey);
    }
  }

  // The unpicked point of class j with the largest distance above 0, the
  // lowest sorted index among equal distances; -1 if there is none.
  int farthest(int j) const {
    float largestKey = -1;
    for (int c = classFirstChunk_[j]; c < classFirstChunk_[j + 1]; ++c)
      largestKey = std::max(largestKey, chunks_[c].largestKey);
    if (largestKey < 0) return -1;
    const float distance = distanceFromSquaredCross(largestKey);
    if (!(distance > 0)) return -1;
    // Keys below 0.999 of the largest are more than 1e-4 (relative) nearer, far
    // beyond rounding, so only keys above it can share the largest distance.
    const float floor = largestKey > 1e-30f ? largestKey * 0.999f : 0.0f;
    int found = -1;
    for (int c = classFirstChunk_[j]; c < classFirstChunk_[j + 1]; ++c) {
      if (chunks_[c].largestKey < floor) continue;
      for (int g = chunks_[c].firstGroup; g < chunks_[c].endGroup; ++g)
        for (int k = 0; k < kLanes; ++k) {
          const float key = key_[g][k];
          if (key < 0 || key < floor || distanceFromSquaredCross(key) != distance) continue;
          const int index = sortedIndexOfSlot_[g * kLanes + k];
          if (found < 0 || index < found) found = index;
        }
    }
    return found;
  }

 private:
  struct Chunk {
    int firstGroup, endGroup;
    double centre[3];  // unit vector
    double radius;     // angle from the centre to the farthest point, and a little
    float largestKey;  // of the unpicked points; -1 when all are picked
    double reach;      // squared sine of the angle within which a pick can matter
    double cosMargin, sinMargin;  // of radius + 1e-4
    float largestKeyInReach;      // keys from here on put the angle past 1.4
  };

  void setCap(Chunk& chunk) {
    double sum[3] = {0, 0, 0};
    for (int g = chunk.firstGroup; g < chunk.endGroup; ++g)
      for (int k = 0; k < kLanes; ++k)
        if (sortedIndexOfSlot_[g * kLanes + k] >= 0) {
          sum[0] += x_[g][k];
          sum[1] += y_[g][k];
          sum[2] += z_[g][k];
        }
    const double length = std::sqrt(sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]);
    chunk.radius = 0;
    for (int a = 0; a < 3; ++a) chunk.centre[a] = length > 0 ? sum[a] / length : 0;
    if (!(length > 0)) chunk.radius = 4;  // no centre: never passed over
    for (int g = chunk.firstGroup; g < chunk.endGroup; ++g)
      for (int k = 0; k < kLanes; ++k)
        if (sortedIndexOfSlot_[g * kLanes + k] >= 0) {
          const double p[3] = {x_[g][k], y_[g][k], z_[g][k]};
          const double norm = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
          double cosine = (p[0] * chunk.centre[0] + p[1] * chunk.centre[1] +
                           p[2] * chunk.centre[2]) / norm;
          cosine = std::max(-1.0, std::min(1.0, cosine));
          chunk.radius = std::max(chunk.radius, std::acos(cosine) + 1e-6);
        }
    const double margin = chunk.radius + 1e-4;
    chunk.cosMargin = std::cos(margin);
    chunk.sinMargin = std::sin(margin);
    // Distances whose angle with the margin reaches 1.4, near a right angle
    // where rounding grows, are never passed over.
    const double limit = 1.4 - margin;
    chunk.largestKeyInReach =
        limit > 0 ? static_cast<float>(std::sin(limit) * std::sin(limit)) : -1.0f;
    chunk.largestKey = std::numeric_limits<float>::infinity();
    chunk.reach = std::numeric_limits<double>::infinity();
  }

  void setReach(Chunk& chunk, float largestKey) {
    chunk.largestKey = largestKey;
    if (largestKey < 0) {
      chunk.reach = -1;  // nothing left to lower
      return;
    }
    // The angle is the chunk's largest distance d plus its margin m (radius
    // and 1e-4); sin(d + m) from sin d = sqrt(key) without an arc sine.
    if (!(largestKey < chunk.largestKeyInReach)) {
      chunk.reach = std::numeric_limits<double>::infinity();
      return;
    }
    const double sine = std::sqrt(static_cast<double>(largestKey));
    const double cosine = std::sqrt(1 - static_cast<double>(largestKey));
    const double sum = sine * chunk.cosMargin + cosine * chunk.sinMargin;
    chunk.reach = sum * sum;
  }

  // Is the pick so far from the chunk's cap that no distance in it can fall?
  static bool beyondReach(const Chunk& chunk, double px, double py, double pz) {
    const double* c = chunk.centre;
    const double x = py * c[2] - pz * c[1], y = pz * c[0] - px * c[2], z = px * c[1] - py * c[0];
    return x * x + y * y + z * z > chunk.reach;
  }

  std::vector<Floats4> x_, y_, z_, key_;
  std::vector<int> chunkOfGroup_;
  std::vector<int> slotOfSorted_;       // sorted index -> group * kLanes + lane
  std::vector<int> sortedIndexOfSlot_;  // group * kLanes + lane -> sorted index, -1 padding
  std::vector<Chunk> chunks_;
  std::vector<int> classFirstChunk_;
};

}  // namespace

// ---- 4. Selection class by class ------------------------------------------------------

std::vector<SamplePoint> selectSamplePoints(const std::vector<SamplePoint>& sorted,
                                            const LuminanceClasses& classes, int maxPoints,
                                            bool equalShares) {
  std::vector<SamplePoint> picks;
  const int n = static_cast<int>(sorted.size());
  if (n == 0 || maxPoints < 1) return picks;
  picks.reserve(std::min(maxPoints, n));

  FarthestPointDistances distances(sorted, classes);
  picks.push_back(sorted[n - 1]);
  distances.pick(n - 1);

  const int c = classes.count;
  // Luminance of each class and all brighter ones, accumulated in whole
  // numbers: a share by luminance is offered out of what is still missing.
  std::vector<float> running(c, 0.0f);
  if (!equalShares) {
    int accumulator = 0;
    for (int j = c - 1; j >= 0; --j) {
      accumulator = static_cast<int>(accumulator + classes.totals[j]);
      running[j] = static_cast<float>(accumulator);
    }
  }

  for (int j = c - 1; j >= 0; --j) {
    const int count = static_cast<int>(picks.size());
    const int remaining = maxPoints - count;
    int share = 0;
    if (equalShares) {
      share = remaining / (j + 1);
    } else if (running[j] != 0) {
      share = static_cast<int>(std::floor(classes.totals[j] / running[j] * remaining));
    }
    // The brightest point was picked before any class: it counts as the
    // first attempt of whichever class comes first.
    for (int attempt = count == 1 ? 1 : 0;
         attempt < share && static_cast<int>(picks.size()) < maxPoints; ++attempt) {
      const int found = distances.farthest(j);
      // An exhausted class stays exhausted: its remaining attempts are
      // wasted, and the points it could not take go to the dimmer classes.
      if (found < 0) break;
      picks.push_back(sorted[found]);
      distances.pick(found);
    }
  }
  return picks;
}
