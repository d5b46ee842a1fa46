#!/bin/bash
# Runs inside make real-stack's guest (scripts/guest-env.sh boots it), as its
# only program beside the first process: Debian's kernel, this machine's
# root read-only, the build folder read-write.
#
# It makes the SCSI machine: scsi_debug's disk on two hosts (the guest's
# QEMU gives a CD-ROM without a disc on a third, virtio-scsi), links each
# Linux device into the Wine prefix as a user would (dosdevices scsi<n>: and
# a drive letter), writes what the kernel itself reports of each device for
# the test to hold the program against, and runs the shipped 64-bit
# program's real-stack tests under Wine (Windows version NT 4.0). What it
# found it leaves in $td_build/real-stack; result holds the exit code.
export PATH=/usr/sbin:/usr/bin:/sbin:/bin
set -u
out="$td_build/real-stack"

mount -t proc proc /proc
mount -t sysfs sysfs /sys
for dir in /tmp /run /dev/shm; do mkdir -p "$dir" 2>/dev/null; mount -t tmpfs tmpfs "$dir"; done
mkdir -p /dev/pts && mount -t devpts devpts /dev/pts
mount -t 9p -o trans=virtio,version=9p2000.L,msize=512000,cache=loose build "$td_build" || exit 1
export HOME=/tmp/home
mkdir -p "$HOME"

say() { echo "real-stack guest: $*"; }
finish() {
  echo "$1" >"$out/result"
  sync
  exit "$1"
}

# ---- The SCSI machine --------------------------------------------------------
# scsi_debug came up with one host and its disk; one more host, one more disk.
echo 1 >/sys/bus/pseudo/drivers/scsi_debug/add_host
for _ in $(seq 1 50); do
  [ "$(ls -d /sys/bus/scsi/devices/*:*:*:*/block/* 2>/dev/null | wc -l)" -ge 3 ] && break
  sleep 0.2
done

# What the kernel reports of each device, in the test's form (see
# tools/realstack/real_stack_checks.cpp): one line per port, ordered by the
# Linux address, so port n is the n-th device.
devices="$out/devices.txt"
: >"$devices"
port=0
for dir in $(ls -d /sys/bus/scsi/devices/*:*:*:* | sort -t/ -k6 -V); do
  address="${dir##*/}"
  block="$(ls "$dir/block" 2>/dev/null | head -n 1)"
  [ -n "$block" ] || continue
  IFS=: read -r host channel target lun <<<"$address"
  capacity=""
  [ -r "/sys/block/$block/size" ] && capacity=$(($(cat "/sys/block/$block/size") * 512))
  serial=""
  [ -r "$dir/vpd_pg80" ] && serial="$(tail -c +5 "$dir/vpd_pg80" | tr -d '\0')"
  wwid=""
  [ -r "$dir/wwid" ] && wwid="$(cat "$dir/wwid")"
  printf '%s|%s|%s|%s|%s|%s|%s|%s|%s|%s|%s|%s|%s\n' "$port" "$host" "$channel" "$target" "$lun" \
    "$(cat "$dir/type")" "$(cat "$dir/vendor")" "$(cat "$dir/model")" "$(cat "$dir/rev")" "$block" \
    "$capacity" "$serial" "$wwid" >>"$devices"
  port=$((port + 1))
done
say "the kernel's SCSI devices (port|host|channel|target|lun|type|vendor|model|revision|device|bytes|serial|identifier):"
cat "$devices"

# ---- Wine, pointed at them as a user would -------------------------------------
export WINEPREFIX="$out/wineprefix" WINEDEBUG="${td_winedebug:-err+all}" WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
links="$WINEPREFIX/dosdevices"
rm -f "$links"/scsi*: "$links"/[d-y]: "$links"/[d-y]::
drives="REGEDIT4

[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]"
letters=(d e f g h i j)
while IFS='|' read -r port _ _ _ _ type _ _ _ block _ _; do
  letter="${letters[$port]}"
  ln -s "/dev/$block" "$links/scsi$port:"
  ln -s "/dev/$block" "$links/$letter::"
  mkdir -p "/tmp/drives/$letter"
  ln -s "/tmp/drives/$letter" "$links/$letter:"
  kind=hd
  [ "$type" = 5 ] && kind=cdrom
  drives="$drives
\"$letter:\"=\"$kind\""
done <"$devices"
say "dosdevices: $(cd "$links" && for link in *; do printf '%s -> %s  ' "$link" "$(readlink "$link")"; done)"
echo "$drives" >/tmp/drives.reg

Xvfb :7 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
export DISPLAY=:7
for _ in $(seq 1 50); do [ -e /tmp/.X11-unix/X7 ] && break; sleep 0.2; done
started=$(date +%s)
# The prefix's services and desktop are started before the first program,
# as scripts/wine-env.sh does: a desktop a program's start brings up
# makes its first windows fail at random.
/usr/lib/wine/wineserver -p
/usr/lib/wine/wine64 wineboot </dev/null >/dev/null 2>&1
/usr/lib/wine/wine64 regedit /S /tmp/drives.reg </dev/null >/dev/null 2>&1
# The virtual desktop's explorer is started by the first program that needs
# it, which waits only seconds for it, and ends a moment after the last
# program: under the emulated processor a program would then get no window
# ("The explorer process failed to start"). So td-auto holds the desktop
# for the whole run, and the tests start once it is up.
/usr/lib/wine/wine64 "$td_build/win64/bin/td-auto.exe" hold-desktop 3600 </dev/null >/dev/null 2>&1 &
for _ in $(seq 1 60); do
  pgrep -f 'explorer.exe' >/dev/null &&
    /usr/lib/wine/wine64 "$td_build/win64/bin/td-auto.exe" screenshot 'Z:\tmp\desktop.bmp' </dev/null >/dev/null 2>&1 &&
    break
  sleep 2
done
say "Wine is up after $(($(date +%s) - started)) s: $(pgrep -af '\.exe' | sed 's/^[0-9]* //; s/.*\\//' | tr '\n' ' ')"

# ---- The tests ----------------------------------------------------------------------
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
cd "$td_build/win64/bin" || finish 1
# Under the emulated processor the program takes 20-30 s to its window;
# the waits of the end-to-end support stretch accordingly.
TD_REAL_STACK="$(windows_path "$devices")" TD_E2E_TIME_SCALE="${td_time_scale:-3}" \
  GTEST_OUTPUT="xml:$(windows_path "$out/tests.xml")" \
  /usr/lib/wine/wine64 e2e_tests.exe --gtest_filter='RealStack.*' </dev/null >"$out/tests.log" 2>&1
status=$?
say "Wine's programs after the tests: $(pgrep -af '\.exe' | sed 's/^[0-9]* //; s/.*\\//' | tr '\n' ' ')"
say "the tests ended with exit code $status after $(($(date +%s) - started)) s"
/usr/lib/wine/wineserver -k
finish "$status"
