// Iso-luminance lines of the sky, computed without drawing.
//
// The sky is cut into 128 azimuth columns by 64 elevation rows; in each cell
// the relative luminance (luminance / skyNormaliser) at the four corners is
// compared with fourteen levels 1.2^k, k = -13 .. 0, and the crossings of each
// level are joined into segments. Nothing is kept between calls.
#pragma once

#include <vector>

#include "core/vec3.h"
#include "sky/sky.h"

// Number of contour levels, from 1.2^-13 (about 0.0935) to 1.0.
constexpr int kNumContourLevels = 14;

// Level 1.2^k in single precision: 1.2 raised to |k| by repeated squaring and
// multiplication, then the reciprocal for negative k.
float contourLevel(int k);

// A point of the sky at (azimuth, elevation) on the sphere of the given
// radius, computed through the zenith angle in double precision and rounded
// to float per component.
Vec3 skyPoint(float azimuth, float elevation, float radius);

// The segments of one level in one cell. c holds the relative luminance at
// corners 0..3 and a copy of corner 0, p their positions likewise, so edge q
// runs from entry q to entry q + 1. An edge is crossed when the level lies
// above one end and at or below the other; crossings are paired in edge order,
// a crossing equal to the pending one (a level through a corner is found on
// both of its edges) is skipped, and a lone crossing is dropped.
void contourCellSegments(const float c[5], const Vec3 p[5], float level,
                         std::vector<Vec3>& vertices);

// The points skyPoint gives for every pair of an azimuth and an elevation,
// indexed [azimuth index * elevations.size() + elevation index], with the
// sines and cosines computed once per azimuth and once per elevation (the
// results are the same to the last bit).
std::vector<Vec3> skyLattice(const std::vector<float>& azimuths,
                             const std::vector<float>& elevations, float radius);

// The edges of a sky grid: start, start + step, ... (accumulated in float)
// while below the limit, then one more step for the last cell's far edge.
std::vector<float> gridEdges(float start, float step, double limit);
// The same for a fixed number of cells: cells + 1 edges.
std::vector<float> gridEdges(float start, float step, int cells);

// Appends the segments of every level in every cell of the sky (luminance
// divided by skyNormaliser) as pairs of vertices, on the sphere of radius
// 1.002 * hemisphereRadius (chord points, not pushed back onto the sphere).
void computeContourSegments(const Sky& sky, float skyNormaliser, float hemisphereRadius,
                            std::vector<Vec3>& vertices);

// The horizon circle drawn when the dome is hidden: 128 points at radius
// 1.002 * hemisphereRadius, 0.001 above the ground.
void computeHorizonCircle(float hemisphereRadius, std::vector<Vec3>& points);

// The radius of the contour lines and the horizon circle: 1.002 * hemisphereRadius.
inline float contourRadius(float hemisphereRadius) {
  return static_cast<float>(1.002 * hemisphereRadius);
}
