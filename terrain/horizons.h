// Horizons of a height grid, by marching from every cell along every
// direction to the grid's edge. This is the plain reference computation:
// exact for the sampled terrain, and simple enough to check by hand.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// Called now and then with the number of directions done so far.
using HorizonProgress = std::function<void(int directionsDone, int numDirections)>;

// The sine of the horizon elevation seen from the surface of cell (r, c)
// along `azimuth` (radians from +x, the first index, towards +y, the second):
// the largest elevation angle of the terrain sampled on the way to the
// grid's edge. Along the ray the march takes one whole cell per step along
// the dominant axis and interpolates linearly between the two cells across
// it. Heights are in grid spacings. A cell that has no terrain in that
// direction (it lies on the edge) gets a level horizon, sine 0.
// `maxHeight` is the largest height of the grid; it ends the march as soon as
// no farther terrain can rise above the horizon found so far.
double horizonSine(const float* heights, int gridSizeX, int gridSizeY, int r, int c,
                   double azimuth, float maxHeight);

// The centre azimuth of direction j of n: (j + 0.5) * 6.28318 / n.
double directionAzimuth(int j, int numDirections);

// All horizons of the grid, encoded (encodeHorizon): numDirections blocks of
// gridSizeX * gridSizeY values, direction 0 first, cells row by row.
std::vector<uint16_t> computeHorizons(const float* heights, int gridSizeX, int gridSizeY,
                                      int numDirections,
                                      const HorizonProgress& progress = HorizonProgress());
