// The spiral set: an accurate sample set of exactly N points.
//
// 1. Placement. Point i of N (i = 0 .. N-1) lies at height z = 1 - (i + 1/2) / N
//    (equal-area height, so no two points share an elevation) and azimuth i
//    times the golden angle pi (3 - sqrt 5), plus one turn of the whole
//    spiral: even coverage of the hemisphere. Under a sky that depends on the
//    sun, the turn puts the point whose height band holds the sun's height at
//    the sun's azimuth, so that the brightest part of the sky lies in the
//    middle of one cell (within half a height band of its point) instead of
//    being split between neighbours; other skies are not turned.
// 2. Cells. The directions of a SkyQuadrature with at least
//    kSpiralCellsPerPoint cells per point are each given to the nearest point
//    (largest dot product; the lower index among equals): the point's cell is
//    the part of the sky nearest to it.
// 3. Direction. Each point moves to the luminance-weighted centroid of its
//    cell (the normalised sum of L a d over its directions).
// 4. Weight. The luminance integrated over the cell, sum of L a, normalised so
//    that the weights sum to 1.
// The result is a function of the sky and N alone.
#pragma once

#include <vector>

#include "core/sequence.h"
#include "sampling/sample_point.h"
#include "sampling/sky_quadrature.h"
#include "sky/sky.h"

constexpr int kSpiralCellsPerPoint = 64;

// The N points of step 1, unit vectors, the spiral turned by `rotation`
// radians about the zenith.
std::vector<Direction> spiralDirections(int numPoints, double rotation = 0);

// The turn of the spiral for a sky (0 unless the sky depends on the sun).
double spiralRotation(const Sky& sky, int numPoints);

// For every direction of `queries`, the index of the nearest of `sites` (unit
// vectors): the largest dot product, the lower index among equals. Buckets
// the sites in a grid of cubes, so that each query looks at a few sites.
std::vector<int> nearestSites(const std::vector<Direction>& sites,
                              const std::vector<Direction>& queries);

// The spiral set of numPoints (>= 1) points under the sky; the directions are
// not rounded (see roundToFile in sample_file.h).
Sequence<SamplePoint> computeSpiralSamples(const Sky& sky, int numPoints);
