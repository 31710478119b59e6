#include "display/scene_geometry.h"

#include <algorithm>
#include <cmath>

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

void computeDomeCells(const Sky& sky, float skyNormaliser, float hemisphereRadius,
                      std::vector<DomeCell>& cells) {
  const float radius = hemisphereRadius;
  const float normaliser = skyNormaliser;
  const std::vector<float> a = gridEdges(0, kDomeColumnWidth, kDomeColumns);
  const std::vector<float> e = gridEdges(0, kDomeBandHeight, kDomeBands);
  const std::vector<Vec3> lattice = skyLattice(a, e, radius);
  const size_t rows = e.size();
  auto at = [&](size_t column, size_t band) { return lattice[column * rows + band]; };

  cells.reserve(cells.size() + kDomeColumns * kDomeBands);
  for (size_t column = 0; column < kDomeColumns; ++column) {
    for (size_t band = 0; band < kDomeBands; ++band) {
      DomeCell cell;
      cell.grey = skyLuminance(sky, a[column] + 0.024543672800064087, e[band] + 0.012271836400032043) /
                  normaliser;
      cell.corners[0] = at(column, band);
      cell.corners[1] = at(column + 1, band);
      cell.corners[2] = at(column + 1, band + 1);
      cell.corners[3] = at(column, band + 1);
      cells.push_back(cell);
    }
  }
}
