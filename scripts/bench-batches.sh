#!/usr/bin/env bash
# Times the batch targets with the real commands, as users run them:
#   1. a year of hourly sample files (about 4400 with the sun up) of 250
#      stratified points: target 60 s on two cores;
#   2. a cumulative map of the default terrain over a day at 10-minute steps:
#      target 5 s.
# Reports the machine's load before each, and the wall-clock and CPU time of
# each command. BUILD names another build folder.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="${BUILD:-$root/build}"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
exec 2>&1
TIMEFORMAT='  %R s wall-clock, %U s user CPU, %S s system CPU'

echo "cores: $(nproc); load: $(uptime | sed 's/.*load average: //')"
echo "a year of hourly sample files, 250 stratified points, at 46.5N 7.5E:"
time "$build/tools/halvane-samples" --site 46.5,7.5 --from 2026-01-01T00:00Z --to 2026-12-31T23:00Z --step 60 \
  --points 250 --set stratified --quiet -o "$scratch/samples-{time}.txt"
echo "  $(ls "$scratch" | wc -l) files"

echo "load: $(uptime | sed 's/.*load average: //')"
echo "a cumulative map of the default terrain over 2026-06-21 at 10-minute steps:"
time "$build/tools/halvane-skylight" "$build/sample.hrz" --site 46.5,7.5 --from 2026-06-21T00:00Z \
  --to 2026-06-22T00:00Z --step 10 --quiet -o "$scratch/day.tif"
