#!/bin/bash
# compare-peers.sh: Halvane's horizons and sky-view factor against GRASS GIS
# (r.horizon) and SAGA GIS (ta_lighting 3, "Sky View Factor") on the same DEMs.
# A measurement, not a test: it is not part of `make test`.
#
# Needs the build (make build) and, for measuring only (they are no build
# dependency, so scripts/install-deps.sh leaves them out):
#   apt-get install --no-install-recommends grass-core saga python3-numpy \
#       python3-gdal python-matplotlib-data
#
# Usage: scripts/compare-peers.sh [SIZE ...]      (default: 256 512 1024)
#   DIRECTIONS="36 72"   horizon directions / SAGA sectors to compare
#   REAL=0               leave out the real DEM (the 3 arc-second USGS DEM of
#                        the Jacksboro fault that python-matplotlib-data ships)
#   PLACED=0             leave out the synthetic DEM placed off the central meridian
#   WORK=DIR             scratch folder (default /tmp/halvane-peers), kept
#
# Prints, after `uptime`:
#   1. Scenes with known answers (201 x 201 cells of 1 m): horizons of a plane
#      rising at 20 degrees against atan(tan S sin a); the sky-view factor of
#      that plane against (1 + cos S) / 2, and on the floor of a 30-degree V
#      valley against cos 30 = 0.86603.
#   2. For every DEM (halvane-terrain --synthetic SIZE exported with cells of
#      1 m, and the real DEM as halvane-terrain imports it, in UTM) and every
#      direction count: Halvane minus r.horizon in degrees, both against a
#      dense reference march on 1000 cells (a flat earth: DEMs are made with
#      --flat-earth for it), Halvane's sky-view factor minus
#      SAGA's, and the run times (wall and CPU seconds) with the ratios
#      peer / Halvane. Differences are over the cells at least SIZE / 16 cells
#      (16 at least) from every edge: the median (signed), and the median,
#      99th percentile and maximum of their absolute values.
#   3. Grid and true north, and the earth's curvature, on the issue's DEM
#      (the synthetic landscape of 512 cells of 100 m, 51 km wide, centred
#      300 km east of UTM zone 33N's central meridian at 46 N, where grid
#      north lies 2.8 degrees east of true north) and on the real DEM: r.horizon
#      is asked for the bands' own azimuths (AZIMUTH_CCW_FROM_EAST, their true
#      bearings) with no turn of its own; Halvane's horizons are computed with
#      the bare curvature r.horizon takes (--refraction 0), then also with
#      --flat-earth, and r.horizon at the grid's azimuths shows what the
#      convergence would be. r.horizon's own curvature: its horizons at the
#      true scale minus those of the same DEM shrunk a hundredfold (same
#      angles, a hundredth of the curvature).
# Timing: Halvane's horizons are halvane-terrain end to end (heights, horizons
# on all cores, terrain file and --horizons-out GeoTIFF); r.horizon's are its
# own run (one thread) without import and export. SAGA's sky-view factor
# finds its horizons itself (on all cores), so it is set against halvane-
# terrain plus halvane-skylight --svf.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
TOOLS=${TOOLS:-$ROOT/build/tools}
PY="/usr/bin/python3 $ROOT/scripts/compare_peers.py"
WORK=${WORK:-/tmp/halvane-peers}
SIZES=${*:-256 512 1024}
DIRECTIONS=${DIRECTIONS:-36 72}
REAL=${REAL:-1}

for need in "$TOOLS/halvane-terrain" "$TOOLS/halvane-skylight"; do
  [ -x "$need" ] || { echo "compare-peers.sh: $need is missing; run make build" >&2; exit 2; }
done
for need in grass saga_cmd /usr/bin/time; do
  command -v "$need" >/dev/null || { echo "compare-peers.sh: $need is missing (see the header)" >&2; exit 2; }
done
/usr/bin/python3 -c 'import numpy; from osgeo import gdal' 2>/dev/null ||
  { echo "compare-peers.sh: python3-numpy and python3-gdal are missing" >&2; exit 2; }

mkdir -p "$WORK"
cd "$WORK"
echo "load: $(uptime)"

# timed NAME COMMAND...: runs the command, appending "NAME WALL CPU" to times.txt.
timed() {
  local name=$1
  shift
  /usr/bin/time -f "%e %U %S" -o time.out "$@" >/dev/null 2>time.err ||
    { cat time.err >&2; echo "compare-peers.sh: $name failed" >&2; exit 1; }
  awk -v name="$name" '{ printf "%s %.2f %.2f\n", name, $1, $2 + $3 }' time.out >> times.txt
}
seconds() { awk -v name="$1" '$1 == name { print $2 " s wall, " $3 " s CPU" }' times.txt; }
ratio() {  # ratio PEER HALVANE...: wall-time ratio of the peer to the sum of Halvane's runs
  awk -v peer="$1" -v ours="${*:2}" 'BEGIN { n = split(ours, o, " "); for (i = 1; i <= n; i++) want[o[i]] = 1 }
    $1 == peer { p = $2; pc = $3 } ($1 in want) { h += $2; hc += $3 }
    END { printf "%.1f (CPU %.1f)", p / h, pc / hc }' times.txt
}
convergence() { gdalinfo "$1" 2>/dev/null | awk -F= '/MERIDIAN_CONVERGENCE=/ && !found { print $2; found = 1 }'; }
margin() { local m=$(($1 / 16)); echo $((m < 16 ? 16 : m)); }

# grass_horizons NAME DEM.tif N [HALVANE.tif]: r.horizon in N directions,
# degrees, no distance limit; the rasters go to NAME-N-grass/ in the order of
# Halvane's directions, timed as grass-NAME-N. With Halvane's horizon raster,
# at its bands' azimuths (AZIMUTH_CCW_FROM_EAST: true bearings, as r.horizon
# takes its directions), a run per direction; without, at the grid's
# azimuths (j + 0.5) 360 / N, one run over start..end plus one for the last
# direction (r.horizon counts floor((end - start) / step) directions).
grass_horizons() {
  local name=$1 dem=$2 n=$3 halvane=${4:-} db=$WORK/grassdb/$1
  local step start last runs
  step=$(awk -v n="$n" 'BEGIN { printf "%.10g", 360 / n }')
  start=$(awk -v n="$n" 'BEGIN { printf "%.10g", 180 / n }')
  last=$(awk -v n="$n" 'BEGIN { printf "%.10g", 360 - 180 / n }')
  if [ -z "$halvane" ]; then
    runs="r.horizon -d elevation=dem start=$start end=360 step=$step maxdistance=1e9 output=hor --overwrite --quiet &&
      r.horizon -d elevation=dem direction=$last maxdistance=1e9 output=hor --overwrite --quiet"
  else
    runs=$($PY azimuths "$halvane" | awk '{
      printf "%sr.horizon -d elevation=dem direction=%s maxdistance=1e9 output=hor_%03d --overwrite --quiet",
        (NR > 1 ? " && " : ""), $1, NR - 1 }')
  fi
  [ -d "$db" ] || grass -e -c "$dem" "$db" >/dev/null 2>&1
  rm -rf "$name-$n-grass" && mkdir "$name-$n-grass"
  cat > grass-job.sh <<EOF
set -e
r.in.gdal input=$dem output=dem --overwrite --quiet
g.region raster=dem
/usr/bin/time -f "%e %U %S" -o $WORK/time.out bash -c "$runs"
awk '{ printf "grass-$name-$n %.2f %.2f\n", \$1, \$2 + \$3 }' $WORK/time.out >> $WORK/times.txt
for map in \$(g.list type=raster pattern='hor_*'); do
  r.out.gdal input=\$map output=$WORK/$name-$n-grass/\$map.tif format=GTiff type=Float32 createopt=COMPRESS=DEFLATE --quiet
done
g.remove -f type=raster pattern='hor_*' --quiet
EOF
  grass "$db/PERMANENT" --exec bash "$WORK/grass-job.sh" >grass.log 2>&1 ||
    { cat grass.log >&2; echo "compare-peers.sh: GRASS failed on $name" >&2; exit 1; }
}

# compare NAME DEM.tif TERRAIN-COMMAND...: every direction count on one DEM.
compare() {
  local name=$1 dem=$2 size m
  shift 2
  size=$(gdalinfo "$dem" 2>/dev/null | awk '/^Size is/ { sub(",", "", $3); print $3 }')
  m=$(margin "$size")
  for n in $DIRECTIONS; do
    echo
    echo "== $name, $n directions (cells at least $m from the edges)"
    timed "halvane-terrain-$name-$n" "$TOOLS/halvane-terrain" "$@" --directions "$n" --quiet \
      --horizons-out "$name-$n-halvane.tif" -o "$name-$n.hrz"
    timed "halvane-svf-$name-$n" "$TOOLS/halvane-skylight" "$name-$n.hrz" --svf "$name-$n-halvane-svf.tif"
    grass_horizons "$name" "$dem" "$n" "$name-$n-halvane.tif"
    timed "saga-$name-$n" saga_cmd ta_lighting 3 -DEM "$dem" -SVF "$name-$n-saga-svf.sdat" \
      -VISIBLE "$name-$n-saga-visible.sdat" -RADIUS 0 -NDIRS "$n" -METHOD 0
    echo "Halvane - r.horizon, horizon angle (degrees):"
    echo "  $($PY horizons "$name-$n-halvane.tif" "$m" "$name-$n-grass"/hor_*.tif | sed 's/^horizon angle (degrees): //')"
    $PY reference "$dem" 1000 "$m" "$name-$n-halvane.tif" "$name-$n-grass"/hor_*.tif
    echo "Halvane - SAGA, sky-view factor:"
    echo "  $($PY svf "$name-$n-halvane-svf.tif" "$name-$n-saga-svf.sdat" "$m" | sed 's/^sky-view factor: //')"
    echo "times: Halvane horizons $(seconds "halvane-terrain-$name-$n"), sky-view factor $(seconds "halvane-svf-$name-$n")"
    echo "       r.horizon $(seconds "grass-$name-$n"): ratio $(ratio "grass-$name-$n" "halvane-terrain-$name-$n")"
    echo "       SAGA $(seconds "saga-$name-$n"): ratio $(ratio "saga-$name-$n" "halvane-terrain-$name-$n" "halvane-svf-$name-$n")"
  done
}

: > times.txt

echo
echo "== Scenes with known answers, 36 directions"
$PY scene plane 201 20 plane.tif
$PY scene vee 201 30 vee.tif
for scene in plane vee; do
  "$TOOLS/halvane-terrain" --dem "$scene.tif" --directions 36 --flat-earth --quiet -o "$scene.hrz"
  "$TOOLS/halvane-skylight" "$scene.hrz" --svf "$scene-halvane-svf.tif"
  saga_cmd ta_lighting 3 -DEM "$scene.tif" -SVF "$scene-saga-svf.sdat" -VISIBLE "$scene-saga-visible.sdat" \
    -RADIUS 0 -NDIRS 36 -METHOD 0 >/dev/null 2>&1
done
"$TOOLS/halvane-terrain" --dem plane.tif --directions 36 --flat-earth --quiet --horizons-out plane-halvane.tif -o plane.hrz
grass_horizons plane plane.tif 36
echo "plane of 20 degrees, horizons (peer: r.horizon):"
$PY plane 20 16 plane-halvane.tif plane-36-grass/hor_*.tif
echo "plane of 20 degrees, sky-view factor against (1 + cos S) / 2:"
$PY constant 0.969846 16 plane-halvane-svf.tif plane-saga-svf.sdat
echo "floor of the 30-degree V valley, sky-view factor (cos 30 = 0.86603):"
$PY centre vee-halvane-svf.tif vee-saga-svf.sdat

for size in $SIZES; do
  "$TOOLS/halvane-terrain" --synthetic "$size" --directions 1 --quiet -o "synthetic-$size-heights.hrz"
  $PY dem "synthetic-$size-heights.hrz" "synthetic-$size.tif"
  compare "synthetic-$size" "$WORK/synthetic-$size.tif" --synthetic "$size"
done

# north_and_curvature NAME DEM.tif: section 3 on one DEM, 36 directions.
north_and_curvature() {
  local name=$1 dem=$2 size m turn
  size=$(gdalinfo "$dem" 2>/dev/null | awk '/^Size is/ { sub(",", "", $3); print $3 }')
  m=$(margin "$size")
  "$TOOLS/halvane-terrain" --dem "$dem" --directions 36 --refraction 0 --quiet \
    --horizons-out "$name-curved-halvane.tif" -o "$name-curved.hrz"
  "$TOOLS/halvane-terrain" --dem "$dem" --directions 36 --flat-earth --quiet \
    --horizons-out "$name-flat-halvane.tif" -o "$name-flat.hrz"
  turn=$(convergence "$name-curved-halvane.tif")
  echo
  echo "== Grid and true north, earth curvature ($name, 36 directions; meridian convergence $turn degrees)"
  grass_horizons "$name-true" "$dem" 36 "$name-curved-halvane.tif"
  echo "Halvane (curved earth, --refraction 0) - r.horizon at the bands' true bearings:"
  echo "  $($PY horizons "$name-curved-halvane.tif" "$m" "$name-true-36-grass"/hor_*.tif | sed 's/^[^:]*: //')"
  echo "Halvane --flat-earth - r.horizon at the bands' true bearings:"
  echo "  $($PY horizons "$name-flat-halvane.tif" "$m" "$name-true-36-grass"/hor_*.tif | sed 's/^[^:]*: //')"
  grass_horizons "$name-grid" "$dem" 36
  echo "Halvane (curved earth) - r.horizon at the grid's azimuths, not turned by the convergence:"
  echo "  $($PY horizons "$name-curved-halvane.tif" "$m" "$name-grid-36-grass"/hor_*.tif | sed 's/^[^:]*: //')"
  $PY scale "$dem" 0.01 "$name-small.tif"
  grass_horizons "$name-small" "$WORK/$name-small.tif" 36 "$name-curved-halvane.tif"
  echo "r.horizon true scale - r.horizon a hundredth of the scale (its curvature):"
  echo "  $($PY horizons-pair "$m" "$name-true-36-grass" "$name-small-36-grass")"
  echo "Halvane curved - flat (its curvature):"
  echo "  $($PY bands-pair "$m" "$name-curved-halvane.tif" "$name-flat-halvane.tif")"
  echo "Halvane's curvature - r.horizon's (curved - flat, true scale - a hundredth):"
  echo "  $($PY curvature-pair "$m" "$name-curved-halvane.tif" "$name-flat-halvane.tif" "$name-true-36-grass" "$name-small-36-grass")"
}

if [ "${PLACED:-1}" = 1 ]; then
  "$TOOLS/halvane-terrain" --synthetic 512 --directions 1 --quiet -o placed-heights.hrz
  $PY placed placed-heights.hrz 100 32633 800000 5096000 placed.tif
  north_and_curvature placed "$WORK/placed.tif"
fi

if [ "$REAL" = 1 ]; then
  $PY jacksboro jacksboro-wgs84.tif
  "$TOOLS/halvane-terrain" --dem jacksboro-wgs84.tif --directions 1 -o jacksboro-heights.hrz 2>&1 |
    sed 's/^halvane-terrain: /real DEM: /'
  $PY dem jacksboro-heights.hrz jacksboro.tif
  compare jacksboro "$WORK/jacksboro.tif" --dem "$WORK/jacksboro.tif" --flat-earth
  north_and_curvature jacksboro "$WORK/jacksboro.tif"
fi
echo
echo "load: $(uptime)"
