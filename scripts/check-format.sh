#!/usr/bin/env bash
# Checks that the C++ sources are laid out as .clang-format says; fails
# naming the files (and, for a few, showing the changes) that clang-format
# would make. With --fix it makes those changes instead.
set -euo pipefail
cd "$(dirname "$0")/.."
CLANG_FORMAT="${CLANG_FORMAT:-clang-format-14}"

fix=0
[ "${1:-}" = "--fix" ] && fix=1

mapfile -t files < <(find src sim tests tools fuzz bench -type f \( -name '*.cpp' -o -name '*.h' \) | sort)

if [ "$fix" -eq 1 ]; then
  "$CLANG_FORMAT" -i --style=file "${files[@]}"
  echo "Formatted ${#files[@]} files"
  exit 0
fi

differing=()
changed_lines=0
for file in "${files[@]}"; do
  if ! "$CLANG_FORMAT" --dry-run -Werror --style=file "$file" 2>/dev/null; then
    lines=$("$CLANG_FORMAT" --style=file "$file" | diff "$file" - | grep -c '^<' || true)
    differing+=("$file ($lines lines)")
    changed_lines=$((changed_lines + lines))
  fi
done

if [ ${#differing[@]} -eq 0 ]; then
  echo "Format clean: ${#files[@]} files"
  exit 0
fi
if [ ${#differing[@]} -le 3 ]; then
  for entry in "${differing[@]}"; do
    file="${entry% (*}"
    "$CLANG_FORMAT" --style=file "$file" | diff -u --label "$file" --label "$file (formatted)" "$file" - || true
  done
fi
printf '%s\n' "${differing[@]}"
echo "Format: ${#differing[@]} of ${#files[@]} files differ from .clang-format ($changed_lines lines);" \
     "scripts/check-format.sh --fix (make format) lays them out"
exit 1
