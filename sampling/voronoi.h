// Planar Voronoi diagram by Fortune's sweep line.
//
// buildVoronoiCells returns, for every input point (site), the edges that bound
// its cell. The sweep runs in double precision inside a fixed box from -10000
// to 10000 on both axes; edges that stay open are ended where their breakpoint
// would be with the sweep line at x = 100000. Every finished edge is recorded
// twice, once in each of the two cells it separates, in opposite directions,
// and each cell's site lies to the left of each of its edges (x right, y up):
// the edges of a cell run counter-clockwise round it, unordered.
#pragma once

#include <vector>

#include "core/sequence.h"

// One edge of a cell, from (x1, y1) to (x2, y2).
struct VoronoiEdge {
  float x1, y1, x2, y2;
};

using VoronoiCell = Sequence<VoronoiEdge>;

// The cells of the n sites (xs[i], ys[i]); element i belongs to site i. The
// caller owns the returned cells. A site whose cell got no finished edge (a
// single site, for example) has an empty cell.
std::vector<VoronoiCell> buildVoronoiCells(const float* xs, const float* ys, int n);
