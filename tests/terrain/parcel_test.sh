#!/usr/bin/env bash
# veranta-map --parcel as a user runs it: the output covers the blocks'
# extent, the block band last, the parcel's notes said; --blocks as CSV,
# GeoPackage and GeoJSON read back, their figures against zonal statistics
# over the written map; tiles of the parcel's extent mosaic to the whole
# parcel run; every refusal one line, exit 1, no file.
set -uo pipefail
map=$1
. "$(dirname "${BASH_SOURCE[0]}")/hillDem.sh"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"

# A hill and a ridge with a nodata row, 300 x 270 cells of 30 m.
hillDem 300 270 497900 4875000 30 '250 + 120 * exp(-((c - 150)^2 + (r - 120)^2) / 300) + 60 * exp(-(c - 165)^2 / 4) + 0.5 * r' 'r == 140 && c >= 150 && c <= 170'

# Four blocks (one partly and one wholly off the DEM) and a point.
feature() { printf '{"type":"Feature","properties":{"name":"%s"},"geometry":{"type":"Polygon","coordinates":[[%s]]}}' "$1" "$2"; }
{
  printf '{"type":"FeatureCollection","crs":{"type":"name","properties":{"name":"urn:ogc:def:crs:EPSG::32610"}},"features":['
  feature North "[502000,4880000],[502600,4880000],[502600,4880500],[502000,4880500],[502000,4880000]"; printf ,
  feature "South slope" "[502300,4879200],[503100,4879200],[502900,4879900],[502300,4879900],[502300,4879200]"; printf ,
  feature Edge "[506500,4876000],[507500,4876000],[507500,4876500],[506500,4876500],[506500,4876000]"; printf ,
  feature Away "[520000,4876000],[520500,4876000],[520500,4876500],[520000,4876000]"; printf ,
  printf '{"type":"Feature","properties":{"name":"Well"},"geometry":{"type":"Point","coordinates":[502000,4880000]}}]}\n'
} > parcel.geojson

pass=0
fail=0
ok() { pass=$((pass + 1)); }
bad() { fail=$((fail + 1)); echo "FAIL: $*"; }

opts=(--year 2023 --from 10/6 --to 12/7 --directions 12 --distance 300)
err=$("$map" "${opts[@]}" --parcel parcel.geojson --blocks blocks.csv dem.tif parcel.tif 2>&1) || bad "the parcel run: $err"
expected="veranta-map: note: 1 point and 0 lines of the file were left out: only polygons are blocks.
veranta-map: note: 30.00 ha of the block “Edge” lie outside the elevation model.
veranta-map: note: The block “Away” lies wholly outside the elevation model and is left out."
if [ "$(echo "$err" | grep -v 'calibrated for')" = "$expected" ]; then ok; else bad "the notes: got '$err'"; fi

# The blocks' extent on the DEM's grid, the block band last, the parcel named.
info=$(gdalinfo parcel.tif)
# Season bands of June and July: 5 + 2 x 2, then the block band.
[ "$(echo "$info" | grep -c '^Band ')" = 10 ] && ok || bad "parcel.tif should have 10 bands"
for said in "Size is 163, 150" "Origin = (502010.000000000000000,4880490.000000000000000)" "DEM_WINDOW=137,87,163,150" \
            "RUN_WINDOW=137,87,163,150" "PARCEL_FILE=parcel.geojson" \
            "Band 10 Block" "Description = block number (1 North, 2 South slope, 3 Edge, 4 Away; 0 outside every block)"; do
  if [[ "$info" == *"$said"* ]]; then ok; else bad "parcel.tif does not say $said"; fi
done

# The CSV: its columns begin as a grower's tools expect them; one row a
# block on the DEM; the default threshold is the median of the parcel's
# cells with data, rounded down; the figures are the zonal statistics of
# the written map (means to the CSV's two decimals, hectares to four).
head -1 blocks.csv | grep -q '^block,name,hectares,hectares_with_data,threshold_gdd,hectares_reaching,share_reaching,gdd_min,gdd_mean,gdd_max,irradiation_mean_mj_m2,shadow_minutes_mean,share_outside_calibration,' \
  && ok || bad "the CSV's columns: $(head -1 blocks.csv)"
[ "$(cut -d, -f1,2 blocks.csv | tail -n +2 | tr -d '\r' | paste -sd ' ')" = "1,North 2,South slope 3,Edge" ] && ok ||
  bad "the CSV's blocks: $(cut -d, -f1,2 blocks.csv | tail -n +2)"
zonal=$(/usr/bin/python3 - parcel.tif blocks.csv <<'EOF'
import csv, math, struct, sys
from osgeo import gdal
ds = gdal.Open(sys.argv[1])
def band(b):
    r = ds.GetRasterBand(b)
    return struct.unpack('%df' % (ds.RasterXSize * ds.RasterYSize), r.ReadRaster(buf_type=gdal.GDT_Float32))
gdd, irr, shadow, block = band(1), band(2), band(5), band(ds.RasterCount)
values = sorted(g for g, b in zip(gdd, block) if b > 0 and g != -9999)
n = len(values)
median = values[n // 2] if n % 2 else (values[n // 2 - 1] + values[n // 2]) / 2
rows = list(csv.DictReader(open(sys.argv[2], newline='')))
faults = []
if float(rows[0]['threshold_gdd']) != math.floor(median):
    faults.append('threshold %s, median %s' % (rows[0]['threshold_gdd'], median))
for row in rows:
    k = int(row['block'])
    cells = [i for i, b in enumerate(block) if b == k]
    data = [i for i in cells if gdd[i] != -9999]
    t = float(row['threshold_gdd'])
    want = {'hectares': len(cells) * 0.09, 'hectares_with_data': len(data) * 0.09,
            'hectares_reaching': sum(1 for i in data if gdd[i] >= t) * 0.09,
            'gdd_mean': sum(gdd[i] for i in data) / len(data), 'gdd_min': min(gdd[i] for i in data),
            'gdd_max': max(gdd[i] for i in data),
            'irradiation_mean_mj_m2': sum(irr[i] for i in data) / len(data),
            'shadow_minutes_mean': sum(shadow[i] for i in data) / len(data)}
    for name, v in want.items():
        if abs(float(row[name]) - v) > 0.0051:
            faults.append('%s of block %d: %s, the map gives %.4f' % (name, k, row[name], v))
print('; '.join(faults))
EOF
)
[ -z "$zonal" ] && ok || bad "the CSV against the map: $zonal"

# The Winkler columns only for 1 April to 31 October: empty for this season.
/usr/bin/python3 -c '
import csv, sys
rows = list(csv.DictReader(open("blocks.csv", newline="")))
sys.exit(any(r["winkler_region"] or r["hectares_region_Ia"] for r in rows) or "target_gdd" in rows[0])' &&
  ok || bad "Winkler or target columns filled for a season of June and July"
# The regions' season with a target: each block's region is its mean's, its
# hectares per region and its share reaching the target those of the map.
"$map" --year 2023 --directions 12 --distance 300 --quiet --parcel parcel.geojson --target 900 \
  --blocks season.csv dem.tif season.tif || bad "the run of the regions' season"
regions=$(/usr/bin/python3 - season.tif season.csv <<'EOF'
import csv, struct, sys
from osgeo import gdal
ds = gdal.Open(sys.argv[1])
def band(b):
    return struct.unpack('%df' % (ds.RasterXSize * ds.RasterYSize),
                         ds.GetRasterBand(b).ReadRaster(buf_type=gdal.GDT_Float32))
n = ds.RasterCount
gdd, block, day = band(1), band(n - 1), band(n)
bounds = [850, 1111, 1389, 1667, 1944, 2222, 2700]
names = ['too cool', 'Ia', 'Ib', 'II', 'III', 'IV', 'V', 'too hot']
region = lambda v: names[sum(1 for b in bounds if v >= b)]
faults = []
rows = list(csv.DictReader(open(sys.argv[2], newline='')))
for row in rows:
    k = int(row['block'])
    data = [i for i, b in enumerate(block) if b == k and gdd[i] != -9999]
    if row['winkler_region'] != region(float(row['gdd_mean'])):
        faults.append('block %d is %s, its mean %s' % (k, row['winkler_region'], row['gdd_mean']))
    for name in names:
        column = 'hectares_region_' + name.replace(' ', '_')
        want = sum(1 for i in data if region(gdd[i]) == name) * 0.09
        if abs(float(row[column]) - want) > 0.00005:
            faults.append('block %d: %s ha of %s, the map gives %.4f' % (k, row[column], name, want))
    share = sum(1 for i in data if day[i] > 0) / len(data)
    if row['target_gdd'] != '900.00' or abs(float(row['share_reaching_target']) - share) > 0.00005:
        faults.append('block %d: target %s, share %s, the map gives %.4f' % (k, row['target_gdd'], row['share_reaching_target'], share))
    # The mean of the cells' running totals crosses the target between the
    # first and the last of their own days; never when no cell reaches it.
    reached = [day[i] for i in data if day[i] > 0]
    date = row['target_date_of_mean']
    if date:
        import datetime
        doy = datetime.date.fromisoformat(date).timetuple().tm_yday
        if not reached or doy < min(reached) or (len(reached) == len(data) and doy > max(reached)):
            faults.append('block %d: its mean reaches the target on %s, its cells from day %s to %s' % (k, date, min(reached, default=0), max(reached, default=0)))
    elif len(reached) == len(data):
        faults.append('block %d: every cell reaches the target but its mean never does' % k)
print('; '.join(faults))
EOF
)
[ -z "$regions" ] && ok || bad "the regions and the target against the map: $regions"

# The GeoPackage and GeoJSON carry the same names, typed, one feature a block.
"$map" "${opts[@]}" --quiet --parcel parcel.geojson --blocks blocks.gpkg --threshold 190 dem.tif p2.tif || bad "the GeoPackage run"
"$map" "${opts[@]}" --quiet --parcel parcel.geojson --blocks blocks.geojson dem.tif p3.tif || bad "the GeoJSON run"
gpkg=$(ogrinfo -so -al blocks.gpkg 2>&1)
for said in "Feature Count: 3" "block: Integer" "name: String" "hectares: Real" "share_reaching: Real" \
            "share_outside_calibration: Real" "winkler_region: String" \
            "hectares_region_too_hot: Real" "Geometry: Multi Polygon" 'ID["EPSG",32610]'; do
  if [[ "$gpkg" == *"$said"* ]]; then ok; else bad "blocks.gpkg does not say $said"; fi
done
[ "$(ogrinfo -al -q blocks.gpkg | grep -c 'threshold_gdd (Real) = 190$')" = 3 ] && ok || bad "the GeoPackage's threshold"
[ "$(ogrinfo -al -q -ro blocks.geojson | grep -c 'gdd_mean (Real)')" = 3 ] && ok || bad "blocks.geojson's features"
# Pixels of the parcel's map do not depend on --blocks.
gdal_translate -q -of ENVI parcel.tif a.raw && gdal_translate -q -of ENVI p2.tif b.raw
cmp -s a.raw b.raw && ok || bad "the map differs with another threshold"

# Tiles of the parcel's extent, as separate jobs, mosaic to the whole parcel run.
parallel -j 2 --halt now,fail=1 "$map" "${opts[@]}" --quiet --parcel parcel.geojson --tile {1},{2} --tile-size 64 \
  dem.tif tile-{1}-{2}.tif ::: 0 1 2 ::: 0 1 2 || bad "the tiles"
[[ "$(gdalinfo tile-1-2.tif)" == *"DEM_WINDOW=201,215,64,22"* ]] && ok || bad "tile 1,2's window"
"$map" --quiet --mosaic mosaic.tif tile-?-?.tif || bad "the mosaic"
gdal_translate -q -of ENVI mosaic.tif m.raw
cmp -s a.raw m.raw && ok || bad "the mosaic's pixels differ from the parcel run's"
account() { gdalinfo -mm -stats "$1" | grep -v -e '^Files:' -e '\.tif'; rm -f "$1.aux.xml"; }
diff <(account parcel.tif) <(account mosaic.tif) > account.diff && ok || { bad "the mosaic says other than the parcel run:"; cat account.diff; }
refused_mosaic=$("$map" --quiet --mosaic m2.tif tile-0-0.tif tile-1-0.tif tile-2-0.tif tile-0-1.tif tile-1-1.tif \
  tile-2-1.tif tile-0-2.tif tile-1-2.tif 2>&1)
[ "$refused_mosaic" = "veranta-map: tile 2,2 is missing: the parcel's extent of 163 x 150 cells in tiles of 64 needs 3 x 3 tiles" ] &&
  [ ! -e m2.tif ] && ok || bad "a missing tile of the parcel: $refused_mosaic"

# Tiles with both optional bands (the block number, then the target's day) join as well.
"$map" "${opts[@]}" --quiet --parcel parcel.geojson --target 150 dem.tif target.tif || bad "the target run"
parallel -j 2 --halt now,fail=1 "$map" "${opts[@]}" --quiet --parcel parcel.geojson --target 150 --tile {1},{2} \
  --tile-size 100 dem.tif target-{1}-{2}.tif ::: 0 1 ::: 0 1 || bad "the target's tiles"
"$map" --quiet --mosaic target-mosaic.tif target-?-?.tif || bad "the target's mosaic"
gdal_translate -q -of ENVI target.tif t.raw && gdal_translate -q -of ENVI target-mosaic.tif tm.raw
cmp -s t.raw tm.raw && ok || bad "the target's mosaic differs from the whole run"

# Refusals: one line, exit 1, no file.
echo '{"type":"FeatureCollection","features":[{"type":"Feature","properties":{},"geometry":{"type":"Point","coordinates":[0,0]}}]}' > points.geojson
printf '{"type":"FeatureCollection","crs":{"type":"name","properties":{"name":"urn:ogc:def:crs:EPSG::32610"}},"features":[%s]}\n' \
  "$(feature Far "[600000,4876000],[600500,4876000],[600500,4876500],[600000,4876000]")" > far.geojson
refused() {  # what, expected line, arguments...
  local what=$1 expected=$2; shift 2
  local err rc
  err=$("$map" --quiet "$@" 2>&1); rc=$?
  if [ "$rc" -eq 1 ] && [ "$err" = "veranta-map: $expected" ] && [ ! -e out.tif ] && [ ! -e out.csv ]; then
    ok
  else
    bad "$what: exit $rc, got '$err', expected 'veranta-map: $expected'"
  fi
}
refused "--blocks without --parcel" "--blocks needs --parcel FILE: the blocks are those of a parcel" \
  --blocks out.csv dem.tif out.tif
refused "--threshold without --blocks" "--threshold goes with --blocks or --report: it counts the hectares reaching it" \
  --parcel parcel.geojson --threshold 100 dem.tif out.tif
refused "--blocks with --tile" "--blocks needs the whole parcel, not a tile of it: leave out --tile" \
  --parcel parcel.geojson --blocks out.csv --tile 0,0 --tile-size 64 dem.tif out.tif
refused "a block file of another kind" "--blocks takes a file ending in .csv, .gpkg or .geojson, not out.txt" \
  --parcel parcel.geojson --blocks out.txt dem.tif out.tif
refused "a threshold out of range" "--threshold takes degree days from 0 to 10000, not -1" \
  --parcel parcel.geojson --blocks out.csv --threshold -1 dem.tif out.tif
refused "the block file is the DEM" "--blocks dem.csv is the DEM itself; choose another file for the blocks" \
  --parcel parcel.geojson --blocks dem.csv dem.csv out.tif
refused "no polygon" "points.geojson: it holds no polygon to take as a block, only 1 point and 0 lines" \
  --parcel points.geojson --blocks out.csv dem.tif out.tif
refused "every block off the DEM" "far.geojson: every block lies outside the elevation model" \
  --parcel far.geojson --blocks out.csv dem.tif out.tif
refused "a tile beyond the parcel" "tile 3,0 lies outside the parcel's extent, which has 3 x 3 tiles of that size" \
  --parcel parcel.geojson --tile 3,0 --tile-size 64 dem.tif out.tif
# A parcel as large as a DEM of 6,000 x 5,400 cells (a VRT at 1.5 m) is held whole: refused before any work.
gdal_translate -q -of VRT -outsize 2000% 2000% dem.tif fine.vrt
printf '{"type":"FeatureCollection","crs":{"type":"name","properties":{"name":"urn:ogc:def:crs:EPSG::32610"}},"features":[%s]}\n' \
  "$(feature All "[497900,4875000],[506900,4875000],[506900,4883100],[497900,4883100],[497900,4875000]")" > all.geojson
refused "a parcel too large for memory" "the parcel's extent of 6000 x 5400 cells would take about 5.7 GB of memory; compute it in tiles (--tile C,R --tile-size N) and join them with --mosaic" \
  --parcel all.geojson fine.vrt out.tif
help=$("$map" --help)
for said in "--parcel FILE" "--blocks FILE.csv|.gpkg|.geojson" "--threshold DEGREE_DAYS" \
            "(default: the median of the parcel's cells with data, rounded down)"; do
  if [[ "$help" == *"$said"* ]]; then ok; else bad "--help does not say $said"; fi
done
echo "$pass passed, $fail failed"
[ "$fail" -eq 0 ]
