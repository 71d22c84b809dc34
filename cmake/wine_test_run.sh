#!/usr/bin/env bash
# Runs one test program of the Windows tree under Wine: wine_test_run.sh LOADER EXE ARGS...
#
# Under a heavily parallel CTest run the Wine loader now and then gives up
# before the program starts: it exits non-zero at once and prints nothing.
# Every test program's main first creates the file named by
# ALMACORA_TEST_STARTED_FILE, so a run that exits non-zero without it never
# reached the program; such a start is tried again (at most twice) and said
# so on stderr. A program that did start is reported as it ended, whatever
# that was.
#
# A window test is handed one display slot by CTest (resource "display",
# CTEST_RESOURCE_GROUP_0_DISPLAY="id:<i>,slots:1") and runs on that slot's
# X display and Wine prefix, ALMACORA_DISPLAY_<i> and ALMACORA_WINEPREFIX_<i>
# from scripts/lib.sh start_wine. Other tests keep DISPLAY and WINEPREFIX.
set -u
loader=$1
shift
if [ -n "${CTEST_RESOURCE_GROUP_0_DISPLAY:-}" ]; then
  slot=${CTEST_RESOURCE_GROUP_0_DISPLAY#id:}
  slot=${slot%%,*}
  display_var=ALMACORA_DISPLAY_$slot
  prefix_var=ALMACORA_WINEPREFIX_$slot
  if [ -n "${!prefix_var:-}" ]; then
    export WINEPREFIX=${!prefix_var}
    [ -n "${!display_var:-}" ] && export DISPLAY=${!display_var}
    # A test that starts its own Wine desktop, which a prefix-wide desktop
    # keeps from showing: on its slot's display, in the prefix without one.
    if [ -n "${ALMACORA_OWN_DESKTOP:-}" ] && [ -n "${ALMACORA_WINEPREFIX_PLAIN:-}" ]; then
      export WINEPREFIX=$ALMACORA_WINEPREFIX_PLAIN
    fi
  elif [ "$slot" != 0 ]; then
    # Running it on display 0 beside another window test would disturb both.
    echo "wine_test_run: display $slot was not started (scripts/lib.sh start_display, start_wine)" >&2
    exit 1
  fi
fi
marker=$(mktemp "${TMPDIR:-/tmp}/wine_test_started.XXXXXX") || exit 1
output=$(mktemp "${TMPDIR:-/tmp}/wine_test_output.XXXXXX") || exit 1
trap 'rm -f "$marker" "$output"' EXIT
# Wine maps the Unix root to drive Z:.
export ALMACORA_TEST_STARTED_FILE="Z:${marker//\//\\}"
# What the program wrote so far, for a test that reads the Wine trace of a
# program it started (which shares its standard error).
export ALMACORA_TEST_OUTPUT_FILE="Z:${output//\//\\}"
# The program writes to a file that is copied to CTest as it grows, never
# to CTest's pipe itself: a process Wine starts on the program's behalf
# (the desktop process of a prefix whose desktop was closed) inherits the
# program's output and can outlive it by minutes, while CTest waits for
# every holder of its pipe to let go.
run_loader() {
  : >"$output"
  "$loader" "$@" >"$output" 2>&1 </dev/null &
  local pid=$!
  tail -s 0.2 -n +1 -f --pid="$pid" "$output" &
  local copier=$!
  wait "$pid"
  rc=$?
  wait "$copier"
}
for attempt in 1 2 3; do
  rm -f "$marker"
  run_loader "$@"
  if [ "$rc" -eq 0 ] || [ -e "$marker" ] || [ "$attempt" -eq 3 ]; then
    exit "$rc"
  fi
  echo "wine_test_run: $(basename "$1") did not start under Wine (exit $rc); starting it again" >&2
  sleep 1
done
