#!/usr/bin/env bash
# The program as built, under Wine in a fresh prefix of its own, against the
# entries hostile programs make (tests/e2e/hostile_tool.cpp drives it from
# another process and checks the registry and the Startup folder).
#   hostile.sh CENTINELA_EXE HOSTILE_TOOL_EXE WORK_DIR
# Exit code 77 means a tool is missing (skipped).
set -u
[ $# -eq 3 ] || { echo "usage: $0 CENTINELA_EXE HOSTILE_TOOL_EXE WORK_DIR" >&2; exit 2; }
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/drive.sh"
begin_tool_test hostile "wine wineserver Xvfb" "$@"

timeout 180 wineboot -i </dev/null >"$work/wineboot.log" 2>&1 || { echo "wineboot -i failed"; exit 1; }
wineserver -p </dev/null >/dev/null 2>&1
# Wine's own start-up values would be listed too; only the tool's may be.
empty_run_keys 60 "$work/reg.log"
# The tool makes its files in C:\hostile\Startup.
mkdir -p "$WINEPREFIX/drive_c/hostile/Startup" || exit 1
set_startup_folder 'C:\hostile\Startup' 60 "$work/reg.log" ||
  { echo "could not set the Startup folder"; exit 1; }
run() { timeout "$1" wine "$tool" "$2" </dev/null 2>&1 | tr -d '\r'; return "${PIPESTATUS[0]}"; }
data="$WINEPREFIX/drive_c/windows/ximvar.dat"
rm -f "$data"
run 60 make || { echo "could not make the entries"; exit 1; }
wine "$exe" </dev/null >"$work/program.log" 2>&1 &
run 120 check | tee "$work/check.out"
rc=${PIPESTATUS[0]}
# The validated record names the value exactly: a NUL, 'W', then the
# name's UTF-16LE units (a NUL and "oculto").
row=$(sed -n 's/^validated row \([0-9]*\)$/\1/p' "$work/check.out")
if [ -n "$row" ] && [ "$row" -gt 0 ] &&
  cmp -s <(printf '\0W\0\0o\0c\0u\0l\0t\0o\0') \
    <(dd if="$data" bs=1 skip=$(((row - 1) * 260 + 60)) count=16 status=none); then
  echo "ok: the record names it exactly"
else
  echo "FAIL: the record names it exactly (row ${row:-none})"
  rc=1
fi
[ "$rc" -eq 0 ] && rm -rf "$WINEPREFIX"
exit "$rc"
