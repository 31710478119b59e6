// A measuring run for the test harness: with HALVANE_FRAME_TIMING=N in the
// environment the program draws N frames in a row shortly after start-up,
// prints how long they took on standard output and exits with status 0.
// HALVANE_FRAME_TIMING_CONTOURS=1 switches the contour lines on for it.
// Without these variables nothing is scheduled and nothing changes.
#pragma once

void scheduleFrameTiming();
