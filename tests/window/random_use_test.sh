#!/usr/bin/env bash
# A few hundred random keys, clicks, drags and menu choices (fixed seed):
# afterwards the program still runs, answers keys and quits on request. Quit
# keys are always followed by another key, so the sequence never confirms one.
source "$(dirname "$0")/lib.sh"
wt_setup
cp "$WT_DIR/sample.hrz" "$WT_DIR/other.hrz"
wt_launch

RANDOM=20261206
keys=(j i l o t h r p plus equal minus underscore question ctrl+u ctrl+o ctrl+c ctrl+s ctrl+g
      Left Right Up Down F11 W n 5 Return Tab BackSpace x a period Home F1 shift+a)
pending=()
send_pending() { [ "${#pending[@]}" -eq 0 ] || wt_key "${pending[@]}"; pending=(); }

for _ in $(seq 300); do
  wt_alive "$HALVANE_PID" || break
  choice=$((RANDOM % 20))
  if [ "$choice" -lt 14 ]; then
    pending+=("${keys[RANDOM % ${#keys[@]}]}")
  elif [ "$choice" -lt 15 ]; then
    if [ $((RANDOM % 2)) = 0 ]; then pending+=(q x); else pending+=(Escape x); fi
  else
    send_pending
    x=$((RANDOM % 1351)) y=$((RANDOM % 1339))
    case "$choice" in
      15 | 16) wt_click $((RANDOM % 2 + 1)) "$x" "$y" ;;
      17 | 18) wt_drag $((RANDOM % 2 + 1)) "$x" "$y" $((RANDOM % 1351)) $((RANDOM % 1339)) 4 ;;
      19) wt_menu_choose $((RANDOM % 20)) ;;
    esac
  fi
  [ "${#pending[@]}" -lt 8 ] || send_pending
done
send_pending
# A click at a place the sequence never clicked: its frame comes after every
# event of the sequence was handled.
wt_check "the program handles the whole random sequence" wt_click 1 2 2
# Whatever state the sequence left (help screen, an open prompt, the quit
# question), ESC and two more keys bring it back to the scene.
wt_key Escape x x ctrl+o
wt_check "the program answers keys" wt_wait_state_like status "OVERCAST distribution*"
wt_key ctrl+u
wt_check "and takes the next command" wt_wait_state_like status "UNIFORM distribution*"
wt_quit
wt_finish
