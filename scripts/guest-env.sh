# A Linux guest with a real SCSI stack, for the steps that need one: Debian's
# own kernel under QEMU (no KVM needed: TCG) with the kernel's SCSI target
# emulation, scsi_debug, and this machine's root over 9p. Source this file
# after wine-env.sh; it defines td_guest_* functions.
#
# Everything comes from Debian's packages: QEMU is installed with apt-get
# (qemu-system-x86), the kernel is only downloaded (apt-get download) and
# unpacked under build/guest, never installed on this machine. The guest's
# first process is our own tools/realstack/guest_init.c, built static, in
# an initramfs made here, so no initramfs tools are needed either.
#
# The guest sees this machine's root read-only and the build folder
# read-write, both at their own paths, so scripts and programs run there
# as they would here.

TD_GUEST_DIR="$TD_BUILD/guest"
TD_GUEST_KERNEL_DIR="$TD_GUEST_DIR/kernel"
TD_GUEST_INITRAMFS="$TD_GUEST_DIR/initramfs.cpio"
# The processor QEMU shows the guest: with "max", every Wine process oopses
# the guest kernel; this one runs Wine.
TD_GUEST_CPU="Haswell-noTSX-IBRS"
TD_GUEST_MEMORY_MB="${TD_GUEST_MEMORY_MB:-4096}"
# The modules the guest loads, with their dependencies first: virtio and 9p
# for the root, the SCSI disk, CD-ROM and generic drivers, and scsi_debug
# (whose parameters scripts/real-stack-guest.sh changes through sysfs).
TD_GUEST_MODULES=(virtio_pci 9pnet_virtio 9p virtio_scsi sd_mod sr_mod sg scsi_debug)

td_guest_apt_install() {
  local package="$1"
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' && return 0
  echo "Installing $package from Debian's packages"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$package" >/dev/null ||
    { $sudo apt-get update -qq || true; DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$package" >/dev/null; }
}

# QEMU from Debian, and Debian's current kernel unpacked under build/guest.
td_guest_kernel() {
  td_guest_apt_install qemu-system-x86 || return 1
  if [ -f "$TD_GUEST_KERNEL_DIR/.ready" ]; then return 0; fi
  # linux-image-amd64 names the current kernel package (linux-image-<abi>-amd64).
  local image
  image="$(apt-cache depends linux-image-amd64 2>/dev/null | sed -n 's/^ *Depends: \(linux-image-[^ ]*-amd64\)$/\1/p' | head -n 1)"
  if [ -z "$image" ]; then
    apt-get update -qq >/dev/null 2>&1 || true
    image="$(apt-cache depends linux-image-amd64 2>/dev/null | sed -n 's/^ *Depends: \(linux-image-[^ ]*-amd64\)$/\1/p' | head -n 1)"
  fi
  [ -n "$image" ] || { echo "apt-cache names no kernel package for linux-image-amd64" >&2; return 1; }
  echo "Downloading Debian's kernel package $image"
  rm -rf "$TD_GUEST_DIR/debs" "$TD_GUEST_KERNEL_DIR"
  mkdir -p "$TD_GUEST_DIR/debs" "$TD_GUEST_KERNEL_DIR"
  # apt's download sandbox user cannot write into root's build folder; the
  # download then runs as root, which apt only warns about.
  (cd "$TD_GUEST_DIR/debs" && apt-get download -qq "$image" 2>&1 | grep -v 'unsandboxed' >&2) || true
  local deb
  deb="$(ls "$TD_GUEST_DIR/debs"/"$image"_*.deb 2>/dev/null | head -n 1)"
  [ -n "$deb" ] || { echo "could not download $image" >&2; return 1; }
  dpkg-deb -x "$deb" "$TD_GUEST_KERNEL_DIR" || return 1
  touch "$TD_GUEST_KERNEL_DIR/.ready"
}

td_guest_vmlinuz() { ls "$TD_GUEST_KERNEL_DIR"/boot/vmlinuz-* | head -n 1; }

# The modules' files in load order (each after what it depends on), read
# from each module's own "depends=" entry.
td_guest_module_order() {
  local -A files=() done_=()
  local file name
  while IFS= read -r file; do
    name="${file##*/}"
    name="${name%.ko}"
    files["${name//-/_}"]="$file"
  done < <(find "$TD_GUEST_KERNEL_DIR/lib/modules" -name '*.ko')
  _td_guest_visit() {
    local key="${1//-/_}" dep
    [ -z "${done_[$key]:-}" ] || return 0
    done_[$key]=1
    [ -n "${files[$key]:-}" ] || return 0  # built into the kernel
    for dep in $(grep -aoE 'depends=[A-Za-z0-9_,-]*' "${files[$key]}" | head -n 1 | sed 's/^depends=//; s/,/ /g'); do
      _td_guest_visit "$dep"
    done
    echo "${files[$key]}"
  }
  for name in "${TD_GUEST_MODULES[@]}"; do _td_guest_visit "$name"; done
}

# One entry of a cpio archive in the "newc" form the kernel reads.
_td_cpio_entry() {
  local out="$1" name="$2" mode="$3" file="${4:-}"
  local size=0
  [ -z "$file" ] || size="$(stat -c %s "$file")"
  printf '070701%08X%08X%08X%08X%08X%08X%08X%08X%08X%08X%08X%08X%08X' \
    "$((++_td_cpio_inode))" "$mode" 0 0 1 0 "$size" 0 0 0 0 "$((${#name} + 1))" 0 >>"$out"
  printf '%s\0' "$name" >>"$out"
  local pad=$(((4 - (110 + ${#name} + 1) % 4) % 4))
  head -c "$pad" /dev/zero >>"$out"
  if [ -n "$file" ]; then
    cat "$file" >>"$out"
    head -c $(((4 - size % 4) % 4)) /dev/zero >>"$out"
  fi
}

# The initramfs: our init, the modules and their order.
td_guest_initramfs() {
  local init="$TD_GUEST_DIR/guest-init"
  gcc -static -O2 -o "$init" "$TD_ROOT/tools/realstack/guest_init.c" || return 1
  local out="$TD_GUEST_INITRAMFS.new" file order="$TD_GUEST_DIR/module-order"
  td_guest_module_order >"$order" || return 1
  rm -f "$out"
  _td_cpio_inode=0
  _td_cpio_entry "$out" dev $((8#040755))
  _td_cpio_entry "$out" proc $((8#040755))
  _td_cpio_entry "$out" root $((8#040755))
  _td_cpio_entry "$out" modules $((8#040755))
  _td_cpio_entry "$out" init $((8#100755)) "$init"
  while IFS= read -r file; do
    _td_cpio_entry "$out" "modules/$(basename "$file")" $((8#100644)) "$file"
  done <"$order"
  local list="$TD_GUEST_DIR/order"
  sed 's|.*/||' "$order" >"$list"
  _td_cpio_entry "$out" modules/order $((8#100644)) "$list"
  _td_cpio_entry "$out" TRAILER!!! 0
  mv "$out" "$TD_GUEST_INITRAMFS"
}

# Boots the guest, runs SCRIPT (an absolute path) there as root and waits
# until the guest has powered off or SECONDS have passed. The guest's
# console goes to LOG. Further NAME=VALUE words reach the script's
# environment. Answers 0 when the guest ended by itself; what the script
# found it leaves in the build folder.
#   td_guest_run SCRIPT LOG SECONDS [NAME=VALUE ...]
td_guest_run() {
  local script="$1" log="$2" seconds="$3"
  shift 3
  local append="console=ttyS0 quiet loglevel=4 panic=-1 td_run=$script td_build=$TD_BUILD $*"
  # QEMU ends when the guest powers off; the time-out ends it otherwise.
  timeout --kill-after=10 "$seconds" qemu-system-x86_64 \
    -machine pc -accel tcg -cpu "$TD_GUEST_CPU" -smp 2 -m "$TD_GUEST_MEMORY_MB" \
    -kernel "$(td_guest_vmlinuz)" -initrd "$TD_GUEST_INITRAMFS" -append "$append" \
    -virtfs "local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap" \
    -virtfs "local,path=$TD_BUILD,mount_tag=build,security_model=none,multidevs=remap" \
    -device virtio-scsi-pci,id=vscsi -drive if=none,id=cd,media=cdrom,readonly=on -device scsi-cd,bus=vscsi.0,drive=cd,scsi-id=3 \
    -nographic -no-reboot -nic none -serial "file:$log" -monitor none </dev/null >/dev/null 2>&1
}
