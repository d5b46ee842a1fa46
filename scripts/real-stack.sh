#!/usr/bin/env bash
# make real-stack: the shipped 64-bit program on a real SCSI stack. Boots
# Debian's kernel under QEMU (scripts/guest-env.sh) with scsi_debug's disks
# on two hosts and QEMU's CD-ROM without a disc on a third, points Wine's NT
# path at them as a Linux user would (dosdevices links), and runs the
# program's real-stack tests there (tools/realstack/real_stack_checks.cpp): the devices with
# their INQUIRY names and types as the kernel reports them, the diagnostics'
# verdicts and words on each, a listing saved and opened again. Prints what
# it saw, leaves the screenshots in build/real-stack, and exits 0 only when
# every check held.
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
source "$(dirname "$0")/guest-env.sh"
# The guest's limit: the run takes about 6 minutes on 2 cores without KVM.
GUEST_SECONDS="${TD_REAL_STACK_SECONDS:-780}"
out="$TD_BUILD/real-stack"
started=$(date +%s)

td_guest_kernel || exit 1
td_guest_initramfs || exit 1

# The prefix is made here, natively (under the guest's emulated processor
# its first boot would take minutes); the guest only uses it.
rm -rf "$out/tests.log" "$out/tests.xml" "$out/result" "$out"/*.bmp "$out"/*.png "$out/real-stack-listing.txt"
mkdir -p "$out"
(
  export TD_WINEPREFIX="$out/wineprefix"
  unset TD_BIN
  source "$TD_ROOT/scripts/wine-env.sh"
  trap 'td_stop_wineserver; td_stop_display' EXIT
  td_start_display && td_prepare_prefix
) || exit 1

echo "Booting Debian's kernel under QEMU (no KVM: TCG); the run takes a few minutes"
td_guest_run "$TD_ROOT/scripts/real-stack-guest.sh" "$out/console.log" "$GUEST_SECONDS"
guest_status=$?

echo
echo "==== What the guest's kernel and Wine did"
grep -a 'real-stack guest:\|^[0-9]|' "$out/console.log" | sed 's/^/  /'
echo
echo "==== What the program showed"
if [ -f "$out/tests.log" ]; then
  tr -d '\r' <"$out/tests.log" | grep -av '^\[ *\(RUN\|OK\) *\]' | sed 's/^/  /'
else
  echo "  (the tests did not run; the guest's console is in $out/console.log)"
fi

shopt -s nullglob
shots=()
for shot in "$out"/*.bmp; do
  /usr/bin/convert "$shot" "${shot%.bmp}.png" && rm -f "$shot" && shots+=("${shot%.bmp}.png")
done
shopt -u nullglob
echo
echo "==== Screenshots"
for shot in "${shots[@]}"; do echo "  $shot"; done

result="$(cat "$out/result" 2>/dev/null || echo none)"
seconds=$(($(date +%s) - started))
echo
if [ "$guest_status" -ne 0 ]; then
  echo "real-stack: FAILED: the guest did not end by itself within $GUEST_SECONDS s (after ${seconds} s in all)"
  exit 1
fi
if [ "$result" != 0 ]; then
  echo "real-stack: FAILED: the checks did not hold (exit code $result) after ${seconds} s"
  exit 1
fi
counts="$(grep -o 'tests="[0-9]*" failures="[0-9]*"' "$out/tests.xml" 2>/dev/null | head -n 1)"
if ! grep -q '<testcase ' "$out/tests.xml" 2>/dev/null || grep -q '<skipped' "$out/tests.xml"; then
  echo "real-stack: FAILED: no check ran ($counts)"
  exit 1
fi
echo "real-stack: passed ($counts) in ${seconds} s"
