#include "display/scene_geometry.h"

#include <algorithm>
#include <cmath>

#include "app/app_state.h"
#include "display/contours.h"
#include "sky/sky_model.h"

namespace {

constexpr float kDomeColumnWidth = 0.049087345600128174;  // 2 * (float)(3.14159 / 128)
constexpr float kDomeBandHeight = 0.024543672800064087;   // (float)(3.14159 / 128)

}  // namespace

TerrainFrame terrainFrame(float radius, int gridSizeX, int gridSizeY) {
  const float origin = static_cast<float>(-0.9 * radius / std::sqrt(2.0));
  const float side = static_cast<float>(-2.0 * origin);
  const float scale = std::min(side / gridSizeX, side / gridSizeY);
  return {origin, scale};
}

Vec3 samplePointPosition(float elevation, float azimuth, float radius) {
  return skyPoint(azimuth, elevation, radius);
}

void regionArc(const Vec3& a, const Vec3& b, float radius, Vec3 arc[kRegionArcVertices]) {
  const Vec3 from = a * radius;
  const Vec3 to = b * radius;
  const float lifted = static_cast<float>(1.003 * radius);
  int n = 0;
  for (float t = 0; t <= 1 && n < kRegionArcVertices - 1; t += 0.05f) {
    arc[n++] = (from + (to - from) * t).unit() * lifted;
  }
  arc[n++] = to.unit() * lifted;
  // Float accumulation of 0.05 passes 1 after 20 steps, so n is always 21.
  while (n < kRegionArcVertices) arc[n++] = to.unit() * lifted;
}

void computeDomeCells(std::vector<DomeCell>& cells) {
  const float radius = appState.hemisphereRadius;
  const float normaliser = appState.skyNormaliser;
  cells.reserve(cells.size() + kDomeColumns * kDomeBands);
  float a0 = 0;
  for (int column = 0; column < kDomeColumns; ++column) {
    const float a1 = a0 + kDomeColumnWidth;
    float e0 = 0;
    for (int band = 0; band < kDomeBands; ++band) {
      const float e1 = e0 + kDomeBandHeight;
      DomeCell cell;
      cell.grey = skyLuminance(a0 + 0.024543672800064087, e0 + 0.012271836400032043) / normaliser;
      cell.corners[0] = skyPoint(a0, e0, radius);
      cell.corners[1] = skyPoint(a1, e0, radius);
      cell.corners[2] = skyPoint(a1, e1, radius);
      cell.corners[3] = skyPoint(a0, e1, radius);
      cells.push_back(cell);
      e0 = e0 + kDomeBandHeight;
    }
    a0 = a0 + kDomeColumnWidth;
  }
}
