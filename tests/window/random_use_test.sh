#!/usr/bin/env bash
# A few hundred random keys, clicks, drags and menu choices (fixed seed):
# afterwards the program still runs, answers a key and quits on request.
# Quit keys are always followed by another key, so the sequence itself never
# confirms a quit.
source "$(dirname "$0")/interaction_lib.sh"
wt_setup
cp "$WT_DIR/sample.hrz" "$WT_DIR/other.hrz"

wt_start_halvane
wt_check "first frame drawn" wt_wait_first_frame || wt_finish

RANDOM=20261206
keys=(j i l o t h r p plus equal minus underscore question ctrl+u ctrl+o ctrl+c ctrl+s ctrl+g
      Left Right Up Down F11 W n 5 Return Tab BackSpace x a period Home F1 shift+a)
pending=()

send_pending() {
  [ "${#pending[@]}" -gt 0 ] && wt_key "${pending[@]}"
  pending=()
}

for step in $(seq 300); do
  ia_alive || break
  choice=$((RANDOM % 20))
  if [ "$choice" -lt 14 ]; then
    pending+=("${keys[RANDOM % ${#keys[@]}]}")
  elif [ "$choice" -lt 15 ]; then
    # A quit key, cancelled by the next key.
    if [ $((RANDOM % 2)) = 0 ]; then pending+=(q x); else pending+=(Escape x); fi
  else
    send_pending
    x=$((RANDOM % 1351))
    y=$((RANDOM % 1339))
    case "$choice" in
      15 | 16) ia_click $((RANDOM % 2 + 1)) "$x" "$y" ;;
      17 | 18) ia_drag $((RANDOM % 2 + 1)) "$x" "$y" $((RANDOM % 1351)) $((RANDOM % 1339)) 4 ;;
      19) ia_menu_choose $((RANDOM % 20)) ;;
    esac
  fi
  [ "${#pending[@]}" -ge 8 ] && send_pending
done
send_pending
# A click at a place the sequence never clicked: its frame comes after every
# event of the sequence was handled.
wt_check "the program handles the whole random sequence" ia_click 1 2 2
wt_check "the program still runs after the random sequence" ia_alive

# Whatever state the sequence left (help screen, an open prompt, the quit
# question), ESC and two more keys bring it back to the scene.
wt_key Escape x x ctrl+o
wt_check "the program answers keys" wt_wait_state_like status "OVERCAST distribution*"
wt_key ctrl+u
wt_check "and takes the next command" wt_wait_state_like status "UNIFORM distribution*"
wt_key q Escape
wt_wait_exit 30
wt_check "then exits with status 0, got $WT_EXIT_STATUS" test "$WT_EXIT_STATUS" = 0
wt_finish
