#!/usr/bin/env bash
# Installs what is missing, builds centinela.exe and starts it: on Linux under
# Wine in the user's own prefix (the x86-64 build under wine64 where the kernel
# cannot run 32-bit programs). With a display it stays resident; without one
# it runs on a virtual display for a few seconds, which are saved as a
# screenshot (build/screenshot.png).
set -u
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

exe="$root/build/win32/centinela.exe"

case "$(uname -s)" in
  MINGW* | MSYS* | CYGWIN*)
    if [ ! -f "$exe" ]; then
      echo "$exe is missing: build it on Debian with bash scripts/run.sh." >&2
      exit 1
    fi
    "$exe" &
    disown
    exit 0
    ;;
esac

install_missing || exit 1
if can_run_i386; then
  build_preset win32 || exit 1
else
  # The same program built for x86-64, which the 64-bit Wine loader runs.
  exe="$root/build/win64/centinela.exe"
  echo "This kernel cannot run 32-bit programs: starting the x86-64 build ($exe) under wine64."
  build_preset win64 || exit 1
  use_runnable_wine || exit 1
fi

export WINEDEBUG="${WINEDEBUG:--all}"
log="$root/build/run.log"
if [ -n "${DISPLAY:-}" ]; then
  setsid wine "$exe" </dev/null >"$log" 2>&1 &
  echo "centinela.exe started under Wine (prefix ${WINEPREFIX:-$HOME/.wine}); output in $log"
  exit 0
fi

seconds="${CENTINELA_RUN_SECONDS:-5}"
shot="$root/build/screenshot.png"
xvfb_pid_file=$(mktemp)
DISPLAY=$(start_xvfb "$xvfb_pid_file") || exit 1
export DISPLAY
xvfb_pid=$(cat "$xvfb_pid_file")
rm -f "$xvfb_pid_file"
# A prefix made here has no one to answer the Mono/Gecko prompts.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

# Prepare the prefix first (the first time takes a while), so the seconds
# below belong to the program.
wineboot </dev/null >"$log" 2>&1
wine "$exe" </dev/null >>"$log" 2>&1 &
pid=$!
# Entries nobody validated yet (a new prefix has Wine's own) bring the alert
# first; it is answered as a user would, so that the picture shows the window.
visible() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1; }
end=$((SECONDS + seconds + 20))
while [ $SECONDS -lt $end ] && kill -0 "$pid" 2>/dev/null; do
  [ -n "$(visible '^Ximvar Centinela')" ] && break
  alert=$(visible '^Centinela$')
  [ -n "$alert" ] && xdotool windowfocus --sync "$alert" key Return 2>/dev/null
  sleep 0.5
done
sleep "$seconds"
import -window root "$shot" && echo "Screenshot after $seconds s: $shot"
if kill -0 "$pid" 2>/dev/null; then
  kill "$pid"
  wait "$pid" 2>/dev/null
  echo "centinela.exe ended."
else
  wait "$pid"
  echo "centinela.exe ended by itself (exit code $?): it has no window yet."
fi
# Let the prefix's wineserver wind down before its display goes away.
timeout 15 wineserver -w
kill "$xvfb_pid"
