#!/usr/bin/env bash
# veranta-map --anchor as a user runs it: the map's degree-day bands described
# as anchored to the station, its site and offsets in the metadata, the other
# bands as without it, tiles of the run mosaic to the whole run; each refusal
# one line on standard error, exit status 1 and no file written.
set -uo pipefail
map=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"

# A hill, 16 x 14 cells of 30 m near Corvallis, with a nodata cell.
awk 'BEGIN {
  print "ncols 16\nnrows 14\nxllcorner 478000\nyllcorner 4935000\ncellsize 30\nNODATA_value -9999"
  for (r = 0; r < 14; r++) {
    line = ""
    for (c = 0; c < 16; c++) {
      z = 150 + 120 * exp(-((c - 7)^2 + (r - 6)^2) / 20) + 2 * c
      if (r == 2 && c == 3) z = -9999
      line = line sprintf("%.2f ", z)
    }
    print line
  }
}' > dem.asc
gdal_translate -q -a_srs EPSG:32610 dem.asc dem.tif
# Two years of a station's days, 27 / 12 degC, in Meteostat's daily layout
# (no site in it); every August missing 5 days.
awk 'BEGIN {
  print "date,tavg,tmin,tmax,prcp,snow,wdir,wspd,wpgt,pres,tsun"
  split("31 28 31 30 31 30 31 31 30 31 30 31", len, " ")
  for (y = 2021; y <= 2022; y++)
    for (m = 1; m <= 12; m++)
      for (d = 1; d <= len[m]; d++)
        printf "%d-%02d-%02d,19.5,%s,27.0,,,,,,,\n", y, m, d, (m == 8 && d <= 5) ? "" : "12.0"
}' > station.csv
printf 'date,tmax,tmin\n2021-06-01,80,50\n' > nounit.csv

status=0
fail() { echo "FAIL: $*"; status=1; }
site=44.6341,-123.1903,68.6
opts=(--year 2023 --from 10/5 --to 20/7 --no-shade --quiet)
"$map" "${opts[@]}" dem.tif plain.tif || fail "the plain run"
"$map" "${opts[@]}" --anchor station.csv --anchor-site "$site" dem.tif anchored.tif || fail "the anchored run"
parallel -j 2 --halt now,fail=1 "$map" "${opts[@]}" --anchor station.csv --anchor-site "$site" \
  --tile {1},{2} --tile-size 8 dem.tif tile-{1}-{2}.tif ::: 0 1 ::: 0 1 || fail "the anchored tiles"
"$map" --quiet --mosaic mosaic.tif tile-?-?.tif || fail "the mosaic"

info=$(gdalinfo anchored.tif)
for d in "season degree days" "May degree days" "June degree days" "July degree days"; do
  echo "$info" | grep -qxF "  Description = $d (degC above 10 degC, estimated average season, anchored to station station.csv)" ||
    fail "the band \"$d\" does not say it is anchored"
done
echo "$info" | grep -qx '  ANCHOR_STATION=station.csv' || fail "ANCHOR_STATION"
echo "$info" | grep -qx "  ANCHOR_SITE=44.6341,-123.1903,68.6" || fail "ANCHOR_SITE"
echo "$info" | grep -qE '^  ANCHOR_OFFSETS_GDD=5=[-0-9.e]+,6=[-0-9.e]+,7=[-0-9.e]+$' || fail "ANCHOR_OFFSETS_GDD"
# Irradiation, tilt, aspect and shadow as without the station; degree days not.
for b in $(seq 1 11); do
  gdal_translate -q -of ENVI -b "$b" plain.tif p.raw
  gdal_translate -q -of ENVI -b "$b" anchored.tif a.raw
  case $b in
    1|7|9|11) cmp -s p.raw a.raw && fail "degree-day band $b is as without the station" ;;
    *) cmp -s p.raw a.raw || fail "band $b differs from the run without the station" ;;
  esac
done
gdal_translate -q -of ENVI anchored.tif whole.raw
gdal_translate -q -of ENVI mosaic.tif mosaic.raw
cmp -s whole.raw mosaic.raw || fail "the tiles' mosaic differs from the whole run"
info=$(gdalinfo mosaic.tif)
echo "$info" | grep -qx '  ANCHOR_STATION=station.csv' || fail "the mosaic's ANCHOR_STATION"

refused() {  # what, the line's start, arguments...
  local what=$1 line=$2; shift 2
  rm -f out.tif
  local err rc
  err=$("$map" --quiet "$@" 2>&1 >/dev/null); rc=$?
  [ "$rc" -eq 1 ] || fail "$what: exit status $rc"
  [ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] || fail "$what: not one line: $err"
  case $err in "veranta-map: $line"*) ;; *) fail "$what: said \"$err\"" ;; esac
  [ ! -e out.tif ] || fail "$what: a file was written"
}
refused "no site" "--anchor station.csv does not say where the station is; give --anchor-site" \
  --anchor station.csv dem.tif out.tif
refused "a site without a station" "--anchor-site goes with --anchor" --anchor-site "$site" dem.tif out.tif
refused "a site that is none" "--anchor-site takes latitude" --anchor station.csv --anchor-site 44,-123 dem.tif out.tif
refused "with a target" "--anchor takes no --target" --target 500 --anchor station.csv --anchor-site "$site" \
  dem.tif out.tif
refused "no such file" "--anchor missing.csv: " --anchor missing.csv --anchor-site "$site" dem.tif out.tif
refused "no unit" "--anchor nounit.csv: its header does not say" --anchor nounit.csv --anchor-site "$site" \
  dem.tif out.tif
refused "an incomplete month" "--anchor station.csv: the file has no complete August" --from 1/7 --to 31/8 \
  --anchor station.csv --anchor-site "$site" dem.tif out.tif
refused "a season within one month" "--anchor takes a season a station's figures take" --from 1/7 --to 20/7 \
  --anchor station.csv --anchor-site "$site" dem.tif out.tif
cp station.csv keep.csv
ln -s keep.csv link.tif
err=$("$map" --quiet --anchor keep.csv --anchor-site "$site" dem.tif link.tif 2>&1); rc=$?
[ "$rc" -eq 1 ] && cmp -s keep.csv station.csv && [ "$err" = "veranta-map: the output link.tif is the station's file itself; choose another file for the map" ] ||
  fail "an output that is the station's file: exit $rc, $err"
refused "with --mosaic" "--mosaic takes no other option but --quiet, not --anchor" --anchor station.csv \
  --mosaic out.tif tile-0-0.tif
# Tiles of a run with a target join too.
parallel -j 2 --halt now,fail=1 "$map" "${opts[@]}" --target 300 --tile {1},{2} --tile-size 8 dem.tif \
  target-{1}-{2}.tif ::: 0 1 ::: 0 1 && "$map" --quiet --mosaic target.tif target-?-?.tif ||
  fail "the tiles of a run with a target do not join"
[ $status -eq 0 ] && echo "PASS: anchored bands, metadata, tiles and refusals"
exit $status
