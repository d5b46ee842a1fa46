#!/usr/bin/env bash
# Installs Tessaline Diagnostics into the private Wine prefix with its setup
# program, run silently as an administrator would: the setup of this word
# size, which installs the help of the system's language (the run's locale
# sets it) and over an installed copy updates it where it is. Then tells
# Wine which Windows version to report to the program and, for Windows 95,
# to load an ASPI library of ours in place of its own.
#   scripts/install.sh win95|nt "EXE NAME" win95|nt40
# Prints the installed program's folder (a Linux path).
set -euo pipefail
platform="$1"; exe_name="$2"; version="$3"
source "$(dirname "$0")/wine-env.sh"

word="x64"
[ "$TD_ARCH" = 64 ] || word="x86"
setups=("$TD_BIN"/tessaline-diagnostics-*-setup-"$word".exe)
setup="${setups[0]}"
[ -f "$setup" ] || { echo "$TD_BIN holds no setup program: make win$TD_ARCH builds it" >&2; exit 1; }
if ! "$TD_WINE" "$setup" /S >/dev/null 2>&1; then
  echo "the setup program failed: $setup" >&2
  exit 1
fi

uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaline Diagnostics'
folder="$("$TD_WINE_TOOL" reg query "$uninstall_key" /v InstallLocation $TD_REG_VIEW 2>/dev/null |
  tr -d '\r' | sed -n 's/^ *InstallLocation *REG_SZ *//p')"
[ -n "$folder" ] || { echo "the setup left no InstallLocation" >&2; exit 1; }

override='"wnaspi32"="native"'
[ "$platform" = "win95" ] || override='"wnaspi32"=-'
reg="$TD_BUILD/td-install.reg"
{
  echo 'REGEDIT4'
  echo
  echo "[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\$exe_name]"
  echo "\"Version\"=\"$version\""
  echo
  echo "[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\$exe_name\\DllOverrides]"
  echo "$override"
} > "$reg"
"$TD_WINE_TOOL" regedit /S "$reg" >/dev/null 2>&1

readlink -f "$("$TD_WINE_TOOL" winepath -u "$folder" 2>/dev/null | tr -d '\r')"
