// The near-equal-area quadrature of the sky and its plane irradiance.
//
// Index
//   1. Directions, masks and the Fibonacci sphere
//   2. The grid
//   3. Irradiance by ring arcs, and cell by cell
#include "sampling/sky_quadrature.h"

#include <algorithm>
#include <cmath>

#include "sky/sky_model.h"

// ---- 1. Directions, masks and the Fibonacci sphere -------------------------------------

Direction directionOf(float azimuth, float elevation) {
  const double zenithAngle = 1.570795 - elevation;
  const double sinZ = std::sin(zenithAngle);
  return {std::cos(static_cast<double>(azimuth)) * sinZ,
          std::sin(static_cast<double>(azimuth)) * sinZ, std::cos(zenithAngle)};
}

void anglesOf(const Direction& direction, float& azimuth, float& elevation) {
  const double length = std::sqrt(direction.dot(direction));
  const double z = std::max(-1.0, std::min(1.0, direction.z / length));
  elevation = static_cast<float>(1.570795 - std::acos(z));
  double a = std::atan2(direction.y, direction.x);
  if (a < 0) a += 2 * kExactPi;
  azimuth = static_cast<float>(a);
  // Rounding to float can reach 2 pi itself.
  if (azimuth >= static_cast<float>(2 * kExactPi)) azimuth = 0;
}

bool HorizonMask::hides(const Direction& d) const {
  if (elevation <= 0) return false;
  // The sky strictly above the horizon is seen, and so are the mask's east
  // and west edges: a direction within kOnTheLine of the horizon line counts
  // as on it, whatever the rounding of its angles.
  constexpr double kOnTheLine = 1e-6;
  const double towards = d.x * std::cos(facing) + d.y * std::sin(facing);
  if (towards <= kOnTheLine) return false;
  return std::asin(std::max(-1.0, std::min(1.0, d.z))) < elevation + kOnTheLine;
}

std::vector<Direction> fibonacciSphere(int count, double rotation) {
  const double goldenAngle = kExactPi * (3 - std::sqrt(5.0));
  std::vector<Direction> points(std::max(count, 0));
  for (int k = 0; k < count; ++k) {
    const double z = 1 - (2.0 * k + 1) / count;
    const double r = std::sqrt(std::max(0.0, 1 - z * z));
    const double azimuth = k * goldenAngle + rotation;
    points[k] = {r * std::cos(azimuth), r * std::sin(azimuth), z};
  }
  return points;
}

// ---- 2. The grid -----------------------------------------------------------------------------

SkyQuadrature::SkyQuadrature(const Sky& sky, int rings) {
  rings = std::max(rings, 1);
  const double h = kExactPi / 2 / rings;
  ringStart_.reserve(rings + 1);
  for (int r = 0; r < rings; ++r) {
    const double low = r * h, high = (r + 1) * h, middle = (r + 0.5) * h;
    const int count = std::max(4, 4 * static_cast<int>(std::lround(kExactPi / 2 * std::cos(middle) / h)));
    const double solidAngle = (std::sin(high) - std::sin(low)) * 2 * kExactPi / count;
    ringStart_.push_back(static_cast<int>(cells_.size()));
    ringElevation_.push_back(middle);
    const double cosE = std::cos(middle), sinE = std::sin(middle);
    // The program's elevation of the ring: angleToVector's zenith angle is
    // 1.570795 - elevation.
    const float elevation = static_cast<float>(middle - (kExactPi / 2 - 1.570795));
    Moment running;
    runningSums_.push_back(running);
    for (int j = 0; j < count; ++j) {
      const double azimuth = (j + 0.5) * 2 * kExactPi / count;
      Cell cell;
      cell.direction = {cosE * std::cos(azimuth), cosE * std::sin(azimuth), sinE};
      cell.solidAngle = solidAngle;
      cell.luminance = skyLuminanceQuietly(sky, static_cast<float>(azimuth), elevation);
      const double light = cell.luminance * solidAngle;
      running.x += light * cell.direction.x;
      running.y += light * cell.direction.y;
      running.z += light * cell.direction.z;
      runningSums_.push_back(running);
      totalLight_ += light;
      cells_.push_back(cell);
    }
  }
  ringStart_.push_back(static_cast<int>(cells_.size()));
}

int ringsForCellsPerPoint(int numPoints, int cellsPerPoint) {
  // The grid has about 8 rings^2 / pi cells; one ring more covers the rounding.
  const double cells = static_cast<double>(std::max(numPoints, 1)) * cellsPerPoint;
  return static_cast<int>(std::ceil(std::sqrt(cells * kExactPi / 8))) + 1;
}

// ---- 3. Irradiance by ring arcs, and cell by cell ----------------------------------------

SkyQuadrature::Moment SkyQuadrature::ringSum(int ring, int lo, int hi) const {
  const Moment* sums = runningSums_.data() + ringStart_[ring] + ring;
  return {sums[hi + 1].x - sums[lo].x, sums[hi + 1].y - sums[lo].y, sums[hi + 1].z - sums[lo].z};
}

double SkyQuadrature::irradiance(const Direction& normal, const HorizonMask& mask) const {
  double result = 0;
  irradiances(normal, &mask, 1, &result);
  return result;
}

namespace {

// The cells lo .. hi of a ring of `count` cells (hi - lo < count), taken
// modulo count, as at most two runs [first, last] within 0 .. count - 1.
struct Runs {
  int count = 0;
  int first[2], last[2];
};

Runs cyclicRuns(int lo, int hi, int count) {
  const int shift = static_cast<int>(std::floor(static_cast<double>(lo) / count)) * count;
  lo -= shift;
  hi -= shift;
  Runs runs;
  if (hi < count) {
    runs.first[0] = lo, runs.last[0] = hi, runs.count = 1;
  } else {
    runs.first[0] = lo, runs.last[0] = count - 1;
    runs.first[1] = 0, runs.last[1] = hi - count;
    runs.count = 2;
  }
  return runs;
}

// The cells whose centres (j + 1/2) step lie strictly between the azimuths
// `from` and `to` (to - from < 2 pi): lo .. hi, possibly empty (hi < lo).
void cellsBetween(double from, double to, double step, int count, int& lo, int& hi) {
  lo = static_cast<int>(std::ceil(from / step - 0.5));
  hi = static_cast<int>(std::floor(to / step - 0.5));
  hi = std::min(hi, lo + count - 1);
}

}  // namespace

void SkyQuadrature::irradiances(const Direction& normal, const HorizonMask* masks, int numMasks,
                                double* out) const {
  std::fill(out, out + numMasks, 0.0);
  const double rho = std::sqrt(normal.x * normal.x + normal.y * normal.y);
  const double phi = std::atan2(normal.y, normal.x);
  for (int r = 0; r < rings(); ++r) {
    const int count = ringStart_[r + 1] - ringStart_[r];
    const double step = 2 * kExactPi / count;
    const double e = ringElevation_[r];
    const double across = rho * std::cos(e), up = normal.z * std::sin(e);
    // n . d = across cos(a - phi) + up: positive on the arc |a - phi| < beta,
    // or on the whole ring, or nowhere.
    int lo = 0, hi = count - 1;
    const bool wholeRing = across <= 1e-300 ? up > 0 : -up < -across;
    if (!wholeRing) {
      if (across <= 1e-300 || -up >= across) continue;
      const double beta = std::acos(-up / across);
      cellsBetween(phi - beta, phi + beta, step, count, lo, hi);
      if (hi < lo) continue;
    }
    const Runs lit = cyclicRuns(lo, hi, count);
    auto runLight = [&](int first, int last) {
      const Moment m = ringSum(r, first, last);
      return normal.x * m.x + normal.y * m.y + normal.z * m.z;
    };
    auto light = [&](const Runs& runs) {
      double sum = 0;
      for (int k = 0; k < runs.count; ++k) sum += runLight(runs.first[k], runs.last[k]);
      return sum;
    };
    double open = 0;
    bool haveOpen = false;
    for (int k = 0; k < numMasks; ++k) {
      if (!(e < masks[k].elevation)) {
        if (!haveOpen) open = light(lit), haveOpen = true;
        out[k] += open;
        continue;
      }
      // Below the mask: the lit cells that face away from the hidden half,
      // azimuths between facing + pi/2 and facing + 3 pi/2.
      int visibleLo, visibleHi;
      cellsBetween(masks[k].facing + kExactPi / 2, masks[k].facing + 3 * kExactPi / 2, step, count,
                   visibleLo, visibleHi);
      if (visibleHi < visibleLo) continue;
      const Runs visible = cyclicRuns(visibleLo, visibleHi, count);
      for (int a = 0; a < lit.count; ++a)
        for (int b = 0; b < visible.count; ++b) {
          const int first = std::max(lit.first[a], visible.first[b]);
          const int last = std::min(lit.last[a], visible.last[b]);
          if (first <= last) out[k] += runLight(first, last);
        }
    }
  }
}

double SkyQuadrature::irradianceCellByCell(const Direction& normal, const HorizonMask& mask) const {
  double total = 0;
  for (int r = 0; r < rings(); ++r) {
    for (int i = ringStart_[r]; i < ringStart_[r + 1]; ++i) {
      const Cell& cell = cells_[i];
      const double cosine = normal.dot(cell.direction);
      if (cosine > 0 && !mask.hides(cell.direction)) total += cell.luminance * cell.solidAngle * cosine;
    }
  }
  return total;
}
