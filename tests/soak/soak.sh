#!/usr/bin/env bash
# Soak test of the program under Wine: its soak build (Timer1 every few
# milliseconds, see hooks.h) runs on a virtual display of its own, in a fresh
# prefix under WORK_DIR, while the test's tool (tests/e2e/drive_tool.cpp) adds
# and removes Run values (HKCU, and HKLM in both views) and Startup files.
# Twice: with the window shown, then hidden, where every tick that finds an
# entry not validated alerts and the tool answers the box and closes the
# window again.
#
#   soak.sh CENTINELA_SOAK_EXE DRIVE_TOOL_EXE WORK_DIR
#
# In each phase:
#   1. the places are emptied (with C:\soak\Startup as the Startup folder and
#      the standard open command), so the program starts with nothing to
#      alert about and its window shown;
#   2. the changer runs for a number of ticks (ticks that scanned); some
#      ticks into it the program's handles, private memory and GDI/USER
#      objects are taken;
#   3. once the changer has stopped (the window shown, no box) and a few more
#      ticks have passed, they are taken again: the handles must be a real
#      count (above 0) and grow by HANDLE_SLACK at most, the memory by less
#      than the phase's slack in bytes for each tick between the figures,
#      and GDI/USER objects by GUI_SLACK at most where the system reports them;
#   4. the program's table must hold exactly the entries the changer left,
#      as wine reg and the folder show them, and Wine's automatic services,
#      validated before the start.
# CENTINELA_SOAK_SEED repeats a run's sequence of changes. Every wait is
# bounded. Exit code 77 means a tool is missing (skipped).
set -u

# Per phase: ticks of changes, ticks before the first figures, and the
# memory slack in bytes a tick.
#   Shown: private memory comes in whole pages and moved by one page at most
#   in quiet runs. The smallest heap block is 16 bytes (i686), so one
#   allocation lost a tick exceeds 12 bytes a tick over the run.
#   Hidden: each tick opens and closes an alert box, and Wine's heap moves
#   with them: +64 KB by tick 170, +12 KB more by tick 400, then up to 28 KB
#   over 900 ticks (measured in five runs). Over 1,200 ticks 24 bytes a tick
#   stays under the smallest block of the x86-64 build this machine runs (32
#   bytes); for i686 it would be 12 over a run twice as long.
SHOWN_TICKS=1000 SHOWN_BASE=100 SHOWN_SLACK=12
HIDDEN_TICKS=1600 HIDDEN_BASE=400 HIDDEN_SLACK=24
SETTLE_TICKS=5
# Wine's handle list is exact and the program keeps a fixed set open: any
# growth is a leak. The slack covers a tick caught half-way, which may be
# making its watches anew (one key handle a watched key and view, about 40
# in a 64-bit prefix); a handle lost a tick would still pass it tenfold.
HANDLE_SLACK=48
GUI_SLACK=4
# Everything, cleanup included, ends before CTest's limit of 300 s.
BUDGET=285

if [ $# -ne 3 ]; then
  echo "usage: $0 CENTINELA_SOAK_EXE DRIVE_TOOL_EXE WORK_DIR" >&2
  exit 2
fi
for tool in wine wineserver Xvfb timeout; do
  command -v "$tool" >/dev/null || { echo "soak: $tool is missing: skipped"; exit 77; }
done
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib.sh"
program=$(readlink -f "$1")
skip_if_unrunnable "$1"
soak_tool=$(readlink -f "$2")
work=$3
deadline=$((SECONDS + BUDGET))
seed=${CENTINELA_SOAK_SEED:-$((RANDOM * 32768 + RANDOM + 1))}

rm -rf "$work"
mkdir -p "$work" || exit 1
work=$(cd "$work" && pwd)
use_test_prefix "$work/prefix"
shared="$WINEPREFIX/drive_c/soak"
program_pid=
changer_pid=

step() { echo "soak: $*"; }
fail() {
  echo "soak: FAIL: $*" >&2
  exit 1
}

# shellcheck disable=SC2317  # run by the trap
cleanup() {
  if [ -d "$WINEPREFIX" ]; then
    timeout 20 wineserver -k >/dev/null 2>&1
    timeout 20 wineserver -w >/dev/null 2>&1
  fi
  [ -n "$changer_pid" ] && kill "$changer_pid" 2>/dev/null
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  [ -f "$work/xvfb.pid" ] && kill "$(cat "$work/xvfb.pid")" 2>/dev/null
}
trap cleanup EXIT

# A time limit of at most $1 seconds that still leaves the budget's end.
limit() {
  local left=$((deadline - SECONDS))
  [ "$left" -gt 0 ] || fail "out of time (${BUDGET} s)"
  echo $(($1 < left ? $1 : left))
}

# The tool under a time limit; its output without Windows line ends.
tool() {
  local limit
  limit=$(limit "$1") || exit 1
  shift
  timeout -k 5 "$limit" wine "$soak_tool" "$@" </dev/null 2>>"$work/tool.log" | tr -d '\r'
  return "${PIPESTATUS[0]}"
}

# wine reg under a time limit, its output to the log.
reg() { timeout "$(limit 30)" wine reg "$@" </dev/null >>"$work/reg.log" 2>&1; }

# Every place the program reads emptied of values and of the changer's files.
# Anything left would alert at the start or show in the table, and fail the
# test there.
empty_places() {
  rm -rf "$shared/Startup" && mkdir -p "$shared/Startup" || return 1
  empty_run_keys "$(limit 30)" "$work/reg.log"
}

# What the places hold, as the program's table writes its rows: name, command,
# "NO" (nothing is validated), place (a root in decimal), key, view.
places_now() {
  local key view
  for key in Run RunServices; do
    for view in 64 32; do
      reg_rows HKLM "$key" /reg:$view -2147483646 $view
    done
    reg_rows HKCU "$key" "" -2147483647 ""
  done
  ls "$shared/Startup" | sed 's/.*/&\t&\tNO\tC:\\soak\\Startup\t\t/'
  auto_services "$(limit 30)" |
    awk -F'\t' -v OFS='\t' '{ print $1, $2, "SI", -2147483646, "SYSTEM\\CurrentControlSet\\Services\\" $1, "" }'
}
reg_rows() {  # ROOT KEY VIEW_OPTION PLACE VIEW
  local key="Software\\Microsoft\\Windows\\CurrentVersion\\$2"
  timeout "$(limit 30)" wine reg query "$1\\$key" ${3:+"$3"} </dev/null 2>>"$work/reg.log" |
    tr -d '\r' | sed -n "s/^    \(.*\)    REG_SZ    \(.*\)\$/\1\t\2\tNO\t$4\t${key//\\/\\\\}\t$5/p"
}

# One figure out of a probe line: "figure handles $line".
figure() { sed -n "s/.*\\b$1=\\([0-9]*\\).*/\\1/p" <<<"$2"; }

# The window shown and no box open, as at the start and after the changer.
settled() { [ "$(figure visible "$1")" = 1 ] && [ "$(figure box "$1")" = 0 ]; }

step "virtual display"
DISPLAY=$(start_xvfb "$work/xvfb.pid") || fail "Xvfb did not start"
export DISPLAY

step "fresh prefix in $WINEPREFIX"
boot_prefix "$(limit 120)" "$work/wineboot.log" || fail "wineboot -i failed"
# With no window manager on the display, Wine waits 2 s for one at every
# window hidden (the main window closed, a box answered): unmanaged windows
# let the hidden phase tick at its pace.
reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f ||
  fail "could not set Wine's window handling (see $work/reg.log)"
# The changer's Startup folder; the open command the standard one.
set_startup_folder 'C:\soak\Startup' "$(limit 30)" "$work/reg.log" &&
  reg add 'HKCR\exefile\shell\open\command' /ve /d '"%1" %*' /f ||
  fail "could not set the Startup folder or the open command (see $work/reg.log)"
validate_services "$WINEPREFIX/drive_c/windows/ximvar.dat" "$(limit 30)" ||
  fail "no automatic services to validate"

soak() {
  local mode=$1 ticks=$2 base_ticks=$3 slack_per_tick=$4
  step "$mode: start the program; its window must come with no alert"
  empty_places || fail "could not empty the Startup folder"
  wine "$program" </dev/null >"$work/program-$mode.log" 2>&1 &
  program_pid=$!
  local start base now end changed rc
  start=$(tool 75 probe 1 60) || fail "the program did not start ticking (see $work/tool.log)"
  settled "$start" || fail "the program did not start shown with no alert: $start"

  step "$mode: changes for $ticks ticks (seed $seed)"
  tool 225 change "$seed" "$ticks" 210 "$mode" >"$work/changer-$mode.out" &
  changer_pid=$!
  base=$(tool 100 probe $(($(figure ticks "$start") + base_ticks)) 90) ||
    fail "no figures after the first ticks"
  wait "$changer_pid"
  rc=$?
  changer_pid=
  [ $rc -eq 0 ] || fail "the changer failed (exit code $rc, see $work/tool.log)"
  changed=$(cat "$work/changer-$mode.out")
  now=$(tool 30 probe 0 0) || fail "no answer from the program after the changes"
  end=$(tool 40 probe $(($(figure ticks "$now") + SETTLE_TICKS)) 30) ||
    fail "the program stopped ticking after the changes"
  settled "$end" || fail "the window is not shown with no box at the end: $end"
  tool 30 dump || fail "the program did not write its table"
  places_now | sort >"$work/expected.sorted" || fail "could not list the places"
  # WM_ENDSESSION (22), the end of the session.
  tool 10 post 22 1 && timeout "$(limit 30)" tail --pid="$program_pid" -f /dev/null ||
    fail "the program did not end"
  program_pid=

  local t0 t1 h0 h1 m0 m1 slack
  t0=$(figure ticks "$base") t1=$(figure ticks "$end")
  h0=$(figure handles "$base") h1=$(figure handles "$end")
  m0=$(figure private "$base") m1=$(figure private "$end")
  slack=$(((t1 - t0) * slack_per_tick))
  {
    echo "$mode: seed=$seed $changed left=$(wc -l <"$work/expected.sorted")"
    echo "$mode: first: $base"
    echo "$mode: end:   $end"
    echo "$mode: handles $h0 -> $h1 (slack $HANDLE_SLACK), private $m0 -> $m1" \
      "(+$((m1 - m0)), slack $slack = $((t1 - t0)) ticks x $slack_per_tick)"
  } | tee -a "$work/figures.txt"

  [ $((t1 - t0)) -ge 500 ] || fail "only $((t1 - t0)) ticks between the figures"
  [ "$mode" = shown ] || [ "$(figure alerts "$changed")" -gt 0 ] || fail "no alert came"
  [ "$h0" -gt 0 ] && [ "$h1" -gt 0 ] || fail "no real handle count: $h0 and $h1"
  [ $((h1 - h0)) -le $HANDLE_SLACK ] || fail "handles grew from $h0 to $h1"
  [ $((m1 - m0)) -lt "$slack" ] || fail "private memory grew from $m0 to $m1 bytes"
  local kind
  for kind in gdi user; do
    local g0 g1
    g0=$(figure "$kind" "$base") g1=$(figure "$kind" "$end")
    if [ "$g0" -eq 0 ] || [ "$g1" -eq 0 ]; then
      step "$mode: $kind objects: the system reports $g0 and $g1 (GetGuiResources;" \
        "Wine gives 0): not compared" | tee -a "$work/figures.txt"
    else
      [ $((g1 - g0)) -le $GUI_SLACK ] || fail "$kind objects grew from $g0 to $g1"
    fi
  done

  # Both lists are rows of the table as the program writes them.
  tr -d '\r' <"$shared/table.txt" | sort >"$work/table.sorted" || fail "no table from the program"
  if ! diff "$work/expected.sorted" "$work/table.sorted" >"$work/table.diff"; then
    cat "$work/table.diff" >&2
    fail "the table differs from the entries left (< left but not listed, > listed but gone)"
  fi
  step "$mode: the table lists the $(wc -l <"$work/table.sorted") entries left, and no other"
}

soak shown $SHOWN_TICKS $SHOWN_BASE $SHOWN_SLACK
soak hidden $HIDDEN_TICKS $HIDDEN_BASE $HIDDEN_SLACK
step "passed"
rm -rf "$WINEPREFIX"
exit 0
