#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks it the way a user meets
# it: the validators on the desktop entry and the metainfo, the launcher's
# data folder, the installed program started by its launcher and by its
# desktop entry under X with a temporary HOME (a site saved through the
# location panel lands in the user's data folder and comes back on the next
# start), and the Debian package's fields and contents.
#
# Usage: tests/install/install_check.sh BUILD_DIR   (DISPLAY must be set)
set -uo pipefail

build=$(cd "${1:?usage: install_check.sh BUILD_DIR}" && pwd)
id=io.github.veranta.Veranta
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
# Generous for a busy machine; every wait polls and ends as soon as it can.
timeout=60

tmp=$(mktemp -d "${TMPDIR:-/tmp}/veranta-install.XXXXXX")
started=()
cleanup() {
  local pid
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null; done
  rm -rf "$tmp"
}
trap cleanup EXIT

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "ok      $1"; }
fail() { failed=$((failed + 1)); echo "FAILED  $1"; }
# check WHAT COMMAND...: one finding, by the command's exit status.
check() {
  local what=$1; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}
finish() {
  echo "install check: $passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit
}

same_text() { [ "$1" = "$2" ] || { printf '  got:      %q\n  expected: %q\n' "$1" "$2"; return 1; }; }

# --- install ---------------------------------------------------------------
prefix=$tmp/prefix
if ! cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1; then
  cat "$tmp/install.log"
  fail "cmake --install into a temporary prefix"
  finish
fi
pass "cmake --install into a temporary prefix"

installed_files=(
  bin/veranta
  bin/veranta-map
  bin/veranta-station
  libexec/veranta/veranta
  share/veranta/veranta.glade
  share/veranta/veranta.css
  share/veranta/example-land.tif
  share/applications/$id.desktop
  share/metainfo/$id.metainfo.xml
  share/icons/hicolor/scalable/apps/$id.svg
  share/icons/hicolor/symbolic/apps/$id-symbolic.svg
)
expected_list=$(printf '%s\n' "${installed_files[@]}" | sort)
expected_modes=$(for f in "${installed_files[@]}"; do
  case $f in bin/* | libexec/*) echo "$f -rwxr-xr-x" ;; *) echo "$f -rw-r--r--" ;; esac
done | sort)
check "the prefix holds exactly the installed files" \
  same_text "$(cd "$prefix" && find . -type f | sed 's|^\./||' | sort)" "$expected_list"
check "launcher and program are executable" test -x "$prefix/bin/veranta" -a -x "$prefix/libexec/veranta/veranta"
check "the installed map tool runs" bash -c '"$1" --help | grep -q "^usage: veranta-map"' _ "$prefix/bin/veranta-map"
check "the installed station tool runs" bash -c '"$1" --version | grep -q "^veranta-station "' _ "$prefix/bin/veranta-station"

# --- validators --------------------------------------------------------------
check "desktop-file-validate on the desktop entry" \
  desktop-file-validate "$prefix/share/applications/$id.desktop"
check "appstreamcli validate --no-net on the metainfo" \
  appstreamcli validate --no-net --explain "$prefix/share/metainfo/$id.metainfo.xml"
check "appstreamcli validate-tree --no-net on the installed tree" \
  appstreamcli validate-tree --no-net --explain "$prefix"

desktop_key() { sed -n "s/^$1=//p" "$prefix/share/applications/$id.desktop"; }
check "the desktop entry starts the launcher and names the icon" \
  same_text "$(desktop_key Exec) $(desktop_key Icon)" "veranta $id"
check "the desktop entry has a grower's keywords" \
  bash -c '[[ "$1" == *vineyard* && "$1" == *"degree days"* && "$1" == *solar* ]]' _ "$(desktop_key Keywords)"

# The icons are drawn as well as parsed: a blank or broken file would draw
# nothing.
icon_drawn() {
  rsvg-convert -w 64 -h 64 "$1" -o "$tmp/icon.png" 2>/dev/null || return 1
  local cover
  cover=$(convert "$tmp/icon.png" -alpha extract -format '%[fx:mean]' info:) || return 1
  awk -v c="$cover" 'BEGIN { exit !(c > 0.1) }'
}
check "the application icon draws" icon_drawn "$prefix/share/icons/hicolor/scalable/apps/$id.svg"
check "the symbolic icon draws" icon_drawn "$prefix/share/icons/hicolor/symbolic/apps/$id-symbolic.svg"

# --- one version -------------------------------------------------------------
metainfo_version=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$prefix/share/metainfo/$id.metainfo.xml")
check "the metainfo's release is the project's version $version" same_text "$metainfo_version" "$version"
check "the about panel shows the project's version $version" \
  grep -q ">version $version<" "$prefix/share/veranta/veranta.glade"

# --- the launcher without a display -------------------------------------------
# Without a display the program ends at once after the launcher has done its
# part, which is what these cases look at.
home=$tmp/home
mkdir -p "$home" "$tmp/work"
run_headless() {  # run_headless LAUNCHER [VAR=VALUE...] -- [ARGS...]: status in $rc, stderr in $tmp/err
  local launcher=$1; shift
  local vars=()
  while [ "$1" != "--" ]; do vars+=("$1"); shift; done
  shift
  (cd "$tmp/work" && env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_DATA_HOME HOME="$home" "${vars[@]}" \
     "$launcher" "$@") >/dev/null 2>"$tmp/err"
  rc=$?
}
same_files() { cmp -s "$1" "$2"; }
data=$home/.local/share/veranta

run_headless "$prefix/bin/veranta" --
check "the launcher makes ~/.local/share/veranta and copies the UI definition and style sheet" \
  bash -c 'cmp -s "$1/share/veranta/veranta.glade" "$2/veranta.glade" && cmp -s "$1/share/veranta/veranta.css" "$2/veranta.css"' _ "$prefix" "$data"
check "the program ran in the data folder (it reached the toolkit)" grep -q "cannot open display" "$tmp/err"
check "nothing is written in the working directory" same_text "$(ls -A "$tmp/work")" ""

run_headless "$prefix/bin/veranta" -- --display=:veranta-argument-check
check "the launcher hands its arguments to the program" grep -q "veranta-argument-check" "$tmp/err"

# An old copy is replaced, a copy newer than the installed file stays, a
# missing one comes back, and locale.txt is never touched.
printf 'latitude  44.5\n' >"$data/locale.txt"
touch -d '2001-01-01 00:00' "$data/locale.txt"
printf 'old\n' >"$data/veranta.glade"
touch -d '2001-01-01 00:00' "$data/veranta.glade"
printf '/* edited by the user */\n' >"$data/veranta.css"
touch -d '+1 day' "$data/veranta.css"
run_headless "$prefix/bin/veranta" --
check "a UI definition older than the installed one is replaced" same_files "$prefix/share/veranta/veranta.glade" "$data/veranta.glade"
check "a style sheet newer than the installed one stays" same_text "$(cat "$data/veranta.css")" "/* edited by the user */"
check "locale.txt stays as it was, time included" \
  same_text "$(cat "$data/locale.txt") $(stat -c %Y "$data/locale.txt")" "latitude  44.5 $(date -d '2001-01-01 00:00' +%s)"
# An upgrade brings a newer file, built before the user's last start.
cp -p "$prefix/share/veranta/veranta.glade" "$tmp/glade.orig"
touch -d '2020-01-01 00:00' "$prefix/share/veranta/veranta.glade"
rm "$data/veranta.glade"
run_headless "$prefix/bin/veranta" --
printf '<!-- upgraded -->\n' >>"$prefix/share/veranta/veranta.glade"
touch -d '2021-01-01 00:00' "$prefix/share/veranta/veranta.glade"
run_headless "$prefix/bin/veranta" --
check "an upgraded UI definition replaces a copy made after it was built" \
  same_files "$prefix/share/veranta/veranta.glade" "$data/veranta.glade"
cp -p "$tmp/glade.orig" "$prefix/share/veranta/veranta.glade"
run_headless "$prefix/bin/veranta" --

rm "$data/veranta.css"
run_headless "$prefix/bin/veranta" --
check "a missing style sheet comes back" same_files "$prefix/share/veranta/veranta.css" "$data/veranta.css"
check "no temporary copy is left behind" same_text "$(ls -A "$data" | sort | tr '\n' ' ')" "locale.txt veranta.css veranta.glade "

# Something other than a file where a copy belongs is named, and left as it
# is (a folder stays empty).
for kind in "folder|mkdir|directory" "named pipe|mkfifo|fifo"; do
  IFS='|' read -r word make type <<<"$kind"
  rm -f "$data/veranta.css"
  "$make" "$data/veranta.css"
  run_headless "$prefix/bin/veranta" --
  check "a $word in place of the style sheet is one line and status 1, and stays" \
    same_text "$rc|$(cat "$tmp/err")|$(stat -c %F "$data/veranta.css") $(find "$data/veranta.css" -mindepth 1)" \
    "1|veranta: $data/veranta.css is a $word, not the copy of veranta.css the program needs; move it away|$type "
  rm -rf "$data/veranta.css"
done
run_headless "$prefix/bin/veranta" --

run_headless "$prefix/bin/veranta" XDG_DATA_HOME="$tmp/xdg" --
check "XDG_DATA_HOME names the data folder" test -f "$tmp/xdg/veranta/veranta.glade"
run_headless "$prefix/bin/veranta" XDG_DATA_HOME=relative/xdg --
check "a relative XDG_DATA_HOME is ignored" \
  bash -c '[ ! -e "$1/work/relative" ] && [ -f "$2/veranta.glade" ]' _ "$tmp" "$data"

: >"$tmp/a-file"
run_headless "$prefix/bin/veranta" XDG_DATA_HOME="$tmp/a-file" --
check "a data folder that cannot be made is one line and status 1" \
  same_text "$rc|$(cat "$tmp/err")" "1|veranta: cannot make the data folder $tmp/a-file/veranta"

# A data folder the user may not write in (root may write anywhere, so this
# runs as nobody, where the check itself runs as root, as in CI).
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null; then
  mkdir -p "$tmp/shared/locked/veranta"
  chmod 755 "$tmp" "$tmp/shared" "$tmp/shared/locked" "$tmp/shared/locked/veranta" "$tmp/work"
  chmod -R a+rX "$prefix"
  (cd "$tmp/work" && env -u DISPLAY -u WAYLAND_DISPLAY HOME="$tmp/shared" XDG_DATA_HOME="$tmp/shared/locked" \
     setpriv --reuid=nobody --regid=nogroup --clear-groups "$prefix/bin/veranta") >/dev/null 2>"$tmp/err"
  check "a data folder the user cannot write in is one line and status 1" \
    same_text "$?|$(cat "$tmp/err")" "1|veranta: cannot write in the data folder $tmp/shared/locked/veranta"
fi

# The tree is found from the launcher's own place: a moved copy, and a link
# to its launcher, still work.
cp -a "$prefix" "$tmp/moved"
printf '/* moved */\n' >>"$tmp/moved/share/veranta/veranta.css"
mkdir -p "$tmp/links"
ln -s "$tmp/moved/bin/veranta" "$tmp/links/veranta"
run_headless "$tmp/links/veranta" XDG_DATA_HOME="$tmp/xdg-moved" --
check "a moved tree, started through a link, uses its own files" \
  bash -c 'cmp -s "$1/share/veranta/veranta.css" "$2/veranta/veranta.css" && grep -q "cannot open display" "$3"' \
  _ "$tmp/moved" "$tmp/xdg-moved" "$tmp/err"

# --- the installed program under X --------------------------------------------
# xdotool drives the real window: File ▸ Location by its mnemonics, Tab
# through the five entries and on to Save, File ▸ Quit.
gui_home=$tmp/gui-home
gui_data=$gui_home/.local/share/veranta
mkdir -p "$gui_home" "$tmp/somewhere" "$tmp/elsewhere"

# wait_window PID: the id of PID's visible main window, once it shows.
wait_window() {
  local pid=$1 end=$((SECONDS + timeout)) win
  while [ $SECONDS -lt $end ]; do
    win=$(xdotool search --onlyvisible --pid "$pid" --name '^veranta' 2>/dev/null | head -n 1)
    [ -n "$win" ] && { echo "$win"; return 0; }
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
# wait_gone PID: true once the process has ended (or is a child of ours
# waiting to be reaped).
wait_gone() {
  local pid=$1 end=$((SECONDS + timeout))
  while [ $SECONDS -lt $end ]; do
    case $(ps -o stat= -p "$pid" 2>/dev/null) in
      "" | Z*) return 0 ;;
    esac
    sleep 0.1
  done
  return 1
}
# wait_content FILE TEXT: true once FILE holds exactly TEXT.
wait_content() {
  local end=$((SECONDS + timeout))
  while [ $SECONDS -lt $end ]; do
    [ -f "$1" ] && [ "$(cat "$1"; echo .)" = "$2." ] && return 0
    sleep 0.1
  done
  [ -f "$1" ] && printf '  file holds: %q\n' "$(cat "$1")" || echo "  no file $1"
  return 1
}
open_location() {
  xdotool windowfocus --sync "$1" && xdotool key alt+f l
}
quit_app() {
  xdotool windowfocus --sync "$1" && xdotool key alt+f q
}

if [ -z "${DISPLAY:-}" ]; then
  fail "the installed program under X (DISPLAY is not set)"
else
  # First start, by the launcher from an unrelated folder.
  (cd "$tmp/somewhere" && exec env -u XDG_DATA_HOME HOME="$gui_home" "$prefix/bin/veranta") \
    >"$tmp/gui1.log" 2>&1 &
  pid=$!
  started+=("$pid")
  if win=$(wait_window "$pid"); then
    pass "the launcher's main window appears"
    # The panel opens with the latitude focused.
    open_location "$win"
    xdotool type 45.5 && xdotool key Tab && xdotool type -- -123.25 &&
      xdotool key Tab && xdotool type 250 && xdotool key Tab && xdotool type 200 &&
      xdotool key Tab && xdotool type 12 && xdotool key Tab Tab space
    check "the site saved through the location panel is in the user's data folder" \
      wait_content "$gui_data/locale.txt" $'latitude  45.5\nlongitude  -123.25\nelevation  250\naspect  200\ntilt  12\n'
    quit_app "$win"
    if wait_gone "$pid"; then
      wait "$pid"; rc=$?
      started=()
      check "File ▸ Quit ends it with status 0" same_text "$rc" 0
    else
      fail "File ▸ Quit ends it"
    fi
  else
    cat "$tmp/gui1.log"
    fail "the launcher's main window appears"
  fi
  check "the first start wrote nothing in its working directory" same_text "$(ls -A "$tmp/somewhere")" ""

  # Second start, by the desktop entry from another folder. Saving at once
  # writes the entries as the panel shows them, so the file then holds the
  # stored site in the panel's number formats.
  win=""
  (cd "$tmp/elsewhere" && exec env -u XDG_DATA_HOME HOME="$gui_home" XDG_DATA_DIRS="$prefix/share" \
     PATH="$prefix/bin:$PATH" gtk-launch "$id") >"$tmp/gui2.log" 2>&1
  end=$((SECONDS + timeout))
  while [ $SECONDS -lt $end ] && [ -z "$win" ]; do
    win=$(xdotool search --onlyvisible --name '^veranta — ' 2>/dev/null | head -n 1)
    [ -z "$win" ] && sleep 0.1
  done
  if [ -n "$win" ]; then
    pass "the desktop entry's main window appears"
    pid=$(xdotool getwindowpid "$win")
    started+=("$pid")
    check "the desktop entry runs the installed program in the user's data folder" \
      same_text "$(readlink "/proc/$pid/cwd")" "$gui_data"
    open_location "$win"
    xdotool key Return
    check "the second start shows the stored site again" \
      wait_content "$gui_data/locale.txt" $'latitude   45.5000\nlongitude  -123.2500\nelevation     250.0\naspect     200.0\ntilt      12.0\n'
    quit_app "$win"
    check "File ▸ Quit ends the second start" wait_gone "$pid" && started=()
  else
    cat "$tmp/gui2.log"
    fail "the desktop entry's main window appears"
  fi
  check "the second start wrote nothing in its working directory" same_text "$(ls -A "$tmp/elsewhere")" ""
fi

# --- the Debian package --------------------------------------------------------
if ! cpack -G DEB -B "$tmp/cpack" --config "$build/CPackConfig.cmake" >"$tmp/cpack.log" 2>&1; then
  cat "$tmp/cpack.log"
  fail "cpack -G DEB builds the package"
  finish
fi
deb=$(ls "$tmp/cpack"/veranta_"$version"_*.deb 2>/dev/null | head -n 1)
check "cpack -G DEB builds veranta_${version}_ARCH.deb" test -f "$deb"
if [ -f "$deb" ]; then
  echo "  $(basename "$deb"):"
  dpkg-deb -f "$deb" Package Version Architecture Maintainer Depends Section Description | sed 's/^/    /'
  dpkg-deb -c "$deb" | sed 's/^/    /'
  check "the package's Version is the project's $version" same_text "$(dpkg-deb -f "$deb" Version)" "$version"
  check "the package has a maintainer with an address" \
    bash -c '[[ "$1" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]]' _ "$(dpkg-deb -f "$deb" Maintainer)"
  depends=$(dpkg-deb -f "$deb" Depends)
  for lib in libgtk-3-0 libglib2.0-0 libc6; do
    check "Depends names $lib" bash -c '[[ ", $1," =~ ,\ $2[\ ,] ]]' _ "$depends" "$lib"
  done
  description=$(dpkg-deb -f "$deb" Description)
  check "the description has the summary and a long text in lines of at most 80 characters" \
    bash -c '[ "$(printf "%s\n" "$1" | head -n 1)" = "clear-sky solar energy on sloping ground and growing degree days" ] &&
             [ "$(printf "%s\n" "$1" | wc -l)" -ge 3 ] &&
             ! printf "%s\n" "$1" | grep -q ".\{81\}"' _ "$description"
  check "the package holds the installed files under /usr, and nothing else" \
    same_text "$(dpkg-deb -c "$deb" | awk '$1 ~ /^-/ { print $6 }' | sed 's|^\./usr/||' | sort)" "$expected_list"
  check "in the package the launcher and the program are executable, the rest not" \
    same_text "$(dpkg-deb -c "$deb" | awk '$1 ~ /^-/ { print $6, $1 }' | sed 's|^\./usr/||' | sort)" "$expected_modes"
  # Unpacked anywhere, the package's launcher works from its own tree.
  dpkg-deb -x "$deb" "$tmp/unpacked"
  run_headless "$tmp/unpacked/usr/bin/veranta" XDG_DATA_HOME="$tmp/xdg-deb" --
  check "the packaged launcher copies the packaged files and starts the packaged program" \
    bash -c 'cmp -s "$1/usr/share/veranta/veranta.glade" "$2/veranta/veranta.glade" && grep -q "cannot open display" "$3"' \
    _ "$tmp/unpacked" "$tmp/xdg-deb" "$tmp/err"
  check "the packaged metainfo names the package's version" \
    grep -q "<release version=\"$version\"" "$tmp/unpacked/usr/share/metainfo/$id.metainfo.xml"
fi

finish
