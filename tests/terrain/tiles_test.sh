#!/usr/bin/env bash
# Four tiles of a DEM computed as separate jobs by GNU parallel (2 at a time)
# and joined with veranta-map --mosaic equal the whole run: every pixel,
# band description, unit, statistic, overview and metadata item, map and
# horizons, and both are Cloud Optimized GeoTIFFs; the tiles' halo reaches
# across tile borders (a 300 m search over 30 m cells, tiles of 160 cells).
# A mosaic of tiles that do not make one whole run is refused in one line.
set -uo pipefail
map=$1
. "$(dirname "${BASH_SOURCE[0]}")/hillDem.sh"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"

# A hill and a ridge with a nodata hole, 300 x 270 cells (tiles at the right
# and bottom edges are smaller; the whole has one level of overviews).
hillDem 300 270 497900 4875000 30 '250 + 120 * exp(-((c - 150)^2 + (r - 120)^2) / 300) + 60 * exp(-(c - 165)^2 / 4) + 0.5 * r' 'r == 140 && c >= 150 && c <= 170'

pass=0
fail=0
ok() { pass=$((pass + 1)); }
bad() { fail=$((fail + 1)); echo "FAIL: $*"; }

opts=(--year 2023 --from 10/6 --to 12/7 --directions 12 --distance 300 --quiet)
"$map" "${opts[@]}" --horizons whole-h.tif dem.tif whole.tif || bad "the whole run"
parallel -j 2 --halt now,fail=1 "$map" "${opts[@]}" --tile {1},{2} --tile-size 160 \
  --horizons tile-h-{1}-{2}.tif dem.tif tile-{1}-{2}.tif ::: 0 1 ::: 0 1 || bad "the tiles"
"$map" --quiet --mosaic season.tif tile-?-?.tif || bad "the mosaic"
"$map" --quiet --mosaic season-h.tif tile-h-?-?.tif || bad "the horizons' mosaic"

# gdalinfo's whole account but the file's own name, and every pixel.
account() { gdalinfo -mm -stats "$1" | grep -v -e '^Files:' -e '\.tif'; rm -f "$1.aux.xml"; }
for pair in "whole.tif season.tif" "whole-h.tif season-h.tif"; do
  set -- $pair
  gdal_translate -q -of ENVI "$1" "$1.raw"
  gdal_translate -q -of ENVI "$2" "$2.raw"
  if cmp -s "$1.raw" "$2.raw"; then ok; else bad "the pixels of $2 differ from the whole run's $1"; fi
  if diff <(account "$1") <(account "$2") > account.diff; then ok; else bad "$2 says other than $1:"; cat account.diff; fi
done
# What the files say: units, statistics, overviews, the run's metadata.
info=$(gdalinfo whole.tif)
for said in "Unit Type: degC degree days" "Unit Type: MJ/m2" "Unit Type: degree" "Unit Type: minute" \
            "STATISTICS_MEAN=" "Overviews: 150x135" "DEM_WINDOW=0,0,300,270" "DEM_SIZE=300 x 270" \
            "DEM_FILE=dem.tif" "CONTENT=season map" "CELLS_WITH_ELEVATION=" "OUTSIDE_CALIBRATED_REGION="; do
  if [[ "$info" == *"$said"* ]]; then ok; else bad "whole.tif does not say $said"; fi
done
if [[ "$(gdalinfo tile-1-0.tif)" == *"DEM_WINDOW=160,0,140,160"* ]]; then ok; else bad "tile 1,0 does not say its window"; fi
validate=/usr/lib/python3/dist-packages/osgeo_utils/samples/validate_cloud_optimized_geotiff.py
for f in whole.tif whole-h.tif season.tif tile-0-0.tif; do
  if /usr/bin/python3 "$validate" -q "$f"; then ok; else bad "$f is not a Cloud Optimized GeoTIFF"; fi
done
# The run is not trivially equal: the ridge shades some cells.
most=$(gdalinfo whole.tif | awk '/^Band 5 /{b=1} b && /STATISTICS_MAXIMUM=/{sub(/.*=/, ""); print; exit}')
if awk -v m="$most" 'BEGIN { exit !(m > 0) }'; then ok; else bad "no cell is ever in terrain shadow (band 5 at most '$most')"; fi

# Tiles that are not one whole run: each refused in one line, no file left.
"$map" "${opts[@]}" --from 1/6 --tile 1,1 --tile-size 160 dem.tif other-season.tif
"$map" "${opts[@]}" --no-shade --tile 1,1 --tile-size 160 dem.tif unshaded.tif
"$map" "${opts[@]}" --tile 2,2 --tile-size 100 dem.tif small.tif
cp tile-1-1.tif copy.tif
refused() {  # what, expected line, tiles...
  local what=$1 expected=$2; shift 2
  local err rc
  err=$("$map" --quiet --mosaic m.tif "$@" 2>&1); rc=$?
  if [ "$rc" -eq 1 ] && [ "$err" = "veranta-map: $expected" ] && [ ! -e m.tif ] && [ -z "$(ls -A | grep '^\.m\.tif')" ]; then
    ok
  else
    bad "$what: exit $rc, got '$err', expected 'veranta-map: $expected'"
  fi
}
refused "a tile missing" "tile 1,1 is missing: the DEM's grid of 300 x 270 cells in tiles of 160 needs 2 x 2 tiles" \
  tile-0-0.tif tile-1-0.tif tile-0-1.tif
refused "a tile twice" "tile-1-1.tif and copy.tif overlap: both hold the cell at column 160, row 160" \
  tile-0-0.tif tile-1-0.tif tile-0-1.tif tile-1-1.tif copy.tif
refused "a whole run among the tiles" "tile-0-0.tif and whole.tif overlap: both hold the cell at column 0, row 0" \
  tile-0-0.tif whole.tif
refused "a tile of another season" \
  "other-season.tif is not of the run of tile-0-0.tif: its SEASON is 1/6 to 12/7, not 10/6 to 12/7" \
  tile-0-0.tif tile-1-0.tif tile-0-1.tif other-season.tif
refused "a tile without shading" "unshaded.tif is not of the run of tile-0-0.tif: its SHADING is none, not terrain" \
  tile-0-0.tif tile-1-0.tif tile-0-1.tif unshaded.tif
refused "a horizons tile" "tile-h-1-1.tif is not of the run of tile-0-0.tif: its CONTENT is horizon angles, not season map" \
  tile-0-0.tif tile-1-0.tif tile-0-1.tif tile-h-1-1.tif
refused "a tile of other tiles" "a tile is missing: no file holds the cell at column 160, row 160 of the DEM's grid of 300 x 270 cells" \
  tile-0-0.tif tile-1-0.tif tile-0-1.tif small.tif
refused "not a map" "dem.tif: it is not a map from veranta-map (its metadata have no CONTENT)" tile-0-0.tif dem.tif
refused "the output is a tile" "the output m.tif is the tile ./m.tif; choose another file for the mosaic" ./m.tif
echo "$pass passed, $fail failed"
[ "$fail" -eq 0 ]
