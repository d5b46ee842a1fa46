#!/usr/bin/env bash
# Reads the shipped 32-bit program's PE file (runs nothing) and fails,
# naming the culprit, on anything Windows 95, Windows NT 4.0 or a Pentium
# would refuse:
#   - an operating system or subsystem version above 4.0 in the header;
#   - an imported DLL outside the few these systems all have;
#   - an imported function listed in missing_on_win95_nt4.txt;
#   - an instruction newer than the Pentium: CMOV, FCMOV, FCOMI/FCOMIP,
#     FUCOMI/FUCOMIP, long NOPs, SYSENTER/SYSCALL, MMX, SSE and later.
# It prints the program's size.
#   tests/pe/check_win32_program.sh [program.exe]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
program="${1:-$here/../../build/win32/bin/Tessaline Diagnostics.exe}"
missing_list="$here/missing_on_win95_nt4.txt"
objdump=i686-w64-mingw32-objdump

[ -f "$program" ] || { echo "no such program: $program" >&2; exit 2; }
headers="$("$objdump" -p "$program")"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# ---- The header's versions ----------------------------------------------
field() { awk -v name="$1" '$1 == name { print $2; exit }' <<<"$headers"; }
[ "$(field Magic)" = 010b ] || fail "not a 32-bit PE file (magic $(field Magic))"
for kind in OSystem Subsystem; do
  major="$(field "Major${kind}Version")"
  minor="$(field "Minor${kind}Version")"
  if [ -z "$major" ] || [ "$major" -gt 4 ] || { [ "$major" -eq 4 ] && [ "$minor" -gt 0 ]; }; then
    fail "the header asks for ${kind/OSystem/operating system} version $major.$minor (4.0 at most)"
  fi
done

# ---- Imports ------------------------------------------------------------
# "DLL function" per import, DLL names in capitals.
imports="$(awk '
  /^\tDLL Name: / { dll = toupper($3); sub(/\.DLL$/, "", dll); next }
  /^The Import Tables/ { in_imports = 1; next }
  in_imports && dll != "" && NF == 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ { print dll, $3 }
  /^The Export Tables|^PE File Base Relocations|^The Function Table/ { in_imports = 0 }
' <<<"$headers")"
[ -n "$imports" ] || fail "no imports could be read"

allowed=" KERNEL32 USER32 GDI32 ADVAPI32 COMCTL32 COMDLG32 VERSION MSVCRT "
for dll in $(awk '{ print $1 }' <<<"$imports" | sort -u); do
  case "$allowed" in *" $dll "*) ;; *) fail "imports from $dll.DLL, which these systems do not all have" ;; esac
done

while read -r dll function introduced; do
  if grep -qx "$dll $function" <<<"$imports"; then
    fail "imports $dll $function, which came with $introduced"
  fi
done < <(grep -v '^\s*\(#\|$\)' "$missing_list")

# ---- Instructions ---------------------------------------------------------
newer='^(cmov[a-z]+|fcmov[a-z]+|fcomip?|fucomip?|nopl|nopw|sysenter|sysexit|syscall|sysret|emms|femms|fxsave|fxrstor|ldmxcsr|stmxcsr|prefetch[a-z0-9]*|movnti|clflush|lfence|mfence|sfence)$'
findings="$("$objdump" -d --no-show-raw-insn "$program" | awk -v newer="$newer" '
  /^[0-9a-f]+ <.*>:$/ { where = $2 }
  /^ *[0-9a-f]+:\t/ {
    split($0, part, "\t"); split(part[2], word, " ")
    if (word[1] ~ newer || part[2] ~ /%(x|y|z)?mm[0-9]/) print word[1], where
  }')"
if [ -n "$findings" ]; then
  fail "$(wc -l <<<"$findings") instructions newer than the Pentium:"
  sort <<<"$findings" | uniq -c | sort -rn | head -n 20 | sed 's/^/      /'
fi

size="$(stat -c %s "$program")"
echo "$(basename "$program"): $size bytes ($(( (size + 1023) / 1024 )) KB), $(wc -l <<<"$imports") imports from $(awk '{ print $1 }' <<<"$imports" | sort -u | wc -l) DLLs"
if [ "$failures" -gt 0 ]; then
  echo "$failures problem(s): Windows 95, NT 4.0 or a Pentium would refuse this program"
  exit 1
fi
echo "Loads on Windows 95 OSR2 and NT 4.0 SP6 and runs on a Pentium"
