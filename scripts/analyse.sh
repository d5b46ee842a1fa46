#!/usr/bin/env bash
# Static analysis of the program and the virtual bus (src/ and sim/); fails
# on any finding:
#   - layering: no portable file below the shell includes from src/shell/;
#   - cppcheck (warning, performance, portability) for both Windows targets;
#   - clang-tidy with the checks in .clang-tidy, against the MinGW-w64
#     headers the programs are built with: the portable files as the 32-bit
#     program compiles them (where sizes are smallest), the Win32 faces
#     (*_win32.cpp) as the 64-bit program does (where they differ most
#     from the 32-bit layouts).
# Needs no build. JOBS (default 2) files are analysed at a time.
set -euo pipefail
cd "$(dirname "$0")/.."
JOBS="${JOBS:-2}"
CLANG_TIDY="${CLANG_TIDY:-clang-tidy-14}"
CPPCHECK="${CPPCHECK:-cppcheck}"

step() { printf '\n==== %s\n' "$*"; }
failed=()
started=$SECONDS
since() { echo "$((SECONDS - $1)) s"; }

step "Layering: nothing below the shell includes from src/shell/"
t=$SECONDS
# The Win32 faces (*_win32.*) may reach the running program's state in
# src/shell/program_win32.h; the portable core may not.
if upward=$(find src -path src/shell -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) ! -name '*_win32.*' -print |
              sort | xargs grep -n '#include "shell/'); then
  echo "$upward"
  failed+=(layering)
fi
echo "layering: $(since $t)"

step "cppcheck"
t=$SECONDS
for platform in win32A win64; do
  "$CPPCHECK" --quiet --error-exitcode=1 -j "$JOBS" --std=c++20 --language=c++ --platform="$platform" \
    --library=windows --enable=warning,performance,portability --inline-suppr \
    --template='{file}:{line}: {severity}: {message} [{id}]' -I src -I sim src sim || failed+=("cppcheck $platform")
done
echo "cppcheck: $(since $t)"

step "clang-tidy"
t=$SECONDS
# Compile flags for one MinGW-w64 target: the folders of its C++ library, so
# that clang reads the headers the Windows programs are built with (clang's
# own intrinsics stay clang's), and what cmake/windows.cmake gives every
# Windows compile.
mingw_flags() {
  local triple="$1" dir found=0
  echo "--target=$triple -nostdinc++"
  while read -r dir; do
    echo "-isystem $dir"
    found=1
  done < <("$triple-g++-posix" -xc++ -E -v - </dev/null 2>&1 | sed -n 's|^ \(/.*/include/c++.*\)$|\1|p')
  [ "$found" -eq 1 ] || { echo "no C++ headers found for $triple-g++-posix" >&2; return 1; }
  echo "-DWINVER=0x0400 -D_WIN32_WINNT=0x0400 -D_WIN32_IE=0x0300 -DNOMINMAX"
}
mapfile -t flags32 < <(mingw_flags i686-w64-mingw32 | tr ' ' '\n')
mapfile -t flags64 < <(mingw_flags x86_64-w64-mingw32 | tr ' ' '\n')

out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
# One file and its compile flags: the findings go to a file of their own, so
# that parallel runs do not interleave; a clean file leaves nothing.
tidy_one() {
  local source="$1" log
  shift
  log="$out/$(echo "$source" | tr / _).log"
  "$CLANG_TIDY" --quiet --warnings-as-errors='*' "$source" -- -std=c++20 -Isrc -Isim "$@" >"$log" 2>&1 || return 1
  rm -f "$log"
}
export -f tidy_one
export CLANG_TIDY out

sources() { find src sim -type f -name '*.cpp' | sort; }
tidy_status=0
sources | grep -v '_win32\.cpp$' | xargs -P "$JOBS" -I{} bash -c 'tidy_one "$@"' _ {} "${flags32[@]}" || tidy_status=1
sources | grep '_win32\.cpp$' | xargs -P "$JOBS" -I{} bash -c 'tidy_one "$@"' _ {} "${flags64[@]}" || tidy_status=1
for log in "$out"/*.log; do
  [ -e "$log" ] || continue
  # The compiler's own tallies ("N warnings generated.") are no findings.
  grep -v -E '^[0-9]+ (warning|error)s? (and [0-9]+ (warning|error)s? )?generated\.$' "$log" || true
done
[ "$tidy_status" -eq 0 ] || failed+=(clang-tidy)
echo "clang-tidy: $(since $t)"

echo
if [ ${#failed[@]} -gt 0 ]; then
  echo "Static analysis failed: ${failed[*]} ($(since $started))"
  exit 1
fi
echo "Static analysis clean ($(since $started))"
