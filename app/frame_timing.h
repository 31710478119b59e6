// A measuring run for the frame benchmark (scripts/bench-frames.sh): with
// HALVANE_FRAME_TIMING=N in the environment the program, shortly after
// start-up, draws N frames in a row (each ended by glFinish) and prints the
// median and the 90th percentile of their times on standard output, then
// exits with status 0. Before that:
//   HALVANE_FRAME_TIMING_LOAD=FILE  loads the terrain file as the chooser of
//       key `l` does and prints the time of the load and of its first frame;
//   HALVANE_FRAME_TIMING_KEYS=KEYS  runs each key as if typed ("p" computes
//       and shows a sample set, "i" the contour lines, "h" hides the dome).
// One warm-up frame after them is not counted. Without HALVANE_FRAME_TIMING
// nothing is scheduled and nothing changes.
#pragma once

#include <vector>

void scheduleFrameTiming();

// The q-quantile (0 .. 1) of the times, the nearest rank of the sorted
// values (q = 0.5 the median); 0 for no times.
double frameTimeQuantile(std::vector<double> times, double q);
