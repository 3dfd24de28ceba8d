#!/usr/bin/env bash
# The program as built, under Wine in a fresh prefix, as users who need more
# than the defaults meet it; the Run key holds "Conocido" (validated in the
# data file) and "Pendiente" (not):
#   1. in a dark colour scheme written into the prefix before the start
#      (window and button face black, their texts white), the text of the
#      selection field, of both coloured buttons, of the label beside them and
#      of the About box differs from its background by a contrast ratio of at
#      least 4.5:1 (WCAG AA), measured on screenshot pixels;
#   2. a screen reader's view from another process (drive_tool): the grid is
#      a list of two children named with their rows' cells;
#   3. Alt+M, the access key of "Marcar como valido", asks to validate;
#      Escape hides the window and the program goes on;
#   4. at 144 dpi (LogPixels) the window is half as large again; the program
#      names the functions that declare DPI awareness (Wine scales every
#      program, aware or not, so only the file can show it).
#   access.sh CENTINELA_EXE DRIVE_TOOL_EXE WORK_DIR
# Screenshots are left in WORK_DIR: dark.png, about-dark.png, dpi144.png.
# Exit code 77 means a tool is missing (skipped).
set -u
[ $# -eq 3 ] || { echo "usage: $0 CENTINELA_EXE DRIVE_TOOL_EXE WORK_DIR" >&2; exit 2; }
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/drive.sh"
begin_tool_test access "wine wineserver Xvfb xdotool import convert" "$@"

# Settings written into the registry reach programs of the next session only.
new_session() {
  timeout 20 wineserver -k >/dev/null 2>&1
  timeout 20 wineserver -w >/dev/null 2>&1
  wineserver -p </dev/null >/dev/null 2>&1
}
colours() {
  local name
  for name in Window ButtonFace; do quietly wine reg add 'HKCU\Control Panel\Colors' /v $name /d "$1" /f; done
  for name in WindowText ButtonText; do quietly wine reg add 'HKCU\Control Panel\Colors' /v $name /d "$2" /f; done
}

# Starts the program, answers the alert that "Pendiente" brings with Enter.
start_program() {
  wine "$exe" </dev/null >>"$work/program.log" 2>&1 &
  pid=$!
  within 60 shown '^Centinela$' || fail "no alert for the unvalidated entry"
  keys_to "$(visible '^Centinela$')" Return || fail "could not answer the alert"
  within 30 shown '^Ximvar Centinela' || fail "the main window did not come"
  main=$(visible '^Ximvar Centinela')
}

# WCAG's contrast ratio between the commonest colour of a region of an image
# and the colour of at least 4 pixels that differs most from it: the
# background and the core of the text on it.
contrast() {  # IMAGE LEFT TOP WIDTH HEIGHT (pixels)
  convert "$1" -crop "$4x$5+$2+$3" +repage -depth 8 -format %c histogram:info:- | awk '
    function ch(v) { v /= 255; return v <= 0.04045 ? v / 12.92 : exp(2.4 * log((v + 0.055) / 1.055)) }
    match($0, /\( *[0-9]+, *[0-9]+, *[0-9]+/) {
      split(substr($0, RSTART + 1, RLENGTH - 1), c, ",")
      n[NR] = $1 + 0
      l[NR] = 0.2126 * ch(c[1]) + 0.7152 * ch(c[2]) + 0.0722 * ch(c[3])
      if (n[NR] > most) { most = n[NR]; bg = l[NR] }
    }
    END {
      for (i in n) if (n[i] >= 4) {
        q = l[i] > bg ? (l[i] + 0.05) / (bg + 0.05) : (bg + 0.05) / (l[i] + 0.05)
        if (q > best) best = q
      }
      printf "%.2f\n", best
    }'
}

# A region given in twips, less an inset of pixels (edges, focus marks),
# must read at 4.5:1 or more.
readable() {  # WHAT IMAGE LEFT TOP WIDTH HEIGHT INSET
  local ratio
  ratio=$(contrast "$2" $(($(px $3) + $7)) $(($(px $4) + $7)) $(($(px $5) - 2 * $7)) \
    $(($(px $6) - 2 * $7)))
  awk -v r="$ratio" 'BEGIN { exit !(r >= 4.5) }' || fail "$1: contrast $ratio:1, under 4.5:1"
  step "$1: contrast $ratio:1"
}

step "fresh prefix in $WINEPREFIX with a dark colour scheme"
boot_prefix 180 "$work/wineboot.log" || fail "wineboot -i failed"
empty_run_keys 60 "$work/wine.log"
run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
quietly wine reg add "$run" /v Pendiente /d 'c:\pendiente.exe' /f || fail "could not add a Run value"
quietly wine reg add "$run" /v Conocido /d 'c:\conocido.exe' /f || fail "could not add a Run value"
# Record 1 validates "Conocido": its name at byte 60, its command at 160.
printf '%60s%-100s%-100s' '' Conocido 'c:\conocido.exe' >"$WINEPREFIX/drive_c/windows/ximvar.dat"
validate_services "$WINEPREFIX/drive_c/windows/ximvar.dat" 60 ||
  fail "no automatic services to validate"
# Wine's automatic services are listed after the two.
rows=$((2 + $(auto_services 60 | wc -l)))
colours '0 0 0' '255 255 255'
quietly wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' \
  /v ThemeActive /d 0 /f || fail "could not turn the theme off"
new_session
start_program

step "a screen reader reads the table from another process"
names=$(timeout 60 wine "$tool" names </dev/null 2>&1 | tr -d '\r')
echo "$names" | tee "$work/names.out"
# ROLE_SYSTEM_LIST is 33.
[ "$(head -n1 <<<"$names")" = "role=33 children=$rows" ] ||
  fail "the table is not a list of $rows rows"
for row in 'NOMBRE: Conocido, RUTA: c:\conocido.exe, Validado: SI' \
  'NOMBRE: Pendiente, RUTA: c:\pendiente.exe, Validado: NO'; do
  grep -qxF -- "$row" <<<"$names" || fail "no row named [$row]"
done

step "the dark scheme: every text readable"
# "Pendiente", the second row (header and rows 14 pixels high at 96 dpi).
click_in "$main" $(($(px 120) + 2 + 40)) $(($(px 360) + 2 + 28 + 7)) || fail "click on the row"
sleep 1
import -window "$main" "$work/dark.png" || fail "no screenshot"
readable "the label beside the field" "$work/dark.png" 120 3000 1815 375 0
readable "the selection field" "$work/dark.png" 1920 3000 2055 285 3
readable "Marcar como valido" "$work/dark.png" 4080 3000 1575 255 4
readable "Eliminar del inicio" "$work/dark.png" 5760 3000 1335 255 4
click_in "$main" $(($(px 7200) + 8)) $(($(px 3000) + 8)) || fail "click on ?"
within 20 shown '^Acerca de Centinela$' || fail "no About box"
sleep 1
import -window "$(visible '^Acerca de Centinela$')" "$work/about-dark.png" || fail "no screenshot"
readable "the About box's texts" "$work/about-dark.png" 120 120 6645 3840 0
keys_to "$(visible '^Acerca de Centinela$')" Escape || fail "could not press Escape"
within 10 gone '^Acerca de Centinela$' || fail "Escape did not close the About box"

step "Alt+M asks to validate; Escape hides the window, the program goes on"
keys_to "$main" alt+m || fail "could not press Alt+M"
within 20 shown '^Validar\.\.\.$' || fail "Alt+M did not ask to validate"
keys_to "$(visible '^Validar\.\.\.$')" Tab Return || fail "could not answer No"
within 10 gone '^Validar\.\.\.$' || fail "the question stayed"
keys_to "$main" Escape || fail "could not press Escape"
within 10 gone '^Ximvar Centinela' || fail "Escape did not hide the window"
sleep 2
kill -0 "$pid" 2>/dev/null || fail "the program ended on Escape"
shown '^Wine System Tray$' || fail "the tray icon went away on Escape"

step "144 dpi in the standard scheme: the window half as large again"
for name in SetProcessDpiAwarenessContext SetProcessDPIAware; do
  grep -q "$name" "$exe" || fail "the program does not look up $name"
done
colours '255 255 255' '0 0 0'
quietly wine reg add 'HKCU\Control Panel\Colors' /v ButtonFace /d '240 240 240' /f
quietly wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f ||
  fail "could not set 144 dpi"
new_session
start_program
eval "$(xdotool getwindowgeometry --shell "$main")"
# 7545 twips: 503 pixels at 96 dpi, 754 at 144.
[ "$WIDTH" -ge 750 ] || fail "the window is $WIDTH pixels wide at 144 dpi"
step "the window is $WIDTH pixels wide"
sleep 1
import -window "$main" "$work/dpi144.png" || fail "no screenshot"

step "passed"
rm -rf "$WINEPREFIX"
exit 0
