#!/usr/bin/env bash
# Makes the release files in build/dist/ from the builds that make dist
# made first:
#   tessaline-diagnostics-<version>-setup-x86.exe  the setup for Windows 95 to 11
#   tessaline-diagnostics-<version>-setup-x64.exe  the setup for 64-bit Windows
#   tessaline-diagnostics-<version>-x86.zip        the 32-bit program to install by hand
#   tessaline-diagnostics-<version>-x64.zip        the 64-bit program to install by hand
#   SHA256SUMS                                      the checksums of those four
# Each zip holds one folder, "Tessaline Diagnostics", with the shipped
# program, the English help, README.TXT and a .reg file with the
# installation entry.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"
dist="$build/dist"
version="$(sed -n 's/.*VALUE "ProductVersion", "\([0-9.]*\)".*/\1/p' "$root/src/resources/version.rc" | head -n 1)"
[ -n "$version" ] || { echo "no ProductVersion in src/resources/version.rc" >&2; exit 1; }
name="tessaline-diagnostics-$version"

# Text files for Windows: CRLF line ends.
crlf() { sed 's/\r*$/\r/' "$@"; }

# package ARCH BIN OBJDUMP EDITION SYSTEMS REG_VIEW
package() {
  local arch="$1" bin="$2" objdump="$3" edition="$4" systems="$5" reg_view="$6"
  local program="$bin/Tessaline Diagnostics.exe"
  local setup="$bin/$name-setup-$arch.exe"
  [ -f "$program" ] && [ -f "$setup" ] || { echo "$bin lacks the program or its setup" >&2; exit 1; }
  # Only the shipped program goes out, and without debugging information.
  if "$objdump" -h "$program" | grep -q '\.debug'; then
    echo "$program carries debugging information" >&2
    exit 1
  fi
  cp "$setup" "$dist/"

  local stage="$dist/stage-$arch" folder="$dist/stage-$arch/Tessaline Diagnostics"
  rm -rf "$stage"
  mkdir -p "$folder"
  cp "$program" "$build/host/help/en/KDX.hlp" "$build/host/help/en/KDXCH.hlp" "$build/host/help/en/KDX.chm" "$folder/"
  crlf "$root/setup/tessaline.reg" > "$folder/Tessaline Diagnostics.reg"
  awk -v version="$version" -v edition="$edition" -v arch="$arch" -v systems="$systems" -v reg_view="$reg_view" '
    /^@SYSTEMS@$/ { print systems; next }
    /^@REG_VIEW@$/ { if (reg_view != "") print "\n" reg_view; print ""; next }
    { gsub(/@VERSION@/, version); gsub(/@EDITION@/, edition); gsub(/@ARCH@/, arch); print }
  ' "$root/setup/README.TXT" | crlf > "$folder/README.TXT"
  (cd "$stage" && zip -q -X -r "$dist/$name-$arch.zip" "Tessaline Diagnostics")
  rm -rf "$stage"
}

rm -rf "$dist"
mkdir -p "$dist"

package x86 "$build/win32/bin" i686-w64-mingw32-objdump "32-bit" \
"The 32-bit program runs on Windows 95 (every release, the first one
included), Windows 98, Windows Me, Windows NT 4.0, Windows 2000,
Windows XP, Vista, 7, 8, 8.1, 10 and 11, the 64-bit editions included,
on a Pentium processor or later. No run-time library has to be
installed for it on any of them.

On Windows 95, 98 and Me it reaches the SCSI devices through ASPI for
Win32 (WNASPI32.DLL, which the host adapter's driver software installs).
On Windows NT 4.0 and later it uses the SCSI port driver and needs
administrator rights." \
"   On 64-bit Windows the 32-bit program reads the 32-bit view of the
   registry: import the file there instead, from a command prompt run as
   an administrator, in this folder:

     reg import \"Tessaline Diagnostics.reg\" /reg:32"

package x64 "$build/win64/bin" x86_64-w64-mingw32-objdump "64-bit" \
"The 64-bit program runs on 64-bit Windows (x64). It reaches the SCSI
devices through the SCSI port driver and needs administrator rights. On
32-bit Windows, and to reach SCSI devices through ASPI, use the 32-bit
program." \
""

(cd "$dist" && sha256sum "$name-setup-x86.exe" "$name-setup-x64.exe" "$name-x86.zip" "$name-x64.zip" > SHA256SUMS)
ls -l "$dist"
