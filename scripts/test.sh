#!/usr/bin/env bash
# Runs every test: the host unit tests (plain and under AddressSanitizer and
# UBSan), short fuzzing runs, then the Windows-side and end-to-end tests
# under Wine on a private Xvfb display. The builds were made by `make test`.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
FUZZ_SECONDS="${FUZZ_SECONDS:-15}"

step() { printf '\n==== %s\n' "$*"; }

# Static analysis and the layout check do not stop the tests; their verdict
# joins the others' at the end.
step "Static analysis"
analysis_status=0
"$TD_ROOT/scripts/analyse.sh" || analysis_status=1
step "Source layout"
"$TD_ROOT/scripts/check-format.sh" || analysis_status=1

step "Host unit tests"
ctest --test-dir "$TD_BUILD/host" --output-on-failure

step "Host unit tests under AddressSanitizer and UBSan"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 "$TD_BUILD/host-asan/bin/host_tests" --gtest_brief=1

step "Fuzzing (${FUZZ_SECONDS} s per target)"
shopt -s nullglob
for target in "$TD_BUILD"/fuzz/bin/*_fuzz; do
  name="$(basename "$target")"
  corpus="$TD_BUILD/fuzz/corpus-$name"
  mkdir -p "$corpus"
  # Seeds live in fuzz/corpus/<first words of the target's name>.
  for seeds in "$TD_ROOT"/fuzz/corpus/*/; do
    seeds="${seeds%/}"
    case "$name" in "$(basename "$seeds")"_*) cp -n "$seeds"/* "$corpus"/ 2>/dev/null || true ;; esac
  done
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
[ "$status" -ne 0 ] || status=$analysis_status
exit "$status"
