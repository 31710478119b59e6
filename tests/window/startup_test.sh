#!/usr/bin/env bash
# The window at start-up: title, size and place, background, dome and terrain
# where the default camera puts them, and the status line. Keeps the
# screenshot as $WT_OUT/startup.png (the README's picture). The terrain is
# made like the program's default one.
source "$(dirname "$0")/lib.sh"
wt_setup 256 36

wt_start_halvane
wt_check "the window appears" wt_wait_window || wt_finish

wt_check 'title is "Halvane"' test "$(xdotool getwindowname "$WID")" = Halvane
eval "$(xdotool getwindowgeometry --shell "$WID")"
wt_check "window is 1351 x 1339 at (0, 0), got ${WIDTH}x${HEIGHT} at ($X, $Y)" \
  test "$X,$Y,$WIDTH,$HEIGHT" = "0,0,1351,1339"

# The first frame is drawn a little after the window is mapped.
wt_check "first frame drawn" wt_wait_first_frame || wt_finish
wt_check "background is (102, 153, 102)" wt_wait_pixel 40 40 102,153,102
shot="$WT_DIR/wait.ppm"
/usr/bin/convert "$shot" -crop 1351x1339+0+0 +repage "$WT_OUT/startup.png"

for p in "40 40" "1310 40" "40 1200" "1310 1200" "675 120"; do
  set -- $p
  wt_check "background at ($1, $2)" test "$(wt_pixel "$shot" "$1" "$2")" = 102,153,102
done

# Colours seen through the translucent dome (alpha 0.7) tell what lies
# behind it: over the green background red and blue stay equal and green is
# 0.3 * 51 = 15 higher; over the terrain's sides (0.6, 0.6, 0.4) red and green
# are equal and blue 15 lower; over its grey surface all three are equal.
# Returns true when pixel (X, Y) is such a blend: want_blend X Y DR DB, where
# DR = G - R and DB = G - B are expected within 2.
want_blend() {
  local rgb r g b
  rgb=$(wt_pixel "$shot" "$1" "$2")
  IFS=, read -r r g b <<<"$rgb"
  local dr=$((g - r - $3)) db=$((g - b - $4))
  [ "$rgb" != 102,153,102 ] && [ "${dr#-}" -le 2 ] && [ "${db#-}" -le 2 ] ||
    { wt_log "($1, $2) is $rgb"; return 1; }
}
for p in "675 250" "100 640" "1240 600" "900 1000"; do
  set -- $p
  wt_check "dome over the background at ($1, $2)" want_blend "$1" "$2" 15 15
done
for p in "300 800" "400 850" "1100 800" "700 960"; do
  set -- $p
  wt_check "terrain side through the dome at ($1, $2)" want_blend "$1" "$2" 0 15
done
for p in "600 600" "900 700" "1000 600"; do
  set -- $p
  wt_check "terrain surface through the dome at ($1, $2)" want_blend "$1" "$2" 0 0
done

# What a user reads, by OCR, and what the program says it drew.
status=$(wt_status_line "$shot")
wt_check "status line reads the default sky, got \"$status\"" \
  test "$status" = "CLEAR distribution, 250 points, sun (45,180)"
wt_check "the report gives the same status line" \
  test "$(wt_state status)" = "CLEAR distribution, 250 points, sun (45,180)"
greeting=$(wt_ocr "$shot" 560 30 240 24)
wt_check "the greeting is shown at the top, got \"$greeting\"" \
  grep -q "for help" <<<"$greeting"
wt_check "the report gives the greeting" test "$(wt_state flash)" = "Press \`?' for help."

wt_check "nothing on standard error" test ! -s "$WT_DIR/stderr"
wt_finish
