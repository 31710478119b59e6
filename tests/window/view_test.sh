#!/usr/bin/env bash
# The sky menu and the mouse: a menu entry sets the sky and hides the set; the
# mouse turns, zooms, pans and dollies the view, and a click without a drag
# changes nothing in it. (What the keys draw: same_frames_test.sh.)
source "$(dirname "$0")/lib.sh"
wt_setup
wt_launch
# The scene without the message lines. Two frames of one view may differ in a
# few hundred pixels along the terrain block's edges; a new view in far more.
SCENE=1351x1240+0+50
SAME=2000

wt_key p
wt_check "p computes and shows the sample points" wt_wait_state points 250 120
for choice in "4 TURBID" "16 GENERAL TYPE 12" "0 UNIFORM"; do
  wt_menu_choose "${choice%% *}"
  wt_check "menu entry ${choice%% *} is ${choice#* }" \
    wt_wait_state status "${choice#* } distribution, 250 points, sun (45,180)"
done
wt_check "a menu choice hides the points and outlines" test "$(wt_state points) $(wt_state regions)" = "0 0"
menu_done=$(wt_shot menu-done)

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
