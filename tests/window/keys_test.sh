#!/usr/bin/env bash
# The key commands as a user meets them: the status line follows the
# distribution keys, the arrow keys and the number of points; refused keys,
# `o` before `p`, the help screen, and quitting with confirmation. The
# refusal and the help screen are also read by OCR, as a user reads them.
source "$(dirname "$0")/lib.sh"
wt_setup
wt_launch

# Each row: the keys, then the status line after them.
while IFS='|' read -r keys status; do
  wt_key $keys
  wt_check "after $keys the status line reads \"$status\"" wt_wait_state status "$status"
done <<'EOF'
ctrl+u|UNIFORM distribution, 250 points, sun (45,180)
ctrl+o|OVERCAST distribution, 250 points, sun (45,180)
ctrl+s|SHARP distribution, 250 points, sun (45,180) aaaspecularity 250, ambient 0.1
ctrl+g|GENERAL TYPE 12 distribution, 250 points, sun (45,180)
ctrl+c|CLEAR distribution, 250 points, sun (45,180)
Up|CLEAR distribution, 250 points, sun (50,180)
Left|CLEAR distribution, 250 points, sun (50,185)
Right Down|CLEAR distribution, 250 points, sun (45,180)
plus|CLEAR distribution, 300 points, sun (45,180)
equal|CLEAR distribution, 350 points, sun (45,180)
minus underscore|CLEAR distribution, 250 points, sun (45,180)
EOF
default="CLEAR distribution, 250 points, sun (45,180)"

# OCR of the 8 x 13 font confuses "," with "." now and then, and may merge
# blanks: texts read are compared with "." as "," and runs of blanks as one.
read_text() { wt_ocr "$@" | tr '.' ',' | tr -s ' '; }

refused="Unrecognized key.  Press \`?' for help."
wt_key W
wt_check "W is refused" wt_wait_state flash "$refused"
refusal=$(read_text "$(wt_shot refused)" 0 24 1351 20)
# OCR reads the quotes round the question mark poorly.
wt_check "the refusal is shown at the top, read \"$refusal\"" \
  eval '[[ "$refusal" == "Unrecognized key, Press "*" for help," ]]'
wt_key 5
wt_check "a digit is refused" wt_wait_state flash "$refused"

wt_key o
wt_check "o before p asks for p" \
  wt_wait_state flash "Before outputting sample points, compute them by pressing \`p'."
wt_check "o before p opens no prompt" wt_state_is prompt ""
wt_key Return
wt_check "after o, Return is refused" wt_wait_state flash "$refused"
wt_check "o before p writes no file" test -z "$(find "$WT_DIR" -name '*.txt')"

wt_key question
wt_check "? shows the help screen" wt_wait_state help 1
help=$(wt_shot help)
first=$(read_text "$help" 0 24 1351 20)
wt_check "the help screen starts with the mouse line, read \"$first\"" \
  test "$first" = "MOUSE right click to select sky distribution,"
mid=$(read_text "$help" 360 314 200 18)
wt_check "the help screen lists q or ESC, read \"$mid\"" test "$mid" = "q or ESC quit"
wt_check "below the help text no scene and no status line are drawn" wt_blank "$help" 1351x900+0+439
wt_check "the report has no status line" wt_state_is status ""
# Ctrl-U while the help is shown: the Ctrl press alone must not count; the
# key itself leaves the help screen and does nothing else.
wt_key ctrl+u
wt_check "a key leaves the help screen" wt_wait_state status "$default"
wt_check "the key that left the help screen was not refused" wt_state_is flash ""
wt_check "the status line is drawn again" \
  test "$(wt_count "$(wt_shot back)" 8 1316 648 18 "r>90 && g>90 && b>90")" -gt 100
# An arrow key leaves the help screen and still acts.
wt_key question
wt_check "? shows the help screen again" wt_wait_state help 1
wt_key Up
wt_check "an arrow leaves the help screen and acts" \
  wt_wait_state status "CLEAR distribution, 250 points, sun (50,180)"

quit="Press \`ESC' or \`q' again to exit.  Press any other key to cancel."
wt_key q
wt_check "q asks for confirmation" wt_wait_state flash "$quit"
wt_key x
wt_check "another key cancels, and is not refused" wt_wait_state flash ""
wt_check "nothing on standard error" test ! -s "$WT_DIR/stderr"
wt_quit
wt_finish
