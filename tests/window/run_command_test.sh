#!/usr/bin/env bash
# The run command without a display: it says so, and writes on a virtual
# display the default sample set and a screenshot.
source "$(dirname "$0")/lib.sh"
wt_setup
run="$WT_DIR/run"
mkdir -p "$run"
cp "$WT_DIR/sample.hrz" "$run/sample.hrz"
env -u DISPLAY BUILD="$(dirname "$HALVANE")" RUN_DIR="$run" \
  timeout 170 "$(dirname "$0")/../../scripts/run.sh" >"$WT_DIR/run.out" 2>"$WT_DIR/run.err"
status=$?
cat "$WT_DIR/run.out" "$WT_DIR/run.err"
wt_check "the run command succeeds, status $status" test "$status" = 0
wt_check "it says in one line that there is no display" \
  test "$(grep -c 'No display could be opened' "$WT_DIR/run.out")" = 1
wt_check "it prints the screenshot's path" grep -qx "Screenshot:  $run/halvane.png" "$WT_DIR/run.out"
wt_check "it prints the sample file's path" grep -qx "Sample file: $run/samples.txt" "$WT_DIR/run.out"
wt_check "the screenshot is the window" test "$(/usr/bin/identify -format %wx%h "$run/halvane.png")" = 1351x1339
wt_check "the terrain in the working folder is kept" cmp -s "$WT_DIR/sample.hrz" "$run/sample.hrz"
"$HALVANE_SAMPLES" -o "$WT_DIR/expected.txt"
wt_check "the sample file is the one halvane-samples writes for the default state" \
  cmp "$WT_DIR/expected.txt" "$run/samples.txt"
wt_finish
