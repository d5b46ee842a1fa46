# The test run's bookkeeping, sourced by scripts/test.sh: every step reports
# how many cases it ran, passed, failed and skipped, a step that must run
# tests and ran none fails, and the run ends with one line
# "N passed, M failed, K skipped" over all steps.
#
# GoogleTest programs report through GTEST_OUTPUT=xml:<folder>/ (each run
# leaves one XML file there); the checks that are no GoogleTest program
# (analysis, layout, the PE gate, each fuzz target) count as one case each.

TD_TALLY_PASSED=0
TD_TALLY_FAILED=0
TD_TALLY_SKIPPED=0
TD_TALLY_LINES=()

# Adds one step's counts to the run's and prints them.
#   td_tally_step NAME PASSED FAILED SKIPPED
td_tally_step() {
  local name="$1" passed="$2" failed="$3" skipped="$4"
  TD_TALLY_PASSED=$((TD_TALLY_PASSED + passed))
  TD_TALLY_FAILED=$((TD_TALLY_FAILED + failed))
  TD_TALLY_SKIPPED=$((TD_TALLY_SKIPPED + skipped))
  local line
  line="$(printf '%-60s %4d run, %4d passed, %3d failed, %3d skipped' "$name:" \
    $((passed + failed + skipped)) "$passed" "$failed" "$skipped")"
  TD_TALLY_LINES+=("$line")
  echo "---- $line"
}

# One check that is not a GoogleTest program: passed when its command does.
#   td_tally_check NAME COMMAND...
td_tally_check() {
  local name="$1"
  shift
  if "$@"; then td_tally_step "$name" 1 0 0; else td_tally_step "$name" 0 1 0; fi
}

# The cases of the GoogleTest XML reports in a folder: prints "passed failed
# skipped empty", empty being the reports of runs that ran no case.
td_gtest_counts() {
  local folder="$1"
  local reports=("$folder"/*.xml)
  if [ ! -e "${reports[0]}" ]; then
    echo "0 0 0 0"
    return
  fi
  awk '
    function close_case() {
      if (open) { cases++; if (failed) f++; else if (skipped) s++; else p++ }
      open = 0; failed = 0; skipped = 0
    }
    function close_report() { close_case(); if (started && cases == 0) empty++; cases = 0 }
    FNR == 1 { close_report(); started = 1 }
    /<testcase / {
      close_case(); open = 1
      if ($0 ~ /result="skipped"/) skipped = 1
      if ($0 ~ /status="notrun"/) open = 0
    }
    /<failure/ { failed = 1 }
    /<skipped/ { skipped = 1 }
    END { close_report(); printf "%d %d %d %d\n", p, f, s, empty }
  ' "${reports[@]}"
}

# Runs a step of GoogleTest programs with their reports going to a fresh
# folder, then tallies its cases. The step fails when its command failed
# without a failed case to show for it (a crash, a missing program), when
# it ran no case at all, or when one of its programs ran none.
#   td_tally_gtest NAME WINDOWS|LINUX COMMAND...
# WINDOWS: the programs run under Wine and are given the folder's Windows
# path.
td_tally_gtest() {
  local name="$1" side="$2"
  shift 2
  local folder="$TD_BUILD/test-reports/${name//[^A-Za-z0-9]/_}"
  rm -rf "$folder"
  mkdir -p "$folder"
  local output="xml:$folder/"
  [ "$side" = LINUX ] || output="xml:$(td_windows_path "$folder")\\"
  local status=0
  GTEST_OUTPUT="$output" "$@" || status=$?
  local passed failed skipped empty
  read -r passed failed skipped empty < <(td_gtest_counts "$folder")
  if [ "$status" -ne 0 ] && [ "$failed" -eq 0 ]; then
    echo "FAILED: $name: its command ended with status $status without reporting a failed case"
    failed=1
  fi
  if [ $((passed + failed + skipped)) -eq 0 ]; then
    echo "FAILED: $name ran no test"
    failed=1
  elif [ "$empty" -gt 0 ]; then
    echo "FAILED: $name: $empty of its test programs ran no test"
    failed=$((failed + empty))
  fi
  td_tally_step "$name" "$passed" "$failed" "$skipped"
}

# A step that could not run on this machine: one line that says why, and one
# skipped case in the run's count.
#   td_tally_skip NAME WHY
td_tally_skip() {
  echo "SKIPPED: $1: $2"
  td_tally_step "$1 (skipped)" 0 0 1
}

# The summary of every step, then the closing line; returns non-zero when
# anything failed.
td_tally_close() {
  printf '\n==== Summary\n'
  local line
  for line in "${TD_TALLY_LINES[@]}"; do echo "$line"; done
  echo
  echo "$TD_TALLY_PASSED passed, $TD_TALLY_FAILED failed, $TD_TALLY_SKIPPED skipped"
  [ "$TD_TALLY_FAILED" -eq 0 ]
}
