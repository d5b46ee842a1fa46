#!/usr/bin/env bash
# Runs every test: the checks that read files (static analysis, the layout,
# the 32-bit program's PE file), the host unit tests (plain and under
# AddressSanitizer and UBSan), short fuzzing runs, then the Windows-side and
# end-to-end tests under Wine on a private Xvfb display, for the 64-bit
# programs and for the 32-bit ones as far as this machine runs them
# (td_32bit_runner). The builds were made by `make test`.
#
# Every step prints the cases it ran, passed, failed and skipped; the run
# ends with "N passed, M failed, K skipped" and fails when anything failed
# or a step ran no test.
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
source "$(dirname "$0")/fuzz-corpus.sh"
source "$(dirname "$0")/test-tally.sh"
# A few seconds per fuzz target, about a minute for all of them; longer
# runs are `make fuzz-long`'s.
FUZZ_SECONDS="${FUZZ_SECONDS:-8}"

step() { printf '\n==== %s\n' "$*"; }

step "Static analysis"
td_tally_check "Static analysis" "$TD_ROOT/scripts/analyse.sh"
step "Source layout"
td_tally_check "Source layout" "$TD_ROOT/scripts/check-format.sh"
step "The 32-bit program as Windows 95, NT 4.0 and a Pentium see it"
td_tally_check "PE file of the 32-bit program" \
  "$TD_ROOT/tests/pe/check_win32_program.sh" "$TD_BUILD/win32/bin/Tessaline Diagnostics.exe"

step "Host unit tests"
td_tally_gtest "Host unit tests" LINUX ctest --test-dir "$TD_BUILD/host" --output-on-failure --no-tests=error

step "Host unit tests under AddressSanitizer and UBSan"
td_tally_gtest "Host unit tests under AddressSanitizer and UBSan" LINUX \
  env ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 "$TD_BUILD/host-asan/bin/host_tests" --gtest_brief=1

# Each fuzz source is a target; each must have been built and must run.
step "Fuzzing (${FUZZ_SECONDS} s per target)"
fuzz_passed=0
fuzz_failed=0
for source in "$TD_ROOT"/fuzz/*_fuzz.cpp; do
  [ -e "$source" ] || continue
  name="$(basename "$source" .cpp)"
  target="$TD_BUILD/fuzz/bin/$name"
  if [ ! -x "$target" ]; then
    echo "FAILED: $name was not built"
    fuzz_failed=$((fuzz_failed + 1))
    continue
  fi
  corpus="$TD_BUILD/fuzz/corpus-$name"
  td_fuzz_corpus "$target" "$corpus"
  echo "$name"
  if "$target" -max_total_time="$FUZZ_SECONDS" -print_final_stats=0 "$corpus" >"$TD_BUILD/fuzz/$name.log" 2>&1; then
    tail -n 2 "$TD_BUILD/fuzz/$name.log"
    fuzz_passed=$((fuzz_passed + 1))
  else
    tail -n 30 "$TD_BUILD/fuzz/$name.log"
    fuzz_failed=$((fuzz_failed + 1))
  fi
done
[ $((fuzz_passed + fuzz_failed)) -gt 0 ] || { echo "FAILED: no fuzz target found in fuzz/"; fuzz_failed=1; }
td_tally_step "Fuzzing" "$fuzz_passed" "$fuzz_failed" 0

cleanup() {
  td_stop_display
}
step "Locales for the tests in other countries"
td_tally_check "Locales compiled under build/locales" td_prepare_locales "${TD_TEST_LOCALES[@]}"
trap cleanup EXIT
td_start_display
rm -rf "$TD_BUILD"/e2e-failures*

step "Windows-side and end-to-end tests under Wine, 64-bit"
td_tally_gtest "Windows-side and end-to-end tests, 64-bit" WINDOWS \
  td_in_word_size 64 ctest --test-dir "$TD_BUILD/win64" --output-on-failure --no-tests=error

step "Windows-side and end-to-end tests under Wine, 32-bit"
td_32bit_line
case "$TD_32BIT_MODE" in
  native)
    td_tally_gtest "Windows-side and end-to-end tests, 32-bit" WINDOWS \
      td_in_word_size 32 ctest --test-dir "$TD_BUILD/win32-rig" --output-on-failure --no-tests=error
    ;;
  emulated)
    td_tally_gtest "End-to-end tests, 32-bit, a subset under the emulator" WINDOWS \
      "$TD_ROOT/scripts/emulated-32bit-tests.sh"
    td_tally_skip "The rest of the 32-bit Windows-side and end-to-end tests" \
      "$TD_32BIT_WHY; the subset above ran instead"
    ;;
  none)
    td_tally_skip "The 32-bit Windows-side and end-to-end tests" "$TD_32BIT_WHY"
    ;;
esac

# A failed end-to-end test leaves a screenshot; keep it as PNG for viewing.
shopt -s nullglob
for shot in "$TD_BUILD"/e2e-failures*/*.bmp; do
  if /usr/bin/convert "$shot" "${shot%.bmp}.png"; then
    rm -f "$shot"
    echo "Screenshot of a failed test: ${shot%.bmp}.png"
  fi
done
shopt -u nullglob

td_tally_close
