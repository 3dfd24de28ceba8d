#!/usr/bin/env bash
# Runs Windows test programs under Wine, in a throw-away prefix kept in a build
# folder (never the user's own prefix).
#
#   wine-run.sh STATE_DIR --setup [PROGRAM]    make the prefix, keep one wineserver alive
#   wine-run.sh STATE_DIR --cleanup            end every process of the prefix, remove it
#   wine-run.sh STATE_DIR PROGRAM.exe [ARG...] run one program (CTest's emulator)
#
# Programs that open windows need an X display. Without DISPLAY, --setup starts
# an Xvfb for the whole run; a run before that (CTest listing the test cases)
# gets one of its own from xvfb-run.
#
# An i686 PROGRAM on a kernel that cannot run 32-bit programs is not started:
# the exit code is 77, which the tests take as "skipped", and the reason is
# printed. Elsewhere, where i386 cannot run, "wine" is the 64-bit loader.
set -u

if [ $# -lt 2 ]; then
  echo "usage: $0 STATE_DIR --setup|--cleanup|PROGRAM [ARG...]" >&2
  exit 2
fi
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib.sh"
mkdir -p "$1" || exit 1
state=$(cd "$1" && pwd)
shift

use_test_prefix "$state/prefix"

ready="$state/prefix.ready"  # wineboot finished
used="$state/prefix.used"    # tests ran in it: the next run needs a fresh one

quietly() { "$@" </dev/null >/dev/null 2>&1; }

stop_wine() {
  if [ -d "$WINEPREFIX" ]; then
    quietly wineserver -k
    quietly wineserver -w
  fi
}

stop_xvfb() {
  if [ -f "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null
  fi
  rm -f "$state/xvfb.pid" "$state/display"
}

recorded_display() {
  [ -f "$state/display" ] && [ -f "$state/xvfb.pid" ] &&
    kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null && cat "$state/display"
}

# Creates the prefix once; callers may race (listing and setup), hence the lock.
# With "persistent", the wineserver it starts stays until --cleanup. Wine's
# processes must not inherit the lock's descriptor, or they would hold it.
make_prefix() {
  [ -f "$ready" ] && return 0
  (
    flock 9
    [ -f "$ready" ] && exit 0
    rm -rf "$WINEPREFIX" "$used"
    mkdir -p "$WINEPREFIX"
    if [ "${1:-}" = persistent ]; then
      quietly wineserver -p 9>&-
    fi
    if ! wineboot -i </dev/null >"$state/wineboot.log" 2>&1 9>&-; then
      echo "wine-run: wineboot -i failed, see $state/wineboot.log" >&2
      exit 1
    fi
    touch "$ready"
  ) 9>"$state/lock"
}

setup() {
  if [ -n "${1:-}" ] && pe_is_i386 "$1" && ! can_run_i386; then
    echo "No Wine prefix made: $no_i386_reason, and $(basename "$1") is i686."
    return 0
  fi
  # Whatever runs now was started for another display or by an aborted run.
  stop_wine
  stop_xvfb
  if [ -f "$used" ]; then
    rm -rf "$WINEPREFIX" "$ready" "$used"
  fi
  if [ -z "${DISPLAY:-}" ]; then
    DISPLAY=$(start_xvfb "$state/xvfb.pid") || { stop_xvfb; return 1; }
    echo "$DISPLAY" >"$state/display"
    export DISPLAY
  fi
  local start=$SECONDS
  make_prefix persistent || return 1
  # Keeps Wine start-up at a fraction of a second for every later test.
  quietly wineserver -p
  touch "$used"
  echo "Wine prefix $WINEPREFIX ready (${DISPLAY}) in $((SECONDS - start)) s"
}

cleanup() {
  stop_wine
  stop_xvfb
  rm -rf "$WINEPREFIX" "$ready" "$used" "$state"/run.*
  echo "Wine prefix $WINEPREFIX removed"
}

run() {
  skip_if_unrunnable "$1"
  if [ -z "${DISPLAY:-}" ]; then
    DISPLAY=$(recorded_display)
    if [ -n "$DISPLAY" ]; then
      export DISPLAY
    elif [ -z "${CENTINELA_UNDER_XVFB_RUN:-}" ]; then
      CENTINELA_UNDER_XVFB_RUN=1 exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
        "$0" "$state" "$@"
    fi
  fi
  make_prefix || return 1
  # The program's output goes to a file, not to CTest's pipe: Wine's own
  # background processes inherit it and would keep CTest waiting for ever.
  # The time limit stays under CTest's so that a hung test still shows its
  # output (CTest's own timeout kills this script outright).
  local limit="${CENTINELA_WINE_TIMEOUT:-50}" log pid rc
  log=$(mktemp "$state/run.XXXXXX")
  timeout -k 5 "$limit" wine "$@" </dev/null >"$log" 2>&1 &
  pid=$!
  trap 'kill $pid 2>/dev/null' TERM INT
  wait $pid
  rc=$?
  tr -d '\r' <"$log"
  rm -f "$log"
  if [ $rc -eq 124 ] || [ $rc -eq 137 ]; then
    echo "wine-run: $1 ran longer than $limit s and was ended" >&2
  fi
  return $rc
}

case "$1" in
  --setup) setup "${2:-}" ;;
  --cleanup) cleanup ;;
  *) run "$@" ;;
esac
