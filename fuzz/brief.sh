#!/usr/bin/env bash
# brief.sh FUZZER CORPUS WORKDIR RUNS: one bounded run from the seed corpus
# (and its dictionary CORPUS.dict, if any).
# New inputs go to WORKDIR (emptied first), never into the repository; an
# input that fails is kept there too and named in the output.
set -u
fuzzer=$1 corpus=$2 work=$3 runs=$4
rm -rf "$work"
mkdir -p "$work/new"
options=(-runs="$runs" -timeout=20 -print_final_stats=1 -artifact_prefix="$work/")
if [ -f "${corpus%/}.dict" ]; then
  options+=(-dict="${corpus%/}.dict")
fi
exec "$fuzzer" "${options[@]}" "$work/new" "$corpus"
