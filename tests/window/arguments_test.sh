#!/usr/bin/env bash
# The command-line distribution number: 5 starts with the SHARP sky, 9 is
# refused on standard error and the program starts with CLEAR.
source "$(dirname "$0")/lib.sh"
wt_setup

# Runs the program with one argument until its first frame is drawn, keeps
# that frame's status line in $status and stops the program.
first_status_with_argument() {
  status=""
  wt_start_halvane "$1"
  wt_wait_first_frame || return 1
  status=$(wt_state status)
  wt_stop_pid "$HALVANE_PID"
  HALVANE_PID=""
}

if first_status_with_argument 5; then
  wt_check "argument 5 starts with the SHARP sky and shows its specularity and ambient, got \"$status\"" \
    test "$status" = "SHARP distribution, 250 points, sun (45,180) aaaspecularity 250, ambient 0.1"
  wt_check "argument 5 is accepted silently" test ! -s "$WT_DIR/stderr"
else
  wt_fail "argument 5: no first frame"
fi
if first_status_with_argument 9; then
  wt_check "argument 9 is reported on standard error" \
    test "$(cat "$WT_DIR/stderr")" = "Unknown distribution: 9"
  wt_check "argument 9 starts with CLEAR, got \"$status\"" \
    test "$status" = "CLEAR distribution, 250 points, sun (45,180)"
else
  wt_fail "argument 9: no first frame"
fi
wt_finish
