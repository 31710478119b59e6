// Horizons of a height grid, by marching from every cell along every
// direction to the grid's edge. This is the plain reference computation:
// exact for the sampled terrain, and simple enough to check by hand.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// Called now and then with the number of directions done so far.
using HorizonProgress = std::function<void(int directionsDone, int numDirections)>;

// ---- The earth's curvature -------------------------------------------------
//
// On the curved earth a point at horizontal distance d lies lower, seen from
// the cell, by about d^2 / (2 R), and atmospheric refraction bends the line
// of sight down towards it, so that it appears lower by only
// (1 - k) d^2 / (2 R), k being the refraction coefficient (the surveyors'
// 0.13 by default; the common values lie between 0.13 and 1/7). A march with
// curvature c lowers a sample d grid spacings away by c d^2 grid spacings:
// c = cellSize (1 - k) / (2 R) for cells of cellSize metres. c = 0 is the
// flat earth, and gives exactly the horizons computed without it.

// The earth's mean radius R1 of the WGS84/GRS80 ellipsoid, (2a + b) / 3, in
// metres: the sphere whose curvature the march takes.
constexpr double kEarthRadius = 6371008.8;
// The coefficient of refraction taken unless another is asked for.
constexpr double kRefractionCoefficient = 0.13;

// The curvature c of a grid of square cells of cellSize metres under
// refraction coefficient k (0 <= k <= 1): cellSize (1 - k) / (2 kEarthRadius).
double earthCurvature(double cellSize, double refraction);

// The rise (the tangent of the elevation angle) of terrain `height` seen
// from a cell's surface at z0, `distance` grid spacings away, lowered by the
// curvature: (height - z0 - c d^2) / d. Both marches take every sample
// through this one expression, so that they agree to the last bit.
inline double horizonRise(double height, double z0, double distance, double curvature) {
  return (height - z0 - curvature * distance * distance) / distance;
}

// The sine of the horizon elevation seen from the surface of cell (r, c)
// along `azimuth` (radians from +x, the first index, towards +y, the second):
// the largest elevation angle of the terrain sampled on the way to the
// grid's edge. Along the ray the march takes one whole cell per step along
// the dominant axis and interpolates linearly between the two cells across
// it. Heights are in grid spacings; every sample is lowered by the earth's
// `curvature` (>= 0; see horizonRise). A cell that has no terrain in that
// direction (it lies on the edge) gets a level horizon, sine 0.
// `maxHeight` is the largest height of the grid; it ends the march as soon as
// no farther terrain can rise above the horizon found so far.
double horizonSine(const float* heights, int gridSizeX, int gridSizeY, int r, int c,
                   double azimuth, float maxHeight, double curvature = 0);

// The centre azimuth of direction j of n: (j + 0.5) * 6.28318 / n.
double directionAzimuth(int j, int numDirections);

// All horizons of the grid, encoded (encodeHorizon): numDirections blocks of
// gridSizeX * gridSizeY values, direction 0 first, cells row by row; the
// samples lowered by the earth's `curvature` (0: a flat earth).
std::vector<uint16_t> computeHorizons(const float* heights, int gridSizeX, int gridSizeY,
                                      int numDirections, double curvature = 0,
                                      const HorizonProgress& progress = HorizonProgress());
