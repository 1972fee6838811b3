# Sourced by scripts/run and scripts/test: installs the Debian packages that
# the build, the program and the tests need, asking apt only for what is missing.
# "veranta_install_deps run" asks only for what building and running need.
veranta_install_deps() {
  # The core reads and writes rasters through GDAL, so running needs it too;
  # veranta-map reads its command line with CLI11 (header-only, for building).
  local wanted=(g++ cmake ninja-build pkg-config libgtk-3-dev libgtk-3-bin libgdal-dev libcli11-dev)
  if [ "${1:-}" = run ]; then
    shift
  else
    wanted+=(libgtest-dev libbenchmark-dev xvfb xauth locales clang libclang-rt-14-dev imagemagick)
    wanted+=(gdal-bin parallel)  # terrain tests: gdaldem as the oracle, tiles through GNU parallel
    wanted+=(python3-gdal)  # terrain tests: GDAL's validate_cloud_optimized_geotiff.py
    wanted+=(slurm-wlm munge)  # terrain tests: README's Slurm recipe on a one-node cluster the test starts
    wanted+=(tzdata poppler-utils)  # window tests: the computer's clock in other zones, a saved chart's text
    wanted+=(nginx)  # elevation tests: a real web server with HTTP ranges, on loopback only
    wanted+=(desktop-file-utils appstream xdotool librsvg2-bin dpkg-dev file)  # install check
  fi
  wanted+=("$@")
  local missing=()
  local pkg
  for pkg in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  if [ ${#missing[@]} -ne 0 ]; then
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
  # The exports are tested on a decimal-comma desktop too; the tests skip
  # those cases when the locale cannot be made.
  if command -v localedef >/dev/null && ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
    "${sudo[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8 2>/dev/null || true
  fi
  return 0
}
