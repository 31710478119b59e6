#!/usr/bin/env bash
# Start-up without a usable default terrain: a missing "sample.hrz" ends the
# program with status -1 (255) and its message; a horizon file with status 1.
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
wt_finish
