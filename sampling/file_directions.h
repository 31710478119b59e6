// The directions of sample points as the sample point file holds them.
//
// The file gives each point's compass bearing (clockwise from north) and
// elevation in degrees, with `decimals` decimals (0 .. kMaxDecimals):
//   0  the whole degrees the window writes (displayedBearing and
//      displayedElevation: bearings 1 .. 360);
//   D  the bearing and elevation of the point's unit vector (angleToVector)
//      in degrees, rounded to D decimals; bearings 0 .. below 360.
// A program reading the file takes these degrees as exact, so the direction a
// point stands for in the file is the one its rounded degrees give.
#pragma once

#include "core/sequence.h"
#include "sampling/sample_point.h"

constexpr int kMaxDecimals = 6;

// The bearing and elevation, in degrees, that the file holds for the point.
void fileAngles(const SamplePoint& point, int decimals, double& bearing, double& elevation);

// Moves every point to the direction the file holds for it (weights and the
// rest unchanged), so that whatever is computed next (fitted weights, the
// accuracy) is that of the file. Applying it twice changes nothing more than
// float rounding of the angles (well below 1e-4 degrees).
void roundToFile(Sequence<SamplePoint>& points, int decimals);
