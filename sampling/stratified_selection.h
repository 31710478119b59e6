// The steps of the stratified sample computation, each on its own so that the
// tests and the benchmark can run them apart: the fine grid of the sky, its
// luminance classes, and the farthest-point selection class by class.
#pragma once

#include <vector>

#include "sampling/sample_point.h"
#include "sky/sky.h"

// The fine grid: the zenith, then rings of almost equal-area cells from near
// the horizon up, 9956 points. Each point holds its luminance under the sky in
// weight and its place in the unit square in squareU, squareV.
std::vector<SamplePoint> fineSkyGrid(const Sky& sky);

// Standard deviation of the luminances, summed in the order given (the grid's
// own order, before sorting).
float luminanceDeviation(const std::vector<SamplePoint>& points);

// Sorts points by ascending luminance. Equal luminances keep their order, so
// the result depends on nothing but the input.
void sortByLuminance(std::vector<SamplePoint>& points);

struct LuminanceClasses {
  int count = 1;
  // Class j holds the sorted points bounds[j] .. bounds[j + 1] - 1; a class
  // may be empty.
  std::vector<int> bounds;
  // Sum of the luminances of each class.
  std::vector<float> totals;
};

// Divides sorted points into classes one standard deviation of luminance
// wide, at most 40, counted down from the brightest point, and gives every
// point the colour of its class (entry 0 of the ramp for the dimmest class,
// 511 for the brightest).
LuminanceClasses classifyByLuminance(std::vector<SamplePoint>& sorted, float deviation);

// Picks up to maxPoints of the sorted, classified points, class by class from
// the brightest: first the brightest point, then within each class the
// unpicked point farthest (by angularDistance) from every pick so far, the
// lowest index among equals. Each class is offered an equal share of the
// points still missing (equalShares) or a share by its luminance total.
std::vector<SamplePoint> selectSamplePoints(const std::vector<SamplePoint>& sorted,
                                            const LuminanceClasses& classes, int maxPoints,
                                            bool equalShares);
