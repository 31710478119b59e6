#!/usr/bin/env bash
# What the frames show as the switches change: the greeting lasts two frames,
# the contour lines (key i) are drawn in yellow over the dome, without the
# dome (key h) they come with the horizon circle and axes, the help screen
# (key ?) is a frame of its own with nothing else in it, and key r shows the
# regions of the start-up sample set in red, without its points.
source "$(dirname "$0")/lib.sh"
wt_setup

wt_start_halvane
wt_check "first frame drawn" wt_wait_first_frame || wt_finish

# Sends keys, waits for the frame whose report has FIELD = VALUE and keeps a
# screenshot of it as $WT_DIR/NAME.ppm: frame_after NAME FIELD VALUE KEY...
frame_after() {
  local name="$1" field="$2" value="$3"
  shift 3
  wt_key "$@"
  wt_wait_state "$field" "$value" || wt_fail "no frame with $field $value after $*"
  wt_screenshot "$WT_DIR/$name.ppm"
}

# Yellow lines at alpha 0.7, over the grey dome or the green background: red
# and green high, blue far below them.
yellow=("r>60" "g>60" "r-b>35")
# The dome's upper half, clear of the terrain.
dome="300 180 750 300"

frame_after contours contours 1 i
n=$(wt_count "$WT_DIR/contours.ppm" $dome "${yellow[@]}")
wt_check "key i draws yellow contour lines over the dome ($n pixels)" test "$n" -gt 500

frame_after no-dome dome 0 h
wt_check "at least three frames have been drawn" test "$(wt_state frame)" -ge 3
n=$(wt_count "$WT_DIR/no-dome.ppm" 560 26 240 20 "r>90" "g>90" "b>90")
wt_check "the greeting is gone after its two frames ($n white pixels)" test "$n" = 0
n=$(wt_count "$WT_DIR/no-dome.ppm" $dome "${yellow[@]}")
wt_check "without the dome the contour lines remain ($n pixels)" test "$n" -gt 500
# The horizon circle passes below the dome's lowest point in front of the
# camera, where the background showed before.
n=$(wt_count "$WT_DIR/no-dome.ppm" 100 600 1150 500 "${yellow[@]}")
wt_check "without the dome the horizon circle and axes are drawn ($n pixels)" test "$n" -gt 800

frame_after no-contours contours 0 i
n=$(wt_count "$WT_DIR/no-contours.ppm" 0 0 1351 1300 "${yellow[@]}")
wt_check "key i again removes every yellow line ($n pixels)" test "$n" -lt 20

frame_after dome-again dome 1 h
frame_after help help 1 question
shot="$WT_DIR/help.ppm"
wt_check "the help screen starts with the mouse line" \
  wt_state_like flash "MOUSE    right click to select sky distribution.*"
for p in "675 250" "675 600" "300 800"; do
  set -- $p
  wt_check "the help screen shows no scene at ($1, $2)" test "$(wt_pixel "$shot" "$1" "$2")" = 102,153,102
done
wt_check "the help screen has no status line" wt_state_is status ""
n=$(wt_count "$shot" "$WT_STATUS_X" "$WT_STATUS_Y" 808 "$WT_STATUS_H" "r>90" "g>90" "b>90")
wt_check "the help screen draws no text where the status line goes ($n white pixels)" test "$n" = 0

frame_after back help 0 space
wt_check "any key returns to the scene" \
  wt_state_is status "CLEAR distribution, 250 points, sun (45,180)"
n=$(wt_count "$WT_DIR/back.ppm" "$WT_STATUS_X" "$WT_STATUS_Y" 808 "$WT_STATUS_H" "r>90" "g>90" "b>90")
wt_check "the status line is drawn again ($n white pixels)" test "$n" -gt 100

# Red outlines under the translucent dome: red well above green and blue.
red=("r-g>12" "r-b>12")
frame_after regions regions 1 r
n=$(wt_count "$WT_DIR/regions.ppm" $dome "${red[@]}")
wt_check "key r draws the region outlines of the start-up set ($n pixels)" test "$n" -gt 500
wt_check "the report shows no sample points" wt_state_is points 0
# Sample spheres would show their orange or class colours: strong red and
# green with little blue, or saturated blue.
n=$(( $(wt_count "$WT_DIR/regions.ppm" $dome "b-r>30") +
      $(wt_count "$WT_DIR/regions.ppm" $dome "g>50" "b<20") ))
wt_check "the start-up sample points stay hidden ($n pixels)" test "$n" -lt 20
frame_after no-regions regions 0 r
n=$(wt_count "$WT_DIR/no-regions.ppm" $dome "${red[@]}")
wt_check "key r again hides them ($n pixels)" test "$n" -lt 20
wt_finish
