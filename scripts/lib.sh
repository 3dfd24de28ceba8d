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

# The environment of every throw-away test prefix: 64-bit as current Windows,
# quiet, no Mono/Gecko prompts and no menu entries written into the user's home.
use_test_prefix() {
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
