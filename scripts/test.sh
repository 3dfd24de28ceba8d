#!/usr/bin/env bash
# Installs what is missing, builds every preset and runs every test: native and,
# under Wine, the Windows ones. Ends with CTest's summary line. Where this
# kernel cannot run 32-bit programs (or CENTINELA_NO_I386=1), the i686 Wine
# cases show as skipped and the x86-64 ones run under the 64-bit Wine loader.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

presets=(native win32 win64 win32-tests win64-tests)

install_missing || exit 1
for preset in "${presets[@]}"; do
  build_preset "$preset" || exit 1
done
# The fuzz targets (clang, libFuzzer) build apart; their tests run each briefly.
bash "$root/fuzz/build.sh" "$root/build/fuzz" || exit 1

# One ctest run over every build, so that one summary line covers them all.
{
  echo "# Written by scripts/test.sh: one ctest run over every build."
  printf 'subdirs('
  printf '"%s" ' "${presets[@]}" fuzz
  printf ')\n'
} >"$root/build/CTestTestfile.cmake"

# Asked once here; every Wine run of the tests inherits the answer.
if ! can_run_i386; then
  echo "Note: $no_i386_reason: the i686 Wine cases are skipped, the x86-64 ones run under wine64."
fi

# Wine cases hold one lock among them, so -j2 only runs native cases alongside.
ctest=(ctest --test-dir "$root/build" -j2 --output-on-failure)
if [ -n "${DISPLAY:-}" ]; then
  "${ctest[@]}"
else
  xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "${ctest[@]}"
fi
