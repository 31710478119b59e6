#!/usr/bin/env bash
# Start-up without a usable default terrain: a missing "sample.hrz" ends the
# program with status -1 (255) and its message; a horizon file with status 1,
# and so does a FIFO of that name, at once instead of waiting for a writer.
source "$(dirname "$0")/lib.sh"
wt_setup none

wt_start_halvane
wt_wait_exit 20; status=$WT_EXIT_STATUS
wt_check "missing sample.hrz ends the program with status 255, got $status" test "$status" = 255
wt_check "missing sample.hrz is reported" \
  test "$(cat "$WT_DIR/stderr")" = "tgrid: cannot open input file 'sample.hrz'"

printf 'h\n' >"$WT_DIR/sample.hrz"
wt_start_halvane
wt_wait_exit 20; status=$WT_EXIT_STATUS
wt_check "a horizon file ends the program with status 1, got $status" test "$status" = 1
wt_check "a horizon file is reported" \
  test "$(cat "$WT_DIR/stderr")" = "File sample.hrz is not an elevation file.  It is a horizon file."

rm -f "$WT_DIR/sample.hrz"
mkfifo "$WT_DIR/sample.hrz"
wt_start_halvane
wt_wait_exit "$HALVANE_PID" 20; status=$WT_EXIT_STATUS
[ "$status" = timeout ] || HALVANE_PID=""  # a program left waiting is stopped by wt_finish
wt_check "a FIFO ends the program with status 1, got $status" test "$status" = 1
wt_check "a FIFO is reported as a corrupted file" \
  test "$(cat "$WT_DIR/stderr")" = "File sample.hrz appears to be a corrupted elevation file."
wt_finish
