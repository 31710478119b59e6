// Sample points: a finite set of weighted sky directions, weights summing to 1.
//
// Two ways of making a set, both replacing appState.samplePoints as a whole
// and rebuilding the regions round the new points:
//   computeJitteredSamples    a nearly regular grid in elevation and azimuth
//                             with a tiny jitter (provisional weights: the
//                             luminance share of each point);
//   computeStratifiedSamples  a fine equal-area grid divided into luminance
//                             classes one standard deviation wide, picked
//                             class by class, brightest first, each pick the
//                             direction farthest from those already picked;
//                             ends by weighting the set.
// computeSampleWeights weights every point by the area of its region times the
// luminance in its direction. All of them read the sky of appState.
#pragma once

#include "sampling/regions.h"
#include "sampling/sample_point.h"

// appState.numSamplePoints M asks for about M points: the grid gets
// floor(sqrt(M))^2 or fewer (181 for 250, only the zenith for 15 or fewer).
// The jitter comes from a generator of its own that restarts at every call,
// so the same M always gives the same set.
void computeJitteredSamples(RegionPolygons& regions);

// At most appState.numSamplePoints points, never more than the 9956 points of
// the fine grid; appState.equalShares gives every class an equal share of the
// points still missing, otherwise a share by its luminance total. Each point
// carries the colour of its luminance class. The same state always gives the
// same set.
void computeStratifiedSamples(RegionPolygons& regions);

// Rewrites every weight: the area of the fan of flat triangles from the point
// to each edge of its region, times the luminance, normalised to sum 1. When
// these raw weights add up to nothing (a single point has no region), every
// point gets an equal share.
void computeSampleWeights(const RegionPolygons& regions);

// The angle between the two directions, folded into 0 .. pi/2 (the arcsine of
// the length of their cross product: points 120 degrees apart are 60 apart).
float angularDistance(const SamplePoint& a, const SamplePoint& b);

// 512 RGBA colours from dark blue to dark red; entry i for the relative
// luminance i/511. Alpha is 128 in every entry.
extern const unsigned char colourRamp[512][4];
