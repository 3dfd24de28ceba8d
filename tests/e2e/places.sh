# The start-up places after the first six, from outside: sourced by e2e.sh
# (mode "places") once its prefix and display are up, with its helpers.
#
# The program starts with nothing to report and is hidden. Then, one at a
# time: a value in the machine's RunOnce key (32-bit view), one in the user's
# Policies\Explorer\Run key, a file in the all-users Startup folder, a
# batfile open command, a per-user exefile open command, a replaced Winlogon
# Shell (64-bit view). Each must make the hidden program alert. Namesakes are
# then made in other places, and a hide and the alert it brings make sure the
# table holds them; the entry's row, at its place in the table's order, is
# clicked and removed with the keys: the snapshot of every key and folder
# involved must then differ from the one before by that entry alone, gone
# or back to its standard text. The namesakes are taken away from outside
# before the next one. After them: an automatic service made with sc (its
# removal leaves Start 3 in its key, all else as it was), a Debugger for
# sethc.exe, AppInit_DLLs, the command processor's AutoRun, a StubPath.
# Wine's own automatic services are validated before the program starts.

cv='Software\Microsoft\Windows\CurrentVersion'
nt='Software\Microsoft\Windows NT\CurrentVersion'
intruder='C:\windows\notepad.exe'
command="$intruder \"%1\" %*"

# KEY@VIEW NAME DATA: sets a value ("" the default one) in that view.
put() {
  local name=(/v "$2")
  [ -z "$2" ] && name=(/ve)
  run_quietly wine reg add "${1%@*}" /reg:"${1##*@}" "${name[@]}" /d "$3" /f ||
    fail "could not set $2 in $1"
}

# Every key (KEY@VIEW ...) that is there, its values and every file of both
# Startup folders, a line each, prefixed by where it is.
snapshot() {
  local where line out
  for where in "$@"; do
    # A key's name, once it is there; its values are the lines with blanks first.
    out=$(timeout 60 wine reg query "${where%@*}" /reg:"${where##*@}" </dev/null 2>/dev/null) ||
      continue
    printf '%s| (key)\n' "$where"
    while IFS= read -r line; do
      case "$line" in " "*) printf '%s| %s\n' "$where" "$line" ;; esac
    done < <(tr -d '\r' <<<"$out")
  done
  ls "$user_dir" | sed 's/^/user startup| /'
  ls "$common_dir" | sed 's/^/common startup| /'
}

# The Linux folder of the folder that a Shell Folders value names.
folder_of() {
  local path
  path=$(wine reg query "$1\\$cv\\Explorer\\Shell Folders" /v "$2" </dev/null 2>/dev/null |
    tr -d '\r' | sed -n 's/.*REG_SZ *//p')
  [ -n "$path" ] || fail "no $2 folder in the registry"
  winepath -u "$path" 2>/dev/null
}

# The row the entry has once the namesakes are listed, how it is planted,
# the namesakes (commands run from outside), the keys to compare (KEY@VIEW
# separated by ";"), the line
# that must go, the line that must come in its place ("" for none), and how
# the namesakes go.
plant_and_remove() {
  local label=$1 row=$2 plant=$3 namesakes=$4 keys=$5 gone_line=$6 back_line=$7 undo=$8
  step "$label: the hidden program alerts"
  eval "$plant"
  within 30 shown '^Centinela$' || fail "$label: no alert"
  keys_to "$(visible '^Centinela$')" Return || fail "$label: could not answer the alert"
  within 20 shown '^Ximvar Centinela' || fail "$label: the window did not come after the alert"
  main=$(visible '^Ximvar Centinela')
  eval "$namesakes"
  hide_main
  within 30 shown '^Centinela$' || fail "$label: no alert for the namesakes"
  keys_to "$(visible '^Centinela$')" Return || fail "$label: could not answer the alert"
  within 20 shown '^Ximvar Centinela' || fail "$label: the window did not come"
  main=$(visible '^Ximvar Centinela')

  step "$label: row $row removed; the namesakes stay, nothing else changes"
  local before after expected list
  IFS=';' read -r -a list <<<"$keys"
  before=$(snapshot "${list[@]}")
  grep -qxF "$gone_line" <<<"$before" || fail "$label: [$gone_line] is not there to remove"
  select_row "$row"
  ask '^Eliminar\.\.\.$' Tab Tab Tab Return -- Return
  sleep 1
  gone '^Eliminar\.\.\.$' || fail "$label: the removal failed and said so"
  after=$(snapshot "${list[@]}")
  expected=$(grep -vxF "$gone_line" <<<"$before")
  [ -n "$back_line" ] && expected=$(printf '%s\n%s' "$expected" "$back_line")
  if [ "$(sort <<<"$after")" != "$(sort <<<"$expected")" ]; then
    diff <(sort <<<"$expected") <(sort <<<"$after") >&2
    fail "$label: the keys and folders are not as expected (diff above: < expected, > found)"
  fi
  eval "$undo"
  hide_main
}

user_dir=$(folder_of HKCU Startup)
common_dir=$(folder_of HKLM 'Common Startup')
mkdir -p "$user_dir" "$common_dir" || fail "no Startup folders"
rm -f "$datafile"
validate_services "$datafile" 60 || fail "no automatic services to validate"

step "start with nothing to report; hidden"
start_program
hide_main
sleep 11
shown '^Centinela$' && fail "an alert came with nothing to report"

lm="HKLM\\$cv\\RunOnce"
plant_and_remove "RunOnce, machine, 32-bit view" 2 \
  "put '$lm@32' Intruso '$intruder'" \
  "put '$lm@64' Intruso '$intruder'; put 'HKCU\\$cv\\RunOnce@64' Intruso '$intruder'" \
  "$lm@32;$lm@64;HKCU\\$cv\\RunOnce@64" \
  "$lm@32|     Intruso    REG_SZ    $intruder" "" \
  "run_quietly wine reg delete '$lm' /reg:64 /va /f; run_quietly wine reg delete 'HKCU\\$cv\\RunOnce' /va /f"

cu="HKCU\\$cv\\Policies\\Explorer\\Run"
plant_and_remove "Policies Run, user" 3 \
  "put '$cu@64' Intruso '$intruder'" \
  "put 'HKCU\\$cv\\Run@64' Intruso '$intruder'; put 'HKLM\\$cv\\Policies\\Explorer\\Run@64' Intruso '$intruder'" \
  "$cu@64;HKCU\\$cv\\Run@64;HKLM\\$cv\\Policies\\Explorer\\Run@64" \
  "$cu@64|     Intruso    REG_SZ    $intruder" "" \
  "run_quietly wine reg delete 'HKCU\\$cv\\Run' /va /f; run_quietly wine reg delete 'HKLM\\$cv\\Policies\\Explorer\\Run' /reg:64 /va /f"

plant_and_remove "all users' Startup folder" 2 \
  "echo '@echo off' >'$common_dir/intruso.bat'" \
  "echo '@echo off' >'$user_dir/intruso.bat'" \
  "" \
  "common startup| intruso.bat" "" \
  "rm -f '$user_dir/intruso.bat'"

bat='HKCR\batfile\shell\open\command'
plant_and_remove "batfile open command" 1 \
  "put '$bat@64' '' '$command'" \
  "put 'HKCR\\cmdfile\\shell\\open\\command@64' '' '$command'" \
  "$bat@64;HKCR\\cmdfile\\shell\\open\\command@64;HKCR\\exefile\\shell\\open\\command@64" \
  "$bat@64|     (Default)    REG_SZ    $command" "$bat@64|     (Default)    REG_SZ    \"%1\" %*" \
  "run_quietly wine reg delete 'HKCR\\cmdfile' /f"

exe='HKCU\Software\Classes\exefile\shell\open\command'
# Wine 8 does not merge the user's classes into HKEY_CLASSES_ROOT: the
# machine's exefile command stays standard and gives no row.
plant_and_remove "per-user exefile open command" 1 \
  "put '$exe@64' '' '$command'" \
  "put 'HKCU\\Software\\Classes\\comfile\\shell\\open\\command@64' '' '$command'" \
  "$exe@64;HKCU\\Software\\Classes\\comfile\\shell\\open\\command@64;HKCR\\exefile\\shell\\open\\command@64" \
  "$exe@64|     (Default)    REG_SZ    $command" "" \
  "run_quietly wine reg delete 'HKCU\\Software\\Classes\\comfile' /f"

wl="HKLM\\$nt\\Winlogon"
plant_and_remove "Winlogon Shell, machine, 64-bit view" 1 \
  "put '$wl@64' Shell '$intruder'" \
  "put 'HKCU\\$nt\\Winlogon@64' Shell '$intruder'" \
  "$wl@64;$wl@32;HKCU\\$nt\\Winlogon@64" \
  "$wl@64|     Shell    REG_SZ    $intruder" "$wl@64|     Shell    REG_SZ    explorer.exe" \
  "run_quietly wine reg delete 'HKCU\\$nt\\Winlogon' /v Shell /f"

# The rows before the new places' own: Wine's automatic services Eventlog
# and PlugPlay, validated, whose names sort around "Intruso".
sv='HKLM\System\CurrentControlSet\Services\Intruso'
ifeo="HKLM\\$nt\\Image File Execution Options"
plant_and_remove "automatic service" 2 \
  "run_quietly wine sc create Intruso binpath= '$intruder' start= auto" \
  "put '$ifeo\\Intruso@64' Debugger '$intruder'" \
  "$sv@64;$ifeo\\Intruso@64" \
  "$sv@64|     Start    REG_DWORD    0x2" "$sv@64|     Start    REG_DWORD    0x3" \
  "run_quietly wine sc delete Intruso; run_quietly wine reg delete '$ifeo\\Intruso' /reg:64 /f"

# Both views are read; Wine keeps one key for both, so each Debugger is
# listed twice, the 64-bit view's first. The namesakes are another program's
# Debugger and another value of sethc.exe.
plant_and_remove "debugger for sethc.exe" 4 \
  "put '$ifeo\\sethc.exe@64' Debugger '$intruder'" \
  "put '$ifeo\\sethc.exe@64' GlobalFlag 0; put '$ifeo\\notepad.exe@64' Debugger '$intruder'" \
  "$ifeo\\sethc.exe@64;$ifeo\\notepad.exe@64" \
  "$ifeo\\sethc.exe@64|     Debugger    REG_SZ    $intruder" "" \
  "run_quietly wine reg delete '$ifeo\\sethc.exe' /reg:64 /f; run_quietly wine reg delete '$ifeo\\notepad.exe' /reg:64 /f"

win="HKLM\\$nt\\Windows"
plant_and_remove "AppInit_DLLs, 32-bit view" 4 \
  "put '$win@32' AppInit_DLLs 'c:\\intruso.dll'" \
  "put '$win@64' AppInit_DLLs 'c:\\intruso.dll'" \
  "$win@32;$win@64" \
  "$win@32|     AppInit_DLLs    REG_SZ    c:\\intruso.dll" "$win@32|     AppInit_DLLs    REG_SZ    " \
  "run_quietly wine reg delete '$win' /v AppInit_DLLs /reg:64 /f"

cp='HKLM\Software\Microsoft\Command Processor'
plant_and_remove "command processor AutoRun, machine, 64-bit view" 3 \
  "put '$cp@64' AutoRun '$intruder'" \
  "put '$cp@32' AutoRun '$intruder'; put 'HKCU\\Software\\Microsoft\\Command Processor@64' AutoRun '$intruder'" \
  "$cp@64;$cp@32;HKCU\\Software\\Microsoft\\Command Processor@64" \
  "$cp@64|     AutoRun    REG_SZ    $intruder" "" \
  "run_quietly wine reg delete '$cp' /v AutoRun /reg:32 /f; run_quietly wine reg delete 'HKCU\\Software\\Microsoft\\Command Processor' /v AutoRun /f"

as='HKLM\Software\Microsoft\Active Setup\Installed Components\{A1}'
plant_and_remove "Active Setup StubPath, 64-bit view" 3 \
  "put '$as@64' StubPath '$intruder'" \
  "put '$as@32' StubPath '$intruder'" \
  "$as@64;$as@32" \
  "$as@64|     StubPath    REG_SZ    $intruder" "" \
  "run_quietly wine reg delete '$as' /reg:32 /f"

end_task "after the places"
step "passed"
rm -rf "$WINEPREFIX"
exit 0
