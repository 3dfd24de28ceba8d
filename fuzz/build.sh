#!/usr/bin/env bash
# build.sh [DIR]: configures (quietly, unless it fails) and builds the fuzz
# targets with clang 14 and libFuzzer, in DIR (build/fuzz by default).
# scripts/test.sh and fuzz/run.sh call it.
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dir=${1:-"$root/build/fuzz"}
log="$dir.configure.log"
mkdir -p "$(dirname "$dir")"
if ! cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 -DCENTINELA_FUZZ=ON >"$log" 2>&1; then
  cat "$log" >&2
  echo "Configuring the fuzz build failed." >&2
  exit 1
fi
cmake --build "$dir"
