// The sun's direct beam on a terrain: for every cell, how strongly the sun
// itself lights it (the cosine between the cell's normal and the sun), where
// the sun stands above the cell's horizon.
#pragma once

#include <vector>

#include "terrain/terrain_file.h"

// The horizon sine of a cell towards an azimuth (radians from +x towards +y):
// the stored horizons of the two directions whose centre azimuths enclose it,
// interpolated linearly in the azimuth. `cell` indexes the heights.
double horizonSineTowards(const Terrain& terrain, size_t cell, double azimuth);

// max(0, n . s) for every cell whose horizon towards the sun lies below the
// sun (sin elevation > the interpolated horizon sine), 0 for the others and
// for a sun at or below 0 elevation; s is angleToVector(sunAzimuth,
// sunElevation). gridSizeX rows of gridSizeY values, in the order of the
// heights. The terrain must hold its horizons.
std::vector<float> computeSunBeam(const Terrain& terrain, float sunElevation, float sunAzimuth);
