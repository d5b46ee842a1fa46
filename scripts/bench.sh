#!/usr/bin/env bash
# The benchmarks (make bench): they print figures, they do not pass or fail.
#   - the host benchmarks of build/host/bench: the ASPI scan chain's cost per
#     SCSI ID, the listing of the fullest inventory written and read, the
#     diagnostics' waits with the processor time they take;
#   - the start-up under Wine, 64-bit and 32-bit: process start to the main
#     window beyond the 2000 ms pause (bench/wine/startup_bench.cpp).
#   BENCH_ARCHES="64 32"  which word sizes start up under Wine
#   BENCH_RUNS=10         start-ups per word size
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
ARCHES="${BENCH_ARCHES:-64 32}"
# Where 32-bit programs run only under the emulator, this script runs in a
# namespace of its own that can register it.
case " $ARCHES " in *" 32 "*) td_private_binfmt "$0" "$@" ;; esac
RUNS="${BENCH_RUNS:-10}"

step() { printf '\n==== %s\n' "$*"; }

for bench in scan_chain_bench listing_bench diagnostics_sequence_bench; do
  step "$bench"
  "$TD_BUILD/host/bench/$bench"
done

startup_one() {
  cd "$TD_BIN"
  "$TD_WINE" td-startup-bench.exe --runs="$RUNS"
}

trap td_stop_display EXIT
td_start_display
status=0
for arch in $ARCHES; do
  step "Start-up under Wine, $arch-bit"
  # Figures taken under the emulator say what the emulator costs, not what
  # the program does; they are printed all the same, after the line that
  # says so.
  if ! td_word_size_runs "$arch" "the 32-bit start-up bench"; then
    status=1
    continue
  fi
  td_in_word_size "$arch" startup_one || status=1
done
exit "$status"
