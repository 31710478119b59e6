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
wt_wait_window || wt_finish
wt_check "first frame drawn" wt_wait_pixel 40 40 102,153,102
before=$(ia_shot before)

# OCR reads the question's parentheses, the quotes round names and some
# letters of "hrz" poorly; the names are told apart by their stems.
question="Choose a terrain file to load"
# The message line holds both texts.
top_has() { ia_wait_top "$1" 20 && ia_wait_top "$2" 5; }
# Replaces the message line with the refusal of a key, so that the next
# message seen is a new one.
refuse_a_key() {
  wt_key x
  ia_wait_top "Unrecognized key" 20
}
wt_key l
wt_check "l opens the chooser on the first name" ia_wait_prompt "alpha"
wt_key Down
wt_check "down from the first name wraps to the last" ia_wait_prompt "sample"
wt_key Up Up
wt_check "up steps forwards" ia_wait_prompt "bravo"
wt_key x
wt_check "typing does not edit the chooser" ia_wait_prompt "bravo,"

wt_key Return
wt_check "Enter loads the chosen terrain" top_has "Loaded terrain" "bravo"
loaded=$(ia_shot loaded)
wt_check "the new terrain is drawn" test "$(ia_differ "$before" "$loaded")" -gt 1000

# ---- A bad file keeps the terrain -------------------------------------------------
wt_key l Up Up
wt_check "the chooser reaches corrupt.hrz" ia_wait_prompt "corrupt"
wt_key Return
wt_check "a bad file is reported in the window" top_has "Could not load terrain" "corrupt"
wt_check "the program keeps running" ia_alive
wt_check "the reader's message is on standard error" grep -q "corrupt.hrz" "$WT_DIR/stderr"
wt_key x
wt_check "the status line is back" ia_wait_status "CLEAR distribution, 250 points, sun (45,180)"
kept=$(ia_shot kept)
wt_check "the terrain drawn is still bravo.hrz" test "$(ia_differ "$loaded" "$kept" 1351x1200+0+100)" -lt 2000

# ---- ESC closes the chooser without loading -----------------------------------------
wt_key l Up Escape
wt_check "ESC closes the chooser" ia_wait_status "CLEAR distribution, 250 points, sun (45,180)"
escaped=$(ia_shot escaped)
wt_check "ESC loaded nothing" test "$(ia_differ "$loaded" "$escaped" 1351x1200+0+100)" -lt 2000

# ---- The current file deleted: later recomputations keep the grid ---------------------
rm "$WT_DIR/bravo.hrz"
wt_key Up
wt_check "a sun step on a deleted terrain is reported" \
  top_has "Could not load terrain" "bravo"
wt_check "the status line follows the sun" ia_wait_status "CLEAR distribution, 250 points, sun (50,180)"
refuse_a_key
ia_click 1 300 300
wt_check "a pick on a deleted terrain is reported" ia_wait_top "Could not load terrain" 20
refuse_a_key
wt_key ctrl+o
wt_check "a sky change on a deleted terrain is reported" ia_wait_top "Could not load terrain" 20
wt_check "the program keeps running" ia_alive

# ---- No terrain files left: the chooser is a text line ----------------------------------
rm "$WT_DIR"/*.hrz
wt_key l
wt_check "with no files the chooser is empty" ia_wait_prompt "$question"
wt_type "missing.hrz"
wt_key Return
wt_check "a missing typed name is reported" top_has "Could not load terrain" "missing"
wt_check "the program keeps running" ia_alive

wt_key q Escape
ia_wait_exit 10
wt_check "exits with status 0, got $IA_EXIT_STATUS" test "$IA_EXIT_STATUS" = 0
wt_finish
