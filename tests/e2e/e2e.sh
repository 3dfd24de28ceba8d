#!/usr/bin/env bash
# End-to-end test of centinela.exe under Wine, driven from outside the way a
# user drives it: keyboard and mouse through xdotool, on a virtual X display of
# its own (no window manager, so every top-level window is an X window the
# size of its client area).
#
#   e2e.sh CENTINELA_EXE WORK_DIR SCREENSHOT_PNG [places]
#
# With "places", the same prefix and display serve the start-up places after
# the first six instead (tests/e2e/places.sh). Otherwise:
#
# In a fresh prefix under WORK_DIR whose only start-up entry is one value in
# the user's Run key:
#   1. the alert titled "Centinela" comes; Enter closes it; the window comes;
#   2. a click on the entry's row, then Enter on each focused button: on
#      "Eliminar del inicio" its question (answered No), on "Marcar como
#      valido" its question (Yes: the data file then holds the entry's
#      record), on "?" the About box;
#   3. a second copy ends within seconds and the first keeps running;
#   4. a close request (Alt+F4) hides the window and no alert follows (the
#      entry is valid now); its command changed by another program, the
#      alert comes within a tick and the row reads "NO"; validated again, the
#      record holds the new command and hidden, no alert follows; "Abrir" in
#      the tray menu brings it back;
#   5. "Cerrar" in the tray menu ends the program and takes the icon away;
#   6. started again (no alert now) and hidden, it ends cleanly when Windows
#      ends the session, its icon gone too;
#   7. with a folder where c:\windows\ximvar.dat belongs, it alerts again and
#      validates into the user's AppData folder; a bare WM_CLOSE (End Task)
#      ends it while shown, and after a restart (no alert: the entry reads
#      "SI") while hidden.
# Every wait is bounded. Exit code 77 means a tool is missing (skipped).
set -u

if [ $# -ne 3 ] && [ "${4:-}" != places ]; then
  echo "usage: $0 CENTINELA_EXE WORK_DIR SCREENSHOT_PNG [places]" >&2
  exit 2
fi
for tool in wine wineserver Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "e2e: $tool is missing: skipped"; exit 77; }
done
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/drive.sh"
exe=$(readlink -f "$1")
skip_if_unrunnable "$1"
# Built beside the program: End Task's bare WM_CLOSE, the selection field.
tool="$(dirname "$exe")/e2e-bin/drive_tool.exe"
[ -f "$tool" ] || { echo "e2e: FAIL: $tool is missing" >&2; exit 1; }
work=$2
shot=$3
entry=PruebaCentinela
command="C:\\windows\\notepad.exe"

rm -rf "$work"
mkdir -p "$work" || exit 1
work=$(cd "$work" && pwd)
use_test_prefix "$work/prefix"
datafile="$WINEPREFIX/drive_c/windows/ximvar.dat"
xvfb_pid=
first_pid=

step() { echo "e2e: $*"; }
fail() {
  echo "e2e: FAIL: $*" >&2
  [ -n "${DISPLAY:-}" ] && import -window root "$work/failure.png" 2>/dev/null &&
    echo "e2e: screen at the failure: $work/failure.png" >&2
  exit 1
}

cleanup() {
  if [ -d "$WINEPREFIX" ]; then
    timeout 20 wineserver -k >/dev/null 2>&1
    timeout 20 wineserver -w >/dev/null 2>&1
  fi
  [ -n "$first_pid" ] && kill "$first_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT

record_saved() { [ -f "$1" ] && [ "$(stat -c %s "$1")" -ge 260 ]; }


# Opens the tray icon's menu with a right click and picks an item by keys.
tray_menu() {
  local tray
  tray=$(visible '^Wine System Tray$')
  [ -n "$tray" ] || return 1
  local before
  before=$(xdotool search --onlyvisible --name '' 2>/dev/null | wc -l)
  click_in "$tray" 10 10 3
  # The menu is one more visible window.
  within 10 test "$(xdotool search --onlyvisible --name '' 2>/dev/null | wc -l)" -gt "$before" ||
    return 1
  xdotool key "$@"
}

# Record 1 of data file $1 must hold the entry and its command, and no other
# record the entry (the others are Wine's automatic services).
check_record() {
  within 20 record_saved "$1" || fail "no record in $1"
  local count
  count=$(grep -ao "$entry" "$1" | wc -l)
  [ "$count" -eq 1 ] || fail "$1 names the entry $count times, not once"
  local nombre ruta
  nombre=$(dd if="$1" bs=1 skip=60 count=100 2>/dev/null)
  [ "$nombre" = "$(printf '%-100s' "$entry")" ] || fail "record's name field is [$nombre]"
  ruta=$(dd if="$1" bs=1 skip=160 count=100 2>/dev/null)
  [ "$ruta" = "$(printf '%-100s' "$command")" ] || fail "record's command field is [$ruta]"
}

# Starts the program; with $1 = alert, the alert comes first and Enter answers it.
start_program() {
  wine "$exe" </dev/null >>"$work/program.log" 2>&1 &
  first_pid=$!
  if [ "${1:-}" = alert ]; then
    within 60 shown '^Centinela$' || fail "no alert titled Centinela"
    shown '^Ximvar Centinela' && fail "the window came before the alert was answered"
    keys_to "$(visible '^Centinela$')" Return || fail "could not answer the alert"
  fi
  within 60 shown '^Ximvar Centinela' || fail "the main window did not come"
  [ "${1:-}" = alert ] || ! shown '^Centinela$' || fail "an alert came although every entry is valid"
  main=$(visible '^Ximvar Centinela')
}

# The grid sits at (120, 360) twips inside a 2-pixel edge; its header row and
# each data row are 14 pixels high (Tahoma 6.75 pt at 96 dpi). Row $1, or 1.
select_row() {
  click_in "$main" $(($(px 120) + 2 + 80)) $(($(px 360) + 2 + 14 * ${1:-1} + 7)) ||
    fail "click on row ${1:-1}"
}

# End Task: a bare WM_CLOSE to the main window must end the program.
end_task() {
  run_quietly wine "$tool" post 16 0 || fail "could not post WM_CLOSE"
  expect_end "End Task $1"
}

# A close request on the main window: it must hide, the program going on.
hide_main() {
  keys_to "$(visible '^Ximvar Centinela')" alt+F4 || fail "could not send Alt+F4"
  within 10 gone '^Ximvar Centinela' || fail "Alt+F4 did not hide the window"
}

# The running copy must end by itself after $1, with exit code 0, its icon gone.
expect_end() {
  within 20 bash -c "! kill -0 $first_pid 2>/dev/null" || fail "$1 did not end the program"
  wait "$first_pid"
  local rc=$?
  first_pid=
  [ $rc -eq 0 ] || fail "the program ended with exit code $rc after $1"
  within 10 gone '^Wine System Tray$' || fail "the tray icon stayed after $1"
}

step "virtual display"
numfile="$work/display.num"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numfile" </dev/null \
  >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
within 10 test -s "$numfile" || fail "Xvfb did not start"
export DISPLAY=":$(tr -d '[:space:]' <"$numfile")"

step "fresh prefix in $WINEPREFIX"
boot_prefix 180 "$work/wineboot.log" || fail "wineboot -i failed"
run_quietly() { timeout 60 "$@" </dev/null >>"$work/wine.log" 2>&1; }
# Wine registers start-up values of its own: the program must see ours only.
empty_run_keys 60 "$work/wine.log"
# shellcheck source=tests/e2e/places.sh
[ "${4:-}" = places ] && source "$(dirname "${BASH_SOURCE[0]}")/places.sh"
run_quietly wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v "$entry" \
  /t REG_SZ /d "$command" /f || fail "could not add the Run value"
rm -f "$datafile"
validate_services "$datafile" 60 || fail "no automatic services to validate"

step "start: the alert comes first"
start_program alert

step "select the entry; Enter on each focused button"
select_row
# Tab order: grid, selection field, the two actions, "?".
ask '^Eliminar\.\.\.$' Tab Tab Tab Return -- Tab Return
ask '^Validar\.\.\.$' shift+Tab Return -- Return
check_record "$datafile"
step "record 1 holds \"$entry\" padded to 100 bytes"
ask '^Acerca de Centinela$' Tab Tab Return -- Return

sleep 1  # let the window repaint after the box
import -window "$main" "$shot" || fail "no screenshot"
step "screenshot of the main window: $shot"

step "a second copy ends at once"
start=$SECONDS
timeout 30 wine "$exe" </dev/null >"$work/second.log" 2>&1
rc=$?
[ $rc -eq 124 ] && fail "the second copy did not end within 30 s"
[ $rc -eq 0 ] || fail "the second copy ended with exit code $rc"
[ $((SECONDS - start)) -le 15 ] || fail "the second copy took $((SECONDS - start)) s to end"
kill -0 "$first_pid" 2>/dev/null || fail "the first copy ended too"
shown '^Ximvar Centinela' || fail "the first copy's window went away"

step "a close request hides the window; no alert follows"
hide_main
# Longer than one tick: the entry is valid now, so the hidden window stays hidden.
sleep 12
shown '^Centinela$' && fail "an alert came for a validated entry"
kill -0 "$first_pid" 2>/dev/null || fail "the program ended on a close request"

step "the command changes under the validated name: alert, \"NO\", validated again"
command="C:\\users\\public\\evil.exe"
run_quietly wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v "$entry" \
  /t REG_SZ /d "$command" /f || fail "could not change the Run value"
within 15 shown '^Centinela$' || fail "no alert within a tick of the command's change"
keys_to "$(visible '^Centinela$')" Return || fail "could not answer the alert"
within 10 shown '^Ximvar Centinela' || fail "the window did not come after the alert"
main=$(visible '^Ximvar Centinela')
# The "Validado" cell: right of the 2400- and 4000-twip columns.
click_in "$main" $(($(px 120) + 2 + $(px 6400) + 20)) $(($(px 360) + 2 + 14 + 7)) ||
  fail "click on the mark"
mark=$(timeout 30 wine "$tool" field </dev/null 2>/dev/null | tr -d '\r')
[ "$mark" = NO ] || fail "the row's mark reads [$mark], not NO"
select_entry
ask '^Validar\.\.\.$' Tab Tab Return -- Return
check_record "$datafile"
hide_main
sleep 12
shown '^Centinela$' && fail "an alert came for the command validated again"

step "the tray menu: Abrir, then Cerrar"
tray_menu Down Return || fail "no tray menu"
within 10 shown '^Ximvar Centinela' || fail "Abrir did not show the window"
tray_menu Up Return || fail "no tray menu the second time"
expect_end "Cerrar"

step "started again: no alert, the window; hidden, then the session ends"
start_program
within 10 shown '^Wine System Tray$' || fail "no tray icon"
hide_main
run_quietly wine wineboot --end-session || fail "wineboot --end-session failed"
expect_end "the end of the session"

step "a folder where the data file belongs: the user's AppData folder serves"
appdata=$(wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' \
  /v AppData </dev/null 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
[ -n "$appdata" ] || fail "no AppData folder in the registry"
fallback="$(winepath -u "$appdata" 2>/dev/null)/ximvar.dat"
rm -f "$datafile" "$fallback"
mkdir "$datafile" || fail "could not make a folder at $datafile"
validate_services "$fallback" 60 || fail "no automatic services to validate"
start_program alert
select_row
ask '^Validar\.\.\.$' Tab Tab Return -- Return
check_record "$fallback"
[ -d "$datafile" ] || fail "the folder at $datafile was touched"
end_task "with the window shown"

step "started again: the entry reads SI; hidden, End Task ends it"
start_program
hide_main
end_task "with the window hidden"

step "passed"
rm -rf "$WINEPREFIX"
exit 0
