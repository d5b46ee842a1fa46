#!/usr/bin/env bash
# Reads the shipped 32-bit program's PE file (runs nothing) and fails,
# naming the culprit, on anything Windows 95, Windows NT 4.0 or a Pentium
# would refuse:
#   - an operating system or subsystem version above 4.0 in the header;
#   - an imported DLL outside the few these systems all have (no C runtime
#     DLL: Windows 95 has none);
#   - an import from KERNEL32, ADVAPI32, COMCTL32, COMDLG32 or VERSION that
#     the DLL of Windows 95 4.00.950 or of NT 4.0 SP6 does not export by name
#     (exports/<system>/<dll>.txt: the export lists of the real DLLs, each
#     file naming its source), or any import by ordinal from them;
#   - an imported function listed in missing_on_win95_nt4.txt (functions of
#     later systems, and some that Windows 95 exports only as stubs that
#     fail; USER32 and GDI32 have no export lists and rest on it alone);
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
# "DLL function" per import, DLL names in capitals; an import by ordinal
# (objdump names it <none>) as "DLL ordinal:N".
imports="$(awk '
  /^\tDLL Name: / { dll = toupper($3); sub(/\.DLL$/, "", dll); next }
  /^The Import Tables/ { in_imports = 1; next }
  in_imports && dll != "" && NF == 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ {
    print dll, ($3 == "<none>" ? "ordinal:" $2 : $3)
  }
  /^The Export Tables|^PE File Base Relocations|^The Function Table/ { in_imports = 0 }
' <<<"$headers")"
[ -n "$imports" ] || fail "no imports could be read"

allowed=" KERNEL32 USER32 GDI32 ADVAPI32 COMCTL32 COMDLG32 VERSION SHELL32 "
for dll in $(awk '{ print $1 }' <<<"$imports" | sort -u); do
  case "$allowed" in *" $dll "*) ;; *) fail "imports from $dll.DLL, which these systems do not all have" ;; esac
done

# Each system's own export lists: a loader finds an import by name only if
# the DLL exports that name.
checked_dlls=" KERNEL32 ADVAPI32 COMCTL32 COMDLG32 VERSION "
for system in win95 nt4; do
  case "$system" in
    win95) system_name="Windows 95 4.00.950" ;;
    nt4) system_name="Windows NT 4.0 SP6" ;;
  esac
  for dll in $checked_dlls; do
    list="$here/exports/$system/$(tr 'A-Z' 'a-z' <<<"$dll").txt"
    [ -f "$list" ] || { fail "no export list $list"; continue; }
    while read -r function; do
      fail "imports $dll $function, which $dll.DLL of $system_name does not export by name"
    done < <(awk -v dll="$dll" '$1 == dll { print $2 }' <<<"$imports" | grep -vxF -f <(grep -v '^\s*\(#\|$\)' "$list"))
  done
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
echo "Loads on Windows 95 (4.00.950 and later) and NT 4.0 SP6 and runs on a Pentium"
