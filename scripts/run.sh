#!/usr/bin/env bash
# Starts Halvane in the working folder run/ (terrain files are read and sample
# point files written there), with the default terrain "sample.hrz" copied in
# when the folder has none. Arguments are passed to the program (a sky
# distribution number 1..8).
#
# Without a display it shows the program at work on a virtual one: it computes
# the default sample set (key p), writes it to run/samples.txt (key o), saves a
# screenshot as run/halvane.png and quits.
#
# BUILD names another build folder, RUN_DIR another working folder.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="${BUILD:-$root/build}"
run="${RUN_DIR:-$root/run}"
program="$build/halvane"

mkdir -p "$run"
if [ ! -e "$run/sample.hrz" ]; then
  cp "$build/sample.hrz" "$run/sample.hrz"
fi
cd "$run"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$program" "$@"
fi

echo "No display could be opened (DISPLAY is ${DISPLAY:-unset}); running Halvane on a virtual display (Xvfb) instead."

scratch=$(mktemp -d)
xvfb_pid=""
halvane_pid=""
alive() { [ -n "$1" ] && [ -r "/proc/$1/stat" ] && ! grep -q ') [ZX] ' "/proc/$1/stat"; }
stop() {
  local pid
  for pid in "$halvane_pid" "$xvfb_pid"; do
    if alive "$pid"; then kill "$pid" 2>/dev/null || true; fi
    [ -n "$pid" ] && wait "$pid" 2>/dev/null || true
  done
  rm -rf "$scratch"
}
trap stop EXIT
trap 'exit 1' INT TERM
fail() { echo "halvane: $*" >&2; exit 1; }

# Waits up to $2 tenths of a second for the command $1 to succeed.
wait_for() {
  local i
  for i in $(seq "$2"); do
    eval "$1" && return 0
    sleep 0.1
  done
  return 1
}

Xvfb -displayfd 3 -screen 0 1400x1400x24 -nolisten tcp -nolisten unix -nolock \
  3>"$scratch/display" 2>"$scratch/xvfb.log" &
xvfb_pid=$!
wait_for '[ -s "$scratch/display" ]' 100 || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$scratch/display")"
export LIBGL_ALWAYS_SOFTWARE=1

# The program reports what each frame showed in the state file; the steps
# below wait on it.
state="$scratch/state"
shown() { [ -e "$state" ] && grep -q "$1" "$state"; }
HALVANE_STATE_FILE="$state" "$program" "$@" &
halvane_pid=$!
wait_for 'shown "^frame "' 300 || fail "the window did not appear"
xdotool mousemove 675 670

rm -f samples.txt
# The sample points take a moment; the keys after them wait in the queue.
xdotool key p o
wait_for 'shown "^prompt Enter a file name"' 1200 || fail "the output prompt did not open"
xdotool type --delay 30 samples.txt
xdotool key Return
wait_for 'shown "^flash Sample points are recorded"' 300 && [ -s samples.txt ] ||
  fail "no sample file was written"
/usr/bin/import -silent -window root -crop 1351x1339+0+0 +repage halvane.png
xdotool key q q
wait_for '! alive "$halvane_pid"' 50 || true

echo "Screenshot:  $run/halvane.png"
echo "Sample file: $run/samples.txt"
