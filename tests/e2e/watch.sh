#!/usr/bin/env bash
# The program as built, hidden under Wine in a fresh prefix of its own, learns
# of a change as it happens:
#   1. a new value in the user's Run key, a new file in the Startup folder and
#      a new value in a key that did not exist when it started (the user's
#      Policies\Explorer\Run) each bring the alert within 2 s; each entry is
#      taken away again while the window is shown, and the window hidden;
#   2. with nothing changing for 30 s it makes no registry call (Wine's trace
#      of the program's registry calls, WINEDEBUG=+reg, stays as it was);
#   3. 150 values written at once by one program bring one alert.
#   watch.sh CENTINELA_EXE DRIVE_TOOL_EXE WORK_DIR
# (the tool is not used). Exit code 77 means a tool is missing (skipped).
set -u
[ $# -eq 3 ] || { echo "usage: $0 CENTINELA_EXE DRIVE_TOOL_EXE WORK_DIR" >&2; exit 2; }
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/drive.sh"
begin_tool_test watch "wine wineserver Xvfb xdotool" "$@"

fail() { echo "watch: FAIL: $*" >&2; exit 1; }
reg() { timeout 60 wine reg "$@" </dev/null >>"$work/reg.log" 2>&1; }
user='HKCU\Software\Microsoft\Windows\CurrentVersion'
startup="$WINEPREFIX/drive_c/watch/Startup"

boot_prefix 180 "$work/wineboot.log" || fail "wineboot -i failed"
empty_run_keys 60 "$work/reg.log"
validate_services "$WINEPREFIX/drive_c/windows/ximvar.dat" 60 ||
  fail "no automatic services to validate"
mkdir -p "$startup" || exit 1
set_startup_folder 'C:\watch\Startup' 60 "$work/reg.log" || fail "could not set the Startup folder"
reg delete "$user\\Policies\\Explorer" /f
reg query "$user\\Policies\\Explorer" && fail "the Policies\\Explorer key is still there"

WINEDEBUG=+reg wine "$exe" </dev/null >/dev/null 2>"$work/trace.log" &
within 60 shown '^Ximvar Centinela' || fail "the main window did not come"
shown '^Centinela$' && fail "an alert came with nothing to report"

hide() {
  keys_to "$(visible '^Ximvar Centinela')" Escape || fail "could not press Escape"
  within 10 gone '^Ximvar Centinela' || fail "Escape did not hide the window"
}

# CHANGE UNDO WHAT: the alert must come within 2 s of the change; then the
# change is undone with the window shown, and the window hidden again.
alerts() {
  hide
  # The hide's own rescan comes at the next tick; the change must not ride on it.
  sleep 11
  eval "$1" || fail "could not make $3"
  local t0=$SECONDS
  within 2 shown '^Centinela$' || fail "no alert within 2 s of $3"
  echo "watch: ok: $3 alerted within $((SECONDS - t0)) s"
  keys_to "$(visible '^Centinela$')" Return || fail "could not answer the alert"
  within 10 shown '^Ximvar Centinela' || fail "the window did not come after the alert"
  eval "$2" || fail "could not undo $3"
  sleep 1
}
alerts "reg add '$user\\Run' /v NuevoRun /d 'c:\\nuevo.exe' /f" \
  "reg delete '$user\\Run' /v NuevoRun /f" "a new Run value"
alerts "touch '$startup/nuevo.lnk'" "rm '$startup/nuevo.lnk'" "a new Startup file"
alerts "reg add '$user\\Policies\\Explorer\\Run' /v Politica /d 'c:\\p.exe' /f" \
  "reg delete '$user\\Policies\\Explorer\\Run' /v Politica /f" "a value in a key made after the start"

hide
sleep 12
before=$(grep -c 'trace:reg:' "$work/trace.log")
sleep 30
after=$(grep -c 'trace:reg:' "$work/trace.log")
[ "$after" -eq "$before" ] ||
  fail "$((after - before)) registry calls in 30 s with nothing changing: $(tail -n 3 "$work/trace.log")"
echo "watch: ok: no registry call in 30 s with nothing changing"
gone '^Centinela$' || fail "an alert came with nothing changing"

{
  echo REGEDIT4
  echo
  echo "[${user/HKCU/HKEY_CURRENT_USER}\\Run]"
  for i in $(seq 150); do echo "\"Lote$i\"=\"c:\\\\lote$i.exe\""; done
} >"$work/lote.reg"
timeout 60 wine regedit /s "$(winepath -w "$work/lote.reg" 2>/dev/null)" </dev/null >>"$work/reg.log" 2>&1 ||
  fail "regedit could not write the 150 values"
within 2 shown '^Centinela$' || fail "no alert within 2 s of 150 values"
keys_to "$(visible '^Centinela$')" Return || fail "could not answer the alert"
within 10 shown '^Ximvar Centinela' || fail "the window did not come after the alert"
sleep 3
gone '^Centinela$' || fail "150 values brought a second alert"
echo "watch: ok: 150 values brought one alert"
