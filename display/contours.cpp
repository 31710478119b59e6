#include "display/contours.h"

#include <cmath>
#include <cstdlib>

#include "sky/sky_model.h"

namespace {

constexpr float kColumnWidth = 0.049087345600128174;  // 2 * (float)(3.14159 / 128)
constexpr float kRowHeight = 0.024543672800064087;    // (float)(3.14159 / 128)
constexpr float kFirstRow = 0.022089306265115738;     // 0.9 * kRowHeight

bool sameVec(const Vec3& a, const Vec3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

}  // namespace

void contourCellSegments(const float c[5], const Vec3 p[5], float level,
                         std::vector<Vec3>& vertices) {
  bool pending = false;
  Vec3 pendingPoint;
  for (int q = 0; q < 4; ++q) {
    const bool crossed = (c[q] < level && level <= c[q + 1]) || (c[q + 1] < level && level <= c[q]);
    if (!crossed) continue;
    const float t = (level - c[q]) / (c[q + 1] - c[q]);
    const Vec3 x = p[q] + (p[q + 1] - p[q]) * t;
    if (!pending) {
      pendingPoint = x;
      pending = true;
    } else if (!sameVec(x, pendingPoint)) {
      vertices.push_back(pendingPoint);
      vertices.push_back(x);
      pending = false;
    }
  }
}

float contourLevel(int k) {
  float result = 1;
  float power = 1.2f;
  for (int n = std::abs(k); n > 0; n >>= 1) {
    if (n & 1) result *= power;
    power *= power;
  }
  return k < 0 ? 1 / result : result;
}

Vec3 skyPoint(float azimuth, float elevation, float radius) {
  const double zenithAngle = 1.570795 - elevation;
  const double r = radius;
  return Vec3(static_cast<float>(std::cos(static_cast<double>(azimuth)) * r * std::sin(zenithAngle)),
              static_cast<float>(std::sin(static_cast<double>(azimuth)) * r * std::sin(zenithAngle)),
              static_cast<float>(r * std::cos(zenithAngle)));
}

std::vector<Vec3> skyLattice(const std::vector<float>& azimuths,
                             const std::vector<float>& elevations, float radius) {
  const double r = radius;
  std::vector<double> sinZ, cosZ;
  for (float e : elevations) {
    const double zenithAngle = 1.570795 - e;
    sinZ.push_back(std::sin(zenithAngle));
    cosZ.push_back(std::cos(zenithAngle));
  }
  std::vector<Vec3> points;
  points.reserve(azimuths.size() * elevations.size());
  for (float a : azimuths) {
    const double cosA = std::cos(static_cast<double>(a));
    const double sinA = std::sin(static_cast<double>(a));
    for (size_t k = 0; k < elevations.size(); ++k) {
      points.push_back(Vec3(static_cast<float>(cosA * r * sinZ[k]),
                            static_cast<float>(sinA * r * sinZ[k]),
                            static_cast<float>(r * cosZ[k])));
    }
  }
  return points;
}

std::vector<float> gridEdges(float start, float step, double limit) {
  std::vector<float> edges;
  float x = start;
  for (; x < limit; x += step) edges.push_back(x);
  edges.push_back(x);
  return edges;
}

std::vector<float> gridEdges(float start, float step, int cells) {
  std::vector<float> edges;
  float x = start;
  for (int i = 0; i < cells; ++i, x += step) edges.push_back(x);
  edges.push_back(x);
  return edges;
}

void computeContourSegments(const Sky& sky, float skyNormaliser, float hemisphereRadius,
                            std::vector<Vec3>& vertices) {
  const float rc = contourRadius(hemisphereRadius);
  const float normaliser = skyNormaliser;
  float levels[kNumContourLevels];
  for (int i = 0; i < kNumContourLevels; ++i) levels[i] = contourLevel(i - 13);

  // Cell (column, row) spans azimuths a[column] .. a[column + 1] and
  // elevations e[row] .. e[row + 1]; its corners are lattice points, and so
  // are their relative luminances. Neighbouring cells share corners, so each
  // lattice point is evaluated once: the same values as four evaluations per
  // cell (the sky model has no side effects this high above the horizon), at
  // a quarter of the cost. Nothing is kept for the next frame.
  const std::vector<float> a = gridEdges(0, kColumnWidth, 6.28318);
  const std::vector<float> e = gridEdges(kFirstRow, kRowHeight, 1.570795);
  const std::vector<Vec3> lattice = skyLattice(a, e, rc);
  const size_t rows = e.size();
  std::vector<float> relative(lattice.size());
  for (size_t column = 0; column < a.size(); ++column) {
    for (size_t row = 0; row < rows; ++row) {
      relative[column * rows + row] = skyLuminance(sky, a[column], e[row]) / normaliser;
    }
  }
  auto index = [&](size_t column, size_t row) { return column * rows + row; };

  for (size_t column = 0; column + 1 < a.size(); ++column) {
    for (size_t row = 0; row + 1 < rows; ++row) {
      // Corners 0..3: (a0, e1), (a1, e1), (a1, e0), (a0, e0), then corner 0 again.
      const size_t corner[5] = {index(column, row + 1), index(column + 1, row + 1),
                                index(column + 1, row), index(column, row),
                                index(column, row + 1)};
      float c[5];
      Vec3 p[5];
      for (int k = 0; k < 5; ++k) {
        c[k] = relative[corner[k]];
        p[k] = lattice[corner[k]];
      }
      for (float level : levels) contourCellSegments(c, p, level, vertices);
    }
  }
}

void computeHorizonCircle(float hemisphereRadius, std::vector<Vec3>& points) {
  const float rc = contourRadius(hemisphereRadius);
  for (float a = 0; a < 6.28318; a += kColumnWidth) {
    points.push_back(Vec3(static_cast<float>(rc * std::cos(static_cast<double>(a))),
                          static_cast<float>(rc * std::sin(static_cast<double>(a))), 0.001f));
  }
}
