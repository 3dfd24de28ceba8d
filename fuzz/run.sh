#!/usr/bin/env bash
# run.sh [SECONDS]: builds the fuzz targets (build/fuzz) and runs each for
# SECONDS (600 by default), one after the other. Each grows its own working
# corpus, build/fuzz/corpus/<target>, seeded from fuzz/corpus/<target>; an
# input that breaks an invariant or trips a sanitizer is saved in
# build/fuzz/artifacts/ and the script fails.
set -u
seconds=${1:-600}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
dir="$here/../build/fuzz"
bash "$here/build.sh" "$dir" || exit 1

failed=()
for target in datafile scan; do
  work="$dir/corpus/$target"
  mkdir -p "$work" "$dir/artifacts"
  options=(-max_total_time="$seconds" -max_len=20000 -timeout=20 -print_final_stats=1
           -artifact_prefix="$dir/artifacts/$target-")
  if [ -f "$here/corpus/$target.dict" ]; then
    options+=(-dict="$here/corpus/$target.dict")
  fi
  echo "== $target, $seconds s"
  "$dir/fuzz/fuzz_$target" "${options[@]}" "$work" "$here/corpus/$target" || failed+=("$target")
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "Failed: ${failed[*]} (inputs in $dir/artifacts)" >&2
  exit 1
fi
echo "No failure in ${seconds} s for each of datafile and scan."
