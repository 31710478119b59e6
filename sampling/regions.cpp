// Regions around sample points: stereographic projection, planar Voronoi
// cells, cell corners back on the sphere.
//
// Index
//   1. Projection to the plane and back
//   2. Chaining the edges of a cell
//   3. computeRegions
#include "sampling/regions.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "sky/sky_model.h"

namespace {

// ---- 1. Projection to the plane and back ---------------------------------------

// Stereographic image from the nadir: (x, y) / (1 + z), computed as the
// inversion of the point halfway between the nadir and the direction.
void projectToPlane(const Vec3& direction, float& x, float& y) {
  Vec3 p(0.5 * direction.x, 0.5 * direction.y, 0.5 * direction.z + 0.5);
  float squaredLength = p.dot(p);
  x = p.x / squaredLength;
  y = p.y / squaredLength;
}

// Brings a far point of the plane in to radius 2 (well below the horizon) along
// its own direction; far ends of open edges come back this way.
void limitToRadiusTwo(float& x, float& y) {
  if (x * x + y * y > 4) {
    float length = std::sqrt(x * x + y * y);
    x = x / length * 2;
    y = y / length * 2;
  }
}

// The direction whose stereographic image is (x, y).
Vec3 projectToSphere(float x, float y) {
  float d = x * x + y * y + 1;
  Vec3 u(x / d, y / d, 1 / d);
  return (u - Vec3(0, 0, 0.5f)).unit();
}

// The point where the great-circle chord from below to above meets the
// horizon, back on the unit sphere.
Vec3 horizonCrossing(const Vec3& below, const Vec3& above) {
  float t = below.z / (below.z - above.z);
  return (below + t * (above - below)).unit();
}

}  // namespace

// ---- 2. Chaining the edges of a cell -----------------------------------------------

void chainCellEdges(VoronoiCell& cell, int cellIndex) {
  const int m = cell.numElements;
  if (m <= 1) return;
  VoronoiEdge* edges = cell.data();
  // Start with the edge whose start is farthest out, normally below the horizon.
  int farthest = 1;
  float farthestDistance = edges[1].x1 * edges[1].x1 + edges[1].y1 * edges[1].y1;
  for (int k = 2; k < m; ++k) {
    float distance = edges[k].x1 * edges[k].x1 + edges[k].y1 * edges[k].y1;
    if (distance > farthestDistance) {
      farthest = k;
      farthestDistance = distance;
    }
  }
  std::swap(edges[0], edges[farthest]);

  for (int j = 1; j <= m - 2; ++j) {
    const VoronoiEdge& before = edges[j - 1];
    int k = j;
    while (k < m && !(edges[k].x1 == before.x2 && edges[k].y1 == before.y2)) ++k;
    if (k < m) {
      std::swap(edges[j], edges[k]);
    } else {
      std::fprintf(stderr, "Couldn't find next edge after edge %d in cell %d\n", j - 1, cellIndex);
      std::fflush(stderr);
    }
  }
}

// ---- 3. computeRegions ------------------------------------------------------------

RegionPolygons computeRegions(const Sequence<SamplePoint>& points) {
  const int n = points.numElements;
  std::vector<float> xs(n), ys(n);
  for (int i = 0; i < n; ++i) {
    const SamplePoint& point = points.element(i);
    projectToPlane(angleToVector(point.azimuth, point.elevation), xs[i], ys[i]);
  }
  std::vector<VoronoiCell> cells = buildVoronoiCells(xs.data(), ys.data(), n);

  RegionPolygons regions(n);
  for (int c = 0; c < n; ++c) {
    VoronoiCell& cell = cells[c];
    chainCellEdges(cell, c);
    Sequence<Vec3>& corners = regions[c];
    const int m = cell.numElements;
    bool closed = false, anyAboveHorizon = false;
    Vec3 lastEnd;
    for (int k = 0; k < m; ++k) {
      VoronoiEdge edge = cell.element(k);
      limitToRadiusTwo(edge.x1, edge.y1);
      limitToRadiusTwo(edge.x2, edge.y2);
      Vec3 a = projectToSphere(edge.x1, edge.y1);
      Vec3 b = projectToSphere(edge.x2, edge.y2);
      if (!(a.z > 0) && !(b.z > 0)) continue;  // wholly below (or on) the horizon
      if (a.z < 0) a = horizonCrossing(a, b);
      if (b.z < 0) b = horizonCrossing(b, a);
      corners.append(a);
      anyAboveHorizon = true;
      if (k == m - 1) {
        corners.append(b);
        closed = true;
      } else {
        lastEnd = b;
      }
    }
    if (!closed && anyAboveHorizon) corners.append(lastEnd);
  }
  return regions;
}
