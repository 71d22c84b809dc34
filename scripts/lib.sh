# Shared by scripts/test and scripts/run: the build trees, the Wine prefix
# and a private X display. Source it; it defines functions only.

ALMACORA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ALMACORA_JOBS=${ALMACORA_JOBS:-$(nproc)}
_started_xvfb=""
_started_wineserver=""
_started_cupsd=""

configure_and_build() {
  local root=$ALMACORA_ROOT
  cmake -S "$root" -B "$root/build/host" -G Ninja -DALMACORA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake -S "$root" -B "$root/build/win64" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$root/build/host" -j "$ALMACORA_JOBS" | grep -vE '^\[[0-9]+/[0-9]+\]' || true
  [ "${PIPESTATUS[0]}" -eq 0 ] || return 1
  cmake --build "$root/build/win64" -j "$ALMACORA_JOBS" | grep -vE '^\[[0-9]+/[0-9]+\]' || true
  [ "${PIPESTATUS[0]}" -eq 0 ] || return 1
}

# Wine: a prefix inside build/, initialised once, with a persistent server
# so that the first wine call does not leave a server holding our pipes.
start_wine() {
  export WINEPREFIX="$ALMACORA_ROOT/build/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  # A new prefix takes its locale from the environment it is made in, and
  # the tests expect the British 24-hour clock whatever the shell's is.
  local gb="LANG=en_GB.UTF-8 LC_ALL=en_GB.UTF-8"
  mkdir -p "$WINEPREFIX"
  env $gb wineserver -p </dev/null >/dev/null 2>&1
  _started_wineserver=1
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    env $gb wineboot -i </dev/null >/dev/null 2>&1 || true
  fi
  # The first program of a session starts Wine's services and, with a
  # display, the desktop process; they inherit that program's output. Start
  # them here with /dev/null, or CTest would wait on their pipes forever.
  "$(wine_loader)" rundll32 user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 || true
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

# A private Xvfb when no display is there.
start_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local n=99
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  _started_xvfb=$!
  export DISPLAY=":$n"
  local i
  for i in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && return 0
    kill -0 "$_started_xvfb" 2>/dev/null || break
    sleep 0.1
  done
  echo "could not start Xvfb on :$n" >&2
  return 1
}

stop_started() {
  if [ -n "$_started_cupsd" ]; then
    kill "$_started_cupsd" 2>/dev/null || true
    wait "$_started_cupsd" 2>/dev/null || true
    _started_cupsd=""
  fi
  if [ -n "$_started_wineserver" ]; then
    wineserver -k >/dev/null 2>&1 || true
    _started_wineserver=""
  fi
  if [ -n "$_started_xvfb" ]; then
    kill "$_started_xvfb" 2>/dev/null || true
    wait "$_started_xvfb" 2>/dev/null || true
    _started_xvfb=""
  fi
}
