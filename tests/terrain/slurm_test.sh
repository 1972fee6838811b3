#!/usr/bin/env bash
# README's Slurm recipe on a real one-node Slurm cluster started here: munged,
# slurmctld and slurmd (Debian's slurm-wlm and munge) as root, with their
# key, configuration, state, spool and logs in a temporary folder, on free
# loopback ports; the array job of the README's script (with smaller
# numbers: 2 x 2 tiles of 64 cells, one CPU each), then its --mosaic line,
# give the file of the whole run: every pixel and all gdalinfo says. The
# daemons are stopped and the folder removed at the end, whatever happens.
set -uo pipefail
map=$(readlink -f "$1")
readme=$(dirname "$(readlink -f "$0")")/../../README.md
if [ "$(id -u)" -ne 0 ]; then
  echo "SKIP: the cluster's daemons run as root"
  exit 77
fi
for tool in munged slurmctld slurmd sbatch sinfo; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/deps.sh installs slurm-wlm and munge)"; exit 1; }
done
tmp=$(mktemp -d)
daemons=()
stopAll() {
  for p in "${daemons[@]}"; do kill "$p" 2>/dev/null; done
  for p in "${daemons[@]}"; do
    for _ in $(seq 100); do kill -0 "$p" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$p" 2>/dev/null
  done
  rm -rf "$tmp"
}
trap stopAll EXIT
cd "$tmp"
mkdir -p bin work state spool munge
ln -s "$map" bin/veranta-map
export PATH="$tmp/bin:$PATH"

pass=0
fail=0
ok() { pass=$((pass + 1)); }
bad() { fail=$((fail + 1)); echo "FAIL: $*"; }
logs() { for f in munge/munged.log slurmctld.log slurmd.log work/slurm-*.out; do [ -f "$f" ] && { echo "--- $f"; tail -20 "$f"; }; done; }

# The README's recipe: the script after "Or as a Slurm array job", the
# --mosaic line after it; the numbers made small for a test.
recipe=$(awk '/^Or as a Slurm array job/ { on = 1 } on && /^```sh$/ { n++; inside = 1; next } inside && /^```$/ { inside = 0; if (n == 2) exit; next } inside && n == 1 { print > "work/season.sh" } inside && n == 2 { print }' "$readme")
if [ ! -s work/season.sh ] || [[ "$recipe" != "veranta-map --mosaic season.tif tile-*.tif" ]]; then
  bad "README's Slurm recipe cannot be found (script $(wc -c < work/season.sh 2>/dev/null) bytes, then '$recipe')"
  echo "$pass passed, $fail failed"; exit 1
fi
sed -i -e 's/--array=0-24/--array=0-3/' -e 's/--cpus-per-task=8/--cpus-per-task=1/' -e 's/% 5/% 2/' -e 's|/ 5|/ 2|' \
  -e 's/--tile-size 2000/--tile-size 64/' work/season.sh
for made in "--array=0-3" "--cpus-per-task=1" "% 2" "/ 2" "--tile-size 64"; do
  grep -qF -- "$made" work/season.sh || bad "the recipe no longer has the numbers this test changes ($made)"
done

# A hill and a ridge, 120 x 100 cells of 30 m (the default search of 5 km
# reaches across all of it from every tile).
awk 'BEGIN {
  print "ncols 120\nnrows 100\nxllcorner 497900\nyllcorner 4875000\ncellsize 30\nNODATA_value -9999"
  for (r = 0; r < 100; r++) {
    line = ""
    for (c = 0; c < 120; c++) line = line sprintf("%.2f ", 250 + 120 * exp(-((c - 60)^2 + (r - 50)^2) / 300) + 60 * exp(-(c - 75)^2 / 4) + 0.5 * r)
    print line
  }
}' > dem.asc
gdal_translate -q -a_srs EPSG:32610 dem.asc work/dem.tif

# The cluster: munge's key and daemon, then slurm's two daemons.
free_port() {
  local p
  while :; do
    p=$((20000 + RANDOM % 30000))
    [ -z "$(ss -Htan "sport = :$p")" ] && [ "$p" != "${1:-}" ] && { echo "$p"; return; }
  done
}
chmod 755 munge
dd if=/dev/urandom of=munge/munge.key bs=1024 count=1 status=none
chmod 400 munge/munge.key
munged -F -f --socket="$tmp/munge/munge.sock" --key-file="$tmp/munge/munge.key" --pid-file="$tmp/munge/munged.pid" \
  --log-file="$tmp/munge/munged.log" --seed-file="$tmp/munge/munged.seed" 2>/dev/null &
daemons+=($!)
for _ in $(seq 100); do [ -S munge/munge.sock ] && break; sleep 0.1; done
host=$(hostname -s)
ctld_port=$(free_port)
slurmd_port=$(free_port "$ctld_port")
cat > slurm.conf <<EOF
ClusterName=veranta
SlurmctldHost=$host(127.0.0.1)
SlurmUser=root
SlurmdUser=root
SlurmctldPort=$ctld_port
SlurmdPort=$slurmd_port
AuthType=auth/munge
AuthInfo=socket=$tmp/munge/munge.sock
CredType=cred/munge
StateSaveLocation=$tmp/state
SlurmdSpoolDir=$tmp/spool
SlurmctldPidFile=$tmp/slurmctld.pid
SlurmdPidFile=$tmp/slurmd.pid
SlurmctldLogFile=$tmp/slurmctld.log
SlurmdLogFile=$tmp/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
JobCompType=jobcomp/none
MpiDefault=none
SchedulerType=sched/builtin
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
ReturnToService=2
NodeName=$host NodeAddr=127.0.0.1 CPUs=2 State=UNKNOWN
PartitionName=test Nodes=$host Default=YES MaxTime=INFINITE State=UP
EOF
export SLURM_CONF=$tmp/slurm.conf
slurmctld -D -i > slurmctld.out 2>&1 &
daemons+=($!)
slurmd -D -N "$host" > slurmd.out 2>&1 &
daemons+=($!)
idle=0
for _ in $(seq 300); do
  if [ "$(sinfo -h -o %t 2>/dev/null)" = "idle" ]; then idle=1; break; fi
  sleep 0.2
done
if [ "$idle" -ne 1 ]; then
  bad "the cluster's node did not come up: $(sinfo 2>&1 | tail -1)"
  logs; echo "$pass passed, $fail failed"; exit 1
fi
ok

# The whole run, then the recipe: the array's tiles and their mosaic.
(cd work && veranta-map --quiet dem.tif whole.tif) || bad "the whole run"
(cd work && timeout 600 sbatch --wait --quiet -o "slurm-%A_%a.out" season.sh); rc=$?
if [ "$rc" -eq 0 ] && [ "$(ls work/tile-?-?.tif | wc -l)" -eq 4 ]; then ok; else bad "the array job: exit $rc, tiles: $(ls work)"; logs; fi
(cd work && eval "$recipe") || bad "the recipe's mosaic: $recipe"

account() { gdalinfo -mm -stats "$1" | grep -v -e '^Files:' -e '\.tif'; rm -f "$1.aux.xml"; }
cd work
gdal_translate -q -of ENVI whole.tif whole.raw
gdal_translate -q -of ENVI season.tif season.raw
if cmp -s whole.raw season.raw; then ok; else bad "the array's mosaic differs from the whole run in its pixels"; fi
if diff <(account whole.tif) <(account season.tif) > account.diff; then ok; else bad "the mosaic says other than the whole run:"; cat account.diff; fi
echo "$pass passed, $fail failed"
[ "$fail" -eq 0 ]
