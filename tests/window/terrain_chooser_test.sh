#!/usr/bin/env bash
# The terrain chooser: `l` offers the folder's ".hrz" files in byte order,
# the arrows step through them and wrap, Enter loads one. A missing or bad
# file keeps the current terrain and the program runs on, also when the
# current terrain file is deleted or damaged after it was loaded.
source "$(dirname "$0")/interaction_lib.sh"
wt_setup 64
"$HALVANE_TERRAIN" --synthetic 32 --directions 8 -o "$WT_DIR/bravo.hrz" >/dev/null
cp "$WT_DIR/sample.hrz" "$WT_DIR/alpha.hrz"
printf 'not a terrain\n' >"$WT_DIR/corrupt.hrz"
: >"$WT_DIR/notes.txt"
: >"$WT_DIR/alpha.HRZ"

wt_start_halvane
wt_check "first frame drawn" wt_wait_first_frame || wt_finish
before=$(ia_shot before)

question="Choose a terrain file to load (use the up and down arrows): "
status="CLEAR distribution, 250 points, sun (45,180)"
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
loaded=$(ia_shot loaded)
wt_check "the new terrain is drawn" test "$(ia_differ "$before" "$loaded")" -gt 1000

# ---- A bad file keeps the terrain -------------------------------------------------
wt_key l Up Up
wt_check "the chooser reaches corrupt.hrz" wt_wait_state prompt_text corrupt.hrz
wt_key Return
wt_check "a bad file is reported in the window" \
  wt_wait_state flash "Could not load terrain \`corrupt.hrz'."
wt_check "the program keeps running" ia_alive
wt_check "the reader's message is on standard error" grep -q "corrupt.hrz" "$WT_DIR/stderr"
wt_key x
wt_check "the status line is back" wt_wait_state status "$status"
kept=$(ia_shot kept)
wt_check "the terrain drawn is still bravo.hrz" test "$(ia_differ "$loaded" "$kept" 1351x1200+0+100)" -lt 2000

# ---- ESC closes the chooser without loading -----------------------------------------
wt_key l Up Escape
wt_check "ESC closes the chooser" wt_wait_state status "$status"
wt_check "ESC shows no message" wt_state_is flash ""
escaped=$(ia_shot escaped)
wt_check "after ESC the terrain drawn is still bravo.hrz" test "$(ia_differ "$loaded" "$escaped" 1351x1200+0+100)" -lt 2000

# ---- The current file deleted: later recomputations keep the grid ---------------------
rm "$WT_DIR/bravo.hrz"
gone="Could not load terrain \`bravo.hrz'."
wt_key Up
wt_check "a sun step on a deleted terrain is reported" wt_wait_state flash "$gone"
wt_check "the status line follows the sun" \
  wt_state_is status "CLEAR distribution, 250 points, sun (50,180)"
wt_check "a click without a drag picks" ia_click 1 300 300
wt_check "a pick on a deleted terrain is reported" wt_state_is flash "$gone"
wt_key ctrl+o
wt_check "ctrl+o changes the sky" \
  wt_wait_state status "OVERCAST distribution, 250 points, sun (50,180)"
wt_check "a sky change on a deleted terrain is reported" wt_state_is flash "$gone"
wt_check "the program keeps running" ia_alive

# ---- No terrain files left: the chooser is a text line ----------------------------------
rm "$WT_DIR"/*.hrz
wt_key l
wt_check "with no files the chooser is empty" wt_wait_state prompt "$question"
wt_check "with no files the chooser shows no name" wt_state_is prompt_text ""
wt_type "missing.hrz"
wt_check "a name can be typed" wt_wait_state prompt_text missing.hrz
wt_key Return
wt_check "a missing typed name is reported" wt_wait_state flash "Could not load terrain \`missing.hrz'."
wt_check "the program keeps running" ia_alive

wt_key q Escape
wt_wait_exit 10
wt_check "exits with status 0, got $WT_EXIT_STATUS" test "$WT_EXIT_STATUS" = 0
wt_finish
