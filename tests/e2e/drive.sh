# Driving the program's windows from outside under Wine with xdotool, shared
# by the end-to-end scripts (e2e.sh, access.sh, hostile.sh). Sourced, not run.

# Runs a command until it succeeds, for at most $1 seconds.
within() {
  local end=$((SECONDS + $1))
  shift
  until "$@"; do
    [ $SECONDS -ge $end ] && return 1
    sleep 0.25
  done
}

# The first visible window whose title matches the pattern, if any.
visible() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1; }
shown() { [ -n "$(visible "$1")" ]; }
gone() { [ -z "$(visible "$1")" ]; }

# Pixels of a length in twips on the prefix's 96-dpi screen.
px() { echo $(($1 * 96 / 1440)); }

# Clicks at a point of a window's client area.
click_in() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove --sync $((X + $2)) $((Y + $3)) click "${4:-1}"
}

# Gives a window the keyboard and presses keys in it.
keys_to() {
  local window=$1
  shift
  xdotool windowfocus --sync "$window" && xdotool key "$@"
}

# Presses keys in the main window; box $1 must come, and go once answered
# with the keys after "--".
ask() {
  local box=$1 keys=()
  shift
  while [ "$1" != -- ]; do keys+=("$1"); shift; done
  shift
  keys_to "$(visible '^Ximvar Centinela')" "${keys[@]}" || fail "could not press ${keys[*]}"
  within 20 shown "$box" || fail "no box $box after ${keys[*]}"
  keys_to "$(visible "$box")" "$@" || fail "could not answer $box"
  within 10 gone "$box" || fail "the box $box stayed"
}

# The start of a script that drives the program with a tool of the tests:
#   begin_tool_test LABEL "NEEDED PROGRAMS" CENTINELA_EXE TOOL_EXE WORK_DIR
# sets exe, tool and work (made empty), a Wine prefix of its own in work and
# a virtual display, both ended on exit; ends the script as skipped (77)
# when a program it needs is missing, or the program cannot run here.
begin_tool_test() {
  local needed=$2 program
  label=$1
  shift 2
  for program in $needed; do
    command -v "$program" >/dev/null || { echo "$label: $program is missing: skipped"; exit 77; }
  done
  exe=$(readlink -f "$1")
  skip_if_unrunnable "$1"
  tool=$(readlink -f "$2")
  rm -rf "$3" && mkdir -p "$3" || exit 1
  work=$(cd "$3" && pwd)
  use_test_prefix "$work/prefix"
  DISPLAY=$(start_xvfb "$work/xvfb.pid") || exit 1
  export DISPLAY
  trap 'timeout 20 wineserver -k >/dev/null 2>&1; kill "$(cat "$work/xvfb.pid")" 2>/dev/null' EXIT
}

# Messages of a script begun with begin_tool_test, labelled as it was; a
# failure leaves the screen in the work folder. Wine's chatter goes to a log.
step() { echo "$label: $*"; }
fail() {
  echo "$label: FAIL: $*" >&2
  import -window root "$work/failure.png" 2>/dev/null && echo "$label: screen: $work/failure.png" >&2
  exit 1
}
quietly() { timeout 60 "$@" </dev/null >>"$work/wine.log" 2>&1; }
