#!/usr/bin/env bash
# Stands in for the setup program in the private Wine prefix: the
# installation entry with its help folder, the Windows version Wine reports
# to the program, and (Windows 95) our ASPI library in place of Wine's.
#   scripts/install.sh win95|nt "EXE NAME" win95|nt40
set -euo pipefail
platform="$1"; exe_name="$2"; version="$3"
source "$(dirname "$0")/wine-env.sh"

bin="$TD_BIN"
help_dir="$bin/help"
mkdir -p "$help_dir"
help_path="$(td_windows_path "$help_dir")"
override='"wnaspi32"="native"'
[ "$platform" = "win95" ] || override='"wnaspi32"=-'

reg="$TD_BUILD/td-install.reg"
{
  echo 'REGEDIT4'
  echo
  echo '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\App Paths\Tessaline Diagnostics.EXE]'
  echo "\"HelpPath\"=\"${help_path//\\/\\\\}\""
  echo
  echo "[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\$exe_name]"
  echo "\"Version\"=\"$version\""
  echo
  echo "[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\$exe_name\\DllOverrides]"
  echo "$override"
} > "$reg"
"$TD_WINE" regedit /S "$reg" >/dev/null 2>&1
