// Sample points: a finite set of weighted sky directions, weights summing to 1.
//
// Two ways of making a set, each returning the points with their regions:
//   computeJitteredSamples    a nearly regular grid in elevation and azimuth
//                             with a tiny jitter (provisional weights: the
//                             luminance share of each point);
//   computeStratifiedSamples  a fine equal-area grid divided into luminance
//                             classes one standard deviation wide, picked
//                             class by class, brightest first, each pick the
//                             direction farthest from those already picked;
//                             ends by weighting the set.
// computeSampleWeights weights every point by the area of its region times the
// luminance in its direction. All of them are functions of the sky they are
// given and nothing else.
#pragma once

#include "core/sequence.h"
#include "sampling/regions.h"
#include "sampling/sample_point.h"
#include "sky/sky.h"

// A sample set: the points and, element for element, their regions.
struct SampleSet {
  Sequence<SamplePoint> samplePoints;
  RegionPolygons regionPolygons;
};

// Asks for about numSamplePoints (M) points: the grid gets floor(sqrt(M))^2 or
// fewer (181 for 250, only the zenith for 15 or fewer). The jitter comes from
// a generator of its own that restarts at every call, so the same M always
// gives the same set.
SampleSet computeJitteredSamples(const Sky& sky, int numSamplePoints);

// At most numSamplePoints points, never more than the 9956 points of the fine
// grid; equalShares gives every class an equal share of the points still
// missing, otherwise a share by its luminance total. Each point carries the
// colour of its luminance class. The same arguments always give the same set.
SampleSet computeStratifiedSamples(const Sky& sky, int numSamplePoints, bool equalShares);

// Rewrites every weight: the area of the fan of flat triangles from the point
// to each edge of its region, times the luminance, normalised to sum 1. When
// these raw weights add up to nothing (a single point has no region), every
// point gets an equal share. A point without a region (regions shorter than
// points) counts no area.
void computeSampleWeights(const Sky& sky, Sequence<SamplePoint>& points,
                          const RegionPolygons& regions);

// The angle between the two directions, folded into 0 .. pi/2 (the arcsine of
// the length of their cross product: points 120 degrees apart are 60 apart).
float angularDistance(const SamplePoint& a, const SamplePoint& b);

// 512 RGBA colours from dark blue to dark red; entry i for the relative
// luminance i/511. Alpha is 128 in every entry.
extern const unsigned char colourRamp[512][4];
