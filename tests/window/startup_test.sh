#!/usr/bin/env bash
# The window at start-up: title, size and place, the background, dome and
# terrain where the default camera puts them, the status line and greeting as
# a user reads them (OCR). The terrain is made like the program's default one;
# the screenshot is kept as $WT_OUT/startup.png (the README's picture).
source "$(dirname "$0")/lib.sh"
wt_setup 256 36
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
done <<'EOF'
40 40 bg
1310 40 bg
40 1200 bg
1310 1200 bg
675 120 bg
675 250 15 15
100 640 15 15
1240 600 15 15
900 1000 15 15
300 800 0 15
400 850 0 15
1100 800 0 15
700 960 0 15
600 600 0 0
900 700 0 0
1000 600 0 0
EOF

default="CLEAR distribution, 250 points, sun (45,180)"
status=$(wt_ocr "$shot" 8 1316 648 18)
wt_check "the status line reads the default sky, got \"$status\"" test "$status" = "$default"
wt_check "the report gives the same status line" test "$(wt_state status)" = "$default"
greeting=$(wt_ocr "$shot" 560 30 240 24)
wt_check "the greeting is shown at the top, got \"$greeting\"" grep -q "for help" <<<"$greeting"
wt_check "the report gives the greeting" test "$(wt_state flash)" = "Press \`?' for help."
wt_check "nothing on standard error" test ! -s "$WT_DIR/stderr"
wt_finish
