# Helpers for the real-window tests: a private Xvfb display, the program under
# Mesa's software renderer in a scratch folder, its state report, keys,
# screenshots, pixels and OCR.
#
# ---- How the tests know what the window shows: the state report -------------
# When the environment variable HALVANE_STATE_FILE names a file, the program
# writes to it, after every frame (help screen and busy frames included, once
# the frame's buffers are swapped), what that frame showed; without the
# variable it writes nothing. wt_start_halvane sets it to $WT_DIR/state. The
# file is replaced whole each time (a temporary file renamed over it), so a
# reader sees one complete report. It holds one "KEY VALUE" line per field:
#
#   frame 3                frames drawn so far, this one included
#   help 0                 1 when the frame is the help screen alone
#   status CLEAR distribution, 250 points, sun (45,180)
#                          the status line; empty when not shown
#   prompt TEXT            the open prompt's question; empty when none is open
#   prompt_text TEXT       the text typed into it, or the name chosen
#   busy TEXT              the busy message ("Computing ...") or empty
#   flash TEXT             the flash message (greeting, refusal, help) or empty
#   points 250             sample points drawn (0 when hidden)
#   regions 0, terrain 1, dome 1, contours 0   what the scene shows
#   mouse 675 670          window position of the last mouse event handled
#
# Texts are escaped to stay on their line: "\\" is a backslash, "\n" a line
# break, "\xHH" another control byte. The code is app/state_report.h and the
# call at the end of each frame perspWindow::display().
#
# Tests wait on this state, not on time: every helper that sends input (keys,
# text, clicks, drags, menu choices) first notes the number of the last frame
# (the mark), and wt_wait_state waits, polling every 50 ms up to a bound, for
# a frame after the mark whose field has the value wanted. Every key the
# program acts on and every click ends in a new frame (F11 and the modifier
# keys alone draw none), and X delivers input in order, so that frame is
# drawn after everything sent before it was handled. Mesa's software
# renderer ends each swap with a round trip to the X server, so once a
# frame's report is there, the frame is on screen: screenshots are taken
# then, and only where pixels are what is tested. OCR is kept in two tests
# that check what a user reads: startup_test (the status line and the
# greeting) and keys_test (a refusal and the help screen).
#
# ---- Helpers -------------------------------------------------------------------
# A test script sources this file, calls wt_setup, and then uses:
#   wt_start_halvane [ARG...]     start the program (in $WT_DIR), sets HALVANE_PID
#   wt_wait_first_frame [S]       wait for the first frame's report
#   wt_state KEY                  prints the field of the last report
#   wt_mark                       notes the last frame (input helpers do it)
#   wt_wait_state KEY VALUE [S]   wait for a frame after the mark with KEY = VALUE
#   wt_wait_state_like KEY GLOB [S]   the same with a bash pattern
#   wt_wait_frame [S]             wait for any frame after the mark
#   wt_key KEY...                 sends keys (xdotool names) to the window
#   wt_type TEXT                  types text into the window
#   wt_wait_window                find the visible window titled "Halvane", sets WID
#   wt_wait_pixel X Y R,G,B [S]   wait up to S seconds for a colour on screen
#   wt_screenshot FILE            the whole screen (the window sits at 0,0);
#                                 .ppm is fast, .png compact
#   wt_pixel FILE X Y             prints "R,G,B"
#   wt_count FILE X Y W H TERM... counts the pixels of a region where every
#                                 TERM holds: "r>60" (red above 60 %), "r-b>35"
#                                 (red above blue by 35 % of full scale), "b<20"
#                                 (blue at most 20 %)
#   wt_ocr FILE X Y W H           prints the text read in a region
#   wt_status_line FILE [CHARS]   the status line read by OCR
#   wt_wait_exit S                waits up to S seconds for the program to end;
#                                 sets WT_EXIT_STATUS (or "timeout")
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
WT_MARK=0
declare -A WT_STATE=()

wt_log() { echo "[$(basename "$0")] $*"; }

wt_fail() {
  wt_log "FAIL: $*"
  WT_FAILURES=$((WT_FAILURES + 1))
}

# Runs "$@"; a non-zero status counts as a failed check named $1 and is
# returned.
wt_check() {
  local what="$1"
  shift
  if "$@"; then
    wt_log "ok: $what"
  else
    wt_fail "$what"
    return 1
  fi
}

# ---- Processes -------------------------------------------------------------------

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

# Waits up to S seconds for the program to end and sets WT_EXIT_STATUS to its
# exit status, or to "timeout" when it is still running. Runs in the test's
# own shell: only the shell that started the program can collect its status.
wt_wait_exit() {
  local deadline=$((SECONDS + $1))
  while wt_alive "$HALVANE_PID" && [ "$SECONDS" -lt "$deadline" ]; do sleep 0.05; done
  if wt_alive "$HALVANE_PID"; then
    WT_EXIT_STATUS=timeout
    return
  fi
  WT_EXIT_STATUS=0
  wait "$HALVANE_PID" || WT_EXIT_STATUS=$?
  HALVANE_PID=""
}

# ---- Display and program ----------------------------------------------------------

# Starts Xvfb on a free display (it picks the number and reports it once it is
# ready) and exports DISPLAY.
wt_start_xvfb() {
  local dpyfile="$WT_DIR/display"
  : >"$dpyfile"
  Xvfb -displayfd 3 -screen 0 1400x1400x24 -nolisten tcp -nolisten unix -nolock \
    3>"$dpyfile" >"$WT_DIR/xvfb.log" 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 200); do
    [ -s "$dpyfile" ] && break
    wt_alive "$XVFB_PID" || break
    sleep 0.05
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

# Starts the program in the scratch folder with its state report in
# $WT_DIR/state; its output goes to $WT_DIR/stdout and $WT_DIR/stderr.
wt_start_halvane() {
  rm -f "$WT_DIR/state"
  WT_MARK=0
  (cd "$WT_DIR" && HALVANE_STATE_FILE="$WT_DIR/state" exec "$HALVANE" "$@" \
    >"$WT_DIR/stdout" 2>"$WT_DIR/stderr") &
  HALVANE_PID=$!
}

# Waits up to 30 s (the machine may be busy) for the program's window to be
# mapped; sets WID.
wt_wait_window() {
  WID=""
  for _ in $(seq 600); do
    WID=$(xdotool search --onlyvisible --name '^Halvane$' 2>/dev/null | head -n1)
    [ -n "$WID" ] && return 0
    wt_alive "$HALVANE_PID" || break
    sleep 0.05
  done
  wt_log "no window appeared"
  [ -s "$WT_DIR/stderr" ] && cat "$WT_DIR/stderr"
  return 1
}

# ---- The state report ----------------------------------------------------------------

# Reads the last report into WT_STATE; false before the first one.
wt_read_state() {
  WT_STATE=()
  local line
  [ -n "$WT_DIR" ] && [ -e "$WT_DIR/state" ] || return 1
  while IFS= read -r line; do
    WT_STATE["${line%% *}"]="${line#* }"
  done <"$WT_DIR/state"
  [ -n "${WT_STATE[frame]:-}" ]
}

wt_state() {
  wt_read_state && printf '%s\n' "${WT_STATE[$1]:-}"
}

wt_mark() {
  if wt_read_state; then WT_MARK=${WT_STATE[frame]}; else WT_MARK=0; fi
}

# Polls the report every 50 ms for up to S seconds until a frame after the
# mark satisfies PREDICATE (a command given the rest of the arguments, run
# with WT_STATE filled). Gives up early when the program has ended.
wt_wait_until() {
  local seconds="$1" deadline=$((SECONDS + $1))
  shift
  while :; do
    if wt_read_state && [ "${WT_STATE[frame]}" -gt "$WT_MARK" ] && "$@"; then
      return 0
    fi
    if [ "$SECONDS" -ge "$deadline" ] || ! wt_alive "$HALVANE_PID"; then break; fi
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

wt_wait_first_frame() {
  WT_MARK=0
  wt_wait_frame "${1:-30}"
}

# ---- Keys ------------------------------------------------------------------------------

# Keys go to the window under the pointer; keep the pointer over it. The
# move is not synchronised (when the pointer is already there, xdotool's
# --sync waits for a motion that never comes); the X server handles it
# before the keys that follow anyway.
wt_pointer_over_window() {
  xdotool mousemove 675 670 >/dev/null 2>&1
}

wt_key() {
  wt_pointer_over_window
  wt_mark
  xdotool key --delay 20 "$@"
}

wt_type() {
  wt_pointer_over_window
  wt_mark
  xdotool type --delay 20 "$1"
}

# ---- Screenshots and pixels -------------------------------------------------------------

wt_screenshot() {
  /usr/bin/import -silent -window root "$1"
}

# "R,G,B" of one pixel of a screenshot.
wt_pixel() {
  /usr/bin/convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- |
    sed -n '2s/^[^(]*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p'
}

# Waits up to S seconds (default 30) until pixel (X, Y) has the colour on
# screen; the last screenshot is $WT_DIR/wait.ppm.
wt_wait_pixel() {
  local x="$1" y="$2" want="$3" seconds="${4:-30}"
  local end=$((SECONDS + seconds))
  while :; do
    wt_screenshot "$WT_DIR/wait.ppm"
    [ "$(wt_pixel "$WT_DIR/wait.ppm" "$x" "$y")" = "$want" ] && return 0
    [ "$SECONDS" -lt "$end" ] || break
    sleep 0.1
  done
  wt_log "pixel ($x,$y) is $(wt_pixel "$WT_DIR/wait.ppm" "$x" "$y"), not $want"
  return 1
}

# Each TERM becomes a black and white mask of the region's channels; the
# count is that of the pixels white in every mask.
wt_count() {
  local file="$1" geometry="${4}x${5}+${2}+${3}"
  shift 5
  local masks=() term lhs
  for term in "$@"; do
    if [[ "$term" == *"<"* ]]; then
      masks+=("(" "mpr:${term%<*}" -threshold "${term#*<}%" -negate ")")
    else
      lhs="${term%>*}"
      if [[ "$lhs" == *-* ]]; then
        masks+=("(" "mpr:${lhs%-*}" "mpr:${lhs#*-}" -compose minus_src -composite
                -threshold "${term#*>}%" ")")
      else
        masks+=("(" "mpr:$lhs" -threshold "${term#*>}%" ")")
      fi
    fi
  done
  /usr/bin/convert "$file" -crop "$geometry" +repage -channel RGB -separate +channel \
    "(" -clone 0 -write mpr:r +delete ")" "(" -clone 1 -write mpr:g +delete ")" \
    "(" -clone 2 -write mpr:b +delete ")" -delete 0-2 "${masks[@]}" \
    -evaluate-sequence min -precision 12 -format '%[fx:round(mean*w*h)]' info:
}

# ---- OCR ------------------------------------------------------------------------------------

# Text in a region of a screenshot: white bitmap text on any background,
# thresholded, inverted, enlarged 2x without smoothing and given a margin.
wt_ocr() {
  local file="$1" x="$2" y="$3" w="$4" h="$5"
  local img="$WT_DIR/ocr-$$-$RANDOM.png"
  /usr/bin/convert "$file" -crop "${w}x${h}+${x}+${y}" +repage -colorspace Gray \
    -threshold 90% -negate -filter point -resize 200% -bordercolor white -border 20 "$img"
  tesseract "$img" - --psm 7 2>/dev/null | tr -d '\f' | sed '/^$/d'
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
