#!/usr/bin/env bash
# What the user sees change: the greeting lasts two frames; key i draws the
# contour lines in yellow, which without the dome (key h) come with the
# horizon circle and axes; key r shows the regions of the start-up set in red
# without its points; `p` shows the points in their class colours with red
# region outlines; `r` and `t` switch parts of the scene; the sky menu changes
# the sky and hides the set; the mouse turns, zooms, pans and dollies the
# view, and a click without a drag changes nothing in it.
source "$(dirname "$0")/lib.sh"
wt_setup
wt_launch

# shot_after NAME FIELD VALUE KEY...: the keys, the frame whose report has
# FIELD = VALUE, and $shot its screenshot.
shot_after() {
  local name="$1" field="$2" value="$3"
  shift 3
  wt_key "$@"
  wt_check "after $* the report has $field $value" wt_wait_state "$field" "$value"
  shot=$(wt_shot "$name")
}
in_dome() { wt_count "$1" 300 180 750 300 "$2"; }  # the dome's upper half, clear of the terrain
yellow="r>60 && g>60 && r-b>35"  # yellow lines at alpha 0.7 over grey or green
outline="r-g>12 && r-b>12"       # red outlines under the translucent dome
reddish() { wt_count "$1" 175 150 1000 700 "r-g>30"; }
bluish() { wt_count "$1" 175 150 1000 700 "b-g>20"; }
# The scene without the message lines. Two frames of one view may differ in a
# few hundred pixels along the terrain block's edges; a new view in far more.
SCENE=1351x1240+0+50
SAME=2000

shot_after contours contours 1 i
wt_check "key i draws yellow contour lines over the dome" test "$(in_dome "$shot" "$yellow")" -gt 500
shot_after no-dome dome 0 h
wt_check "the greeting is gone after its two frames" \
  test "$(wt_state frame)" -ge 3 -a "$(wt_count "$shot" 560 26 240 20 "r>90 && g>90 && b>90")" = 0
wt_check "without the dome the contour lines remain" test "$(in_dome "$shot" "$yellow")" -gt 500
# The horizon circle passes below the dome's lowest point in front of the camera.
wt_check "without the dome the horizon circle and axes are drawn" \
  test "$(wt_count "$shot" 100 600 1150 500 "$yellow")" -gt 800
shot_after no-contours contours 0 i
wt_check "key i again removes every yellow line" test "$(wt_count "$shot" 0 0 1351 1300 "$yellow")" -lt 20
wt_check "without the dome the sky is background" test "$(wt_pixel "$shot" 675 250)" = 102,153,102

shot_after regions regions 1 h r
wt_check "key r draws the region outlines of the start-up set" test "$(in_dome "$shot" "$outline")" -gt 500
# Sample spheres would show orange or class colours.
wt_check "the start-up sample points stay hidden" \
  test "$(wt_state points)" = 0 -a "$(in_dome "$shot" "b-r>30 || (g>50 && b<20)")" -lt 20
wt_key r p
wt_check "p computes and shows the sample points" wt_wait_state points 250 120
wt_check "p shows the regions" wt_state_is regions 1
points=$(wt_shot points)
reds=$(reddish "$points") blues=$(bluish "$points")
wt_check "the regions are outlined in red ($reds)" test "$reds" -gt 2000
wt_check "points of the dim classes are blue ($blues)" test "$blues" -gt 200
# The bright classes are red and orange too: hiding the outlines leaves them.
shot_after hidden regions 0 r
wt_check "r hides the outlines and keeps the points" \
  test "$(reddish "$shot")" -lt $((reds / 2)) -a "$(bluish "$shot")" -gt $((blues / 2))
shot_after no-terrain terrain 0 r t
wt_check "t hides the terrain" test "$(wt_differ "$points" "$shot" $SCENE)" -gt 10000

for choice in "4 TURBID" "16 GENERAL TYPE 12" "0 UNIFORM"; do
  wt_menu_choose "${choice%% *}"
  wt_check "menu entry ${choice%% *} is ${choice#* }" \
    wt_wait_state status "${choice#* } distribution, 250 points, sun (45,180)"
done
wt_check "a menu choice hides the points and outlines" test "$(wt_state points) $(wt_state regions)" = "0 0"
shot_after menu-done terrain 1 t
menu_done="$shot"

wt_check "a click is handled" wt_click 1 900 500
clicked=$(wt_shot clicked)
wt_check "a click changes nothing in the view" test "$(wt_differ "$menu_done" "$clicked" $SCENE)" -lt $SAME
# Dragging up lowers the eye towards the ground and stops there, however
# far: the dome's base is then seen edge-on, a straight line (from above or
# below it would be an ellipse, lowest in the middle).
for _ in 1 2 3 4 5 6; do wt_drag 1 675 1200 675 100 20 || wt_fail "a left drag was not handled"; done
lower=$(wt_shot lower)
wt_check "a left drag turns the view" test "$(wt_differ "$clicked" "$lower" $SCENE)" -gt 10000
# The lowest row that is not background in a 5-pixel-wide column.
lowest_row() { /usr/bin/convert "$lower" -crop "5x1240+$1+50" +repage -fuzz 2% -trim -format '%[fx:h+page.y]' info:; }
left=$(lowest_row 250) middle=$(lowest_row 675) right=$(lowest_row 1100)
wt_check "the eye stops at the ground: the dome's base is seen edge-on ($left, $middle, $right)" \
  test $((middle - left)) -le 12 -a $((left - middle)) -le 12 -a $((middle - right)) -le 12 -a $((right - middle)) -le 12
# F11 switches the mouse mode without drawing. Each row: the keys before,
# the button and drag, what it does.
previous="$lower"
while IFS='|' read -r keys drag what; do
  [ -z "$keys" ] || wt_key $keys
  wt_check "$what: handled" wt_drag $drag
  shot=$(wt_shot "${what// /-}")
  wt_check "$what: the view changes" test "$(wt_differ "$previous" "$shot" $SCENE)" -gt 10000
  previous="$shot"
done <<'EOF_DRAGS'
F11 F11|2 675 600 675 800|a middle drag zooms
F11|1 675 600 775 600|a left drag after F11 pans
|2 675 600 675 550|a middle drag after F11 dollies
EOF_DRAGS

wt_check "nothing on standard error" test ! -s "$WT_DIR/stderr"
wt_quit
wt_finish
