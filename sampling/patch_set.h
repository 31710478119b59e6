// The 145-patch sky subdivision of daylighting practice, as a sample set: the
// baseline the accuracy benchmark measures the other sets against.
//
// Seven rows 12 degrees high from the horizon up, of 30, 30, 24, 24, 18, 12
// and 6 equal patches, and a cap above 84 degrees. Every patch stands for its
// centre (the cap for the zenith), the first of each row centred on north;
// its weight is the luminance at the centre times the patch's solid angle,
// the weights normalised to sum 1.
#pragma once

#include "core/sequence.h"
#include "sampling/sample_point.h"
#include "sky/sky.h"

constexpr int kPatchSetPoints = 145;

Sequence<SamplePoint> computePatchSamples(const Sky& sky);
