#!/usr/bin/env bash
# veranta-map --target as a user runs it: one band more than without, after
# the others, described with the target, the target in the metadata, days
# of the season or 0; tiles of the run mosaic to the whole run bit for bit.
set -euo pipefail
map=$1
. "$(dirname "${BASH_SOURCE[0]}")/hillDem.sh"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"

# A hill, 20 x 18 cells of 30 m, with a nodata cell.
hillDem 20 18 497900 4875000 30 '250 + 150 * exp(-((c - 9)^2 + (r - 8)^2) / 25) + 2 * c' 'r == 3 && c == 4'

opts=(--year 2023 --from 10/6 --to 12/8 --directions 8 --distance 300 --quiet)
"$map" "${opts[@]}" dem.tif plain.tif
"$map" "${opts[@]}" --target 310.5 dem.tif target.tif
parallel -j 2 --halt now,fail=1 "$map" "${opts[@]}" --target 310.5 --tile {1},{2} --tile-size 12 \
  dem.tif tile-{1}-{2}.tif ::: 0 1 ::: 0 1
gdalbuildvrt -q mosaic.vrt tile-?-?.tif

status=0
fail() { echo "FAIL: $*"; status=1; }
bands() { gdalinfo "$1" | grep -c '^Band '; }
n=$(bands plain.tif)
[ "$(bands target.tif)" -eq $((n + 1)) ] || fail "--target should add one band to the $n bands"
info=$(gdalinfo -stats target.tif)
rm -f target.tif.aux.xml
echo "$info" | grep -A1 "^Band $((n + 1)) " | grep -qF \
  "Description = day of the year the season reaches 310.5 degree days (degC above 10 degC), 0 where not reached" ||
  fail "the last band's description"
echo "$info" | grep -q '^  TARGET_DEGREE_DAYS=310.5$' || fail "the target in the metadata"
# Some cells reach it within the season (161 to 224 in 2023), some do not.
stats=$(echo "$info" | sed -n "/^Band $((n + 1)) /,/^Band /p" | grep -m1 'Minimum=')
min=$(echo "$stats" | sed 's/.*Minimum=\([0-9.]*\),.*/\1/')
max=$(echo "$stats" | sed 's/.*Maximum=\([0-9.]*\),.*/\1/')
[ "$min" = "0.000" ] || fail "no cell misses the target (minimum $min)"
awk -v m="$max" 'BEGIN { exit !(m >= 161 && m <= 224) }' || fail "the latest day $max lies outside the season"
# The other bands are those of the run without a target.
for b in $(seq 1 "$n"); do
  gdal_translate -q -of ENVI -b "$b" plain.tif p.raw
  gdal_translate -q -of ENVI -b "$b" target.tif t.raw
  cmp -s p.raw t.raw || fail "band $b differs from the run without a target"
done
gdal_translate -q -of ENVI target.tif whole.raw
gdal_translate -q -of ENVI mosaic.vrt mosaic.raw
cmp -s whole.raw mosaic.raw || fail "the tiles' mosaic differs from the whole run"
[ $status -eq 0 ] && echo "PASS: the target band after today's, described, and the same in tiles"
exit $status
