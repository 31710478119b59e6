#!/usr/bin/env bash
# The key commands as a user meets them (the help screen also read by OCR);
# then a few hundred random keys, clicks, drags and menu choices, after which
# the program still answers.
source "$(dirname "$0")/lib.sh"
wt_setup
cp "$WT_DIR/sample.hrz" "$WT_DIR/other.hrz"
wt_launch

# Each row: the keys, then the status line after them (the sky keys are
# prompts_test's, whose files carry the sky).
while IFS='|' read -r keys status; do
  wt_key $keys
  wt_check "after $keys the status line reads \"$status\"" wt_wait_state status "$status"
done <<'EOF'
Up|CLEAR distribution, 250 points, sun (50,180)
Left|CLEAR distribution, 250 points, sun (50,185)
Right Down|CLEAR distribution, 250 points, sun (45,180)
plus|CLEAR distribution, 300 points, sun (45,180)
equal|CLEAR distribution, 350 points, sun (45,180)
minus underscore|CLEAR distribution, 250 points, sun (45,180)
EOF
default="CLEAR distribution, 250 points, sun (45,180)"

# OCR of the 8 x 13 font may read "," as "." and merge blanks.
read_text() { wt_ocr "$@" | tr '.' ',' | tr -s ' '; }

wt_key W
wt_check "W is refused" wt_wait_state flash "Unrecognized key.  Press \`?' for help."

wt_key o
wt_check "o before p asks for p" \
  wt_wait_state flash "Before outputting sample points, compute them by pressing \`p'."
wt_check "o before p opens no prompt" wt_state_is prompt ""

wt_key question
wt_check "? shows the help screen" wt_wait_state help 1
help=$(wt_shot help)
first=$(read_text "$help" 0 24 1351 20)
wt_check "the help screen starts with the mouse line, read \"$first\"" \
  test "$first" = "MOUSE right click to select sky distribution,"
mid=$(read_text "$help" 360 314 200 18)
wt_check "the help screen lists q or ESC, read \"$mid\"" test "$mid" = "q or ESC quit"
wt_check "below the help text no scene and no status line are drawn" wt_blank "$help" 1351x900+0+439
# Ctrl alone must not count; Ctrl-U only leaves the help screen.
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

# Random use (fixed seed): keys in batches, clicks, drags, menu choices. A
# quit key is always followed by another key, so none is confirmed.
RANDOM=20261206
keys=(j i l o t h r p plus equal minus underscore question ctrl+u ctrl+o ctrl+c ctrl+s ctrl+g
      Left Right Up Down F11 W n 5 Return Tab BackSpace x a period Home F1 shift+a)
pending=()
send_pending() { [ "${#pending[@]}" -eq 0 ] || wt_key "${pending[@]}"; pending=(); }
for _ in $(seq 300); do
  wt_alive "$HALVANE_PID" || break
  choice=$((RANDOM % 20)) x=$((RANDOM % 1351)) y=$((RANDOM % 1339))
  [ "$choice" -lt 15 ] || send_pending
  case "$choice" in
    14) pending+=("$([ $((RANDOM % 2)) = 0 ] && echo q || echo Escape)" x) ;;
    15 | 16) wt_click $((RANDOM % 2 + 1)) "$x" "$y" ;;
    17 | 18) wt_drag $((RANDOM % 2 + 1)) "$x" "$y" $((RANDOM % 1351)) $((RANDOM % 1339)) 4 ;;
    19) wt_menu_choose $((RANDOM % 20)) ;;
    *) pending+=("${keys[RANDOM % ${#keys[@]}]}") ;;
  esac
  [ "${#pending[@]}" -lt 8 ] || send_pending
done
send_pending
# A click at a place the sequence never clicked comes after all of it.
wt_check "the program handles the whole random sequence" wt_click 1 2 2
# Whatever state it left (help, a prompt, the quit question), ESC and two
# more keys bring back the scene.
wt_key Escape x x ctrl+o
wt_check "the program answers keys" wt_wait_state_like status "OVERCAST distribution*"
wt_key ctrl+u
wt_check "and takes the next command" wt_wait_state_like status "UNIFORM distribution*"
wt_quit
wt_finish
