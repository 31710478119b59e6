# Helpers for driving the program with the mouse as a user does: clicks,
# drags and sky menu choices, and comparing screenshots. Built on lib.sh;
# like its keys, each of these notes the mark first, so a wt_wait_state
# afterwards waits for the frame that followed it.
#
#   ia_shot NAME                       screenshot $WT_DIR/NAME.ppm; prints its path
#   ia_click BUTTON X Y                press and release without moving; waits
#                                      for the frame of the pick
#   ia_drag BUTTON X0 Y0 X1 Y1 [N]     drag in N steps with a button held; waits
#                                      for the frame of the last step
#   ia_menu_choose INDEX               right click, then the menu entry INDEX (0-based)
#   ia_differ FILE1 FILE2 [GEOMETRY]   number of differing pixels
#   ia_blank FILE GEOMETRY             the region holds one colour only (no text)
#   ia_alive                           the program is still running
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# The window within a screenshot of the whole screen.
IA_WINDOW=1351x1339+0+0

ia_shot() {
  local file="$WT_DIR/$1.ppm"
  wt_screenshot "$file"
  echo "$file"
}

ia_alive() { wt_alive "$HALVANE_PID"; }

ia_blank() {
  [ "$(/usr/bin/convert "$1" -crop "$2" +repage -format %k info:)" = 1 ]
}

ia_differ() {
  local geometry="${3:-$IA_WINDOW}"
  /usr/bin/compare -metric AE "$1[$geometry]" "$2[$geometry]" null: 2>&1 | sed 's/ .*//'
}

# A click ends in a pick, and every pick in a frame; the report's mouse
# position tells that frame from earlier ones.
ia_click() {
  wt_mark
  xdotool mousemove "$2" "$3" mousedown "$1" mouseup "$1"
  wt_wait_state mouse "$2 $3"
}

# Every step of a drag asks for a frame; the frame showing the last step's
# position comes after every step was handled.
ia_drag() {
  local button="$1" x0="$2" y0="$3" x1="$4" y1="$5" steps="${6:-10}"
  local moves=()
  for i in $(seq "$steps"); do
    moves+=(mousemove $((x0 + (x1 - x0) * i / steps)) $((y0 + (y1 - y0) * i / steps)))
  done
  wt_mark
  xdotool mousemove "$x0" "$y0" mousedown "$button" "${moves[@]}" mouseup "$button"
  wt_wait_state mouse "$x1 $y1"
}

# The right button opens freeglut's menu where the pointer is; its entries are
# equally tall. The pointer moves onto the entry (twice, so that the menu sees
# a motion over it) and the button is released there.
ia_menu_choose() {
  local index="$1" menu="" X Y WIDTH HEIGHT SCREEN WINDOW
  wt_mark
  xdotool mousemove 675 670 mousedown 3
  for _ in $(seq 600); do
    menu=$(xdotool search --onlyvisible --name '^freeglut menu$' 2>/dev/null | head -n1)
    [ -n "$menu" ] && break
    ia_alive || break
    sleep 0.05
  done
  if [ -z "$menu" ]; then
    xdotool mouseup 3
    wt_log "the sky menu did not open"
    return 1
  fi
  eval "$(xdotool getwindowgeometry --shell "$menu")"
  local x=$((X < 0 ? 20 : X + 20))
  local y=$((Y + (2 * index + 1) * HEIGHT / 40))
  xdotool mousemove "$x" $((y - 2)) mousemove "$x" "$y" mouseup 3
}
