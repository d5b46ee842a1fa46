#!/usr/bin/env bash
# Runs every test: the host unit tests (plain and under AddressSanitizer and
# UBSan), short fuzzing runs, then the Windows-side and end-to-end tests
# under Wine on a private Xvfb display. The builds were made by `make test`.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
source "$(dirname "$0")/fuzz-corpus.sh"
# A few seconds per fuzz target, about a minute for all of them; longer
# runs are `make fuzz-long`'s.
FUZZ_SECONDS="${FUZZ_SECONDS:-8}"

step() { printf '\n==== %s\n' "$*"; }

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

step "Windows-side and end-to-end tests under Wine"
cleanup() {
  td_stop_wineserver
  td_stop_display
}
trap cleanup EXIT
td_start_display
td_prepare_prefix
td_start_wineserver
failures="$TD_BUILD/e2e-failures"
rm -rf "$failures"
status=0
ctest --test-dir "$TD_BUILD/win64" --output-on-failure || status=$?

# A failed end-to-end test leaves a screenshot; keep it as PNG for viewing.
shopt -s nullglob
for shot in "$failures"/*.bmp; do
  if /usr/bin/convert "$shot" "${shot%.bmp}.png"; then
    rm -f "$shot"
    echo "Screenshot of a failed test: ${shot%.bmp}.png"
  fi
done
exit "$status"
