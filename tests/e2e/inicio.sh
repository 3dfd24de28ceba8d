#!/usr/bin/env bash
# The program as built, under Wine in a fresh prefix whose user Run key holds
# three unvalidated values, driven with real keys and clicks:
#   1. after the alert, Ctrl+A in the table selects every row (as a screen
#      reader reads the table from another process), and Alt+M ("Marcar como
#      valido") asks once and validates every row (three records); hidden, no
#      alert follows within a tick;
#   2. "Iniciar con Windows" chosen in the tray menu by clicks writes the Run
#      value "Centinela" naming the program in quotes, its record is written
#      at once, and hidden no alert follows;
#   3. after the session ends (wineserver -k), the value's command started as
#      Windows starts it at logon brings the program up without an alert;
#   4. the item, now checked, chosen again deletes the value.
#   inicio.sh CENTINELA_EXE DRIVE_TOOL_EXE WORK_DIR
# Exit code 77 means a tool is missing (skipped).
set -u
[ $# -eq 3 ] || { echo "usage: $0 CENTINELA_EXE DRIVE_TOOL_EXE WORK_DIR" >&2; exit 2; }
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/drive.sh"
begin_tool_test inicio "wine wineserver Xvfb xdotool" "$@"

run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
data="$WINEPREFIX/drive_c/windows/ximvar.dat"

# The names in the data file's records, one a line.
names() { dd if="$data" bs=260 2>/dev/null | fold -w 260 | cut -c61-160 | sed 's/ *$//'; }
# The Run value "Centinela" as wine reg shows it, empty when there is none.
run_value() {
  timeout 60 wine reg query "$run_key" /v Centinela </dev/null 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *Centinela *REG_SZ *//p'
}
# No alert comes while the window stays hidden for longer than a tick.
silent() {
  sleep 12
  shown '^Centinela$' && fail "an alert came $1"
  return 0
}
hide_main() {
  keys_to "$(visible '^Ximvar Centinela')" alt+F4 || fail "could not send Alt+F4"
  within 10 gone '^Ximvar Centinela' || fail "Alt+F4 did not hide the window"
}
# Opens the tray menu with a right click and clicks its second item,
# "Iniciar con Windows" (items 16 pixels high below a 3-pixel edge).
choose_iniciar() {
  local tray X Y WIDTH HEIGHT SCREEN WINDOW
  tray=$(visible '^Wine System Tray$')
  [ -n "$tray" ] || fail "no tray icon"
  before=$(xdotool search --onlyvisible --name '' 2>/dev/null)
  click_in "$tray" 10 10 3
  within 10 menu_shown || fail "no tray menu"
  eval "$(xdotool getwindowgeometry --shell "$(new_windows | head -n1)")"
  xdotool mousemove --sync $((X + 40)) $((Y + 3 + 16 + 8)) click 1
  within 10 menu_gone || fail "the tray menu stayed"
}
new_windows() { xdotool search --onlyvisible --name '' 2>/dev/null | grep -vxF "$before"; }
menu_shown() { [ -n "$(new_windows)" ]; }
menu_gone() { [ -z "$(new_windows)" ]; }
has_record() { names | grep -qx Centinela; }
no_value() { [ -z "$(run_value)" ]; }

boot_prefix 180 "$work/wineboot.log" || fail "wineboot -i failed"
empty_run_keys 60 "$work/reg.log"
for name in Uno Dos Tres; do
  quietly wine reg add "$run_key" /v $name /d 'C:\windows\notepad.exe' /f || fail "could not add $name"
done
rm -f "$data"
validate_services "$data" 60 || fail "no automatic services to validate"
# Wine's automatic services, validated, are listed after the three.
services=$(auto_services 60 | cut -f1)

step "three new entries: the alert, then the window"
wine "$exe" </dev/null >>"$work/program.log" 2>&1 &
within 60 shown '^Centinela$' || fail "no alert"
keys_to "$(visible '^Centinela$')" Return || fail "could not answer the alert"
within 30 shown '^Ximvar Centinela' || fail "the main window did not come"
main=$(visible '^Ximvar Centinela')

step "Ctrl+A, Alt+M: one question, every row validated"
click_in "$main" $(($(px 120) + 2 + 80)) $(($(px 360) + 2 + 14 + 7)) || fail "click on row 1"
keys_to "$main" ctrl+a || fail "could not press Ctrl+A"
selected=$(timeout 60 wine "$tool" names </dev/null 2>>"$work/tool.log" | tr -d '\r' | grep '^selected:')
rows=$(seq -s ' ' $((3 + $(wc -l <<<"$services"))))
[ "$selected" = "selected: $rows" ] || fail "a screen reader reads [$selected], not rows $rows"
keys_to "$main" alt+m || fail "could not press Alt+M"
within 20 shown '^Validar\.\.\.$' || fail "no question"
keys_to "$(visible '^Validar\.\.\.$')" Return || fail "could not answer"
within 10 gone '^Validar\.\.\.$' || fail "the question stayed"
sleep 1
shown '^Validar\.\.\.$' && fail "a second question came"
ours=$(names | tr -d '\0' | grep . | grep -vxF "$services" | sort | tr '\n' ' ')
[ "$ours" = "Dos Tres Uno " ] || fail "records hold [$ours] besides the services"
hide_main
silent "after every row was validated"

step "\"Iniciar con Windows\" by clicks: the Run value names the program, validated"
program="\"$(winepath -w "$exe" 2>/dev/null | tr -d '\r')\""
choose_iniciar
value=$(run_value)
[ "${value,,}" = "${program,,}" ] || fail "the Run value reads [$value], not [$program]"
within 10 has_record || fail "no record for Centinela"
silent "for the program's own value"

step "the session ends; the Run value's command, as at logon, starts it without an alert"
timeout 20 wineserver -k >/dev/null 2>&1
timeout 20 wineserver -w >/dev/null 2>&1
wineserver -p </dev/null >/dev/null 2>&1
[ "$(run_value)" = "$value" ] || fail "the Run value did not outlive the session"
timeout 60 wine "$tool" logon Centinela </dev/null >>"$work/tool.log" 2>&1 ||
  fail "the tool could not start the command"
within 60 shown '^Ximvar Centinela' || fail "the program did not come up"
shown '^Centinela$' && fail "an alert came at logon"
sleep 3
shown '^Centinela$' && fail "an alert came after logon"

step "the item again: the value goes"
choose_iniciar
within 10 no_value || fail "the Run value stayed: [$(run_value)]"

step "passed"
exit 0
