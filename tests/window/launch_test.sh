#!/usr/bin/env bash
# Starting the program: the distribution argument 5 starts with the SHARP
# sky, 9 is refused on standard error and the program starts with CLEAR.
# Without a usable default terrain it ends at once: a missing "sample.hrz"
# with status -1 (255), a horizon file or a FIFO of that name (instead of
# waiting for a writer) with status 1, each with its message.
source "$(dirname "$0")/lib.sh"
wt_setup

# Each row: the argument, the first frame's status line, standard error.
while IFS='|' read -r argument status stderr; do
  wt_start "$argument"
  wt_check "argument $argument starts with \"$status\"" eval 'wt_wait_frame && wt_state_is status "$status"'
  wt_check "argument $argument: standard error \"$stderr\"" test "$(cat "$WT_DIR/stderr")" = "$stderr"
  wt_stop_pid "$HALVANE_PID"
done <<'EOF'
5|SHARP distribution, 250 points, sun (45,180) aaaspecularity 250, ambient 0.1|
9|CLEAR distribution, 250 points, sun (45,180)|Unknown distribution: 9
EOF

# Each row: what sample.hrz is, how it is made, the exit status, standard error.
while IFS='|' read -r what make status stderr; do
  rm -f "$WT_DIR/sample.hrz"
  eval "$make"
  wt_start
  wt_wait_exit 20
  wt_check "$what: status $status, got $WT_EXIT_STATUS" test "$WT_EXIT_STATUS" = "$status"
  wt_check "$what: the message \"$stderr\"" test "$(cat "$WT_DIR/stderr")" = "$stderr"
done <<'EOF'
missing|:|255|tgrid: cannot open input file 'sample.hrz'
a horizon file|printf 'h\n' >"$WT_DIR/sample.hrz"|1|File sample.hrz is not an elevation file.  It is a horizon file.
a FIFO|mkfifo "$WT_DIR/sample.hrz"|1|File sample.hrz appears to be a corrupted elevation file.
EOF
wt_finish
