#!/usr/bin/env bash
# What the user sees change: `p` shows the sample points in their class
# colours with red region outlines, `r`, `t`, `h` and `i` switch parts of the
# scene, the sky menu changes the sky, and the mouse turns, zooms, pans and
# dollies the view; a click without a drag changes nothing in the view.
source "$(dirname "$0")/interaction_lib.sh"
wt_setup

wt_start_halvane
wt_check "first frame drawn" wt_wait_first_frame || wt_finish
# The scene without the message lines at the top and the bottom.
SCENE=1351x1240+0+50
DOME=1000x700+175+150
# Two frames of the same view may differ in a few hundred pixels along the
# terrain block's vertical edges; a change of view changes far more.
SAME=2000

# Red outlines: red well above green. Class colours run from dark blue to
# dark red: blue or red well above green.
reddish() { wt_count "$1" 175 150 1000 700 "r-g>30"; }
bluish() { wt_count "$1" 175 150 1000 700 "b-g>20"; }
# Sends keys and waits for the frame whose report has FIELD = VALUE.
after() {
  local field="$1" value="$2"
  shift 2
  wt_key "$@"
  wt_wait_state "$field" "$value" || wt_fail "no frame with $field $value after $*"
}

after flash "Unrecognized key.  Press \`?' for help." x  # a frame without the greeting
start=$(ia_shot start)
wt_check "no outlines or points before p" test "$(reddish "$start")" -lt 50 -a "$(bluish "$start")" -lt 50

# ---- Sample points and regions -------------------------------------------------------
wt_key p
wt_check "p computes and shows the sample points" wt_wait_state points 250 120
wt_check "p shows the regions" wt_state_is regions 1
points=$(ia_shot points)
red=$(reddish "$points")
blue=$(bluish "$points")
wt_log "after p: $red reddish and $blue bluish pixels"
wt_check "the regions are outlined in red" test "$red" -gt 2000
wt_check "points of the dim classes are blue" test "$blue" -gt 200
# The bright classes are red and orange too: hiding the outlines leaves them.
after regions 0 r
hidden=$(ia_shot hidden)
wt_check "r hides the outlines" test "$(reddish "$hidden")" -lt $((red / 2))
wt_check "r keeps the points" test "$(bluish "$hidden")" -gt $((blue / 2))
after regions 1 r
wt_check "r shows the outlines again" test "$(ia_differ "$points" "$(ia_shot shown)" "$SCENE")" -lt "$SAME"

# ---- Terrain, dome and contour lines ---------------------------------------------------
after terrain 0 t
no_terrain=$(ia_shot no-terrain)
wt_check "t hides the terrain" test "$(ia_differ "$points" "$no_terrain" "$SCENE")" -gt 10000
after dome 0 t h
wt_check "t again shows the terrain" wt_state_is terrain 1
no_dome=$(ia_shot no-dome)
wt_check "h hides the dome: the sky is background" \
  test "$(wt_pixel "$no_dome" 675 250)" = 102,153,102
after contours 1 h i
wt_check "h again shows the dome" wt_state_is dome 1
contours=$(ia_shot contours)
wt_check "i draws the contour lines" test "$(ia_differ "$points" "$contours" "$DOME")" -gt 1000
after contours 0 i
wt_check "i hides them again" test "$(ia_differ "$points" "$(ia_shot plain)" "$SCENE")" -lt "$SAME"

# ---- Sky menu ------------------------------------------------------------------------------
ia_menu_choose 4
wt_check "the menu's fifth entry is Turbid" wt_wait_state status "TURBID distribution, 250 points, sun (45,180)"
ia_menu_choose 16
wt_check "the menu's general type 12" wt_wait_state status "GENERAL TYPE 12 distribution, 250 points, sun (45,180)"
ia_menu_choose 0
wt_check "the menu's first entry is Uniform" wt_wait_state status "UNIFORM distribution, 250 points, sun (45,180)"
wt_key o
wt_check "after a menu choice o asks for p" \
  wt_wait_state flash "Before outputting sample points, compute them by pressing \`p'."
wt_check "a menu choice hides the points and outlines" \
  test "$(wt_state points) $(wt_state regions)" = "0 0"
menu_done=$(ia_shot menu-done)
wt_check "no points or outlines are drawn" \
  test "$(reddish "$menu_done")" -lt 50 -a "$(bluish "$menu_done")" -lt 50

# ---- A click without a drag -------------------------------------------------------------------
wt_check "a click is handled" ia_click 1 900 500
clicked=$(ia_shot clicked)
wt_check "a click changes nothing in the view" \
  test "$(ia_differ "$menu_done" "$clicked" "$SCENE")" -lt "$SAME"

# ---- Left drag turns, within limits ------------------------------------------------------------
# Dragging up lowers the eye towards the ground. However far, it stops there:
# the dome's base is then seen edge-on, a straight line (from above or below
# it would be an ellipse, lowest in the middle).
for _ in 1 2 3 4 5 6; do ia_drag 1 675 1200 675 100 20 || wt_fail "a left drag was not handled"; done
lower=$(ia_shot lower)
wt_check "a left drag turns the view" test "$(ia_differ "$clicked" "$lower" "$SCENE")" -gt 10000
# Lowest row of the scene that is not background in a 5-pixel-wide column.
lowest_row() {
  /usr/bin/convert "$lower" -crop "5x1240+$1+50" +repage -fuzz 2% -trim -format '%[fx:h+page.y]' info:
}
middle=$(lowest_row 675)
left=$(lowest_row 250)
right=$(lowest_row 1100)
wt_log "lowest dome rows: $left (left), $middle (middle), $right (right)"
wt_check "the eye stops at the ground: the dome's base is seen edge-on" \
  test $((middle - left)) -le 12 -a $((left - middle)) -le 12 -a $((middle - right)) -le 12 \
  -a $((right - middle)) -le 12

# ---- Middle drag zooms ---------------------------------------------------------------------------
# F11 switches the mouse mode without drawing; the drag after it is handled
# after it.
wt_key F11 F11
wt_check "a middle drag is handled" ia_drag 2 675 600 675 800
zoomed=$(ia_shot zoomed)
wt_check "a middle drag zooms" test "$(ia_differ "$lower" "$zoomed" "$SCENE")" -gt 10000

# ---- After F11: pan and dolly ---------------------------------------------------------------------
wt_key F11
wt_check "a left drag is handled" ia_drag 1 675 600 775 600
panned=$(ia_shot panned)
wt_check "a left drag pans after F11" test "$(ia_differ "$zoomed" "$panned" "$SCENE")" -gt 10000
wt_check "a middle drag is handled" ia_drag 2 675 600 675 550
dollied=$(ia_shot dollied)
wt_check "a middle drag dollies after F11" test "$(ia_differ "$panned" "$dollied" "$SCENE")" -gt 10000

wt_check "the program keeps running" ia_alive
wt_check "nothing on standard error" test ! -s "$WT_DIR/stderr"
wt_key q Escape
wt_wait_exit 10
wt_check "exits with status 0, got $WT_EXIT_STATUS" test "$WT_EXIT_STATUS" = 0
wt_finish
