#!/usr/bin/env bash
# The key commands as a user meets them: the status line follows the
# distribution keys, the arrow keys and the number of points; refused keys,
# the help screen, `o` before `p`, and quitting with confirmation.
source "$(dirname "$0")/interaction_lib.sh"
wt_setup

wt_start_halvane
wt_wait_window || wt_finish
wt_check "first frame drawn" wt_wait_pixel 40 40 102,153,102

status_after() {
  local want="$1"
  shift
  wt_key "$@"
  wt_check "after $* the status line reads \"$want\"" ia_wait_status "$want"
}

# ---- Distribution keys ---------------------------------------------------------
status_after "UNIFORM distribution, 250 points, sun (45,180)" ctrl+u
status_after "OVERCAST distribution, 250 points, sun (45,180)" ctrl+o
wt_key ctrl+s
sharp=$(ia_wait_text ia_read_status ia_contains "SHARP distribution, 250 points, sun")
wt_check "after ctrl+s the status line names SHARP and its parameters, got \"$sharp\"" \
  ia_contains "$sharp" "aaaspecularity 250, ambient 0"
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
wt_key W
wt_check "W is refused" ia_wait_top "Unrecognized key,  Press"
wt_key 5
wt_check "a digit is refused" ia_wait_top "Unrecognized key,  Press"

# ---- `o` before `p` -------------------------------------------------------------------------
wt_key o
wt_check "o before p asks for p" ia_wait_top "compute them by pressing"
wt_key Return
sleep 0.5
wt_check "o before p writes no file" test -z "$(find "$WT_DIR" -name '*.txt')"
wt_check "o before p leaves the status line" \
  ia_wait_status "CLEAR distribution, 250 points, sun (45,180)"

# ---- Help screen ----------------------------------------------------------------------------
wt_key question
wt_check "? shows the help text" ia_wait_top "MOUSE    right click to select sky distribution,"
help=$(ia_shot help)
wt_check "the help frame has no status line" ia_blank "$help" 1351x40+0+1299
mid=$(wt_ocr "$help" 360 314 200 18 | ia_fold)
wt_check "the help frame lists q or ESC, got \"$mid\"" ia_contains "$mid" "q or ESC quit"
# Ctrl-U while the help is shown: the Ctrl press alone must not count, the
# key itself leaves the help screen and does nothing else.
wt_key ctrl+u
wt_check "a key leaves the help screen" \
  ia_wait_status "CLEAR distribution, 250 points, sun (45,180)"
back=$(ia_shot back)
wt_check "the key that left the help screen was not refused" ia_blank "$back" 1351x30+0+20

# An arrow key leaves the help screen and still acts.
wt_key question
wt_check "? shows the help text again" ia_wait_top "MOUSE    right click"
status_after "CLEAR distribution, 250 points, sun (50,180)" Up
status_after "CLEAR distribution, 250 points, sun (45,180)" Down

# ---- Quit ---------------------------------------------------------------------------------
wt_key q
wt_check "q asks for confirmation" ia_wait_top "again to exit,  Press any other key to cancel,"
wt_key x
sleep 1
wt_check "q then x does not exit" ia_alive
cancelled=$(ia_shot cancelled)
wt_check "the cancelling key is not refused" ia_blank "$cancelled" 1351x30+0+20
wt_key q
wt_check "q asks again" ia_wait_top "again to exit"
wt_key Escape
ia_wait_exit 10
wt_check "q then ESC exits with status 0, got $IA_EXIT_STATUS" test "$IA_EXIT_STATUS" = 0
wt_check "nothing on standard error" test ! -s "$WT_DIR/stderr"
wt_finish
