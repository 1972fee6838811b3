#!/usr/bin/env bash
# veranta-map against hostile input and rough handling: whatever stands
# behind a DEM (a VRT's sources) is looked at before any read, and an output
# that is one of them is refused; elevations no land has; GDAL's own
# messages only inside our one line; any name that fits the file system;
# interrupted runs leave nothing, and the temporary files of a killed run
# go with the next run; the closing note and the progress's rate.
set -uo pipefail
map=$1
tmp=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done; rm -rf "$tmp"' EXIT
cd "$tmp"
dem() {  # name, crs, then the elevations of a 4 x 3 grid of 30 m cells
  local name=$1 crs=$2; shift 2
  printf 'ncols 4\nnrows 3\nxllcorner 497900\nyllcorner 4875000\ncellsize 30\nNODATA_value -9999\n%s %s %s %s\n%s %s %s %s\n%s %s %s %s\n' "$@" > "$name.asc"
  gdal_translate -q -ot Float32 -a_srs "$crs" "$name.asc" "$name.tif"
  rm -f "$name.asc"
}
dem src EPSG:32610 300 301 303 306 302 304 307 311 305 308 312 317
dem voids EPSG:32610 300 -1e30 303 306 302 1e30 307 311 305 308 -1e30 317
gdal_create -q -outsize 4 3 -bands 1 -ot Float32 -burn -inf -a_srs EPSG:32610 -a_ullr 497900 4875090 498020 4875000 inf.tif
dem east EPSG:32617 300 301 303 306 302 304 307 311 305 308 312 317
vrt() {  # name, source, relative
  printf '<VRTDataset rasterXSize="4" rasterYSize="3"><SRS>EPSG:32610</SRS><GeoTransform>497900, 30, 0, 4875090, 0, -30</GeoTransform><VRTRasterBand dataType="Float32" band="1"><SimpleSource><SourceFilename relativeToVRT="%s">%s</SourceFilename><SourceBand>1</SourceBand></SimpleSource></VRTRasterBand></VRTDataset>\n' "$3" "$2" > "$1"
}
mkfifo fifo.tif
vrt good.vrt src.tif 1
vrt piped.vrt fifo.tif 1
vrt nested.vrt piped.vrt 1
cp src.tif beside.tif
mkfifo beside.tif.ovr
printf '<VRTDataset rasterXSize="4" rasterYSize="3"><SRS>EPSG:32610</SRS><GeoTransform>497900, 30, 0, 4875090, 0, -30</GeoTransform><VRTRasterBand dataType="Float32" band="1" subClass="VRTRawRasterBand"><SourceFilename relativeToVRT="0">/dev/zero</SourceFilename><ImageOffset>0</ImageOffset><PixelOffset>4</PixelOffset><LineOffset>16</LineOffset></VRTRasterBand></VRTDataset>\n' > raw.vrt
# A tiled, compressed DEM cut short: its first rows read, a later one fails.
awk 'BEGIN { print "ncols 64\nnrows 64\nxllcorner 497900\nyllcorner 4875000\ncellsize 30"
  for (r = 0; r < 64; r++) { l = ""; for (c = 0; c < 64; c++) l = l sprintf("%.3f ", 300 + 10 * sin(c * 0.3 + r * 0.2) + r * 0.7); print l } }' > whole.asc
gdal_translate -q -a_srs EPSG:32610 -co TILED=YES -co BLOCKXSIZE=16 -co BLOCKYSIZE=16 -co COMPRESS=DEFLATE whole.asc whole.tif
head -c 8000 whole.tif > cut.tif
rm -f whole.asc
cksum src.tif > src.sum

pass=0
fail=0
ok() { pass=$((pass + 1)); }
bad() { fail=$((fail + 1)); printf 'FAIL: %s\n' "$*"; }
# Nothing of ours left beside the outputs: no temporary, no output.
leftovers() { ls -A | grep -e '\.veranta-' -e '^out' -e '^h\.tif' || true; }

refused() {  # what, expected line (a glob), arguments...
  local what=$1 expected=$2; shift 2
  local err rc
  err=$(timeout 60 "$map" --quiet "$@" 2>&1 >/dev/null); rc=$?
  if [ "$rc" -eq 1 ] && [[ "$err" == $expected ]] && [ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] && [ -z "$(leftovers)" ]; then
    ok
  else
    bad "$what: exit $rc, got '$err', expected '$expected', left: $(leftovers)"
  fi
}
refused "a VRT over a FIFO" "veranta-map: piped.vrt: it reads fifo.tif, which is not a regular file" piped.vrt out.tif
refused "a VRT over that VRT" "veranta-map: nested.vrt: it reads fifo.tif, which is not a regular file" nested.vrt out.tif
refused "a FIFO beside the DEM" "veranta-map: beside.tif: it reads beside.tif.ovr beside it, which is not a regular file" \
  beside.tif out.tif
refused "a raw VRT over a device" "veranta-map: raw.vrt: it reads /dev/zero, which is not a regular file" raw.vrt out.tif
refused "the output is the VRT's source" \
  "veranta-map: the output src.tif is one of the files the DEM reads; choose another file for the map" good.vrt src.tif
refused "the horizons are the VRT's source" \
  "veranta-map: --horizons ./src.tif is one of the files the DEM reads; choose another file for the horizons" \
  --horizons ./src.tif good.vrt out.tif
if cksum src.tif | cmp -s - src.sum; then ok; else bad "the VRT's source was changed"; fi
refused "elevations of -1e30 and 1e30" \
  "veranta-map: voids.tif: 3 cells have elevations no land has (below -500 m or above 9000 m), such as -1e+30 m" voids.tif out.tif
refused "every cell infinite" "veranta-map: inf.tif: every cell of the DEM is nodata or infinite" inf.tif out.tif
refused "GDAL fails reading" "veranta-map: cut.tif: its elevations cannot be read (GDAL: *)" cut.tif out.tif
refused "not a GeoTIFF's name" "veranta-map: the output out.png must end in .tif or .tiff: the map is a GeoTIFF" src.tif out.png

# A name that fits the file system: 250 bytes.
long=$(printf 'x%.0s' $(seq 246)).tif
if "$map" --quiet --no-shade src.tif "$long" && [ -f "$long" ]; then ok; else bad "a 250-byte name was refused"; fi
rm -f "$long"

# The note on the calibrated region is a note, the run a success; a
# terminal shows the progress and, at the end, the cells per second.
err=$("$map" --no-shade east.tif out-east.tif 2>&1); rc=$?
note="veranta-map: note: 100.0% of the cells lie outside the region the degree days are calibrated for; their degree days are computed all the same"
if [ "$rc" -eq 0 ] && [ "$err" = "$note" ]; then ok; else bad "the note: exit $rc, got '$err'"; fi
screen=$(script -qec "'$map' --no-shade src.tif out-tty.tif" /dev/null | tr '\r' '\n')
if [[ "$screen" == *"100%  "*" cells/s"* ]]; then ok; else bad "no rate on the terminal: $screen"; fi
rm -f out-east.tif out-tty.tif

# Interrupted runs: a land large enough to take a while (flat, 1000 x 1000).
gdal_create -q -outsize 1000 1000 -bands 1 -ot Float32 -burn 300 -a_srs EPSG:32610 \
  -a_ullr 497000 4876000 507000 4866000 big.tif
started() {  # pid: waits until the run has begun its files, false if it ended first
  while kill -0 "$1" 2>/dev/null; do
    [ -n "$(ls -A | grep '\.veranta-')" ] && return 0
    sleep 0.01
  done
  return 1
}
for signal in INT TERM HUP; do
  "$map" --quiet --horizons h.tif big.tif out.tif 2> err.txt &
  pid=$!
  pids+=("$pid")
  if ! started "$pid"; then bad "SIG$signal: the run ended before it began its files"; continue; fi
  start=$(date +%s%N)
  kill -"$signal" "$pid"
  wait "$pid"; rc=$?
  stop=$(( ($(date +%s%N) - start) / 1000000 ))
  echo "SIG$signal: stopped in $stop ms"
  if [ "$rc" -eq 1 ] && [ "$(cat err.txt)" = "veranta-map: interrupted; no file was written" ] && [ -z "$(leftovers)" ]; then
    ok
  else
    bad "SIG$signal: exit $rc, said '$(cat err.txt)', left: $(leftovers)"
  fi
done
# Killed outright: its temporary files stay until the next run in the folder.
"$map" --quiet big.tif out.tif 2>/dev/null &
pid=$!
pids+=("$pid")
if started "$pid"; then
  kill -9 "$pid"
  wait "$pid" 2>/dev/null
  left=$(ls -A | grep -c '\.veranta-')
  if [ "$left" -ge 1 ] && "$map" --quiet --no-shade src.tif other.tif && [ -z "$(ls -A | grep '\.veranta-')" ]; then
    ok
  else
    bad "a killed run's $left temporary files were not removed by the next run: $(ls -A | grep '\.veranta-')"
  fi
else
  bad "the run to kill ended before it began its files"
fi
echo "$pass passed, $fail failed"
[ "$fail" -eq 0 ]
