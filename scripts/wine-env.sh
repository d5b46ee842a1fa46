# Shared by the run and test scripts: a private Wine prefix under build/, an
# X display for it (the user's, or our own Xvfb) and a wineserver that stays
# up for the whole run. Source this file; it defines td_* functions.

# TD_ARCH chooses the word size: 64 (the default) runs the 64-bit programs
# of build/win64 under wine64 in build/wineprefix; 32 runs the 32-bit ones
# of build/win32 under Debian's 32-bit Wine, the way td_32bit_runner finds
# for this machine (below).

TD_ROOT="${TD_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
TD_BUILD="$TD_ROOT/build"
export TD_ARCH="${TD_ARCH:-64}"

# ---- 32-bit programs on this machine ----------------------------------------
# Debian's 32-bit Wine is itself a 32-bit Linux program: it starts only where
# the kernel runs 32-bit x86 code, and some kernels do not (no IA-32
# emulation: "Exec format error"). There QEMU's user-mode emulator can run
# it when asked (TD_RUN32=emulated), registered for 32-bit x86 ELF files
# through binfmt_misc, at one to two minutes per 32-bit process start. It is registered in a binfmt_misc of a
# private user and mount namespace (td_private_binfmt), never in the
# machine's own: it serves that run alone and ends with it, whatever way
# the run ends.
TD_BINFMT=/proc/sys/fs/binfmt_misc
TD_BINFMT_ENTRY=td-qemu-i386
TD_QEMU_I386=/usr/bin/qemu-i386-static

# Decides once how this machine runs the 32-bit programs and exports the
# answer in TD_32BIT_MODE, with the reason in TD_32BIT_WHY:
#   native    the kernel starts 32-bit programs;
#   emulated  TD_RUN32=emulated asked for QEMU's user-mode emulator, and it
#             can be registered in a private binfmt_misc around the 32-bit
#             steps;
#   none      neither.
# The emulator is never chosen by itself: under it Wine's 32-bit programs
# start slowly and fail at random (an illegal instruction inside Wine, a
# lost wineserver), which would fail runs for the machine's sake.
# TD_RUN32=native or none forces those answers; "emulated" works on any
# machine that can emulate, since a registered handler comes before the
# kernel's own loader.
td_32bit_runner() {
  [ -z "${TD_32BIT_MODE:-}" ] || return 0
  case "${TD_RUN32:-auto}" in
    native | none)
      TD_32BIT_MODE="$TD_RUN32"
      TD_32BIT_WHY="TD_RUN32=$TD_RUN32 chose it"
      ;;
    emulated)
      TD_32BIT_MODE=emulated
      TD_32BIT_WHY="TD_RUN32=emulated chose QEMU's user-mode emulator: one to two minutes per 32-bit process start"
      if ! td_can_emulate; then
        TD_32BIT_MODE=none
        TD_32BIT_WHY="TD_RUN32=emulated, but the emulator cannot be registered here: $TD_CANNOT_EMULATE"
      fi
      ;;
    *)
      if [ ! -x /usr/lib/wine/wine ]; then
        TD_32BIT_MODE=none
        TD_32BIT_WHY="Debian's 32-bit Wine (wine32:i386) is not installed"
      elif /usr/lib/wine/wine --version >/dev/null 2>&1; then
        TD_32BIT_MODE=native
        TD_32BIT_WHY="this machine's kernel runs 32-bit programs"
      else
        TD_32BIT_MODE=none
        TD_32BIT_WHY="this machine's kernel cannot run 32-bit programs ($(uname -sr): Exec format error)"
        if td_can_emulate; then
          TD_32BIT_WHY="$TD_32BIT_WHY; TD_RUN32=emulated runs them under QEMU's user-mode emulator, slowly and not reliably"
        fi
      fi
      ;;
  esac
  export TD_32BIT_MODE TD_32BIT_WHY
}

# Whether the emulator can be registered: it is installed, and a private
# user and mount namespace may mount a binfmt_misc of its own (Linux 6.7
# and later). Sets TD_CANNOT_EMULATE.
td_can_emulate() {
  TD_CANNOT_EMULATE=""
  if [ ! -x "$TD_QEMU_I386" ]; then
    TD_CANNOT_EMULATE="qemu-user-static is not installed"
  elif ! unshare --user --map-root-user --mount sh -c "mount -t binfmt_misc binfmt_misc $TD_BINFMT" 2>/dev/null; then
    TD_CANNOT_EMULATE="this kernel ($(uname -r)) gives no private binfmt_misc to a user namespace"
  fi
  [ -z "$TD_CANNOT_EMULATE" ]
}

# Where 32-bit programs are emulated, runs the calling script again (with
# its arguments) in a private user and mount namespace with a binfmt_misc
# of its own; elsewhere, or when already there, does nothing. Call it at a
# script's start, before anything else runs:
#   td_private_binfmt "$0" "$@"
td_private_binfmt() {
  td_32bit_runner
  [ "$TD_32BIT_MODE" = emulated ] || return 0
  [ -z "${TD_PRIVATE_BINFMT:-}" ] || return 0
  export TD_PRIVATE_BINFMT=1
  # Root inside stays root outside (the files it writes are the caller's).
  exec unshare --user --map-root-user --mount "$BASH" "$@"
}

# Registers the emulator for 32-bit x86 ELF programs in the private
# binfmt_misc (mounting it first), with the F flag so that it serves any
# process of the namespace; td_emulation_stop takes it away again, so that
# the 64-bit steps between never meet it.
td_emulation_start() {
  if [ -z "${TD_PRIVATE_BINFMT:-}" ]; then
    echo "the emulator is registered only inside td_private_binfmt" >&2
    return 1
  fi
  [ -e "$TD_BINFMT/register" ] || mount -t binfmt_misc binfmt_misc "$TD_BINFMT" || return 1
  [ -e "$TD_BINFMT/$TD_BINFMT_ENTRY" ] && return 0
  local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  echo ":$TD_BINFMT_ENTRY:M::$magic:$mask:$TD_QEMU_I386:F" >"$TD_BINFMT/register"
}

td_emulation_stop() {
  [ -n "${TD_PRIVATE_BINFMT:-}" ] || return 0
  if [ -e "$TD_BINFMT/$TD_BINFMT_ENTRY" ]; then echo -1 >"$TD_BINFMT/$TD_BINFMT_ENTRY"; fi
}

# One line saying what this machine does with the 32-bit programs.
td_32bit_line() {
  td_32bit_runner
  echo "32-bit programs: $TD_32BIT_MODE ($TD_32BIT_WHY)"
}

# For a step that needs word size $1: true when it can run here; for 32
# bits on a machine that cannot run them, prints one SKIPPED line naming
# the step ($2) and why, and answers false.
td_word_size_runs() {
  [ "$1" = 64 ] && return 0
  td_32bit_line
  [ "$TD_32BIT_MODE" != none ] && return 0
  echo "SKIPPED: $2: $TD_32BIT_WHY"
  return 1
}

# TD_WINE runs the word size's programs; TD_WINE_TOOL runs Wine's own tools
# (wineboot, reg, regedit, winepath), natively wherever that is possible;
# TD_REG_VIEW is the registry view the programs of this word size see, for
# `reg` run through TD_WINE_TOOL.
TD_REG_VIEW=""
if [ "$TD_ARCH" = 32 ]; then
  td_32bit_runner
  TD_WINE=/usr/lib/wine/wine
  TD_BIN="${TD_BIN:-$TD_BUILD/win32/bin}"
  if [ "$TD_32BIT_MODE" = emulated ]; then
    # A 64-bit prefix made natively, whose 32-bit side (WoW64) runs the
    # programs under the emulator while its services run natively: a pure
    # 32-bit prefix would boot every service under emulation.
    export WINEPREFIX="${TD_WINEPREFIX:-$TD_BUILD/wineprefix-wow64}"
    export WINEARCH=win64
    TD_WINE_TOOL=/usr/lib/wine/wine64
    TD_REG_VIEW="/reg:32"
  else
    export WINEPREFIX="${TD_WINEPREFIX:-$TD_BUILD/wineprefix32}"
    export WINEARCH=win32
    TD_WINE_TOOL="$TD_WINE"
  fi
else
  export WINEPREFIX="${TD_WINEPREFIX:-$TD_BUILD/wineprefix}"
  export WINEARCH=win64
  TD_WINE=/usr/lib/wine/wine64
  TD_WINE_TOOL="$TD_WINE"
  TD_BIN="${TD_BIN:-$TD_BUILD/win64/bin}"
fi
export WINEDEBUG="${WINEDEBUG:--all}"
# Wine's optional runtimes would ask to be downloaded: never in this prefix.
# Its menu builder would copy the setup's Start-menu entries into the Linux
# desktop's menus in $HOME: they stay in the prefix.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=;winemenubuilder.exe=d}"
TD_WINESERVER=/usr/lib/wine/wineserver
TD_XVFB_PID=""

# Starts Xvfb on a free display unless TD_KEEP_DISPLAY is set and DISPLAY
# names a display that answers.
td_start_display() {
  if [ -n "${TD_KEEP_DISPLAY:-}" ] && [ -n "${DISPLAY:-}" ]; then
    return 0
  fi
  local n
  for n in $(seq 91 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
      TD_XVFB_PID=$!
      export DISPLAY=":$n"
      local i
      for i in $(seq 1 50); do
        [ -e "/tmp/.X11-unix/X$n" ] && return 0
        sleep 0.1
      done
      echo "Xvfb did not start on :$n" >&2
      return 1
    fi
  done
  echo "no free X display number" >&2
  return 1
}

td_stop_display() {
  if [ -n "$TD_XVFB_PID" ]; then
    kill "$TD_XVFB_PID" 2>/dev/null || true
    wait "$TD_XVFB_PID" 2>/dev/null || true
    TD_XVFB_PID=""
  fi
}

# Creates the prefix once (with a display, then restarts its wineserver, so
# no desktop process of the first boot lingers) and applies our settings.
# A WoW64 prefix for emulated 32-bit programs is booted natively, before
# the emulator is registered, and its 32-bit system folder is then filled
# with Wine's own 32-bit DLLs, which that boot could not install.
td_prepare_prefix() {
  if [ ! -f "$WINEPREFIX/.td-ready" ]; then
    rm -rf "$WINEPREFIX"
    echo "Preparing a Wine prefix in $WINEPREFIX (once)..."
    "$TD_WINE_TOOL" wineboot --init >/dev/null 2>&1 || true
    "$TD_WINESERVER" -w
    if [ "$TD_REG_VIEW" = /reg:32 ]; then
      cp -n /usr/lib/i386-linux-gnu/wine/i386-windows/* "$WINEPREFIX/drive_c/windows/syswow64/"
    fi
    # Wine's own fonts (the Marlett glyphs of caption buttons, MS Sans
    # Serif, Tahoma) are not found in their package folder by this build of
    # Wine; the prefix's font folder always is.
    cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    td_apply_settings
    "$TD_WINESERVER" -w
    touch "$WINEPREFIX/.td-ready"
  fi
}

# The prefix's own settings: one virtual desktop that every program of the
# run shares (so wine64 returns the program's exit code), no crash dialog.
td_apply_settings() {
  local reg="$TD_BUILD/td-settings.reg"
  cat > "$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Tessaline"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Tessaline"="1024x768"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Control Panel\Desktop]
"FontSmoothing"="0"
REG
  "$TD_WINE_TOOL" regedit /S "$reg" >/dev/null 2>&1
}

# A copy of the prepared prefix $1 in $WINEPREFIX whose screen is at $2 dpi
# (96 is Windows' "small fonts", 120 its "large fonts"). Wine reads the dpi
# once per process from HKCU\Control Panel\Desktop "LogPixels"; a copy
# keeps the shared prefix at 96 dpi whatever happens to a run at another.
# It is made again when the prefix it copies was made anew.
td_prepare_dpi_prefix() {
  local base="$1" dpi="$2" mark
  mark="$WINEPREFIX/.td-dpi-$dpi"
  [ -f "$mark" ] && [ ! "$base/.td-ready" -nt "$mark" ] && return 0
  [ -f "$base/.td-ready" ] || { echo "no prepared prefix in $base to copy" >&2; return 1; }
  rm -rf "$WINEPREFIX"
  cp -a "$base" "$WINEPREFIX" || return 1
  local reg="$TD_BUILD/td-dpi-$dpi.reg"
  printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n' "$dpi" >"$reg"
  "$TD_WINE_TOOL" regedit /S "$reg" >/dev/null 2>&1
  "$TD_WINESERVER" -w
  touch "$mark"
}

# A wineserver that outlives the programs, so each start costs no boot.
td_start_wineserver() {
  "$TD_WINESERVER" -p >/dev/null 2>&1 || true
  # Start the prefix's services now, detached from our output: a test runner
  # that captures a program's output would otherwise wait for the services
  # the program's start left behind, which keep that output open.
  "$TD_WINE_TOOL" wineboot >/dev/null 2>&1 </dev/null || true
}

td_stop_wineserver() {
  "$TD_WINESERVER" -k >/dev/null 2>&1 || true
  "$TD_WINESERVER" -w >/dev/null 2>&1 || true
}

# Runs a command in a subshell with the programs, prefix and wineserver of
# word size $1 (64 or 32), on the display already started; the wineserver
# ends with the subshell. The command sees that word size's TD_BIN,
# TD_WINE, TD_WINE_TOOL and TD_REG_VIEW. For emulated 32-bit programs the
# emulator is registered only while the command runs. Where this machine
# cannot run 32-bit programs at all, it runs nothing and returns 3.
td_in_word_size() {
  local arch="$1"
  shift
  (
    export TD_ARCH="$arch" TD_KEEP_DISPLAY=1
    unset TD_BIN
    source "$TD_ROOT/scripts/wine-env.sh"
    [ "$arch" = 64 ] || [ "$TD_32BIT_MODE" != none ] || exit 3
    if [ "$arch" = 32 ] && [ "$TD_32BIT_MODE" = emulated ]; then
      trap 'td_stop_wineserver; td_emulation_stop' EXIT
      td_prepare_prefix
      td_start_wineserver
      td_emulation_start || exit 1
    else
      trap td_stop_wineserver EXIT
      td_prepare_prefix
      td_start_wineserver
    fi
    "$@"
  )
}

# ---- Locales -------------------------------------------------------------------
# Wine takes a program's language and country from the Unix locale of its
# process (LC_ALL, LANG), and a program started by a Windows program
# inherits its starter's. The locales a run or the tests use are compiled
# once under build/locales from Debian's locale sources, so that no machine
# needs them installed; LOCPATH names that folder.
TD_LOCALES="$TD_BUILD/locales"

# The countries the end-to-end tests run under (suite Locale and the
# setup's tests, named after them).
TD_TEST_LOCALES=(de_DE de_AT de_CH de_LU es_ES es_MX es_AR es_CO es_US fr_FR fr_CA fr_BE fr_CH
  it_IT it_CH en_US en_GB ja_JP pt_BR nl_NL)

# Compiles the UTF-8 locales named (es_MX ...) where they are missing;
# fails naming a locale the machine has no source for.
td_prepare_locales() {
  local name
  mkdir -p "$TD_LOCALES"
  for name in "$@"; do
    [ -d "$TD_LOCALES/$name.UTF-8" ] && continue
    # localedef answers 1 for mere warnings; the compiled folder is what counts.
    localedef -i "$name" -f UTF-8 "$TD_LOCALES/$name.UTF-8" >/dev/null 2>&1 || true
    [ -f "$TD_LOCALES/$name.UTF-8/LC_CTYPE" ] || { echo "could not compile the $name locale" >&2; return 1; }
  done
}

# Runs the rest of the calling script's programs under locale $1 (es_MX).
td_use_locale() {
  td_prepare_locales "$1" || return 1
  export LOCPATH="$TD_LOCALES" LANG="$1.UTF-8" LC_ALL="$1.UTF-8"
}

# The Windows path of a Linux path, as the prefix's Z: drive shows it.
td_windows_path() {
  local path
  path="$(readlink -f "$1")"
  printf 'Z:%s' "${path//\//\\}"
}
