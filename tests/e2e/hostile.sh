#!/usr/bin/env bash
# The program as built, under Wine in a fresh prefix of its own, against the
# entries hostile programs make (made by tests/e2e/drive_tool.cpp, which also
# lists them by exact name and reads the selection field): a value whose name
# begins with a NUL, one with 1.2 MB of data, names outside the code page,
# Startup files with a trailing dot or blank beside their namesakes. Driven
# with real clicks and keys, each is listed under a readable name, validated
# by its exact name (the record read here), and removed alone.
#   hostile.sh CENTINELA_EXE DRIVE_TOOL_EXE WORK_DIR
# Exit code 77 means a tool is missing (skipped).
set -u
[ $# -eq 3 ] || { echo "usage: $0 CENTINELA_EXE DRIVE_TOOL_EXE WORK_DIR" >&2; exit 2; }
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/drive.sh"
begin_tool_test hostile "wine wineserver Xvfb xdotool" "$@"

failures=0
check() {  # WHAT ENTRY COMMAND...
  local what=$1 entry=$2
  shift 2
  "$@" && echo "ok: $what ($entry)" && return
  echo "FAIL: $what ($entry)"
  failures=$((failures + 1))
}
fail() { echo "FAIL: $*"; exit 1; }
run() { timeout 60 wine "$tool" "$@" </dev/null 2>>"$work/tool.log" | tr -d '\r'; return "${PIPESTATUS[0]}"; }

boot_prefix 180 "$work/wineboot.log" || fail "wineboot -i failed"
# Wine's own start-up values would be listed too; only the tool's may be.
empty_run_keys 60 "$work/reg.log"
# The tool makes its files in C:\hostile\Startup.
mkdir -p "$WINEPREFIX/drive_c/hostile/Startup" || exit 1
set_startup_folder 'C:\hostile\Startup' 60 "$work/reg.log" || fail "could not set the Startup folder"
data="$WINEPREFIX/drive_c/windows/ximvar.dat"
rm -f "$data"
validate_services "$data" 60 || fail "no automatic services to validate"
reg_add() {
  timeout 60 wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' "$@" /f \
    </dev/null >>"$work/reg.log" 2>&1
}
# The key's default value, which must stay, and names outside the code page;
# the tool makes what wine reg cannot.
reg_add /ve /d 'c:\real.exe' && reg_add /v Жук /d 'c:\ru.exe' && reg_add /v Дом /d 'c:\dom.exe' &&
  run make || fail "could not make the entries"
wine "$exe" </dev/null >"$work/program.log" 2>&1 &
within 20 shown '^Centinela$' || fail "no alert came"
keys_to "$(visible '^Centinela$')" Return || fail "could not answer the alert"
within 20 shown '^Ximvar Centinela' || fail "the main window did not come"
main=$(visible '^Ximvar Centinela')

# A click on the entry's row (the program lists them in the tool's order;
# header and rows 14 pixels high at 96 dpi); prints its number, 1-based.
select_row() {
  local row
  row=$(grep -nxF -- "$1" <<<"$entries" | cut -d: -f1)
  [ -n "$row" ] && click_in "$main" $(($(px 120) + 2 + 40)) $(($(px 360) + 2 + 14 * row + 7)) &&
    echo "$row"
}
field_is() { [ "$(run field)" = "$1" ]; }

entries=$(run entries)
nul=$'value \u2400oculto'
row=$(select_row "$nul") || fail "[$nul] is not listed"
ask '^Validar\.\.\.$' alt+m -- Return
# The validated record names the value exactly: a NUL, 'W', then the
# name's UTF-16LE units (a NUL and "oculto").
check "the record names it exactly" "row $row" cmp -s <(printf '\0W\0\0o\0c\0u\0l\0t\0o\0') \
  <(dd if="$data" bs=1 skip=$(((row - 1) * 260 + 60)) count=16 status=none)

# Each entry as the tool lists it, and the readable name its row shows.
hostile=("$nul|\xa4oculto" 'value grande|grande' 'value Жук|???' 'file foo.|foo.' 'file bar |bar ')
for pair in "${hostile[@]}"; do
  entry=${pair%|*} readable=${pair#*|}
  entries=$(run entries)
  select_row "$entry" >/dev/null || fail "[$entry] is not listed"
  check "listed as [$readable]" "$entry" within 5 field_is "$(printf "$readable")"
  ask '^Eliminar\.\.\.$' alt+e -- Return
  sleep 0.3
  check "no failure box" "$entry" gone '^Eliminar\.\.\.$'
  check "exactly that entry is gone" "$entry" \
    diff <(grep -vxF -- "$entry" <<<"$entries") <(run entries)
done
echo "$failures failure(s)"
[ "$failures" -eq 0 ] && rm -rf "$WINEPREFIX"
[ "$failures" -eq 0 ]
