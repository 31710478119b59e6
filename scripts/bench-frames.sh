#!/usr/bin/env bash
# Frame times of the window on a virtual display (Xvfb) with Mesa's software
# renderer (llvmpipe), the renderer of machines without a graphics driver:
# both renderers of the program in one run, the default (vertex arrays and
# display lists) and HALVANE_IMMEDIATE_MODE=1 (every vertex its own call).
#
# For each scene the program draws FRAMES frames in a row (default 100, each
# ended by glFinish) and the median and 90th percentile of their times are
# printed: the default scene on the default terrain (256 x 256), with the
# contour lines (`i`), with a sample set and its regions (`p`), with the dome
# hidden (`h`), and the default scene on a 1024 x 1024 terrain, together with
# the time of loading that terrain as key `l` does (reading it, computing its
# sky light, and its first frame). A measurement, not a test.
#
#   scripts/bench-frames.sh [FRAMES]      (after `make build`; BUILD=build)
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build="${BUILD:-$root/build}"
export HALVANE="${HALVANE:-$build/halvane}" HALVANE_TERRAIN="${HALVANE_TERRAIN:-$build/tools/halvane-terrain}"
# shellcheck source=../tests/window/lib.sh
source "$root/tests/window/lib.sh"
frames="${1:-100}"

echo "machine: $(nproc) cores; load: $(uptime | sed 's/.*load average/load average/')"
wt_setup none
if [ -f "$build/sample.hrz" ]; then
  cp "$build/sample.hrz" "$WT_DIR/sample.hrz"
else
  "$HALVANE_TERRAIN" --synthetic 256 --directions 36 -o "$WT_DIR/sample.hrz" >/dev/null
fi
"$HALVANE_TERRAIN" --synthetic 1024 --directions 36 --quiet -o "$WT_DIR/large.hrz" >/dev/null ||
  { wt_log "could not make the 1024 x 1024 terrain"; exit 1; }

# timed RENDERER KEYS [LOAD]: the program's timing lines for one scene.
timed() {
  local immediate=0
  [ "$1" = immediate ] && immediate=1
  (cd "$WT_DIR" && HALVANE_IMMEDIATE_MODE=$immediate HALVANE_FRAME_TIMING="$frames" \
    HALVANE_FRAME_TIMING_KEYS="$2" HALVANE_FRAME_TIMING_LOAD="${3:-}" \
    exec "$HALVANE" >"$WT_DIR/stdout" 2>"$WT_DIR/stderr") &
  HALVANE_PID=$!
  wt_wait_exit 600
  [ "$WT_EXIT_STATUS" = 0 ] || wt_fail "$1 \"$2\" ended with $WT_EXIT_STATUS: $(head -c 300 "$WT_DIR/stderr")"
  cat "$WT_DIR/stdout"
}

# figures LINE: "median / 90th percentile (processor time median)" of a frame
# timing line, in milliseconds.
figures() {
  sed -n 's/.*frames, median \([0-9.]*\) ms, 90th percentile \([0-9.]*\) ms; processor time (all threads) median \([0-9.]*\) ms.*/\1 \/ \2 (\3)/p' <<<"$1"
}
loaded() { sed -n 's/.*on the screen after \([0-9.]*\) ms in all (processor time \([0-9.]*\) ms).*/\1 (\2)/p' <<<"$1"; }

echo
echo "Milliseconds a frame, median / 90th percentile of the time until it is drawn,"
echo "and in brackets the median processor time of all the program's threads"
echo "(the renderer's included), which another program's load changes less:"
printf '\n%-34s %-22s %-22s\n' "scene" "immediate" "arrays"
for scene in ":default" "i:contours" "p:points and regions" "h:dome hidden"; do
  keys="${scene%%:*}" name="${scene#*:}"
  old=$(timed immediate "$keys") new=$(timed arrays "$keys")
  printf '%-34s %-22s %-22s\n' "$name" "$(figures "$old")" "$(figures "$new")"
done
old=$(timed immediate "" large.hrz) new=$(timed arrays "" large.hrz)
printf '%-34s %-22s %-22s\n' "1024 x 1024 terrain" "$(figures "$(grep '^frame' <<<"$old")")" \
  "$(figures "$(grep '^frame' <<<"$new")")"
printf '%-34s %-22s %-22s\n' "loading it (l) until it is shown" "$(loaded "$old")" "$(loaded "$new")"
echo
grep -h '^load timing' <<<"$old"$'\n'"$new" | sed 's/^/  /'
wt_finish
