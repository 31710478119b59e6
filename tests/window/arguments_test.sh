#!/usr/bin/env bash
# The command-line distribution number: 5 starts with the SHARP sky, 9 is
# refused on standard error and the program starts with CLEAR.
source "$(dirname "$0")/lib.sh"
wt_setup

# Runs the program with one argument until its first frame is on screen and
# keeps the screenshot in $WT_DIR/arg-N.png; then stops it.
frame_with_argument() {
  wt_start_halvane "$1"
  wt_wait_window && wt_wait_pixel 40 40 102,153,102 || return 1
  sleep 0.3
  wt_screenshot "$WT_DIR/arg-$1.png"
  wt_stop_pid "$HALVANE_PID"
  HALVANE_PID=""
}

if frame_with_argument 5; then
  status=$(wt_status_line "$WT_DIR/arg-5.png" 90)
  wt_check "argument 5 shows the SHARP sky, got \"$status\"" \
    grep -q '^SHARP distribution, 250 points, sun (45,180)' <<<"$status"
  wt_check "argument 5 shows the specularity and ambient, got \"$status\"" \
    grep -Eq 'specularity 250[,.] ambient 0[.,]1$' <<<"$status"
else
  wt_fail "argument 5: no first frame"
fi

if frame_with_argument 9; then
  wt_check "argument 9 is reported on standard error" \
    test "$(cat "$WT_DIR/stderr")" = "Unknown distribution: 9"
  status=$(wt_status_line "$WT_DIR/arg-9.png")
  wt_check "argument 9 starts with CLEAR, got \"$status\"" \
    test "$status" = "CLEAR distribution, 250 points, sun (45,180)"
else
  wt_fail "argument 9: no first frame"
fi
wt_finish
