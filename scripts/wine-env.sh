# Shared by the run and test scripts: a private Wine prefix under build/, an
# X display for it (the user's, or our own Xvfb) and a wineserver that stays
# up for the whole run. Source this file; it defines td_* functions.

# TD_ARCH chooses the word size: 64 (the default) runs the 64-bit programs
# of build/win64 under wine64 in build/wineprefix; 32 runs the 32-bit ones
# of build/win32 under Debian's 32-bit Wine in build/wineprefix32.

TD_ROOT="${TD_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
TD_BUILD="$TD_ROOT/build"
export TD_ARCH="${TD_ARCH:-64}"
if [ "$TD_ARCH" = 32 ]; then
  export WINEPREFIX="${TD_WINEPREFIX:-$TD_BUILD/wineprefix32}"
  export WINEARCH=win32
  TD_WINE=/usr/lib/wine/wine
  TD_BIN="${TD_BIN:-$TD_BUILD/win32/bin}"
else
  export WINEPREFIX="${TD_WINEPREFIX:-$TD_BUILD/wineprefix}"
  export WINEARCH=win64
  TD_WINE=/usr/lib/wine/wine64
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
td_prepare_prefix() {
  if [ ! -f "$WINEPREFIX/.td-ready" ]; then
    rm -rf "$WINEPREFIX"
    echo "Preparing a Wine prefix in $WINEPREFIX (once)..."
    "$TD_WINE" wineboot --init >/dev/null 2>&1 || true
    "$TD_WINESERVER" -w
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
  "$TD_WINE" regedit /S "$reg" >/dev/null 2>&1
}

# A wineserver that outlives the programs, so each start costs no boot.
td_start_wineserver() {
  "$TD_WINESERVER" -p >/dev/null 2>&1 || true
  # Start the prefix's services now, detached from our output: a test runner
  # that captures a program's output would otherwise wait for the services
  # the program's start left behind, which keep that output open.
  "$TD_WINE" wineboot >/dev/null 2>&1 </dev/null || true
}

td_stop_wineserver() {
  "$TD_WINESERVER" -k >/dev/null 2>&1 || true
  "$TD_WINESERVER" -w >/dev/null 2>&1 || true
}

# Runs a command in a subshell with the programs, prefix and wineserver of
# word size $1 (64 or 32), on the display already started; the wineserver
# ends with the subshell. The command sees that word size's TD_BIN and
# TD_WINE.
td_in_word_size() {
  local arch="$1"
  shift
  (
    export TD_ARCH="$arch" TD_KEEP_DISPLAY=1
    unset TD_BIN
    source "$TD_ROOT/scripts/wine-env.sh"
    trap td_stop_wineserver EXIT
    td_prepare_prefix
    td_start_wineserver
    "$@"
  )
}

# The Windows path of a Linux path, as the prefix's Z: drive shows it.
td_windows_path() {
  local path
  path="$(readlink -f "$1")"
  printf 'Z:%s' "${path//\//\\}"
}
