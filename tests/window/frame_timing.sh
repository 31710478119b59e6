#!/usr/bin/env bash
# How long a full frame takes on Xvfb with Mesa's software renderer: the
# program draws 50 frames in a row (swap and glFinish included), once in the
# default state and once with the contour lines on, and prints the time per
# frame. A measurement, not a test: nothing is compared with a limit.
#
#   HALVANE=build/halvane HALVANE_TERRAIN=build/tools/halvane-terrain \
#     tests/window/frame_timing.sh [FRAMES]
source "$(dirname "$0")/lib.sh"
frames="${1:-50}"
wt_setup "${TERRAIN_SIZE:-256}" 36

for contours in 0 1; do
  (cd "$WT_DIR" && HALVANE_FRAME_TIMING="$frames" HALVANE_FRAME_TIMING_CONTOURS="$contours" \
    exec "$HALVANE" >"$WT_DIR/stdout" 2>"$WT_DIR/stderr") &
  HALVANE_PID=$!
  wt_wait_exit 120; status=$WT_EXIT_STATUS
  [ "$status" = 0 ] || wt_fail "timing run ended with $status: $(cat "$WT_DIR/stderr")"
  grep '^frame timing' "$WT_DIR/stdout"
done
wt_finish
