// The geometry and colours of the three-dimensional scene, computed without
// drawing: the terrain frame, the positions of the sample spheres, the arcs of
// the region outlines and the cells of the sky dome. The drawing code hands
// these values to the renderer unchanged; nothing is kept between frames.
//
// World coordinates: +z towards the zenith; the sky direction (azimuth a,
// elevation e) lies at R * (cos e cos a, cos e sin a, sin e) with R the
// hemisphere radius.
#pragma once

#include <vector>

#include "core/sequence.h"
#include "core/vec3.h"
#include "sampling/regions.h"
#include "sampling/sample_point.h"
#include "sky/sky.h"

// ---- Terrain -----------------------------------------------------------------
// The terrain square is centred under the dome with its half-diagonal 0.9 R:
// grid point (i, j) with height h sits at (origin + scale i, origin + scale j,
// scale h), heights being in grid spacings.
struct TerrainFrame {
  float origin;  // -0.9 R / sqrt(2)
  float scale;   // min(side / gridSizeX, side / gridSizeY), side = -2 origin
};
TerrainFrame terrainFrame(float radius, int gridSizeX, int gridSizeY);

// ---- Sample points -------------------------------------------------------------
// Centre of the sphere of a sample point on the sky of radius R.
Vec3 samplePointPosition(float elevation, float azimuth, float radius);

// Uniform scale of a sample sphere of radius 1.
inline float sampleSphereScale(float sphereSize) { return 0.165f * sphereSize; }

// ---- Region outlines -------------------------------------------------------------
constexpr int kRegionArcVertices = 21;

// The arc that draws the region edge from corner a to corner b (unit vectors):
// 20 points of the chord at t = 0, 0.05, ... (t accumulated in float) and b
// itself, each pushed out to 1.003 R so the outline hugs the sky just above it.
void regionArc(const Vec3& a, const Vec3& b, float radius, Vec3 arc[kRegionArcVertices]);

// Calls arcDone(arc) with the arc of every edge of the region of each point
// (corner k to corner k + 1, the last to the first), point by point, as long
// as there are both points and regions.
template <typename ArcDone>
void forEachRegionArc(const Sequence<SamplePoint>& points, const RegionPolygons& regionPolygons,
                      float radius, ArcDone arcDone) {
  const int regions = static_cast<int>(regionPolygons.size());
  for (int i = 0; i < points.numElements && i < regions; ++i) {
    const Sequence<Vec3>& corners = regionPolygons[i];
    const int m = corners.numElements;
    for (int k = 0; k < m; ++k) {
      Vec3 arc[kRegionArcVertices];
      regionArc(corners.element(k), corners.element((k + 1) % m), radius, arc);
      arcDone(static_cast<const Vec3*>(arc));
    }
  }
}

// ---- Sky dome ---------------------------------------------------------------------
constexpr int kDomeColumns = 128;
constexpr int kDomeBands = 64;

// One quadrilateral of the dome: its grey level (relative luminance at the
// cell's centre; values above 1 show as white) and its corners (a0, e0),
// (a1, e0), (a1, e1), (a0, e1), which face outward.
struct DomeCell {
  float grey;
  Vec3 corners[4];
};

// The 128 x 64 cells of the dome of radius hemisphereRadius for the sky, their
// luminance divided by skyNormaliser (the caller brings that up to date first).
void computeDomeCells(const Sky& sky, float skyNormaliser, float hemisphereRadius,
                      std::vector<DomeCell>& cells);

// Opacity of the dome: translucent over the terrain, opaque without it.
inline float domeAlpha(bool drawTerrain) { return drawTerrain ? 0.7f : 1.0f; }
