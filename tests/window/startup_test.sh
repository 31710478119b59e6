#!/usr/bin/env bash
# The window at start-up: title, size and place, background, dome and terrain
# where the default camera puts them, and the status line. Keeps the
# screenshot as $WT_OUT/startup.png (the README's picture).
source "$(dirname "$0")/lib.sh"
wt_setup

wt_start_halvane
wt_wait_window || wt_finish

wt_check 'title is "Halvane"' test "$(xdotool getwindowname "$WID")" = Halvane
eval "$(xdotool getwindowgeometry --shell "$WID")"
wt_check "window is 1351 x 1339 at (0, 0), got ${WIDTH}x${HEIGHT} at ($X, $Y)" \
  test "$X,$Y,$WIDTH,$HEIGHT" = "0,0,1351,1339"

# The first frame is drawn a little after the window is mapped.
wt_check "background is (102, 153, 102)" wt_wait_pixel 40 40 102,153,102
sleep 0.5
shot="$WT_DIR/startup.png"
wt_screenshot "$shot"
/usr/bin/convert "$shot" -crop 1351x1339+0+0 +repage "$WT_OUT/startup.png"

for p in "40 40" "1310 40" "40 1200" "1310 1200" "675 120"; do
  set -- $p
  wt_check "background at ($1, $2)" test "$(wt_pixel "$shot" "$1" "$2")" = 102,153,102
done

# The dome is translucent (alpha 0.7) grey over the green background: red and
# blue stay equal and green stays 0.3 * 51 = 15 above them.
dome_over_background() {
  local rgb r g b
  rgb=$(wt_pixel "$shot" "$1" "$2")
  IFS=, read -r r g b <<<"$rgb"
  [ "$rgb" != 102,153,102 ] && [ $((r - b)) -ge -1 ] && [ $((r - b)) -le 1 ] &&
    [ $((g - r)) -ge 13 ] && [ $((g - r)) -le 17 ] || { wt_log "($1, $2) is $rgb"; return 1; }
}
for p in "675 250" "200 700" "1150 700" "675 450"; do
  set -- $p
  wt_check "translucent dome over the background at ($1, $2)" dome_over_background "$1" "$2"
done

# Seen through the dome, the terrain's sides (0.6, 0.6, 0.4) make red and
# green nearly equal and blue clearly lower.
terrain_under_dome() {
  local rgb r g b
  rgb=$(wt_pixel "$shot" "$1" "$2")
  IFS=, read -r r g b <<<"$rgb"
  [ $((g - r)) -le 6 ] && [ $((r - b)) -ge 10 ] || { wt_log "($1, $2) is $rgb"; return 1; }
}
for p in "675 1000" "450 940" "900 940"; do
  set -- $p
  wt_check "terrain wall seen through the dome at ($1, $2)" terrain_under_dome "$1" "$2"
done

status=$(wt_status_line "$shot")
wt_check "status line reads the default sky, got \"$status\"" \
  test "$status" = "CLEAR distribution, 250 points, sun (45,180)"
greeting=$(wt_ocr "$shot" 560 30 240 24)
wt_check "the greeting is shown at the top, got \"$greeting\"" \
  grep -q "for help" <<<"$greeting"

wt_check "nothing on standard error" test ! -s "$WT_DIR/stderr"
wt_finish
