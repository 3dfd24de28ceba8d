#!/usr/bin/env bash
# Soak test of the program under Wine: its soak build (Timer1 every few
# milliseconds, see hooks.h) runs with its window shown on a virtual display
# of its own, in a fresh prefix under WORK_DIR, while soak_tool adds and
# removes Run values (HKCU, and HKLM in both views) and Startup files.
#
#   soak.sh CENTINELA_SOAK_EXE SOAK_TOOL_EXE WORK_DIR
#
#   1. the places are emptied, so the program starts with nothing to alert
#      about and its window stays shown (no box ever holds up a tick);
#   2. the changer runs for CHANGE_TICKS ticks; BASE_TICKS ticks into it the
#      program's handle count and private memory are taken;
#   3. once the changer has stopped and a few more ticks have passed, they
#      are taken again and must be within HANDLE_SLACK handles and
#      MEMORY_SLACK bytes of the first figures;
#   4. the program's table must hold exactly the entries the changer left.
# CENTINELA_SOAK_SEED repeats a run's sequence of changes. Every wait is bounded. Exit
# code 77 means a tool is missing (skipped).
set -u

CHANGE_TICKS=1000
BASE_TICKS=100
SETTLE_TICKS=5
# Wine's handle list is exact and the program keeps a fixed set open: any
# growth is a leak, a few handles of slack cover a tick caught half-way.
HANDLE_SLACK=4
# Private memory comes in whole pages and moved by one page at most in
# quiet runs; 32 bytes lost a tick over the run's ~900 ticks exceed this.
MEMORY_SLACK=$((32 * 1024))
# Everything, cleanup included, ends before CTest's limit of 300 s.
BUDGET=270

if [ $# -ne 3 ]; then
  echo "usage: $0 CENTINELA_SOAK_EXE SOAK_TOOL_EXE WORK_DIR" >&2
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
startup='C:\soak\Startup'

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

# soak_tool under a time limit; its output without Windows line ends.
tool() {
  local limit
  limit=$(limit "$1") || exit 1
  shift
  timeout -k 5 "$limit" wine "$soak_tool" "$@" </dev/null 2>>"$work/tool.log" | tr -d '\r'
  return "${PIPESTATUS[0]}"
}

# One figure out of a probe line: "figure handles $line".
figure() { sed -n "s/.*\\b$1=\\([0-9]*\\).*/\\1/p" <<<"$2"; }

# Figures from Linux's side too: the Wine process's open descriptors.
descriptors() { find "/proc/$program_pid/fd" -mindepth 1 2>/dev/null | wc -l; }

step "virtual display"
DISPLAY=$(start_xvfb "$work/xvfb.pid") || fail "Xvfb did not start"
export DISPLAY

step "fresh prefix in $WINEPREFIX"
timeout "$(limit 120)" wineboot -i </dev/null >"$work/wineboot.log" 2>&1 || fail "wineboot -i failed"
# One wineserver for the whole test keeps every later start quick.
wineserver -p </dev/null >/dev/null 2>&1
tool 30 prepare "$startup" || fail "could not empty the start-up places (see $work/tool.log)"

step "start the program; its window must come with no alert"
wine "$program" </dev/null >"$work/program.log" 2>&1 &
program_pid=$!
start=$(tool 75 wait 1 60) || fail "the program did not start ticking (see $work/tool.log)"
ticks=$(figure ticks "$start")

step "changes for $CHANGE_TICKS ticks (seed $seed)"
tool 165 change "$seed" "$CHANGE_TICKS" 150 "$startup" 'C:\soak\expected.txt' \
  >"$work/changer.out" &
changer_pid=$!
base=$(tool 60 wait $((ticks + BASE_TICKS)) 45) || fail "no figures after the first ticks"
base_fds=$(descriptors)
step "after the first ticks: $base fds=$base_fds"
wait "$changer_pid"
rc=$?
changer_pid=
[ $rc -eq 0 ] || fail "the changer failed (exit code $rc, see $work/tool.log)"
changed=$(cat "$work/changer.out")
step "changer: $changed"

now=$(tool 30 probe) || fail "no answer from the program after the changes"
end=$(tool 40 wait $(($(figure ticks "$now") + SETTLE_TICKS)) 30) ||
  fail "the program stopped ticking after the changes"
tool 30 dump 'C:\soak\table.txt' || fail "the program did not write its table"
end_fds=$(descriptors)
step "at the end: $end fds=$end_fds"

handles0=$(figure handles "$base")
handles1=$(figure handles "$end")
memory0=$(figure private "$base")
memory1=$(figure private "$end")
ticks0=$(figure ticks "$base")
ticks1=$(figure ticks "$end")
{
  echo "seed=$seed ticks_changed=$(figure ticks "$changed") changes=$(figure changes "$changed")"
  echo "first: ticks=$ticks0 handles=$handles0 private=$memory0" \
    "workingset=$(figure workingset "$base") fds=$base_fds"
  echo "end:   ticks=$ticks1 handles=$handles1 private=$memory1" \
    "workingset=$(figure workingset "$end") fds=$end_fds"
} | tee "$work/figures.txt"

[ $((ticks1 - ticks0)) -ge 500 ] || fail "only $((ticks1 - ticks0)) ticks between the figures"
[ $((handles1 - handles0)) -le $HANDLE_SLACK ] ||
  fail "handles grew from $handles0 to $handles1 (slack $HANDLE_SLACK)"
[ $((memory1 - memory0)) -le $MEMORY_SLACK ] ||
  fail "private memory grew from $memory0 to $memory1 bytes (slack $MEMORY_SLACK)"

# Both lists are rows of the table as the program writes them.
sort "$shared/expected.txt" >"$work/expected.sorted" || fail "no list from the changer"
sort "$shared/table.txt" >"$work/table.sorted" || fail "no table from the program"
if ! diff "$work/expected.sorted" "$work/table.sorted" >"$work/table.diff"; then
  tr -d '\r' <"$work/table.diff" >&2
  fail "the table differs from the entries left (< left but not listed, > listed but gone)"
fi
step "the table lists the $(wc -l <"$work/table.sorted") entries left, and no other"

step "passed"
rm -rf "$WINEPREFIX"
exit 0
