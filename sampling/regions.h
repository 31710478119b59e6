// Regions of the sky around sample points.
//
// Each sample point stands for the directions nearer to it than to any other
// point, cut off at the horizon. The directions are projected stereographically
// from the nadir onto the plane (the zenith to the origin, the horizon to the
// unit circle), the planar Voronoi cells of the images are built, and the cell
// corners are mapped back to the sphere.
#pragma once

#include <vector>

#include "core/sequence.h"
#include "core/vec3.h"
#include "sampling/sample_point.h"
#include "sampling/voronoi.h"

// Element i: the corners of the region of sample point i, in order round the
// region, unit vectors at or above the horizon. A region wholly above the
// horizon repeats its first corner at the end; a region cut by the horizon
// runs from one horizon crossing round to the other. A lone point has no
// corners.
using RegionPolygons = std::vector<Sequence<Vec3>>;

// The regions of the given points (their elevation and azimuth). A cell whose
// edges do not chain up is reported on standard error, one flushed line
// "Couldn't find next edge after edge J in cell C", and its region is built
// from the edges in the order reached.
RegionPolygons computeRegions(const Sequence<SamplePoint>& points);

// Puts the edges of one cell in chain order in place: first an edge far from
// the origin, then each edge starting where the one before it ends. Reports a
// break in the chain as computeRegions does, naming the cell by cellIndex.
void chainCellEdges(VoronoiCell& cell, int cellIndex);
