// The sky-view factor of every cell of a terrain, from its stored horizons.
//
// Index
//   1. Definition
//   2. One cell (the plain reference)
//   3. Every cell of a grid
//
// ---- 1. Definition ---------------------------------------------------------------
//
// The sky-view factor V of a cell is the share of the diffuse light of a
// uniform sky that reaches the cell's tilted surface, relative to an
// unobstructed horizontal surface: the cosine-weighted fraction of the sky
// hemisphere visible from the surface,
//
//   V = 1/pi * integral over the visible sky of (n . w) dw,
//
// n the cell's unit normal, w a direction of the upper hemisphere above both
// the terrain's horizon and the cell's own tangent plane. This is the sky-view
// factor Vd of Dozier and Frew (1990, IEEE Trans. Geosci. Remote Sens. 28,
// 963-969), also Oke's for a tilted surface, and the "Sky View Factor" output
// of SAGA's ta_lighting tool (after Haentzschel et al. 2005) is meant as the
// same quantity. Integrated in closed form over elevation, with h the
// effective horizon elevation in direction phi, s = sin h, and d the
// horizontal unit vector of phi:
//
//   V = 1/n * sum over the n directions of
//         n_z (1 - s^2) + (n . d) (acos s - s sqrt(1 - s^2))
//
// (Dozier and Frew's cos S sin^2 H + sin S cos(phi - A) (H - sin H cos H)
// with H = pi/2 - h the horizon's zenith angle, S the slope and A the aspect),
// each direction standing for its sector of 2 pi / n around its centre
// azimuth, as in the terrain file. The effective horizon is the highest of
//   - the stored horizon of the direction (sin h = v / 32768 - 1),
//   - the cell's tangent plane along the direction (the sky behind the
//     surface does not light it), and
//   - the horizontal: the sky is the upper hemisphere, as for the sky light,
//     so a summit that looks down into a valley gains nothing below it.
// So flat open ground has V = 1 exactly, the floor of a long symmetric V
// valley with walls of slope b has cos b, an open plane of slope S has
// (1 + cos S) / 2, and a cell at the foot of an endless vertical wall 1/2.
// The sum over directions is the midpoint rule of the azimuth integral: on
// an open steep slope, where the tangent plane crosses the horizontal, it
// overshoots (1 + cos S) / 2 by at most 0.0006 with 36 directions and
// 0.0001 with 72 (0.013 with 8); with very few directions it can exceed 1,
// so V is capped at 1.
//
// How it differs from the others an analyst meets:
//   - Zaksek et al. (2011, Remote Sens. 3, 398-415; the Relief Visualization
//     Toolbox) define SVF = 1 - mean of sin h over the directions: the solid
//     angle of the visible sky as a share of the hemisphere, seen from a point
//     with no surface of its own and not weighted by the cosine. Here it is
//     computeVisibleSky below. On flat ground both are 1; on the floor of a V
//     valley of slope b the solid-angle share is 1 - 2 b / pi, less than
//     cos b (b = 45 degrees: 0.5 against 0.71), and on an open slope of S
//     it is 1 - S / pi, less than (1 + cos S) / 2 at every slope short of
//     the vertical.
//   - SAGA's "Sky View Factor" (ta_lighting 3) is this formula, and agrees
//     with it on open slopes and V valleys given the same horizons. Measured
//     against scenes with known horizons (scripts/compare-peers.sh), it
//     differs in what it feeds the formula: its rays read the DEM cell nearest
//     to each step instead of interpolating, which raises horizons close to
//     the cell in oblique directions (the floor of a 30-degree V valley:
//     0.817 with 36 sectors against cos b = 0.866); its sectors start at
//     azimuth 0 (here at half a sector); and it does not clip the horizon by
//     the tangent plane, which lowers V slightly on convex ground.
//   - SAGA's "Visible Sky" is not the solid-angle share but 100 (1 - mean of
//     h / 90 degrees), with horizons clipped at the horizontal.
#pragma once

#include <cstdint>
#include <vector>

#include "core/vec3.h"

// ---- 2. One cell -------------------------------------------------------------------

// The contribution of one direction to V (before dividing by n), for a cell
// with normal components nz (up) and nd (along the direction's horizontal
// unit vector) and the sine s of the effective horizon (0 <= s <= 1).
double skyViewTerm(double nz, double nd, double s);

// V of one cell: `horizons` holds its n encoded horizons, direction j at
// horizons[j * stride] (stride 1 for one cell's own array; the cell count of
// the grid for the direction blocks of a terrain file), `normal` its unit
// normal with a positive z.
double cellSkyViewFactor(const uint16_t* horizons, size_t stride, int numDirections, const Vec3& normal);

// The solid-angle share of the visible sky seen from a point on the cell
// (Zaksek's SVF): 1 - mean of max(sin h, 0) over the directions.
double cellVisibleSky(const uint16_t* horizons, size_t stride, int numDirections);

// ---- 3. Every cell -------------------------------------------------------------------

// V of every cell of a grid, row by row as the heights: `horizons` holds the
// numDirections blocks of gridSizeX * gridSizeY encoded horizons of a terrain
// file, `normals` one unit normal per cell (computeNormals). The cells are
// shared between `numThreads` threads (0: one per core); every value is
// exactly cellSkyViewFactor's.
std::vector<float> computeSkyViewFactor(const uint16_t* horizons, int numDirections, int gridSizeX,
                                        int gridSizeY, const Vec3* normals, int numThreads = 0);

// cellVisibleSky of every cell, likewise.
std::vector<float> computeVisibleSky(const uint16_t* horizons, int numDirections, int gridSizeX,
                                     int gridSizeY, int numThreads = 0);
