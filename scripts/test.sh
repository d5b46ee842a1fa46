#!/usr/bin/env bash
# Runs every test: the host unit tests (plain and under AddressSanitizer and
# UBSan), short fuzzing runs, then the Windows-side and end-to-end tests
# under Wine on a private Xvfb display, for the 64-bit programs and for the
# 32-bit ones. The builds were made by `make test`.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
source "$(dirname "$0")/fuzz-corpus.sh"
# A few seconds per fuzz target, about a minute for all of them; longer
# runs are `make fuzz-long`'s.
FUZZ_SECONDS="${FUZZ_SECONDS:-8}"

step() { printf '\n==== %s\n' "$*"; }

# The checks that read files (static analysis, the layout, the 32-bit
# program's PE file) do not stop the tests; their verdict joins the others'
# at the end.
check_status=0
step "Static analysis"
"$TD_ROOT/scripts/analyse.sh" || check_status=1
step "Source layout"
"$TD_ROOT/scripts/check-format.sh" || check_status=1
step "The 32-bit program as Windows 95, NT 4.0 and a Pentium see it"
"$TD_ROOT/tests/pe/check_win32_program.sh" "$TD_BUILD/win32/bin/Tessaline Diagnostics.exe" || check_status=1

step "Host unit tests"
ctest --test-dir "$TD_BUILD/host" --output-on-failure

step "Host unit tests under AddressSanitizer and UBSan"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 "$TD_BUILD/host-asan/bin/host_tests" --gtest_brief=1

step "Fuzzing (${FUZZ_SECONDS} s per target)"
shopt -s nullglob
for target in "$TD_BUILD"/fuzz/bin/*_fuzz; do
  name="$(basename "$target")"
  corpus="$TD_BUILD/fuzz/corpus-$name"
  td_fuzz_corpus "$target" "$corpus"
  echo "$name"
  "$target" -max_total_time="$FUZZ_SECONDS" -print_final_stats=0 "$corpus" 2>&1 | tail -n 2
done

cleanup() {
  td_stop_display
}
trap cleanup EXIT
td_start_display
rm -rf "$TD_BUILD"/e2e-failures*
status=0
step "Windows-side and end-to-end tests under Wine, 64-bit"
td_in_word_size 64 ctest --test-dir "$TD_BUILD/win64" --output-on-failure || status=$?
step "Windows-side and end-to-end tests under Wine, 32-bit"
td_in_word_size 32 ctest --test-dir "$TD_BUILD/win32-rig" --output-on-failure || status=$?

# A failed end-to-end test leaves a screenshot; keep it as PNG for viewing.
shopt -s nullglob
for shot in "$TD_BUILD"/e2e-failures*/*.bmp; do
  if /usr/bin/convert "$shot" "${shot%.bmp}.png"; then
    rm -f "$shot"
    echo "Screenshot of a failed test: ${shot%.bmp}.png"
  fi
done
[ "$status" -ne 0 ] || status=$check_status
exit "$status"
