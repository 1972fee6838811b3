#!/usr/bin/env bash
# veranta-map --report as a user runs it: the GeoTIFF the very file a run
# without a report writes, the report a PDF of three pages on the paper asked
# for or, without --paper, the locale's (LC_PAPER); refusals one line, exit
# status 1 and no file.
set -euo pipefail
map=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"

# A hill, 24 x 20 cells of 30 m, with a nodata cell.
awk 'BEGIN {
  print "ncols 24\nnrows 20\nxllcorner 497900\nyllcorner 4875000\ncellsize 30\nNODATA_value -9999"
  for (r = 0; r < 20; r++) {
    line = ""
    for (c = 0; c < 24; c++) {
      z = 250 + 150 * exp(-((c - 11)^2 + (r - 9)^2) / 25) + 2 * c
      if (r == 3 && c == 4) z = -9999
      line = line sprintf("%.2f ", z)
    }
    print line
  }
}' > dem.asc
gdal_translate -q -a_srs EPSG:32610 dem.asc dem.tif

status=0
fail() { echo "FAIL: $*"; status=1; }
pages() { pdfinfo "$1" | awk '/^Pages:/ {print $2}'; }
size() { pdfinfo "$1" | awk -F': *' '/^Page size:/ {print $2}'; }

opts=(--year 2023 --directions 8 --distance 300 --target 900 --quiet)
"$map" "${opts[@]}" dem.tif plain.tif
LC_ALL=C.utf8 "$map" "${opts[@]}" --report report.pdf dem.tif map.tif
cmp -s plain.tif map.tif || fail "the GeoTIFF written with --report differs from the one without"
[ "$(pages report.pdf)" = 3 ] || fail "the report has $(pages report.pdf) pages, not 3"
case "$(size report.pdf)" in 595.276\ x\ 841.89*) ;; *) fail "the C locale's report is not on A4: $(size report.pdf)" ;; esac
pdftotext report.pdf - | grep -q "an elevation model the grower supplied: dem.tif" ||
  fail "the report does not name the grower's DEM"

"$map" "${opts[@]}" --report letter.pdf --paper letter dem.tif map2.tif
case "$(size letter.pdf)" in 612\ x\ 792*) ;; *) fail "--paper letter gave $(size letter.pdf)" ;; esac

# A locale whose paper is Letter, built here (the machine may have none).
if localedef -i en_US -f UTF-8 "$tmp/locales/en_US.UTF-8" 2>/dev/null || [ -d "$tmp/locales/en_US.UTF-8" ]; then
  LOCPATH="$tmp/locales" LC_ALL= LANG= LC_PAPER=en_US.UTF-8 "$map" "${opts[@]}" --report us.pdf dem.tif map3.tif
  case "$(size us.pdf)" in 612\ x\ 792*) ;; *) fail "LC_PAPER=en_US gave $(size us.pdf)" ;; esac
  LOCPATH="$tmp/locales" LC_ALL= LANG= LC_PAPER=en_US.UTF-8 "$map" "${opts[@]}" --report a4.pdf --paper a4 dem.tif map4.tif
  case "$(size a4.pdf)" in 595.276\ x\ 841.89*) ;; *) fail "--paper a4 under en_US gave $(size a4.pdf)" ;; esac
fi

# Refusals: one line, exit status 1, nothing written.
cp dem.tif dem.pdf
refuse() {
  local expect=$1
  shift
  rm -f out.tif r.pdf r.txt
  set +e
  "$map" "${opts[@]}" "$@" 2>err.txt
  local code=$?
  set -e
  [ "$code" = 1 ] || fail "$* exited $code, not 1"
  [ "$(wc -l < err.txt)" = 1 ] || fail "$* said $(wc -l < err.txt) lines"
  grep -qF -e "$expect" err.txt || fail "$* said: $(cat err.txt)"
  [ ! -e out.tif ] && [ ! -e r.pdf ] && [ ! -e r.txt ] || fail "$* left a file"
}
refuse "must end in .pdf" --report r.txt dem.tif out.tif
refuse "--paper goes with --report" --paper letter dem.tif out.tif
refuse "--paper takes a4 or letter" --report r.pdf --paper legal dem.tif out.tif
refuse "does not go with --tile" --report r.pdf --tile 0,0 --tile-size 10 dem.tif out.tif
refuse "is the DEM itself" --report dem.pdf dem.pdf out.tif
cmp -s dem.tif dem.pdf || fail "a refused report overwrote the DEM"

exit $status
