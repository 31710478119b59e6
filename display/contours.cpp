#include "display/contours.h"

#include <cmath>
#include <cstdlib>

#include "app/app_state.h"
#include "sky/sky_model.h"

namespace {

constexpr float kColumnWidth = 0.049087345600128174;  // 2 * (float)(3.14159 / 128)
constexpr float kRowHeight = 0.024543672800064087;    // (float)(3.14159 / 128)
constexpr float kFirstRow = 0.022089306265115738;     // 0.9 * kRowHeight

float lineRadius() { return static_cast<float>(1.002 * appState.hemisphereRadius); }

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

void computeContourSegments(std::vector<Vec3>& vertices) {
  const float rc = lineRadius();
  const float normaliser = appState.skyNormaliser;
  float levels[kNumContourLevels];
  for (int i = 0; i < kNumContourLevels; ++i) levels[i] = contourLevel(i - 13);

  for (float a0 = 0; a0 < 6.28318; a0 += kColumnWidth) {
    const float a1 = a0 + kColumnWidth;
    for (float e = kFirstRow; e < 1.570795; e += kRowHeight) {
      const float e1 = e + kRowHeight;
      float c[5];
      c[0] = skyLuminance(a0, e1) / normaliser;
      c[1] = skyLuminance(a1, e1) / normaliser;
      c[2] = skyLuminance(a1, e) / normaliser;
      c[3] = skyLuminance(a0, e) / normaliser;
      c[4] = c[0];
      Vec3 p[5];
      p[0] = skyPoint(a0, e1, rc);
      p[1] = skyPoint(a1, e1, rc);
      p[2] = skyPoint(a1, e, rc);
      p[3] = skyPoint(a0, e, rc);
      p[4] = p[0];
      for (float level : levels) contourCellSegments(c, p, level, vertices);
    }
  }
}

void computeHorizonCircle(std::vector<Vec3>& points) {
  const float rc = lineRadius();
  for (float a = 0; a < 6.28318; a += kColumnWidth) {
    points.push_back(Vec3(static_cast<float>(rc * std::cos(static_cast<double>(a))),
                          static_cast<float>(rc * std::sin(static_cast<double>(a))), 0.001f));
  }
}
