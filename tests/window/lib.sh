# Helpers for the real-window tests: a private Xvfb display, the program under
# Mesa's software renderer in a scratch folder, screenshots, pixels and OCR.
#
# A test script sources this file, calls wt_setup, and then uses:
#   wt_start_halvane [ARG...]     start the program (in $WT_DIR), sets HALVANE_PID
#   wt_wait_window                find the visible window titled "Halvane", sets WID
#   wt_wait_pixel X Y R,G,B [S]   wait up to S seconds (default 30) for a colour
#   wt_screenshot FILE            the whole screen (the window sits at 0,0)
#   wt_pixel FILE X Y             prints "R,G,B"
#   wt_ocr FILE X Y W H           prints the text read in a region
#   wt_same_region A B X Y W H    true when two screenshots agree there exactly
#   wt_count FILE X Y W H FX      counts the pixels of a region for which the
#                                 ImageMagick expression FX (r, g, b in 0..1) holds
#   wt_key KEY...                 sends keys (xdotool names) to the window
#   wt_type TEXT                  types text into the window
#   wt_wait_exit PID S            waits up to S seconds; sets WT_EXIT_STATUS
#   wt_check DESCRIPTION COMMAND  runs a check and records a failure
#   wt_finish                     stops what was started, reports, exits
#
# Environment (set by CTest): HALVANE (the program), HALVANE_TERRAIN (the
# terrain tool), WT_OUT (a folder for screenshots kept after the run).
# Every wait is bounded; only processes started here are stopped, by PID.

set -u

WT_FAILURES=0
XVFB_PID=""
HALVANE_PID=""
WT_DIR=""

wt_log() { echo "[$(basename "$0")] $*"; }

wt_fail() {
  wt_log "FAIL: $*"
  WT_FAILURES=$((WT_FAILURES + 1))
}

# Runs "$@"; a non-zero status counts as a failed check named $1.
wt_check() {
  local what="$1"
  shift
  if "$@"; then
    wt_log "ok: $what"
  else
    wt_fail "$what"
  fi
}

# The state letter of a process (R, S, Z, ...) or nothing once it is gone.
wt_proc_state() {
  [ -r "/proc/$1/stat" ] && sed -e 's/^.*) //' -e 's/ .*//' "/proc/$1/stat" 2>/dev/null
}

wt_alive() {
  local s
  s=$(wt_proc_state "$1")
  [ -n "$s" ] && [ "$s" != Z ] && [ "$s" != X ]
}

wt_stop_pid() {
  local pid="$1"
  [ -n "$pid" ] || return 0
  if wt_alive "$pid"; then
    kill "$pid" 2>/dev/null
    for _ in $(seq 30); do wt_alive "$pid" || break; sleep 0.1; done
    wt_alive "$pid" && kill -9 "$pid" 2>/dev/null
  fi
  wait "$pid" 2>/dev/null
  return 0
}

wt_cleanup() {
  wt_stop_pid "$HALVANE_PID"
  HALVANE_PID=""
  wt_stop_pid "$XVFB_PID"
  XVFB_PID=""
  [ -n "$WT_DIR" ] && rm -rf "$WT_DIR"
  WT_DIR=""
}

wt_finish() {
  wt_cleanup
  if [ "$WT_FAILURES" -gt 0 ]; then
    wt_log "$WT_FAILURES check(s) failed"
    exit 1
  fi
  wt_log "all checks passed"
  exit 0
}

# Starts Xvfb on a free display (it picks the number and reports it once it is
# ready) and exports DISPLAY.
wt_start_xvfb() {
  local dpyfile="$WT_DIR/display"
  : >"$dpyfile"
  Xvfb -displayfd 3 -screen 0 1400x1400x24 -nolisten tcp -nolisten unix -nolock \
    3>"$dpyfile" >"$WT_DIR/xvfb.log" 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 100); do
    [ -s "$dpyfile" ] && break
    wt_alive "$XVFB_PID" || break
    sleep 0.1
  done
  if ! [ -s "$dpyfile" ]; then
    wt_log "Xvfb did not start:"
    cat "$WT_DIR/xvfb.log"
    exit 1
  fi
  export DISPLAY=":$(head -n1 "$dpyfile")"
}

# A scratch folder with a display, and a terrain "sample.hrz" made by the
# terrain tool: wt_setup [SIZE [DIRECTIONS]] (default 64 cells square with 16
# horizon directions; the program's own default terrain is 256 with 36);
# wt_setup none for no terrain.
wt_setup() {
  : "${HALVANE:?HALVANE must name the program}"
  WT_OUT="${WT_OUT:-$(pwd)}"
  mkdir -p "$WT_OUT"
  WT_DIR=$(mktemp -d "${TMPDIR:-/tmp}/halvane-window-test.XXXXXX")
  trap wt_cleanup EXIT
  trap 'wt_cleanup; exit 1' INT TERM
  local size="${1:-64}" directions="${2:-16}"
  if [ "$size" != none ]; then
    : "${HALVANE_TERRAIN:?HALVANE_TERRAIN must name the terrain tool}"
    "$HALVANE_TERRAIN" --synthetic "$size" --directions "$directions" -o "$WT_DIR/sample.hrz" >/dev/null ||
      { wt_log "could not make a terrain"; exit 1; }
  fi
  wt_start_xvfb
  export LIBGL_ALWAYS_SOFTWARE=1
}

# Starts the program in the scratch folder; its output goes to
# $WT_DIR/stdout and $WT_DIR/stderr.
wt_start_halvane() {
  (cd "$WT_DIR" && exec "$HALVANE" "$@" >"$WT_DIR/stdout" 2>"$WT_DIR/stderr") &
  HALVANE_PID=$!
}

# Waits up to 30 s (the machine may be busy) for the program's window to be
# mapped; sets WID.
wt_wait_window() {
  WID=""
  for _ in $(seq 300); do
    WID=$(xdotool search --onlyvisible --name '^Halvane$' 2>/dev/null | head -n1)
    [ -n "$WID" ] && return 0
    wt_alive "$HALVANE_PID" || break
    sleep 0.1
  done
  wt_log "no window appeared"
  [ -s "$WT_DIR/stderr" ] && cat "$WT_DIR/stderr"
  return 1
}

wt_screenshot() {
  /usr/bin/import -silent -window root "$1"
}

# "R,G,B" of one pixel of a screenshot.
wt_pixel() {
  /usr/bin/convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- |
    sed -n '2s/^[^(]*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p'
}

# Waits up to S seconds (default 30) until pixel (X, Y) has the colour; the
# last screenshot is $WT_DIR/wait.png.
wt_wait_pixel() {
  local x="$1" y="$2" want="$3" seconds="${4:-30}"
  local end=$((SECONDS + seconds))
  while [ "$SECONDS" -lt "$end" ]; do
    wt_screenshot "$WT_DIR/wait.png"
    [ "$(wt_pixel "$WT_DIR/wait.png" "$x" "$y")" = "$want" ] && return 0
    sleep 0.25
  done
  wt_log "pixel ($x,$y) is $(wt_pixel "$WT_DIR/wait.png" "$x" "$y"), not $want"
  return 1
}

# Text in a region of a screenshot: white bitmap text on any background,
# thresholded, inverted, enlarged 2x without smoothing and given a margin.
wt_ocr() {
  local file="$1" x="$2" y="$3" w="$4" h="$5"
  local img="$WT_DIR/ocr-$$-$RANDOM.png"
  /usr/bin/convert "$file" -crop "${w}x${h}+${x}+${y}" +repage -colorspace Gray \
    -threshold 90% -negate -filter point -resize 200% -bordercolor white -border 20 "$img"
  tesseract "$img" - --psm 7 2>/dev/null | tr -d '\f' | sed '/^$/d'
}

# True when the region is pixel for pixel the same in both screenshots
# (rendering is exactly repeatable).
wt_same_region() {
  local a="$1" b="$2" geometry="${5}x${6}+${3}+${4}"
  local differing n="$WT_DIR/region-$$-$RANDOM"
  /usr/bin/convert "$a" -crop "$geometry" +repage "$n-a.png"
  /usr/bin/convert "$b" -crop "$geometry" +repage "$n-b.png"
  differing=$(/usr/bin/compare -metric AE "$n-a.png" "$n-b.png" null: 2>&1)
  [ "$differing" = 0 ] || { wt_log "$differing pixels differ in $geometry"; return 1; }
}

wt_count() {
  /usr/bin/convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -fx "($6) ? 1 : 0" \
    -format '%[fx:round(mean*w*h)]' info:
}

# Keys go to the window under the pointer; keep the pointer over it. The
# move is not synchronised: when the pointer is already there, xdotool's
# --sync waits for a motion that never comes. The X server handles the move
# before the keys that follow it anyway.
wt_pointer_over_window() {
  xdotool mousemove 675 670 >/dev/null 2>&1
}

wt_key() {
  wt_pointer_over_window
  xdotool key --delay 50 "$@"
}

wt_type() {
  wt_pointer_over_window
  xdotool type --delay 50 "$1"
}

# Waits up to S seconds for PID (a child of this shell) to end and sets
# WT_EXIT_STATUS to its exit status, or to "timeout" when it is still running.
# Not to be called in a subshell: only the parent shell can collect the status.
wt_wait_exit() {
  local pid="$1" seconds="$2"
  for _ in $(seq $((seconds * 10))); do
    wt_alive "$pid" || break
    sleep 0.1
  done
  if wt_alive "$pid"; then
    WT_EXIT_STATUS=timeout
    return
  fi
  WT_EXIT_STATUS=0
  wait "$pid" || WT_EXIT_STATUS=$?
}

# The status line: its first line starts at (10, 10) from the bottom left of
# the 1339-pixel-high window, in the 8 x 13 font.
WT_STATUS_X=8
WT_STATUS_Y=1316
WT_STATUS_H=18

# Reads the status line of a screenshot (up to N characters wide, default 80).
wt_status_line() {
  local chars="${2:-80}"
  wt_ocr "$1" "$WT_STATUS_X" "$WT_STATUS_Y" $((chars * 8 + 8)) "$WT_STATUS_H"
}
