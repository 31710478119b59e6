#!/usr/bin/env bash
# The window at start-up as a user sees it (the screenshot is kept as
# $WT_OUT/startup.png, the README's picture), then the sky menu and the mouse;
# the distribution argument; the ends without a usable sample.hrz (a FIFO must
# not make it wait for a writer).
source "$(dirname "$0")/lib.sh"
wt_setup 256 36  # like the program's default terrain
wt_launch
WID=$(xdotool search --onlyvisible --name '^Halvane$' | head -n1)
wt_check "the window is visible" test -n "$WID" || wt_finish
eval "$(xdotool getwindowgeometry --shell "$WID")"
wt_check "title is \"Halvane\"" test "$(xdotool getwindowname "$WID")" = Halvane
wt_check "window is 1351 x 1339 at (0, 0), got ${WIDTH}x${HEIGHT} at ($X, $Y)" \
  test "$X,$Y,$WIDTH,$HEIGHT" = "0,0,1351,1339"
shot=$(wt_shot startup)
/usr/bin/convert "$shot" -crop 1351x1339+0+0 +repage "$WT_OUT/startup.png"

# Through the translucent dome (alpha 0.7) the green background keeps red =
# blue with green 15 higher, the terrain's sides (0.6, 0.6, 0.4) keep red =
# green with blue 15 lower, its grey surface keeps all three equal. Each row:
# X Y and G - R, G - B within 2, or "bg" for the plain background.
while read -r x y dr db; do
  rgb=$(wt_pixel "$shot" "$x" "$y")
  IFS=, read -r r g b <<<"$rgb"
  if [ "$dr" = bg ]; then
    wt_check "background at ($x, $y), got $rgb" test "$rgb" = 102,153,102
  else
    wt_check "dome blend $dr,$db at ($x, $y), got $rgb" test "$rgb" != 102,153,102 \
      -a $((g - r - dr)) -ge -2 -a $((g - r - dr)) -le 2 -a $((g - b - db)) -ge -2 -a $((g - b - db)) -le 2
  fi
done <<'EOF_PIXELS'
40 40 bg
1310 1200 bg
675 120 bg
675 250 15 15
1240 600 15 15
300 800 0 15
1100 800 0 15
600 600 0 0
EOF_PIXELS

default="CLEAR distribution, 250 points, sun (45,180)"
status=$(wt_ocr "$shot" 8 1316 648 18)
wt_check "the status line reads the default sky, got \"$status\"" test "$status" = "$default"
greeting=$(wt_ocr "$shot" 560 30 240 24)
wt_check "the greeting is shown at the top, got \"$greeting\"" grep -q "for help" <<<"$greeting"
wt_check "the report gives the greeting" test "$(wt_state flash)" = "Press \`?' for help."

# The scene without the message lines. Two frames of one view may differ in a
# few hundred pixels along the terrain block's edges; a new view in far more.
SCENE=1351x1240+0+50

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
wt_check "a click changes nothing in the view" test "$(wt_differ "$menu_done" "$clicked" $SCENE)" -lt 2000
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
wt_stop_pid "$HALVANE_PID"

# The distribution argument (its refusals are command_line_test's).
wt_start 5
sharp="SHARP distribution, 250 points, sun (45,180) aaaspecularity 250, ambient 0.1"
wt_check "argument 5 starts with \"$sharp\"" eval 'wt_wait_frame && wt_state_is status "$sharp"'
wt_check "argument 5: nothing on standard error" test ! -s "$WT_DIR/stderr"
wt_stop_pid "$HALVANE_PID"

# Each row: what sample.hrz is, how it is made, the exit status, standard error.
while IFS='|' read -r what make status stderr; do
  rm -f "$WT_DIR/sample.hrz"
  eval "$make"
  wt_start
  wt_wait_exit 20
  wt_check "$what: status $status, got $WT_EXIT_STATUS" test "$WT_EXIT_STATUS" = "$status"
  wt_check "$what: the message \"$stderr\"" test "$(cat "$WT_DIR/stderr")" = "$stderr"
done <<'EOF_FILES'
missing|:|255|tgrid: cannot open input file 'sample.hrz'
a horizon file|printf 'h\n' >"$WT_DIR/sample.hrz"|1|File sample.hrz is not an elevation file.  It is a horizon file.
a FIFO|mkfifo "$WT_DIR/sample.hrz"|1|File sample.hrz appears to be a corrupted elevation file.
EOF_FILES
wt_finish
