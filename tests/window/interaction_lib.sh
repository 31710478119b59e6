# Helpers for driving the program as a user does: reading the status line,
# the prompt and the flash messages, choosing sky menu entries, dragging with
# the mouse and measuring what changed in a screenshot. Built on lib.sh.
#
#   ia_shot NAME                       screenshot $WT_DIR/NAME.png; prints its path
#   ia_wait_status TEXT [S]            waits until the status line reads TEXT
#   ia_wait_top TEXT [S]               waits until the message line at the top contains TEXT
#   ia_wait_prompt TEXT [S]            waits until the prompt line contains TEXT
#   ia_menu_choose INDEX               right click, then the menu entry INDEX (0-based)
#   ia_drag BUTTON X0 Y0 X1 Y1 [N]     drag in N steps with a button held
#   ia_click BUTTON X Y                press and release without moving
#   ia_count FILE GEOMETRY A B PCT     pixels where channel A exceeds channel B by PCT %
#   ia_differ FILE1 FILE2 [GEOMETRY]   number of differing pixels
#   ia_blank FILE GEOMETRY             the region holds one colour only (no text)
#   ia_wait_change REF [S]             waits until the screen differs from
#                                      screenshot REF, then until it settles
#   ia_alive                           the program is still running
#   ia_wait_exit S                     waits up to S seconds for the program to
#                                      end; sets IA_EXIT_STATUS ("timeout" if not)
#
# OCR of the 8 x 13 font confuses "," with "." now and then; texts are
# compared with "." read as "," and runs of blanks as one.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# The window within a screenshot of the whole screen.
IA_WINDOW=1351x1339+0+0

ia_shot() {
  local file="$WT_DIR/$1.png"
  wt_screenshot "$file"
  echo "$file"
}

ia_fold() { tr '.' ',' | tr -s ' '; }

ia_alive() { wt_alive "$HALVANE_PID"; }

# Runs in the test's own shell, not in a command substitution: only the
# shell that started the program can collect its exit status.
ia_wait_exit() {
  local deadline=$((SECONDS + $1))
  while wt_alive "$HALVANE_PID" && [ "$SECONDS" -lt "$deadline" ]; do sleep 0.1; done
  if wt_alive "$HALVANE_PID"; then
    IA_EXIT_STATUS=timeout
    return
  fi
  IA_EXIT_STATUS=0
  wait "$HALVANE_PID" || IA_EXIT_STATUS=$?
  HALVANE_PID=""
}

ia_blank() {
  [ "$(/usr/bin/convert "$1" -crop "$2" +repage -format %k info:)" = 1 ]
}

# Polls screenshots for up to S seconds (default 10) until READER (a function
# given the screenshot) prints text that MATCH (a function given the folded
# text and the folded expectation) accepts. Prints the last text read.
ia_wait_text() {
  local reader="$1" match="$2" want="$3" seconds="${4:-10}"
  local got="" deadline=$((SECONDS + seconds)) shot="$WT_DIR/text.png"
  want=$(ia_fold <<<"$want")
  while :; do
    wt_screenshot "$shot"
    got=$("$reader" "$shot" | ia_fold)
    if "$match" "$got" "$want"; then
      echo "$got"
      return 0
    fi
    [ "$SECONDS" -ge "$deadline" ] && break
    sleep 0.2
  done
  wt_log "read \"$got\", wanted \"$want\"" >&2
  echo "$got"
  return 1
}

ia_equal() { [ "$1" = "$2" ]; }
ia_contains() { [[ "$1" == *"$2"* ]]; }

ia_read_status() { wt_status_line "$1" 100; }
# Messages are centred, their first line 40 pixels below the window's top.
ia_read_top() { wt_ocr "$1" 0 24 1351 20; }
# The open prompt's question and text, on the same line as the messages.
ia_read_prompt() { ia_read_top "$1"; }

ia_wait_status() { ia_wait_text ia_read_status ia_equal "$1" "${2:-10}" >/dev/null; }
ia_wait_top() { ia_wait_text ia_read_top ia_contains "$1" "${2:-10}" >/dev/null; }
ia_wait_prompt() { ia_wait_text ia_read_prompt ia_contains "$1" "${2:-10}" >/dev/null; }

# The right button opens freeglut's menu where the pointer is; its entries are
# equally tall. The entry is chosen by releasing the button over it.
ia_menu_choose() {
  local index="$1" menu="" X Y WIDTH HEIGHT SCREEN WINDOW
  xdotool mousemove --sync 675 670 mousedown 3
  for _ in $(seq 50); do
    menu=$(xdotool search --onlyvisible --name '^freeglut menu$' 2>/dev/null | head -n1)
    [ -n "$menu" ] && break
    sleep 0.1
  done
  if [ -z "$menu" ]; then
    xdotool mouseup 3
    wt_log "the sky menu did not open"
    return 1
  fi
  eval "$(xdotool getwindowgeometry --shell "$menu")"
  local x=$((X < 0 ? 20 : X + 20))
  local y=$((Y + (2 * index + 1) * HEIGHT / 40))
  xdotool mousemove --sync "$x" $((y - 2))
  sleep 0.1
  xdotool mousemove --sync "$x" "$y"
  sleep 0.1
  xdotool mouseup 3
}

ia_drag() {
  local button="$1" x0="$2" y0="$3" x1="$4" y1="$5" steps="${6:-10}"
  xdotool mousemove --sync "$x0" "$y0" mousedown "$button"
  for i in $(seq "$steps"); do
    xdotool mousemove --sync $((x0 + (x1 - x0) * i / steps)) $((y0 + (y1 - y0) * i / steps))
    sleep 0.02
  done
  xdotool mouseup "$button"
}

ia_click() {
  xdotool mousemove --sync "$2" "$3" mousedown "$1"
  sleep 0.05
  xdotool mouseup "$1"
}

# Counts the pixels of a region where channel A (0 red, 1 green, 2 blue) is
# more than PCT per cent of full scale above channel B.
ia_count() {
  local file="$1" geometry="$2" a="$3" b="$4" pct="$5"
  /usr/bin/convert "$file" -crop "$geometry" +repage -channel RGB -separate +channel \
    \( -clone "$a" \) \( -clone "$b" \) -delete 0-2 -compose minus_src -composite \
    -threshold "$pct%" -format "%[fx:round(mean*w*h)]" info:
}

ia_differ() {
  local geometry="${3:-$IA_WINDOW}" a="$WT_DIR/differ-a.png" b="$WT_DIR/differ-b.png"
  /usr/bin/convert "$1" -crop "$geometry" +repage "$a"
  /usr/bin/convert "$2" -crop "$geometry" +repage "$b"
  /usr/bin/compare -metric AE "$a" "$b" null: 2>&1 | sed 's/ .*//'
}

# Waits until nothing changes on screen any more (two equal screenshots in a
# row), at most S seconds (default 10): the program has handled what it was
# sent.
ia_settle() {
  local deadline=$((SECONDS + ${1:-10})) before="$WT_DIR/settle-a.png"
  local after="$WT_DIR/settle-b.png"
  wt_screenshot "$before"
  while [ "$SECONDS" -lt "$deadline" ]; do
    sleep 0.3
    wt_screenshot "$after"
    [ "$(ia_differ "$before" "$after")" = 0 ] && return 0
    cp "$after" "$before"
  done
  return 1
}

ia_wait_change() {
  local ref="$1" deadline=$((SECONDS + ${2:-30})) now="$WT_DIR/change.png"
  while [ "$SECONDS" -lt "$deadline" ]; do
    wt_screenshot "$now"
    if [ "$(ia_differ "$ref" "$now")" != 0 ]; then
      ia_settle
      return 0
    fi
    sleep 0.2
  done
  wt_log "the screen did not change" >&2
  return 1
}
