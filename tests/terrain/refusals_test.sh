#!/usr/bin/env bash
# Each refused input gives its one line on standard error, exit status 1 and
# no output file (nor a temporary one beside it); a feet DEM and a chosen band
# are taken; --version and --help answer.
set -uo pipefail
map=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"
printf 'ncols 4\nnrows 3\nxllcorner 497900\nyllcorner 4875000\ncellsize 30\n' > g.asc
printf '300 301 303 306\n302 304 307 311\n305 308 312 317\n' >> g.asc
gdal_translate -q -a_srs EPSG:32610 g.asc dem.tif
gdal_translate -q g.asc nocrs.tif
gdal_translate -q -a_srs EPSG:32610 -b 1 -b 1 g.asc two.tif
echo "not elevations" > notes.txt
mkfifo fifo
mkdir out-dir.tif
gdal_translate -q -a_nodata 300 -scale 0 1000 300 300 dem.tif empty.tif
ln -s dem.tif dem-link.tif
cksum dem.tif > dem.sum

pass=0
fail=0
check() {  # what, expected line, arguments...
  local what=$1 expected=$2; shift 2
  rm -f out.tif
  local err rc
  err=$("$map" --quiet "$@" 2>&1 >/dev/null); rc=$?
  local left
  left=$(ls -A | grep -v -e '^g.asc$' -e '^dem.tif$' -e '^nocrs.tif$' -e '^two.tif$' -e '^fifo$' -e '^notes.txt$' -e '^out-dir.tif$' -e '^empty.tif$' -e '^dem-link.tif$' -e '^dem.sum$' || true)
  if [ "$rc" -eq 1 ] && [ "$err" = "$expected" ] && [ -z "$left" ]; then
    pass=$((pass + 1))
  else
    fail=$((fail + 1))
    printf 'FAIL: %s\n  exit %s\n  got:      %s\n  expected: %s\n  left: %s\n' "$what" "$rc" "$err" "$expected" "$left"
  fi
}
check "missing DEM" "veranta-map: none.tif: it cannot be read (No such file or directory)" none.tif out.tif
check "a FIFO as DEM" "veranta-map: fifo: it is not a regular file" fifo out.tif
check "not a raster" "veranta-map: notes.txt: it is not a raster that can be read" notes.txt out.tif
check "no CRS" "veranta-map: nocrs.tif: it has no coordinate reference system" nocrs.tif out.tif
check "two bands, none chosen" "veranta-map: two.tif: it has 2 bands and none was chosen; choose one with --band N" two.tif out.tif
check "no band 3" "veranta-map: two.tif: it has no band 3 (it has 2)" --band 3 two.tif out.tif
check "bad year" "veranta-map: the year must be a whole number from 2000 to 2050, not 1999" --year 1999 dem.tif out.tif
check "31 June" "veranta-map: 31 June does not exist (the season's last day)" --to 31/6 dem.tif out.tif
check "month 13" "veranta-map: 13 is not a month (the season's first day and month)" --from 1/13 dem.tif out.tif
check "season backwards" "veranta-map: the season must not end before it starts" --from 1/9 --to 1/5 dem.tif out.tif
check "bad date" "veranta-map: --from takes a day and month as D/M, not 1.4" --from 1.4 dem.tif out.tif
check "no directions" "veranta-map: --directions takes a whole number from 1 to 360, not 0" --directions 0 dem.tif out.tif
check "negative distance" "veranta-map: --distance takes metres above 0 and at most 100000, not -5" --distance -5 dem.tif out.tif
check "tile without size" "veranta-map: --tile and --tile-size go together" --tile 0,0 dem.tif out.tif
check "tile outside" "veranta-map: tile 2,0 lies outside the raster, which has 2 x 1 tiles of that size" --tile 2,0 --tile-size 3 dem.tif out.tif
check "output is a folder" "veranta-map: out-dir.tif: it is a folder" dem.tif out-dir.tif
check "all nodata" "veranta-map: empty.tif: every cell of the DEM is nodata" empty.tif out.tif
check "output is the DEM" "veranta-map: the output dem.tif is the DEM itself; choose another file for the map" dem.tif dem.tif
check "output is a link to the DEM" "veranta-map: the output dem-link.tif is the DEM itself; choose another file for the map" dem.tif dem-link.tif
check "horizons to the output" "veranta-map: --horizons ./out.tif is the output itself; choose another file for the horizons" --horizons ./out.tif dem.tif out.tif
check "horizons to the DEM" "veranta-map: --horizons dem-link.tif is the DEM itself; choose another file for the horizons" --horizons dem-link.tif dem.tif out.tif
if cksum dem.tif | cmp -s - dem.sum; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: the DEM was changed"; fi
check "a third file" "veranta-map: one DEM and one output file are expected, not also x.tif" dem.tif out.tif x.tif

# --version and --help answer on standard output with exit status 0.
out=$("$map" --version 2>/dev/null); rc=$?
if [ "$rc" -eq 0 ] && [[ "$out" =~ ^veranta-map\ [0-9]+\.[0-9]+\.[0-9]+$ ]]; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: --version gave exit $rc: $out"; fi
out=$("$map" --help 2>/dev/null); rc=$?
if [ "$rc" -eq 0 ] && [[ "$out" == *"--horizons FILE.tif"* ]] && [[ "$out" == *"(default: 32)"* ]]; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: --help gave exit $rc"; fi

# Taken: a chosen band, and elevations in feet mapping like the metres.
printf 'ncols 4\nnrows 3\nxllcorner 497900\nyllcorner 4875000\ncellsize 30\n' > f.asc
awk 'NR > 5' g.asc | awk '{ for (i = 1; i <= NF; i++) printf "%.6f ", $i / 0.3048; print "" }' >> f.asc
gdal_translate -q -a_srs EPSG:32610+6360 f.asc vert-ft.tif
for run in "dem.tif m.tif" "--band 2 two.tif b2.tif" "vert-ft.tif ft.tif"; do
  if "$map" --quiet --from 1/6 --to 1/7 --directions 4 --distance 100 $run; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: $run refused"; fi
done
tilt() { gdallocationinfo -valonly -b 3 "$1" 1 1; }
if awk -v f="$(tilt ft.tif)" -v m="$(tilt m.tif)" 'BEGIN { exit !(f - m < 1e-3 && m - f < 1e-3) }' &&
   [ "$(tilt b2.tif)" = "$(tilt m.tif)" ]; then
  pass=$((pass + 1))
else
  fail=$((fail + 1)); echo "FAIL: tilt in feet $(tilt ft.tif), band 2 $(tilt b2.tif), metres $(tilt m.tif)"
fi
echo "$pass passed, $fail failed"
[ "$fail" -eq 0 ]
