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

frame_with_argument 5 || wt_fail "argument 5: no first frame"
if frame_with_argument 9; then
  wt_check "argument 9 is reported on standard error" \
    test "$(cat "$WT_DIR/stderr")" = "Unknown distribution: 9"
  status=$(wt_status_line "$WT_DIR/arg-9.png")
  wt_check "argument 9 starts with CLEAR, got \"$status\"" \
    test "$status" = "CLEAR distribution, 250 points, sun (45,180)"
else
  wt_fail "argument 9: no first frame"
fi

# The SHARP line begins like the CLEAR line, whose name has as many letters:
# after the first five characters the two agree pixel for pixel up to the
# end of "sun (45,180)". The name and the specularity text are read by OCR,
# which may take a comma for a full stop.
if [ -e "$WT_DIR/arg-5.png" ] && [ -e "$WT_DIR/arg-9.png" ]; then
  wt_check "argument 5: the status line continues as the CLEAR one" \
    wt_same_region "$WT_DIR/arg-5.png" "$WT_DIR/arg-9.png" 50 "$WT_STATUS_Y" $((40 * 8)) "$WT_STATUS_H"
  status=$(wt_status_line "$WT_DIR/arg-5.png" 76)
  wt_check "argument 5 shows the SHARP sky, got \"$status\"" \
    grep -Eq '^SHARP distribution[,.] 250 points' <<<"$status"
  wt_check "argument 5 shows the specularity and ambient, got \"$status\"" \
    grep -Eq 'aaaspecularity 250[,.] ambient 0[.,]1$' <<<"$status"
fi
wt_finish
