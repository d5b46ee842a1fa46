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
  # A mirror caught mid-sync fails one index or another; the lists it did
  # read, and those of an earlier update, are still good for what we need.
  $sudo apt-get update -qq || echo "apt-get update failed in part: going on with the package lists there are"
  if ! $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; then
    # Debian's 32-bit Wine needs its i386 libraries at the very versions of
    # the amd64 ones, which a half-synced mirror cannot always give. The
    # tests run the 32-bit programs only where it is installed and say so
    # otherwise, so the rest is installed without it.
    rest=()
    for package in "${missing[@]}"; do [ "$package" = wine32:i386 ] || rest+=("$package"); done
    [ ${#rest[@]} -lt ${#missing[@]} ] || exit 1
    echo "wine32:i386 could not be installed from these package lists: installing the rest without it"
    [ ${#rest[@]} -eq 0 ] || $sudo apt-get install -y -qq --no-install-recommends "${rest[@]}" >/dev/null
  fi
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
