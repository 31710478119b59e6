#!/usr/bin/env bash
# The key commands as a user meets them: the status line follows the
# distribution keys, the arrow keys and the number of points; refused keys,
# the help screen, `o` before `p`, and quitting with confirmation. The
# refusal and the help screen are also read by OCR, as a user reads them.
source "$(dirname "$0")/interaction_lib.sh"
wt_setup

wt_start_halvane
wt_check "first frame drawn" wt_wait_first_frame || wt_finish

status_after() {
  local want="$1"
  shift
  wt_key "$@"
  wt_check "after $* the status line reads \"$want\"" wt_wait_state status "$want"
}

# OCR of the 8 x 13 font confuses "," with "." now and then, and may merge
# blanks: texts read are compared with "." as "," and runs of blanks as one.
fold() { tr '.' ',' | tr -s ' '; }
read_top() { wt_ocr "$1" 0 24 1351 20 | fold; }

# ---- Distribution keys ---------------------------------------------------------
status_after "UNIFORM distribution, 250 points, sun (45,180)" ctrl+u
status_after "OVERCAST distribution, 250 points, sun (45,180)" ctrl+o
status_after "SHARP distribution, 250 points, sun (45,180) aaaspecularity 250, ambient 0.1" ctrl+s
status_after "GENERAL TYPE 12 distribution, 250 points, sun (45,180)" ctrl+g
status_after "CLEAR distribution, 250 points, sun (45,180)" ctrl+c

# ---- Arrow keys: five degrees a step; the bearing turns the other way -----------
status_after "CLEAR distribution, 250 points, sun (50,180)" Up
status_after "CLEAR distribution, 250 points, sun (50,185)" Left
status_after "CLEAR distribution, 250 points, sun (45,180)" Right Down

# ---- Number of points --------------------------------------------------------------
status_after "CLEAR distribution, 300 points, sun (45,180)" plus
status_after "CLEAR distribution, 350 points, sun (45,180)" equal
status_after "CLEAR distribution, 250 points, sun (45,180)" minus underscore

# ---- Refused keys ---------------------------------------------------------------------
refused="Unrecognized key.  Press \`?' for help."
wt_key W
wt_check "W is refused" wt_wait_state flash "$refused"
refusal=$(read_top "$(ia_shot refused)")
# OCR reads the quotes round the question mark poorly.
wt_check "the refusal is shown at the top, read \"$refusal\"" \
  eval '[[ "$refusal" == "Unrecognized key, Press "*" for help," ]]'
wt_key 5
wt_check "a digit is refused" wt_wait_state flash "$refused"

# ---- `o` before `p` -------------------------------------------------------------------------
wt_key o
wt_check "o before p asks for p" \
  wt_wait_state flash "Before outputting sample points, compute them by pressing \`p'."
wt_check "o before p opens no prompt" wt_state_is prompt ""
wt_key Return
wt_check "after o, Return is refused" wt_wait_state flash "$refused"
wt_check "o before p leaves the status line" \
  wt_state_is status "CLEAR distribution, 250 points, sun (45,180)"
wt_check "o before p writes no file" test -z "$(find "$WT_DIR" -name '*.txt')"

# ---- Help screen ----------------------------------------------------------------------------
wt_key question
wt_check "? shows the help screen" wt_wait_state help 1
help=$(ia_shot help)
first=$(read_top "$help")
wt_check "the help screen starts with the mouse line, read \"$first\"" \
  test "$first" = "MOUSE right click to select sky distribution,"
mid=$(wt_ocr "$help" 360 314 200 18 | fold)
wt_check "the help screen lists q or ESC, read \"$mid\"" test "$mid" = "q or ESC quit"
wt_check "the help frame has no status line" ia_blank "$help" 1351x40+0+1299
# Ctrl-U while the help is shown: the Ctrl press alone must not count, the
# key itself leaves the help screen and does nothing else.
wt_key ctrl+u
wt_check "a key leaves the help screen" \
  wt_wait_state status "CLEAR distribution, 250 points, sun (45,180)"
wt_check "the key that left the help screen was not refused" wt_state_is flash ""

# An arrow key leaves the help screen and still acts.
wt_key question
wt_check "? shows the help screen again" wt_wait_state help 1
status_after "CLEAR distribution, 250 points, sun (50,180)" Up
status_after "CLEAR distribution, 250 points, sun (45,180)" Down

# ---- Quit ---------------------------------------------------------------------------------
quit="Press \`ESC' or \`q' again to exit.  Press any other key to cancel."
wt_key q
wt_check "q asks for confirmation" wt_wait_state flash "$quit"
wt_key x
wt_check "the cancelling key is not refused" wt_wait_state flash ""
wt_check "q then x does not exit" ia_alive
wt_key q
wt_check "q asks again" wt_wait_state flash "$quit"
wt_key Escape
wt_wait_exit 10
wt_check "q then ESC exits with status 0, got $WT_EXIT_STATUS" test "$WT_EXIT_STATUS" = 0
wt_check "nothing on standard error" test ! -s "$WT_DIR/stderr"
wt_finish
