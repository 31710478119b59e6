# Helpers for the real-window tests: a private Xvfb display, the program under
# Mesa's software renderer in a scratch folder ($WT_DIR), xdotool input,
# screenshots, pixel counts and OCR. CTest sets HALVANE, HALVANE_TERRAIN,
# HALVANE_SAMPLES and WT_OUT (kept after the run). Only processes started
# here are stopped, by PID. Every wait is bounded and on state: the program
# writes "KEY VALUE" lines to $HALVANE_STATE_FILE after every frame's swap
# (app/state_report.h); input helpers note the last frame (the mark) and wait
# for a later one with the value wanted. X delivers input in order and Mesa's
# swap ends with a round trip, so a reported frame is on screen and came
# after everything sent before it.
set -u

WT_FAILURES=0 XVFB_PID="" HALVANE_PID="" WT_DIR="" WT_MARK=0
declare -A WT_STATE=()

wt_log() { echo "[$(basename "$0")] $*"; }
wt_fail() { wt_log "FAIL: $*"; WT_FAILURES=$((WT_FAILURES + 1)); }
wt_check() {
  local what="$1"
  shift
  if "$@"; then wt_log "ok: $what"; else wt_fail "$what"; return 1; fi
}

# A child that has exited but is not yet reaped is a zombie: not alive.
wt_alive() { [ -n "$1" ] && [ -r "/proc/$1/stat" ] && ! grep -q ') [ZX] ' "/proc/$1/stat" 2>/dev/null; }

wt_stop_pid() {
  [ -n "$1" ] || return 0
  wt_alive "$1" && kill "$1" 2>/dev/null
  for _ in $(seq 30); do wt_alive "$1" || break; sleep 0.1; done
  wt_alive "$1" && kill -9 "$1" 2>/dev/null
  wait "$1" 2>/dev/null
  return 0
}

wt_cleanup() {
  wt_stop_pid "$HALVANE_PID"
  wt_stop_pid "$XVFB_PID"
  HALVANE_PID="" XVFB_PID=""
  [ -z "$WT_DIR" ] || rm -rf "$WT_DIR"
  WT_DIR=""
}

wt_finish() {
  wt_cleanup
  [ "$WT_FAILURES" -eq 0 ] || { wt_log "$WT_FAILURES check(s) failed"; exit 1; }
  wt_log "all checks passed"
  exit 0
}

# Only the shell that started the program can collect its status.
wt_wait_exit() {
  local deadline=$((SECONDS + $1))
  while wt_alive "$HALVANE_PID" && [ "$SECONDS" -lt "$deadline" ]; do sleep 0.05; done
  if wt_alive "$HALVANE_PID"; then WT_EXIT_STATUS=timeout; return; fi
  WT_EXIT_STATUS=0
  wait "$HALVANE_PID" || WT_EXIT_STATUS=$?
  HALVANE_PID=""
}

wt_quit() {
  wt_key q Escape
  wt_wait_exit 30
  wt_check "q, ESC exits with status 0, got $WT_EXIT_STATUS" test "$WT_EXIT_STATUS" = 0
}

# wt_setup [SIZE [DIRECTIONS] | none]: the display, and a synthetic sample.hrz.
wt_setup() {
  : "${HALVANE:?HALVANE must name the program}" "${HALVANE_TERRAIN:?HALVANE_TERRAIN must name the terrain tool}"
  WT_OUT="${WT_OUT:-$(pwd)}"
  mkdir -p "$WT_OUT"
  WT_DIR=$(mktemp -d "${TMPDIR:-/tmp}/halvane-window-test.XXXXXX")
  trap wt_cleanup EXIT
  trap 'wt_cleanup; exit 1' INT TERM
  if [ "${1:-}" != none ]; then
    "$HALVANE_TERRAIN" --synthetic "${1:-64}" --directions "${2:-16}" -o "$WT_DIR/sample.hrz" >/dev/null ||
      { wt_log "could not make a terrain"; exit 1; }
  fi
  # Xvfb picks a free display and writes its number once it is ready.
  Xvfb -displayfd 3 -screen 0 1400x1400x24 -nolisten tcp -nolisten unix -nolock \
    3>"$WT_DIR/display" >"$WT_DIR/xvfb.log" 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 200); do
    [ -s "$WT_DIR/display" ] || ! wt_alive "$XVFB_PID" && break
    sleep 0.05
  done
  [ -s "$WT_DIR/display" ] || { wt_log "Xvfb did not start: $(cat "$WT_DIR/xvfb.log")"; exit 1; }
  export DISPLAY=":$(head -n1 "$WT_DIR/display")" LIBGL_ALWAYS_SOFTWARE=1
}

# The program runs in the scratch folder, output in $WT_DIR/stdout and stderr.
wt_start() {
  rm -f "$WT_DIR/state"
  WT_MARK=0
  (cd "$WT_DIR" && HALVANE_STATE_FILE="$WT_DIR/state" exec "$HALVANE" "$@" \
    >"$WT_DIR/stdout" 2>"$WT_DIR/stderr") &
  HALVANE_PID=$!
}

wt_launch() {
  wt_start "$@"
  wt_check "first frame drawn" wt_wait_frame || wt_finish
}

wt_read_state() {
  WT_STATE=()
  local line
  [ -e "$WT_DIR/state" ] || return 1
  while IFS= read -r line; do WT_STATE["${line%% *}"]="${line#* }"; done <"$WT_DIR/state"
  [ -n "${WT_STATE[frame]:-}" ]
}

wt_state() { wt_read_state && printf '%s\n' "${WT_STATE[$1]:-}"; }
wt_mark() { if wt_read_state; then WT_MARK=${WT_STATE[frame]}; else WT_MARK=0; fi; }

# wt_wait_until S COMMAND...: polls for up to S seconds for a frame after the
# mark for which COMMAND (run with WT_STATE filled) succeeds; gives up early
# when the program has ended.
wt_wait_until() {
  local seconds="$1" deadline=$((SECONDS + $1))
  shift
  while :; do
    wt_read_state && [ "${WT_STATE[frame]}" -gt "$WT_MARK" ] && "$@" && return 0
    [ "$SECONDS" -lt "$deadline" ] && wt_alive "$HALVANE_PID" || break
    sleep 0.05
  done
  wt_log "waited ${seconds} s after frame $WT_MARK for: $*; the last report was:"
  [ -e "$WT_DIR/state" ] && sed 's/^/    /' "$WT_DIR/state"
  wt_alive "$HALVANE_PID" || wt_log "the program has ended: $(head -c 500 "$WT_DIR/stderr")"
  return 1
}

wt_state_is() { [ "${WT_STATE[$1]:-}" = "$2" ]; }
# shellcheck disable=SC2053
wt_state_like() { [[ "${WT_STATE[$1]:-}" == $2 ]]; }
wt_wait_state() { wt_wait_until "${3:-30}" wt_state_is "$1" "$2"; }
wt_wait_state_like() { wt_wait_until "${3:-30}" wt_state_like "$1" "$2"; }
wt_wait_frame() { wt_wait_until "${1:-30}" true; }

# Input goes to the window under the pointer (not --sync: with the pointer
# already there it would wait for a motion that never comes).
wt_input() {
  xdotool mousemove 675 670 >/dev/null 2>&1
  wt_mark
  xdotool "$@"
}
wt_key() { wt_input key --delay 20 "$@"; }   # xdotool key names
wt_type() { wt_input type --delay 20 "$1"; }  # text

# The report's mouse position tells the frame of the last event.
wt_click() {
  wt_input mousemove "$2" "$3" mousedown "$1" mouseup "$1"
  wt_wait_state mouse "$2 $3"
}

wt_drag() {
  local button="$1" x0="$2" y0="$3" x1="$4" y1="$5" steps="${6:-10}" moves=()
  for i in $(seq "$steps"); do
    moves+=(mousemove $((x0 + (x1 - x0) * i / steps)) $((y0 + (y1 - y0) * i / steps)))
  done
  wt_input mousemove "$x0" "$y0" mousedown "$button" "${moves[@]}" mouseup "$button"
  wt_wait_state mouse "$x1 $y1"
}

# freeglut's menu has 20 equally tall entries; the pointer moves onto the
# entry twice, so that the menu sees a motion over it, and is released there.
wt_menu_choose() {
  local menu="" X Y WIDTH HEIGHT SCREEN WINDOW
  wt_input mousedown 3
  for _ in $(seq 600); do
    menu=$(xdotool search --onlyvisible --name '^freeglut menu$' 2>/dev/null | head -n1)
    [ -n "$menu" ] || ! wt_alive "$HALVANE_PID" && break
    sleep 0.05
  done
  [ -n "$menu" ] || { xdotool mouseup 3; wt_log "the sky menu did not open"; return 1; }
  eval "$(xdotool getwindowgeometry --shell "$menu")"
  local x=$((X < 0 ? 20 : X + 20)) y=$((Y + (2 * $1 + 1) * HEIGHT / 40))
  xdotool mousemove "$x" $((y - 2)) mousemove "$x" "$y" mouseup 3
}

# Full paths: /usr/local/bin/convert may be a stand-in.
wt_shot() { /usr/bin/import -silent -window root "$WT_DIR/$1.ppm" && echo "$WT_DIR/$1.ppm"; }

wt_pixel() { /usr/bin/convert "$1" -crop "1x1+$2+$3" -depth 8 rgb:- | od -An -tu1 | awk '{ print $1 "," $2 "," $3 }'; }

# wt_differ A B [GEOMETRY]: how many pixels differ (in the window's area).
wt_differ() { /usr/bin/compare -metric AE "$1[${3:-1351x1339+0+0}]" "$2[${3:-1351x1339+0+0}]" null: 2>&1 | sed 's/ .*//'; }

wt_blank() { [ "$(/usr/bin/convert "$1" -crop "$2" +repage -format %k info:)" = 1 ]; }  # one colour

# wt_count FILE X Y W H CONDITION: the pixels of the region for which the awk
# CONDITION holds, with r, g and b in percent of full scale ("r-b>35").
wt_count() {
  /usr/bin/convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -depth 8 rgb:- | od -An -v -tu1 -w3 |
    awk "{ r = \$1 * 100 / 255; g = \$2 * 100 / 255; b = \$3 * 100 / 255 } $6 { n++ } END { print n + 0 }"
}

# White bitmap text, thresholded, inverted, enlarged 2x unsmoothed, with a margin.
wt_ocr() {
  local img="$WT_DIR/ocr-$RANDOM.png"
  /usr/bin/convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -colorspace Gray \
    -threshold 90% -negate -filter point -resize 200% -bordercolor white -border 20 "$img"
  tesseract "$img" - --psm 7 2>/dev/null | tr -d '\f' | sed '/^$/d'
}
