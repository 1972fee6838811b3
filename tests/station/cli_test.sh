#!/usr/bin/env bash
# veranta-station as a user runs it: the CSV of a made-up GHCN-Daily file
# checked by hand (the cap, a month with four days missing, a target reached
# across the month's end), the estimate columns with a site, and each refusal
# as one line on standard error with exit status 1 and nothing on standard output.
set -uo pipefail
tool=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"
# April 2020: 25.0 / 10.0 degC (7.5 a day); May: 35.0 / 15.0 (12.5 capped,
# 15 without the cap), 27 to 31 May without a TMIN (the 31st is not in the season).
for d in $(seq -w 1 30); do
  printf 'USC00351862,202004%s,TMAX,250,,,7,0700\nUSC00351862,202004%s,TMIN,100,,,7,0700\n' "$d" "$d"
done > ghcn.csv
for d in $(seq -w 1 31); do
  printf 'USC00351862,202005%s,TMAX,350,,,7,0700\n' "$d"
  [ "$d" -le 26 ] && printf 'USC00351862,202005%s,TMIN,150,,,7,0700\n' "$d"
done >> ghcn.csv
printf 'date,tmax,tmin\n2020-04-01,80,50\n' > nounit.csv
echo "not temperatures" > notes.txt
mkfifo fifo

pass=0
fail=0
rule='"base 10 degC, daily maximum capped at 30 degC"'
nocap='"base 10 degC, no cap (Winkler)"'
expect_csv() {  # what, expected stdout, arguments...
  local what=$1 expected=$2; shift 2
  local out rc
  out=$("$tool" "$@" 2>/dev/null); rc=$?
  if [ "$rc" -eq 0 ] && [ "$out" = "$expected" ]; then
    pass=$((pass + 1))
  else
    fail=$((fail + 1))
    printf 'FAIL: %s (exit %s)\n--- got:\n%s\n--- expected:\n%s\n' "$what" "$rc" "$out" "$expected"
  fi
}
header='year,month,days,missing_days,complete,gdd_measured,gdd_estimate,difference,difference_percent,rule,station,latitude_deg,longitude_deg,elevation_m,estimate_year,target_gdd,season_first_day,season_last_day'
expect_csv "capped, with a target" "$header
2020,4,30,0,1,225.0,,,,$rule,USC00351862,,,,,,2020-04-01,2020-05-30
2020,5,30,4,0,325.0,,,,$rule,USC00351862,,,,,,2020-04-01,2020-05-30
2020,season,60,4,0,550.0,,,,$rule,USC00351862,,,,,,2020-04-01,2020-05-30
2020,target,31,0,0,2020-05-01,,,,$rule,USC00351862,,,,,230.0,2020-04-01,2020-05-30" --from 1/4 --to 30/5 --target 230 ghcn.csv
expect_csv "no cap" "$header
2020,4,30,0,1,225.0,,,,$nocap,USC00351862,,,,,,2020-04-01,2020-05-30
2020,5,30,4,0,390.0,,,,$nocap,USC00351862,,,,,,2020-04-01,2020-05-30
2020,season,60,4,0,615.0,,,,$nocap,USC00351862,,,,,,2020-04-01,2020-05-30" --from 1/4 --to 30/5 --no-cap ghcn.csv

# With a site: an estimate on every row, a difference only where complete,
# and the difference is the measurement less the estimate.
out=$("$tool" --from 1/4 --to 30/5 --site 44.5,-123.3,150 ghcn.csv)
bad=$(printf '%s\n' "$out" | tail -n +2 | sed 's/"[^"]*"/R/g' | awk -F, '
  { est = $7; diff = $8; complete = $5 }
  est == "" { print "no estimate: " $0 }
  complete == 1 && (diff == "" || (($6 - est) - diff > 0.051 || diff - ($6 - est) > 0.051)) { print "difference: " $0 }
  complete == 0 && diff != "" { print "difference of an incomplete row: " $0 }
  $15 != "2020" { print "estimate year: " $0 }')
if [ -z "$bad" ] && [ "$(printf '%s\n' "$out" | wc -l)" -eq 4 ]; then pass=$((pass + 1)); else fail=$((fail + 1)); printf 'FAIL: with a site\n%s\n%s\n' "$bad" "$out"; fi

check() {  # what, expected line, arguments...
  local what=$1 expected=$2; shift 2
  local err out rc
  out=$("$tool" "$@" 2>/dev/null); rc=$?
  err=$("$tool" "$@" 2>&1 >/dev/null)
  if [ "$rc" -eq 1 ] && [ "$err" = "$expected" ] && [ -z "$out" ]; then
    pass=$((pass + 1))
  else
    fail=$((fail + 1))
    printf 'FAIL: %s\n  exit %s\n  got:      %s\n  expected: %s\n' "$what" "$rc" "$err" "$expected"
  fi
}
check "missing file" "veranta-station: none.csv: it cannot be read (No such file or directory)" none.csv
check "a FIFO" "veranta-station: fifo: it is not a regular file" fifo
check "not temperatures" "veranta-station: notes.txt: it is not a daily temperature file this program reads: expected NOAA GHCN-Daily (a by-station or an access CSV), a Meteostat daily CSV, a Davis WeatherLink export, or a CSV whose header names a date column and the daily maximum and minimum temperature columns" notes.txt
check "no unit said" "veranta-station: nounit.csv: its header does not say whether the temperatures are in °C or °F; give --units C or --units F" nounit.csv
check "season backwards" "veranta-station: the season must end in a later month than it starts" --from 1/9 --to 1/5 ghcn.csv
check "31 June" "veranta-station: the season's last day does not exist in its month" --to 31/6 ghcn.csv
check "bad date" "veranta-station: --from takes a day and month as D/M, not 1.4" --from 1.4 ghcn.csv
check "bad site" "veranta-station: --site takes latitude (-90 to 90), longitude (-180 to 180) and elevation in metres as LAT,LON,ELEV, not 44.5,-123.3" --site 44.5,-123.3 ghcn.csv
check "bad units" "veranta-station: --units takes C or F, not K" --units K nounit.csv
if "$tool" --units F nounit.csv >/dev/null 2>&1; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: --units F refused"; fi

echo "$pass passed, $fail failed"
[ "$fail" -eq 0 ]
