# Shared by scripts/test and scripts/run: the build trees, the Wine prefixes
# and private X displays. Source it; it defines functions only.

ALMACORA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ALMACORA_JOBS=${ALMACORA_JOBS:-$(nproc)}
_started_xvfb=()
_started_wineserver=()
_started_cupsd=""
_displays=()

# A compiler cache, where the machine has one, keyed on paths relative to
# the checkout so that two checkouts of one tree share their objects.
# (The variables are read when the compiler runs, so they are set here, not
# in the command substitution that asks for the launcher.)
if command -v ccache >/dev/null; then export CCACHE_BASEDIR=$ALMACORA_ROOT CCACHE_NOHASHDIR=1; fi
_launcher() {
  if command -v ccache >/dev/null; then
    echo "-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
  fi
}

_configure_win64() {
  cmake -S "$ALMACORA_ROOT" -B "$ALMACORA_ROOT/build/win64" -G Ninja $(_launcher) \
    -DCMAKE_TOOLCHAIN_FILE="$ALMACORA_ROOT/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
}

# cmake --build with the progress lines left out; fails when the build does.
_build() {
  cmake --build "$@" -j "$ALMACORA_JOBS" | grep -vE '^\[[0-9]+/[0-9]+\]' || true
  [ "${PIPESTATUS[0]}" -eq 0 ]
}

configure_and_build() {
  local root=$ALMACORA_ROOT
  cmake -S "$root" -B "$root/build/host" -G Ninja $(_launcher) -DALMACORA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
  _configure_win64
  _build "$root/build/host" || return 1
  _build "$root/build/win64" || return 1
}

# Only what almacora.exe needs to run, in the Windows tree: the program,
# its help file and the holiday calendars beside it (no tests, no host tree).
ALMACORA_PROGRAM_FILES=(almacora.exe almacora.chm corvelle.url "Australia Holidays.akv" "Canada Holidays.akv"
  "UK Holidays.akv" "US Holidays.akv")
build_program() {
  _configure_win64
  _build "$ALMACORA_ROOT/build/win64" --target almacora almacora_help holiday_calendars
}

# Wine: one prefix per display, each with a persistent server of its own (a
# server's desktop lives on one X display), so that the first wine call does
# not leave a server holding our pipes. Display 0 uses build/wineprefix (or
# ALMACORA_WINEPREFIX: scripts/run's own) and is what WINEPREFIX names; display i uses build/wineprefix-i, a copy of the
# first (copying is much faster than booting another prefix). Exports
# ALMACORA_DISPLAY_<i> and ALMACORA_WINEPREFIX_<i>, which
# cmake/wine_test_run.sh reads for the display CTest handed a window test,
# and writes the matching resource file for the Windows tree's CTest.
start_wine() {
  export WINEPREFIX="${ALMACORA_WINEPREFIX:-$ALMACORA_ROOT/build/wineprefix}"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  # A new prefix takes its locale from the environment it is made in, and
  # the tests expect the British 24-hour clock whatever the shell's is.
  local gb="LANG=en_GB.UTF-8 LC_ALL=en_GB.UTF-8"
  [ ${#_displays[@]} -gt 0 ] || _displays=("${DISPLAY:-}")
  mkdir -p "$WINEPREFIX"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    env $gb wineboot -i </dev/null >/dev/null 2>&1 || true
    # Until its server ends the new registry may not be on disk for copying.
    wineserver -w </dev/null >/dev/null 2>&1 || true
  fi
  local i prefix pids=() desktop=${ALMACORA_WINE_DESKTOP-}
  # A test that starts a Wine desktop of its own (ALMACORA_OWN_DESKTOP, see
  # cmake/wine_test_run.sh) cannot under a prefix-wide one: it runs in
  # build/wineprefix-plain, a copy left without the desktop setting. Copied
  # before any server of the first prefix starts writing to it.
  unset ALMACORA_WINEPREFIX_PLAIN
  if [ -n "$desktop" ]; then
    prefix="$WINEPREFIX-plain"
    if [ ! -f "$prefix/system.reg" ]; then
      rm -rf "$prefix"
      cp -a "$WINEPREFIX" "$prefix"
    fi
    (export WINEPREFIX=$prefix && start_virtual_desktop "" && wineserver -w) </dev/null >/dev/null 2>&1
    export ALMACORA_WINEPREFIX_PLAIN=$prefix
    _started_wineserver+=("$prefix")
  fi
  for i in "${!_displays[@]}"; do
    prefix=$WINEPREFIX
    if [ "$i" -gt 0 ]; then
      prefix="$WINEPREFIX-$i"
      if [ ! -f "$prefix/system.reg" ]; then
        rm -rf "$prefix"
        cp -a "$WINEPREFIX" "$prefix"
      fi
    fi
    export "ALMACORA_WINEPREFIX_$i=$prefix"
    [ -n "${_displays[i]}" ] && export "ALMACORA_DISPLAY_$i=${_displays[i]}"
    _started_wineserver+=("$prefix")
    # The first program of a session starts Wine's services and, with a
    # display, the desktop process; they inherit that program's output.
    # Start them here with /dev/null, or CTest would wait on their pipes
    # forever.
    (
      export WINEPREFIX=$prefix
      [ -n "${_displays[i]}" ] && export DISPLAY=${_displays[i]}
      env $gb wineserver -p </dev/null >/dev/null 2>&1
      start_virtual_desktop "$desktop"
      "$(wine_loader)" rundll32 user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 || true
    ) &
    pids+=($!)
  done
  wait "${pids[@]}"
  # A process that loads the spooler copies the print server's queues into
  # its prefix. Do it once per prefix now, one at a time, rather than in
  # several tests at once that may then find no printer.
  # A load can come away without the queues (seen on copied prefixes), so
  # when a print server has a default queue, load again until the prefix
  # names a default printer.
  local tries want=""
  lpstat -d 2>/dev/null | grep -q 'system default destination' && want=1
  for prefix in "${_started_wineserver[@]}"; do
    for tries in 1 2 3 4 5; do
      WINEPREFIX=$prefix "$(wine_loader)" rundll32 winspool.drv,ClosePrinter </dev/null >/dev/null 2>&1 || true
      [ -z "$want" ] && break
      WINEPREFIX=$prefix "$(wine_loader)" reg query 'HKCU\Software\Microsoft\Windows NT\CurrentVersion\Windows' /v Device \
        </dev/null 2>/dev/null | grep -q 'REG_SZ' && break
      sleep 1
    done
  done
  write_display_slots ${#_displays[@]}
}

# Every program of the prefix WINEPREFIX runs inside one Wine virtual
# desktop of `size` (ALMACORA_WINE_DESKTOP, e.g. 1280x1024; empty, the
# default: on the display itself, as scripts/run does). On a display without a window
# manager Wine waits two seconds each time a window of its own is hidden,
# for a reply no window manager sends; inside a virtual desktop it draws
# the frames itself and hiding takes milliseconds. The desktop's process is
# started here and kept, so that each program does not start one anew.
start_virtual_desktop() {
  local size=$1 reg value='"Desktop"=-'
  [ -n "$size" ] && value='"Desktop"="Almacora"'
  # An empty size takes a desktop a former run set away again.
  [ -n "$size" ] || grep -q '^"Desktop"="Almacora"' "$WINEPREFIX/user.reg" 2>/dev/null || return 0
  reg=$(mktemp "${TMPDIR:-/tmp}/almacora_desktop.XXXXXX.reg") || return 1
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n%s\r\n\r\n' "$value" >"$reg"
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"Almacora"="%s"\r\n' "${size:-1280x1024}" >>"$reg"
  "$(wine_loader)" regedit /S "Z:${reg//\//\\}" </dev/null >/dev/null 2>&1 || true
  rm -f "$reg"
  [ -n "$size" ] && "$(wine_loader)" explorer "/desktop=Almacora,$size" </dev/null >/dev/null 2>&1 &
  return 0
}

# The CTest resource file of the Windows tree (CTEST_RESOURCE_SPEC_FILE):
# `count` "display" slots of one test each. Window tests ask for one.
write_display_slots() {
  local file="$ALMACORA_ROOT/build/win64/display_slots.json" i ids=""
  for ((i = 0; i < $1; i++)); do ids+="${ids:+,}{\"id\":\"$i\",\"slots\":1}"; done
  mkdir -p "$(dirname "$file")"
  printf '{"version":{"major":1,"minor":0},"local":[{"display":[%s]}]}\n' "$ids" >"$file"
}

wine_loader() {
  if [ -x /usr/lib/wine/wine64 ]; then echo /usr/lib/wine/wine64; else command -v wine64 || command -v wine; fi
}

# The print server Wine prints through, with a default queue "PDF" that
# writes files (Wine then offers a 300-dpi A4 printer). Starts cupsd only
# when none runs, and stop_started stops only the one started here.
start_printer() {
  command -v cupsd >/dev/null || { echo "cupsd missing (scripts/setup installs it)" >&2; return 1; }
  if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
    cupsd -f </dev/null >/dev/null 2>&1 &
    _started_cupsd=$!
    local i
    for i in $(seq 1 50); do
      lpstat -r 2>/dev/null | grep -q 'is running' && break
      sleep 0.1
    done
  fi
  if ! lpstat -p PDF >/dev/null 2>&1; then
    lpadmin -p PDF -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd >/dev/null 2>&1 || true
  fi
  lpadmin -d PDF >/dev/null 2>&1 || true
}

# Private Xvfb displays when no display is there: ALMACORA_DISPLAYS of them
# (4 by default), so that window tests run side by side, one per display.
# DISPLAY names the first. With a display already there, that one is used.
start_display() {
  if [ -n "${DISPLAY:-}" ]; then
    _displays=("$DISPLAY")
    return 0
  fi
  local count=${ALMACORA_DISPLAYS:-4} i
  [ "$count" -ge 1 ] 2>/dev/null || count=1
  _displays=()
  for ((i = 0; i < count; i++)); do
    start_xvfb || return 1
  done
  export DISPLAY=${_displays[0]}
}

# Xvfb picks a free display number itself and writes it once it takes
# connections, so helpers starting displays at once cannot collide.
start_xvfb() {
  local ready i
  ready=$(mktemp "${TMPDIR:-/tmp}/almacora_xvfb.XXXXXX") || return 1
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$ready" </dev/null >/dev/null 2>&1 &
  local pid=$!
  _started_xvfb+=("$pid")
  for i in $(seq 1 100); do
    if grep -q '^[0-9][0-9]*$' "$ready"; then
      _displays+=(":$(cat "$ready")")
      rm -f "$ready"
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$ready"
  echo "could not start Xvfb" >&2
  return 1
}

stop_started() {
  if [ -n "$_started_cupsd" ]; then
    kill "$_started_cupsd" 2>/dev/null || true
    wait "$_started_cupsd" 2>/dev/null || true
    _started_cupsd=""
  fi
  local prefix pid
  for prefix in "${_started_wineserver[@]}"; do
    WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
  done
  if [ ${#_started_wineserver[@]} -gt 0 ]; then
    # Back to one display, as a later CTest run may have no others.
    write_display_slots 1
    _started_wineserver=()
  fi
  for pid in "${_started_xvfb[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  _started_xvfb=()
  _displays=()
}
