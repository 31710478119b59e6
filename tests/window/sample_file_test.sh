#!/usr/bin/env bash
# Writing the sample point file from the window: `p`, then `o`, a name and
# Enter give, byte for byte, what halvane-samples writes for the same sky,
# sun, number of points and share rule. The states are reached with keys
# whose sun angles the tool's degree conversion gives exactly (the default
# and one or two elevation steps up).
source "$(dirname "$0")/interaction_lib.sh"
: "${HALVANE_SAMPLES:?HALVANE_SAMPLES must name the sample point tool}"
wt_setup

wt_start_halvane
wt_check "first frame drawn" wt_wait_first_frame || wt_finish

question="Enter a file name to output the sample points: "
recorded() { wt_wait_state_like flash "Sample points are recorded in*$1*" 30; }

# Computes a set, opens the output prompt, types NAME (with xdotool key
# names in KEYS, if given, instead of the name) and confirms it.
write_from_window() {
  local name="$1"
  wt_key p o
  wt_check "o after p opens the output prompt" wt_wait_state prompt "$question" 120
  wt_type "$name"
  wt_check "the prompt shows $name" wt_wait_state prompt_text "$name"
  wt_key Return
  wt_check "the window confirms $name" recorded "$name"
}

# Compares the window's file with the tool's for the options given (the
# tool writes outside the program's folder, which the prompt lists).
expect_tool_output() {
  local name="$1" expected="$WT_DIR/expected/$1"
  shift
  mkdir -p "$WT_DIR/expected"
  "$HALVANE_SAMPLES" "$@" --set stratified -o "$expected" 2>"$WT_DIR/expected/stderr" ||
    { wt_fail "halvane-samples $* failed: $(cat "$WT_DIR/expected/stderr")"; return; }
  wt_check "$name equals halvane-samples $*" cmp "$WT_DIR/$name" "$expected"
}

# ---- The default sky ----------------------------------------------------------------
write_from_window default.txt
expect_tool_output default.txt --sky clear --sun 45,180 --points 250 --shares equal

# ---- Another distribution, with Tab completion and editing in the prompt -----------------
wt_key ctrl+s p o
wt_check "the output prompt opens" wt_wait_state prompt "$question" 120
: >"$WT_DIR/stdout"
wt_type "def"
wt_check "the prompt shows what was typed" wt_wait_state prompt_text "def"
wt_key Tab
wt_check "Tab completes to default.txt" wt_wait_state prompt_text "default.txt"
wt_check "Tab writes the names it examined" grep -qx "default.txt" "$WT_DIR/stdout"
wt_key $(printf 'BackSpace %.0s' $(seq 11))
wt_check "BackSpace empties the text" wt_wait_state prompt_text ""
wt_type "sharp.txt"
wt_key Return
wt_check "the window confirms sharp.txt" recorded sharp.txt
expect_tool_output sharp.txt --sky sharp --sun 45,180 --points 250 --shares equal

# ---- One and two arrow steps up --------------------------------------------------------------
wt_key ctrl+c Up
write_from_window up1.txt
expect_tool_output up1.txt --sky clear --sun 50,180 --points 250 --shares equal
wt_key Up
write_from_window up2.txt
expect_tool_output up2.txt --sky clear --sun 55,180 --points 250 --shares equal

# ---- More points, then shares by luminance, under general type 12 -----------------------------
wt_key Down Down plus
write_from_window more.txt
expect_tool_output more.txt --sky clear --sun 45,180 --points 300 --shares equal
wt_key j ctrl+g
# Command letters are typed into the name while the prompt is open.
write_from_window pqt.txt
expect_tool_output pqt.txt --sky general-12 --sun 45,180 --points 300 --shares luminance

# ---- ESC writes nothing; an empty name writes nothing -------------------------------------------
wt_key o
wt_check "the output prompt opens" wt_wait_state prompt "$question"
wt_type "never.txt"
wt_check "the prompt shows never.txt" wt_wait_state prompt_text "never.txt"
wt_key Escape
wt_check "ESC closes the prompt" wt_wait_state prompt ""
wt_key o Return
wt_check "an empty name records nothing" \
  wt_wait_state_like flash "No sample points were recorded.*"
wt_check "ESC and the empty name wrote no file" test ! -e "$WT_DIR/never.txt"

# ---- A name that cannot be written ---------------------------------------------------------------
wt_key o
wt_check "the output prompt opens" wt_wait_state prompt "$question"
wt_type "no-such-folder/x.txt"
wt_check "the prompt shows the name" wt_wait_state prompt_text "no-such-folder/x.txt"
wt_key Return
wt_check "a file that cannot be written is reported" \
  wt_wait_state_like flash "Could not record the sample points in*no-such-folder/x.txt*"
wt_check "the program keeps running" ia_alive

wt_key q Escape
wt_wait_exit 10
wt_check "exits with status 0, got $WT_EXIT_STATUS" test "$WT_EXIT_STATUS" = 0
wt_finish
