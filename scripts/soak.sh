#!/usr/bin/env bash
# The soak (make soak): the program under Wine, 64-bit in the 64-bit prefix
# and 32-bit in the 32-bit one, through hundreds of a user's commands, with
# the GDI and USER objects, kernel handles and memory it holds printed at
# the start, after every round and at the end (tests/soak/soak_main.cpp).
# It prints figures; it fails only when the program did not do what a
# command should. The figures are also kept in build/soak-<bits>.txt.
#   SOAK_ARCHES="64 32"  which word sizes
#   SOAK_ROUNDS=10       rounds; further arguments go to td-soak.exe (--nt)
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
ARCHES="${SOAK_ARCHES:-64 32}"
# Where 32-bit programs run only under the emulator, this script runs in a
# namespace of its own that can register it.
case " $ARCHES " in *" 32 "*) td_private_binfmt "$0" "$@" ;; esac
ROUNDS="${SOAK_ROUNDS:-10}"

soak_one() {
  local arch="$1"
  shift
  cd "$TD_BIN"
  "$TD_WINE" td-soak.exe --rounds="$ROUNDS" "$@" | tee "$TD_BUILD/soak-$arch.txt"
}

trap td_stop_display EXIT
td_start_display
status=0
for arch in $ARCHES; do
  printf '\n==== Soak, %s-bit\n' "$arch"
  if ! td_word_size_runs "$arch" "the 32-bit soak"; then
    status=1
    continue
  fi
  td_in_word_size "$arch" soak_one "$arch" "$@" || status=1
done
exit "$status"
