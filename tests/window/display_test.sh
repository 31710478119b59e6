#!/usr/bin/env bash
# What the frames show as the switches change: the greeting lasts two frames,
# the contour lines (key i) are drawn in yellow over the dome, without the
# dome (key h) they come with the horizon circle and axes, the help screen
# (key ?) is a frame of its own with nothing else in it, and key r shows the
# regions of the start-up sample set in red, without its points.
source "$(dirname "$0")/lib.sh"
wt_setup

wt_start_halvane
wt_wait_window && wt_wait_pixel 40 40 102,153,102 || wt_finish
xdotool windowfocus --sync "$WID" 2>/dev/null

# Waits until a screenshot differs from the previous one in the region, so a
# key's frame is on screen; keeps it as $WT_DIR/$1.png.
frame_after() {
  local name="$1" before="$WT_DIR/last.png"
  shift
  wt_screenshot "$before"
  wt_key "$@"
  local end=$((SECONDS + 30))
  while [ "$SECONDS" -lt "$end" ]; do
    sleep 0.3
    wt_screenshot "$WT_DIR/$name.png"
    wt_same_region "$before" "$WT_DIR/$name.png" 0 0 1351 1339 >/dev/null || return 0
  done
  wt_log "no new frame after $*"
  return 1
}

# Yellow lines at alpha 0.7, over the grey dome or the green background: red
# and green high, blue far below them.
yellow='r > 0.6 && g > 0.6 && b < r - 0.35'
# The dome's upper half, clear of the terrain.
dome="300 180 750 300"

frame_after contours i
n=$(wt_count "$WT_DIR/contours.png" $dome "$yellow")
wt_check "key i draws yellow contour lines over the dome ($n pixels)" test "$n" -gt 500

frame_after no-dome h
# At least three frames have been drawn by now.
n=$(wt_count "$WT_DIR/no-dome.png" 560 26 240 20 'r > 0.9 && g > 0.9 && b > 0.9')
wt_check "the greeting is gone after its two frames ($n white pixels)" test "$n" = 0
n=$(wt_count "$WT_DIR/no-dome.png" $dome "$yellow")
wt_check "without the dome the contour lines remain ($n pixels)" test "$n" -gt 500
# The horizon circle passes below the dome's lowest point in front of the
# camera, where the background showed before.
n=$(wt_count "$WT_DIR/no-dome.png" 100 600 1150 500 "$yellow")
wt_check "without the dome the horizon circle and axes are drawn ($n pixels)" test "$n" -gt 800

frame_after no-contours i
n=$(wt_count "$WT_DIR/no-contours.png" 0 0 1351 1300 "$yellow")
wt_check "key i again removes every yellow line ($n pixels)" test "$n" -lt 20

frame_after dome-again h
frame_after help question
shot="$WT_DIR/help.png"
help=$(wt_ocr "$shot" 360 26 640 18)
wt_check "the help screen starts with the mouse line, got \"$help\"" grep -q "MOUSE" <<<"$help"
for p in "675 250" "675 600" "300 800"; do
  set -- $p
  wt_check "the help screen shows no scene at ($1, $2)" test "$(wt_pixel "$shot" "$1" "$2")" = 102,153,102
done
status=$(wt_status_line "$shot")
wt_check "the help screen has no status line, got \"$status\"" test -z "$status"

frame_after back space
status=$(wt_status_line "$WT_DIR/back.png")
wt_check "any key returns to the scene, got \"$status\"" \
  test "$status" = "CLEAR distribution, 250 points, sun (45,180)"

# Red outlines under the translucent dome: red well above green and blue.
red='r - g > 0.12 && r - b > 0.12'
frame_after regions r
n=$(wt_count "$WT_DIR/regions.png" $dome "$red")
wt_check "key r draws the region outlines of the start-up set ($n pixels)" test "$n" -gt 500
# Sample spheres would show their orange or class colours: strong red and
# green with little blue, or saturated blue.
n=$(wt_count "$WT_DIR/regions.png" $dome 'b > r + 0.3 || (g > 0.5 && b < 0.2)')
wt_check "the start-up sample points stay hidden ($n pixels)" test "$n" -lt 20
frame_after no-regions r
n=$(wt_count "$WT_DIR/no-regions.png" $dome "$red")
wt_check "key r again hides them ($n pixels)" test "$n" -lt 20
wt_finish
