#!/usr/bin/env bash
# Installs what the build, the run and the tests need on Debian 12, and
# nothing when it is all there. The 32-bit programs run under Debian's
# 32-bit Wine (wine32 from the i386 architecture), the 64-bit ones under
# wine64.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  googletest libgtest-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine64 wine32:i386 fonts-wine
  xvfb x11-apps x11-utils xauth imagemagick
  clang libclang-rt-14-dev
  clang-tidy clang-format cppcheck
  locales
  halibut libmspack-dev
  nsis zip
)

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Where the kernel cannot start 32-bit programs, the 32-bit Wine runs under
# QEMU's user-mode emulator (scripts/wine-env.sh registers it around the
# 32-bit steps only).
if ! /usr/lib/wine/wine --version >/dev/null 2>&1 &&
  ! dpkg-query -W -f='${Status}' qemu-user-static 2>/dev/null | grep -q 'install ok installed'; then
  echo "This kernel cannot run 32-bit programs: installing qemu-user-static"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get install -y -qq --no-install-recommends qemu-user-static >/dev/null
fi
