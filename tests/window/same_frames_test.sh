#!/usr/bin/env bash
# The two renderers draw the same frames: the program goes through the same
# scenes drawing from vertex arrays (the default) and with
# HALVANE_IMMEDIATE_MODE=1, and each pair of screenshots must be equal to the
# pixel. The scenes change the sky, the sun, the set, the switches and the
# terrain in turn, and each differs from the one before, so a layer the arrays
# leave stale after any change shows. Differing pairs are kept in WT_OUT.
source "$(dirname "$0")/lib.sh"
wt_setup 96 16
"$HALVANE_TERRAIN" --synthetic 48 --seed 3 --directions 8 -o "$WT_DIR/other.hrz" >/dev/null ||
  { wt_log "could not make a second terrain"; exit 1; }

# Each row: the keys | the report's KEY and the pattern its value matches once
# they are handled | the scene's name, or "-" for no screenshot | how the
# arrays run draws it ("terrain": in the first frame after the terrain or its
# sky light changed, the terrain immediately while its arrays are built).
SCENES='i|contours 1|-|arrays
i|contours 0|default|arrays
i|contours 1|contours|arrays
p|points [1-9]*|points-and-contours-first|terrain
i|contours 0|points-and-regions|arrays
i|contours 1|points-and-contours|arrays
h|dome 0|dome-hidden-contours|arrays
i|contours 0|dome-hidden|arrays
h|dome 1|-|arrays
ctrl+o|status OVERCAST distribution, 250 points, sun (45,180)|overcast-first|terrain
i|contours 1|overcast-contours|arrays
i|contours 0|-|arrays
ctrl+c|status CLEAR distribution, 250 points, sun (45,180)|-|terrain
Right|status CLEAR distribution, 250 points, sun (45,175)|sun-moved-first|terrain
i|contours 1|sun-moved-contours|arrays
minus|status CLEAR distribution, 200 points, sun (45,175)|-|terrain
r|regions 1|fewer-points-regions|arrays
t|terrain 0|terrain-hidden|arrays
t|terrain 1|terrain-shown-again|arrays
l Return|flash Loaded terrain `other.hrz'\''.|terrain-loaded-first|terrain
i|contours 0|-|arrays
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
wt_finish
