// Horizons of large height grids, fast and exactly as the plain march.
//
// The plain march (horizons.h) walks from every cell to the grid's edge and
// keeps the steepest sample. Here each ray looks at the very same samples
// (same positions, same interpolation, same arithmetic, the same lowering
// by the earth's curvature), but passes over whole stretches that provably
// cannot rise above the steepest sample found so far: for every cell and every power of two up to 128, the highest height
// in a narrow band that follows the direction for that many steps bounds
// all samples there. The cells are taken line by line along the direction, so
// that each starts with the horizon of the cell just ahead as a guess, and
// the directions are shared between threads. The encoded horizons are
// identical to those of computeHorizons.
#pragma once

#include <cstdint>
#include <vector>

#include "terrain/horizons.h"

// All horizons of the grid, encoded, in the layout of computeHorizons:
// numDirections blocks of gridSizeX * gridSizeY values, direction 0 first,
// cells row by row, with the samples lowered by the earth's `curvature`
// (>= 0, as computeHorizons). `numThreads` 0 means one per core. `progress` is called
// once per finished direction, with the number done so far (increasing), from
// whichever thread finished it, never by two threads at once.
std::vector<uint16_t> computeHorizonsFast(const float* heights, int gridSizeX, int gridSizeY,
                                          int numDirections, double curvature = 0,
                                          const HorizonProgress& progress = HorizonProgress(),
                                          int numThreads = 0);
