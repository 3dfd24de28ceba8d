# Shared by scripts/run.sh and scripts/test.sh: installs what is missing and
# builds a preset. Sourced, not run.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian 12 packages for building, testing and running under Wine.
packages=(
  cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev clang-14 libclang-rt-14-dev
  g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine32:i386 wine64 xvfb xauth xdotool x11-apps imagemagick
)

installed() {
  [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" = "install ok installed" ]
}

install_missing() {
  if ! command -v dpkg-query >/dev/null; then
    echo "Not a Debian system: install the equivalents of ${packages[*]} yourself." >&2
    return 0
  fi
  local missing=() p
  for p in "${packages[@]}"; do
    installed "$p" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; return 1; }
    sudo=(sudo)
  fi
  echo "Installing: ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo[@]}" dpkg --add-architecture i386 || return 1
  fi
  "${sudo[@]}" apt-get update || return 1
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
}

# Whether this machine executes i386 programs, asked once per run by running
# one: kernels built without IA32 emulation, or booted with ia32_emulation=0,
# refuse it ("Exec format error"), and then Debian's 32-bit Wine loader cannot
# start either. CENTINELA_NO_I386=1 forces the answer "no". The probe is a
# 96-byte static i386 program that exits with 7; a copy of true(1) beside it
# tells a folder that refuses every program from a kernel that refuses i386.
can_run_i386() {
  if [ "${CENTINELA_NO_I386:-0}" = 1 ]; then
    return 1
  fi
  if [ -z "${CENTINELA_I386:-}" ]; then
    local dir rc
    dir=$(mktemp -d "${root:-/tmp}/build/.i386-probe.XXXXXX" 2>/dev/null || mktemp -d)
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x07\x00\x00\x00\xcd\x80' >"$dir/probe"
    cp "$(type -P true)" "$dir/control" 2>/dev/null
    chmod +x "$dir/probe" "$dir/control" 2>/dev/null
    "$dir/probe" 2>/dev/null
    rc=$?
    if [ "$rc" -eq 7 ] || ! "$dir/control" 2>/dev/null; then
      CENTINELA_I386=yes  # a folder that runs nothing says nothing about i386
    else
      CENTINELA_I386=no
    fi
    rm -rf "$dir"
    export CENTINELA_I386
  fi
  [ "$CENTINELA_I386" = yes ]
}

no_i386_reason="this kernel cannot run 32-bit programs"

# Where i386 cannot run, every "wine" (and the tools that call wine-stable)
# goes to Debian's 64-bit loader, which wants WINELOADER set to itself.
use_runnable_wine() {
  can_run_i386 && return 0
  local loader shims="${root:-/tmp}/build/wine64-loader" name
  loader=$(dpkg -L wine64 2>/dev/null | grep -m1 '/wine64$')
  [ -x "$loader" ] || loader=/usr/lib/wine/wine64
  mkdir -p "$shims" || return 1
  for name in wine wine-stable wine64; do
    [ -x "$shims/$name" ] && continue
    printf '#!/bin/sh\nexport WINELOADER=%s\nexec %s "$@"\n' "$loader" "$loader" >"$shims/$name.$$"
    chmod +x "$shims/$name.$$" && mv -f "$shims/$name.$$" "$shims/$name"
  done
  case ":$PATH:" in
    *":$shims:"*) ;;
    *) export PATH="$shims:$PATH" ;;
  esac
}

# Whether a Windows program is an i386 one (PE machine 0x14c).
pe_is_i386() {
  local pe
  pe=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$pe" ] && [ "$(od -An -tx2 -j$((pe + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')" = 014c ]
}

# Ends a test script as skipped (77) when its Windows program cannot run here.
skip_if_unrunnable() {
  if pe_is_i386 "$1" && ! can_run_i386; then
    echo "skipped: $no_i386_reason ($(basename "$1") is i686)"
    exit 77
  fi
}

# The environment of every throw-away test prefix: 64-bit as current Windows,
# quiet, no Mono/Gecko prompts and no menu entries written into the user's home.
use_test_prefix() {
  use_runnable_wine || return 1
  export WINEPREFIX=$1
  export WINEARCH=win64
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export LC_ALL=C.UTF-8
}

# Configures (quietly, unless it fails) and builds one preset of CMakePresets.json.
build_preset() {
  local preset=$1 log="$root/build/$1.configure.log"
  mkdir -p "$root/build"
  if ! (cd "$root" && cmake --preset "$preset" >"$log" 2>&1); then
    cat "$log" >&2
    echo "Configuring preset $preset failed." >&2
    return 1
  fi
  (cd "$root" && cmake --build --preset "$preset")
}

# Starts an Xvfb and prints its display (":N"); its pid goes to the file named.
start_xvfb() {
  local pidfile=$1 numfile
  numfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numfile" </dev/null >/dev/null 2>&1 &
  echo $! >"$pidfile"
  local i
  for i in $(seq 100); do
    if [ -s "$numfile" ]; then
      echo ":$(tr -d '[:space:]' <"$numfile")"
      rm -f "$numfile"
      return 0
    fi
    sleep 0.1
  done
  rm -f "$numfile"
  echo "Xvfb did not start." >&2
  return 1
}

# A fresh prefix's first start, bounded by $1 seconds, output to $2; then one
# persistent wineserver for the whole test, which keeps every later start
# quick. The boot's session ends first: a server kept from it keeps the
# boot's service manager beside the one the next program starts, two
# databases on one pipe, so that a service made with sc may be unknown to
# the program.
boot_prefix() {
  timeout "$1" wineboot -i </dev/null >"$2" 2>&1 || return 1
  timeout 60 wineserver -w </dev/null >/dev/null 2>&1
  wineserver -p </dev/null >/dev/null 2>&1
}

# Empties the Run and RunServices keys of the current prefix (the machine's in
# both views, the user's), Wine's own start-up values among them; each wine
# reg call bounded by $1 seconds, its output appended to $2. A key not there
# yet cannot be emptied and needs not be, so failures are not reported.
empty_run_keys() {
  local key view
  for key in Run RunServices; do
    for view in /reg:32 /reg:64; do
      timeout "$1" wine reg delete "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\$key" \
        /va /f "$view" </dev/null >>"$2" 2>&1
    done
    timeout "$1" wine reg delete "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\$key" \
      /va /f </dev/null >>"$2" 2>&1
  done
  return 0
}

# The current prefix's automatic services as the program lists them, a line
# each: the key's name, a tab, the command (ImagePath, and a shared
# process's ServiceDll after a blank); the query bounded by $1 seconds.
auto_services() {
  timeout "$1" wine reg query 'HKLM\System\CurrentControlSet\Services' /s </dev/null 2>/dev/null |
    tr -d '\r' | awk -F'    ' '
      function hex(s,  v, i) {
        v = 0; s = tolower(substr(s, 3))
        for (i = 1; i <= length(s); i++) v = v * 16 + index("0123456789abcdef", substr(s, i, 1)) - 1
        return v
      }
      /^HKEY/ {
        n = split($0, p, "\\"); svc = n == 5 ? p[5] : ""
        par = n == 6 && tolower(p[6]) == "parameters" ? p[5] : ""
        if (svc != "") order[++count] = svc
        next
      }
      svc != "" && $2 == "Type" { type[svc] = hex($4) }
      svc != "" && $2 == "Start" { start[svc] = hex($4) }
      svc != "" && $2 == "ImagePath" { image[svc] = $4 }
      par != "" && $2 == "ServiceDll" { dll[par] = $4 }
      END {
        for (i = 1; i <= count; i++) {
          s = order[i]; t = type[s]
          if (start[s] != 2 || int(t / 16) % 4 == 0 || int(t / 128) % 2) continue
          print s "\t" image[s] (int(t / 32) % 2 && (s in dll) ? " " dll[s] : "")
        }
      }'
}

# Validates the prefix's automatic services in data file $1 as a save
# would, from record 201 on, past every row the tests make; $2 bounds the
# query. The tests validate them as a user would have to; the program never
# leaves them out.
validate_services() {
  local name command n=200
  while IFS=$'\t' read -r name command; do
    printf '%-10.10s%-50.50s%-100.100s%-100.100s' '' '' "$name" "$command" |
      dd of="$1" bs=260 seek=$n conv=notrunc status=none || return 1
    n=$((n + 1))
  done < <(auto_services "$2")
  [ "$n" -gt 200 ]
}

# Makes the Windows folder $1 the user's Startup folder in both settings, so
# that a shell refreshing the first from the second keeps it; bounded and
# logged as empty_run_keys ($2 seconds, output to $3).
set_startup_folder() {
  local folders='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer'
  timeout "$2" wine reg add "$folders\\Shell Folders" /v Startup /d "$1" /f \
    </dev/null >>"$3" 2>&1 &&
    timeout "$2" wine reg add "$folders\\User Shell Folders" /v Startup /t REG_EXPAND_SZ \
      /d "$1" /f </dev/null >>"$3" 2>&1
}
