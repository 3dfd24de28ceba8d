#!/usr/bin/env bash
# The program as built, under Wine in a fresh prefix of its own, against the
# entries hostile programs make (tests/e2e/hostile_tool.cpp drives it from
# another process and checks the registry and the Startup folder).
#   hostile.sh CENTINELA_EXE HOSTILE_TOOL_EXE WORK_DIR
# Exit code 77 means a tool is missing (skipped).
set -u
[ $# -eq 3 ] || { echo "usage: $0 CENTINELA_EXE HOSTILE_TOOL_EXE WORK_DIR" >&2; exit 2; }
for tool in wine wineserver Xvfb; do
  command -v "$tool" >/dev/null || { echo "hostile: $tool is missing: skipped"; exit 77; }
done
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib.sh"
exe=$(readlink -f "$1")
skip_if_unrunnable "$1"
tool=$(readlink -f "$2")
rm -rf "$3" && mkdir -p "$3" || exit 1
work=$(cd "$3" && pwd)
use_test_prefix "$work/prefix"
DISPLAY=$(start_xvfb "$work/xvfb.pid") || exit 1
export DISPLAY
trap 'timeout 20 wineserver -k >/dev/null 2>&1; kill "$(cat "$work/xvfb.pid")" 2>/dev/null' EXIT

timeout 180 wineboot -i </dev/null >"$work/wineboot.log" 2>&1 || { echo "wineboot -i failed"; exit 1; }
wineserver -p </dev/null >/dev/null 2>&1
# Wine's own start-up values would be listed too; only the tool's may be.
for key in Run RunServices; do
  for view in /reg:32 /reg:64; do
    timeout 60 wine reg delete "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\$key" /va /f \
      "$view" </dev/null >/dev/null 2>&1
  done
done
timeout 120 wine "$tool" "$(winepath -w "$exe" 2>/dev/null)" </dev/null 2>&1 | tr -d '\r'
rc=${PIPESTATUS[0]}
[ "$rc" -eq 0 ] && rm -rf "$WINEPREFIX"
exit "$rc"
