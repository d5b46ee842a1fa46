#!/usr/bin/env bash
# Long fuzzing runs: every fuzz target in build/fuzz/bin, one after another
# on one core, to 10^7 executions each, or for at most FUZZ_SECONDS seconds
# each when that is set and comes first. Prints per target the executions,
# the coverage (libFuzzer's final cov/ft) and the findings (crash, leak,
# timeout and oom files).
#
# Working corpora stay in build/fuzz/long/<target>/corpus (a later run goes
# on from them), findings in build/fuzz/long/<target>/findings, the whole
# output in build/fuzz/long/<target>/log. The summary table is also written
# to build/fuzz/long/summary.txt. Exits 1 when anything was found.
#
#   scripts/fuzz-long.sh [TARGET...]     (names as in build/fuzz/bin; all by default)
set -euo pipefail
TD_ROOT="$(cd "$(dirname "$0")/.." && pwd)"
source "$TD_ROOT/scripts/fuzz-corpus.sh"
BIN="$TD_ROOT/build/fuzz/bin"
OUT="$TD_ROOT/build/fuzz/long"
RUNS=10000000
# Large enough for a listing of 64 device lines and a scan of 64 answers.
MAX_LEN=8192

limit=(-runs="$RUNS")
what="$RUNS executions per target"
if [ -n "${FUZZ_SECONDS:-}" ]; then
  limit+=(-max_total_time="$FUZZ_SECONDS")
  what="$what, at most $FUZZ_SECONDS s each"
fi

targets=()
if [ "$#" -gt 0 ]; then
  for name in "$@"; do targets+=("$BIN/$name"); done
else
  shopt -s nullglob
  targets=("$BIN"/*_fuzz)
fi
if [ "${#targets[@]}" -eq 0 ]; then
  echo "no fuzz targets in $BIN: run make fuzz first" >&2
  exit 2
fi

mkdir -p "$OUT"
summary="$OUT/summary.txt"
commit="$(git -C "$TD_ROOT" rev-parse --short HEAD 2>/dev/null || echo unknown)"
{
  echo "# $(date -u '+%Y-%m-%d %H:%M UTC'), commit $commit, $what"
  printf '%-24s %12s %8s %8s %9s %8s\n' target executions cov ft findings seconds
} >"$summary"
cat "$summary"

total_findings=0
for target in "${targets[@]}"; do
  name="$(basename "$target")"
  [ -x "$target" ] || { echo "$name: not built" >&2; exit 2; }
  dir="$OUT/$name"
  mkdir -p "$dir/findings"
  td_fuzz_corpus "$target" "$dir/corpus"
  start=$SECONDS
  # A finding stops libFuzzer with a non-zero status; the table tells.
  "$target" "${limit[@]}" -max_len="$MAX_LEN" -timeout=30 -print_final_stats=1 \
    -artifact_prefix="$dir/findings/" "$dir/corpus" >"$dir/log" 2>&1 || true
  seconds=$((SECONDS - start))

  executions="$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log" | tail -n 1)"
  # The last status line (DONE, or the last one before a finding) carries cov and ft.
  status_line="$(grep -E '^#[0-9]+.*cov: ' "$dir/log" | tail -n 1)"
  cov="$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$status_line")"
  ft="$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$status_line")"
  findings="$(find "$dir/findings" -maxdepth 1 -type f \
    \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)"
  total_findings=$((total_findings + findings))
  printf '%-24s %12s %8s %8s %9s %8s\n' "$name" "${executions:-?}" "${cov:-?}" "${ft:-?}" \
    "$findings" "$seconds" | tee -a "$summary"
  if [ "$findings" -gt 0 ]; then
    find "$dir/findings" -maxdepth 1 -type f | sed 's/^/    /'
  fi
done

echo "Summary: $summary"
[ "$total_findings" -eq 0 ]
