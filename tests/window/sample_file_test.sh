#!/usr/bin/env bash
# Writing the sample point file from the window: `p`, then `o`, a name and
# Enter give, byte for byte, what halvane-samples writes for the same sky,
# sun, number of points and share rule. The states are reached with keys
# whose sun angles the tool's degree conversion gives exactly (the default
# and one or two elevation steps up). Also Tab completion and editing in the
# prompt, ESC, an empty name and a name that cannot be written.
source "$(dirname "$0")/lib.sh"
: "${HALVANE_SAMPLES:?HALVANE_SAMPLES must name the sample point tool}"
wt_setup
wt_launch
question="Enter a file name to output the sample points: "
mkdir "$WT_DIR/expected"  # the tool writes outside the folder the prompt lists

# open_prompt KEYS...: the keys end in `o`; waits for the output prompt.
open_prompt() { wt_key "$@"; wt_check "$* opens the output prompt" wt_wait_state prompt "$question" 120; }
type_name() { wt_type "$1"; wt_check "the prompt shows \"$1\"" wt_wait_state prompt_text "$1"; }
# Confirms NAME and compares the file with the tool's for the options given.
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
# Tab completes and echoes the names it examined; BackSpace edits.
open_prompt ctrl+s p o
: >"$WT_DIR/stdout"
type_name def
wt_key Tab
wt_check "Tab completes to default.txt" wt_wait_state prompt_text "default.txt"
wt_check "Tab writes the names it examined" grep -qx "default.txt" "$WT_DIR/stdout"
wt_key $(printf 'BackSpace %.0s' $(seq 11))
wt_check "BackSpace empties the text" wt_wait_state prompt_text ""
type_name sharp.txt
confirm_and_compare sharp.txt --sky sharp --sun 45,180 --points 250 --shares equal
write_state "ctrl+c Up" up1.txt --sky clear --sun 50,180 --points 250 --shares equal
write_state Up up2.txt --sky clear --sun 55,180 --points 250 --shares equal
write_state "Down Down plus" more.txt --sky clear --sun 45,180 --points 300 --shares equal
# Command letters are typed into the name while the prompt is open.
write_state "j ctrl+g" pqt.txt --sky general-12 --sun 45,180 --points 300 --shares luminance

open_prompt o
type_name never.txt
wt_key Escape
wt_check "ESC closes the prompt" wt_wait_state prompt ""
wt_key o Return
wt_check "an empty name records nothing" wt_wait_state_like flash "No sample points were recorded.*"
wt_check "ESC and the empty name wrote no file" test ! -e "$WT_DIR/never.txt"
open_prompt o
type_name no-such-folder/x.txt
wt_key Return
wt_check "a file that cannot be written is reported" \
  wt_wait_state_like flash "Could not record the sample points in*no-such-folder/x.txt*"
wt_quit
wt_finish
