#!/usr/bin/env bash
# The terrain chooser: `l` offers the folder's ".hrz" files in byte order,
# the arrows step through them and wrap, Enter loads one, ESC loads none. A
# missing or bad file keeps the current terrain and the program runs on, also
# when the current terrain file is deleted after it was loaded.
source "$(dirname "$0")/lib.sh"
wt_setup
"$HALVANE_TERRAIN" --synthetic 32 --directions 8 -o "$WT_DIR/bravo.hrz" >/dev/null
cp "$WT_DIR/sample.hrz" "$WT_DIR/alpha.hrz"
printf 'not a terrain\n' >"$WT_DIR/corrupt.hrz"
: >"$WT_DIR/notes.txt"
: >"$WT_DIR/alpha.HRZ"
wt_launch
before=$(wt_shot before)
question="Choose a terrain file to load (use the up and down arrows): "
status="CLEAR distribution, 250 points, sun (45,180)"
# The scene without the message lines.
SCENE=1351x1200+0+100

wt_key l
wt_check "l opens the chooser" wt_wait_state prompt "$question"
wt_check "the chooser starts on the first name in byte order" wt_state_is prompt_text alpha.hrz
wt_key Down
wt_check "down from the first name wraps to the last" wt_wait_state prompt_text sample.hrz
wt_key Up Up
wt_check "up steps forwards" wt_wait_state prompt_text bravo.hrz
wt_key x
wt_check "typing does not edit the chooser" wt_wait_frame
wt_check "the chooser still shows bravo.hrz" wt_state_is prompt_text bravo.hrz
wt_key Return
wt_check "Enter loads the chosen terrain" wt_wait_state flash "Loaded terrain \`bravo.hrz'."
wt_check "Enter closes the chooser" wt_state_is status "$status"
loaded=$(wt_shot loaded)
wt_check "the new terrain is drawn" test "$(wt_differ "$before" "$loaded")" -gt 1000

wt_key l Up Up
wt_check "the chooser reaches corrupt.hrz" wt_wait_state prompt_text corrupt.hrz
wt_key Return
wt_check "a bad file is reported in the window" wt_wait_state flash "Could not load terrain \`corrupt.hrz'."
wt_check "the reader's message is on standard error" grep -q "corrupt.hrz" "$WT_DIR/stderr"
wt_key x
wt_check "the status line is back" wt_wait_state status "$status"
wt_check "the terrain drawn is still bravo.hrz" test "$(wt_differ "$loaded" "$(wt_shot kept)" $SCENE)" -lt 2000
wt_key l Up Escape
wt_check "ESC closes the chooser" wt_wait_state status "$status"
wt_check "ESC shows no message" wt_state_is flash ""
wt_check "after ESC the terrain drawn is still bravo.hrz" \
  test "$(wt_differ "$loaded" "$(wt_shot escaped)" $SCENE)" -lt 2000

# The current file deleted: each recomputation says so and keeps the grid.
rm "$WT_DIR/bravo.hrz"
gone="Could not load terrain \`bravo.hrz'."
wt_key Up
wt_check "a sun step on a deleted terrain is reported" wt_wait_state flash "$gone"
wt_check "the status line follows the sun" wt_state_is status "CLEAR distribution, 250 points, sun (50,180)"
wt_check "a click without a drag picks" wt_click 1 300 300
wt_check "a pick on a deleted terrain is reported" wt_state_is flash "$gone"
wt_key ctrl+o
wt_check "ctrl+o changes the sky" wt_wait_state status "OVERCAST distribution, 250 points, sun (50,180)"
wt_check "a sky change on a deleted terrain is reported" wt_state_is flash "$gone"

# No terrain files left: the chooser is a text line.
rm "$WT_DIR"/*.hrz
wt_key l
wt_check "with no files the chooser is empty" wt_wait_state prompt "$question"
wt_check "with no files the chooser shows no name" wt_state_is prompt_text ""
wt_type missing.hrz
wt_check "a name can be typed" wt_wait_state prompt_text missing.hrz
wt_key Return
wt_check "a missing typed name is reported" wt_wait_state flash "Could not load terrain \`missing.hrz'."
wt_quit
wt_finish
