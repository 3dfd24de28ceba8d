#!/usr/bin/env bash
# Builds and runs the tick benchmark: natively on the stand-in platform
# (Google Benchmark, build/bench-native), then the i686 program's code under
# Wine on the real registry (build/bench-win32, in a throw-away prefix there).
# Each prints the ratio tick / floor for 30, 300 and 3000 entries.
# Arguments go to the native benchmark (e.g. --benchmark_min_time=2).
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib.sh"
install_missing || exit 1

configure() {
  local dir=$1 log="$1.configure.log"
  shift
  mkdir -p "$(dirname "$dir")"
  if ! (cd "$root" && cmake "$@" -B "$dir" -DCENTINELA_BENCH=ON >"$log" 2>&1); then
    cat "$log" >&2
    return 1
  fi
  cmake --build "$dir" --target centinela_bench
}

native="$root/build/bench-native"
win32="$root/build/bench-win32"
configure "$native" --preset native -DCMAKE_BUILD_TYPE=Release || exit 1
configure "$win32" --preset win32 || exit 1

"$native/bench/centinela_bench" "$@" || exit 1

wine_run=("$root/cmake/wine-run.sh" "$win32/wine")
trap '"${wine_run[@]}" --cleanup >/dev/null' EXIT
echo
echo "Under Wine (a fresh prefix takes some 20 s to make):"
CENTINELA_WINE_TIMEOUT=600 "${wine_run[@]}" "$win32/bench/centinela_bench.exe"
