#!/usr/bin/env bash
# The two renderers draw the same frames: the program goes through the same
# scenes drawing from vertex arrays (the default) and with
# HALVANE_IMMEDIATE_MODE=1, and each pair of screenshots must be equal to the
# pixel. The scenes change the sky, the sun, the set, the switches and the
# terrain in turn, and each differs from the one before, so a layer the arrays
# leave stale after any change shows. Differing pairs are kept in WT_OUT.
# Then what the keys draw in those frames.
source "$(dirname "$0")/lib.sh"
wt_setup 96 16
"$HALVANE_TERRAIN" --synthetic 48 --seed 3 --directions 8 -o "$WT_DIR/other.hrz" >/dev/null ||
  { wt_log "could not make a second terrain"; exit 1; }

# Each row: keys | the report's KEY and the pattern its value then matches |
# the scene's name ("-": no screenshot) | how the arrays run draws it
# ("terrain": the first frame after the terrain or its sky light changed
# draws the terrain immediately while its arrays are built).
SCENES='i|contours 1|-|arrays
i|contours 0|default|arrays
h|dome 0|dome-hidden|arrays
i|contours 1|dome-hidden-contours|arrays
h|dome 1|contours|arrays
p|points [1-9]*|points-and-contours-first|terrain
i|contours 0|points-and-regions|arrays
r|regions 0|points-only|arrays
r|regions 1|-|arrays
i|contours 1|points-and-contours|arrays
Right|status CLEAR distribution, 250 points, sun (45,175)|sun-moved-contours-first|terrain
i|contours 0|sun-moved|arrays
ctrl+o|status OVERCAST distribution, 250 points, sun (45,175)|overcast-first|terrain
i|contours 1|overcast-contours|arrays
minus|status OVERCAST distribution, 200 points, sun (45,175)|-|terrain
i|contours 0|-|arrays
r|regions 1|fewer-points-regions|arrays
t|terrain 0|terrain-hidden|arrays
t|terrain 1|terrain-shown-again|arrays
l Return|flash Loaded terrain `other.hrz'\''.|terrain-loaded-first|terrain
i|contours 1|terrain-loaded|arrays
plus p|points [1-9]*|-|terrain
i|contours 0|terrain-loaded-points|arrays'
shots=()

# The scenes with one renderer; screenshots RENDERER-SCENE.
run_scenes() {
  local renderer="$1" keys state shot drawn expected
  export HALVANE_IMMEDIATE_MODE=$([ "$renderer" = immediate ] && echo 1 || echo 0)
  wt_launch
  while IFS='|' read -r keys state shot drawn; do
    wt_key $keys
    wt_check "$renderer: $keys shows $state" wt_wait_state_like "${state%% *}" "${state#* }" ||
      continue
    expected=immediate
    [ "$renderer" = arrays ] && expected=$([ "$drawn" = arrays ] && echo arrays || echo "arrays, terrain immediate")
    wt_check "$renderer: drawn by the renderer \"$expected\"" wt_state_is renderer "$expected"
    if [ "$shot" != - ]; then
      wt_shot "$renderer-$shot" >/dev/null
      [ "$renderer" = arrays ] && shots+=("$shot")
    fi
  done <<<"$SCENES"
  wt_quit
}

run_scenes arrays
run_scenes immediate
unset HALVANE_IMMEDIATE_MODE

previous=""
for shot in "${shots[@]}"; do
  new="$WT_DIR/arrays-$shot.ppm" old="$WT_DIR/immediate-$shot.ppm"
  differing=$(wt_differ "$new" "$old")
  if ! wt_check "$shot: the renderers' frames are the same ($differing pixels differ)" \
    test "$differing" = 0; then
    cp "$new" "$WT_OUT/same-frames-arrays-$shot.ppm"
    cp "$old" "$WT_OUT/same-frames-immediate-$shot.ppm"
    /usr/bin/compare "$new" "$old" "$WT_OUT/same-frames-difference-$shot.png" 2>/dev/null
  fi
  if [ -n "$previous" ]; then
    wt_check "$shot differs from $previous" \
      test "$(wt_differ "$new" "$WT_DIR/arrays-$previous.ppm")" -gt 50
  fi
  previous="$shot"
done

shot() { echo "$WT_DIR/arrays-$1.ppm"; }
in_dome() { wt_count "$(shot "$1")" 300 180 750 300 "$2"; }  # the dome's upper half, clear of the terrain
in_sky() { wt_count "$(shot "$1")" 175 150 1000 700 "$2"; }
yellow="r>60 && g>60 && r-b>35"  # yellow lines at alpha 0.7 over grey or green
wt_check "the greeting is gone after its two frames" \
  test "$(wt_count "$(shot default)" 560 26 240 20 "r>90 && g>90 && b>90")" = 0
wt_check "i draws yellow contour lines over the dome" test "$(in_dome contours "$yellow")" -gt 500
wt_check "without the dome the contour lines remain" test "$(in_dome dome-hidden-contours "$yellow")" -gt 500
# The horizon circle passes below the dome's lowest point in front of the camera.
wt_check "without the dome the horizon circle and axes are drawn" \
  test "$(wt_count "$(shot dome-hidden-contours)" 100 600 1150 500 "$yellow")" -gt 800
wt_check "without contours no yellow line is drawn" test "$(wt_count "$(shot dome-hidden)" 0 0 1351 1300 "$yellow")" -lt 20
wt_check "without the dome the sky is background" test "$(wt_pixel "$(shot dome-hidden)" 675 250)" = 102,153,102
# Red outlines, blue points of the dim classes; the bright classes are red and
# orange, so hiding the outlines leaves some red.
reds=$(in_sky points-and-regions "r-g>30") blues=$(in_sky points-and-regions "b-g>20")
wt_check "p outlines the regions in red ($reds) and draws blue points ($blues)" test "$reds" -gt 2000 -a "$blues" -gt 200
wt_check "r hides the outlines and keeps the points" \
  test "$(in_sky points-only "r-g>30")" -lt $((reds / 2)) -a "$(in_sky points-only "b-g>20")" -gt $((blues / 2))
# Sample spheres would show orange or class colours.
wt_check "r draws the start-up set's regions without its points" \
  test "$(in_dome fewer-points-regions "r-g>12 && r-b>12")" -gt 500 \
  -a "$(in_dome fewer-points-regions "b-r>30 || (g>50 && b<20)")" -lt 20
wt_check "t hides the terrain" \
  test "$(wt_differ "$(shot terrain-shown-again)" "$(shot terrain-hidden)" 1351x1240+0+50)" -gt 10000
wt_finish
