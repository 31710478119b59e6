#!/usr/bin/env bash
# The two prompts: `o` writes, byte for byte, the file halvane-samples writes
# for the same state (sun angles the tool's degree conversion gives exactly);
# `l` loads the chosen ".hrz" file, and a bad, missing or deleted one keeps the
# current terrain.
source "$(dirname "$0")/lib.sh"
: "${HALVANE_SAMPLES:?HALVANE_SAMPLES must name the sample point tool}"
wt_setup
"$HALVANE_TERRAIN" --synthetic 32 --directions 8 -o "$WT_DIR/bravo.hrz" >/dev/null
cp "$WT_DIR/sample.hrz" "$WT_DIR/alpha.hrz"
printf 'not a terrain\n' >"$WT_DIR/corrupt.hrz"
: >"$WT_DIR/alpha.HRZ"
mkdir "$WT_DIR/expected"  # the tool writes outside the folder the prompt lists
wt_launch

open_prompt() {
  wt_key "$@"
  wt_check "$* opens the output prompt" wt_wait_state prompt "Enter a file name to output the sample points: " 120
}
type_name() { wt_type "$1"; wt_check "the prompt shows \"$1\"" wt_wait_state prompt_text "$1"; }
# confirm_and_compare NAME OPTION...: Enter, then the file against the tool's.
confirm_and_compare() {
  local name="$1"
  shift
  wt_key Return
  wt_check "the window confirms $name" wt_wait_state_like flash "Sample points are recorded in*$name*"
  "$HALVANE_SAMPLES" "$@" --set stratified -o "$WT_DIR/expected/$name" 2>"$WT_DIR/expected/stderr" ||
    { wt_fail "halvane-samples $* failed: $(cat "$WT_DIR/expected/stderr")"; return; }
  wt_check "$name equals halvane-samples $*" cmp "$WT_DIR/$name" "$WT_DIR/expected/$name"
}
# write_state "KEYS" NAME OPTION...: the keys, then `p o`, the name, Enter.
write_state() {
  open_prompt $1 p o
  type_name "$2"
  confirm_and_compare "${@:2}"
}

write_state "" default.txt --sky clear --sun 45,180 --points 250 --shares equal
write_state ctrl+s sharp.txt --sky sharp --sun 45,180 --points 250 --shares equal
write_state "ctrl+c Up" up1.txt --sky clear --sun 50,180 --points 250 --shares equal
write_state "Down plus" more.txt --sky clear --sun 45,180 --points 300 --shares equal
# Command letters are typed into the name while the prompt is open.
write_state "j ctrl+g" pqt.txt --sky general-12 --sun 45,180 --points 300 --shares luminance

open_prompt o
type_name never.txt
wt_key Escape
wt_check "ESC closes the prompt" wt_wait_state prompt ""
wt_key o Return
wt_check "an empty name records nothing" wt_wait_state_like flash "No sample points were recorded.*"
wt_check "ESC and the empty name wrote no file" test ! -e "$WT_DIR/never.txt"

status="GENERAL TYPE 12 distribution, 300 points, sun (45,180)"
SCENE=1351x1200+0+100  # the scene without the message lines
wt_key l
wt_check "l opens the chooser" wt_wait_state prompt "Choose a terrain file to load (use the up and down arrows): "
wt_check "the chooser starts on the first name in byte order" wt_state_is prompt_text alpha.hrz
wt_key Down
wt_check "down from the first name wraps to the last" wt_wait_state prompt_text sample.hrz
wt_key Escape
wt_check "ESC closes the chooser" wt_wait_state status "$status"
before=$(wt_shot before)
wt_key l Up
wt_check "up steps forwards" wt_wait_state prompt_text bravo.hrz
wt_key Return
wt_check "Enter loads the chosen terrain" wt_wait_state flash "Loaded terrain \`bravo.hrz'."
loaded=$(wt_shot loaded)
wt_check "the new terrain is drawn" test "$(wt_differ "$before" "$loaded" $SCENE)" -gt 1000

wt_key l Up Up
wt_check "the chooser reaches corrupt.hrz" wt_wait_state prompt_text corrupt.hrz
wt_key Return
wt_check "a bad file is reported in the window" wt_wait_state flash "Could not load terrain \`corrupt.hrz'."
wt_check "the reader's message is on standard error" grep -q "corrupt.hrz" "$WT_DIR/stderr"
wt_key x
wt_check "the status line is back" wt_wait_state status "$status"
wt_check "the terrain drawn is still bravo.hrz" test "$(wt_differ "$loaded" "$(wt_shot kept)" $SCENE)" -lt 2000

# The current file deleted: a recomputation says so and keeps the grid.
rm "$WT_DIR/bravo.hrz"
gone="Could not load terrain \`bravo.hrz'."
wt_key Up
wt_check "a sun step on a deleted terrain is reported" wt_wait_state flash "$gone"
wt_check "the status line follows the sun" wt_state_is status "${status/45,180/50,180}"

# No terrain files left: the chooser is a text line.
rm "$WT_DIR"/*.hrz
wt_key l
wt_check "with no files the chooser shows no name" wt_wait_state prompt_text ""
wt_type missing.hrz
wt_check "a name can be typed" wt_wait_state prompt_text missing.hrz
wt_key Return
wt_check "a missing typed name is reported" wt_wait_state flash "Could not load terrain \`missing.hrz'."
wt_quit
wt_finish
