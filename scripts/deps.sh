# Sourced by scripts/run and scripts/test: installs the Debian packages that
# the build, the program and the tests need, asking apt only for what is missing.
veranta_install_deps() {
  local wanted=(g++ cmake ninja-build pkg-config libgtk-3-dev libgtk-3-bin libgtest-dev
                libbenchmark-dev xvfb xauth locales clang libclang-rt-14-dev imagemagick "$@")
  wanted+=(desktop-file-utils appstream xdotool librsvg2-bin dpkg-dev file)  # install check
  local missing=()
  local pkg
  for pkg in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
