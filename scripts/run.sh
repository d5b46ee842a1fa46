#!/usr/bin/env bash
# Runs Tessaline Diagnostics on the built-in virtual SCSI bus.
#   scripts/run.sh win95|nt [en|de|es|fr|it]    (UI_LOCALE=es_MX picks a country)
# With $DISPLAY set the program opens there for you to use. Without one it
# runs on a private Xvfb display, waits for the main window, saves a
# screenshot under build/, closes the program with File > Exit and prints
# where the picture is.
set -euo pipefail
platform="${1:-win95}"
language="${2:-en}"
source "$(dirname "$0")/wine-env.sh"
[ "$TD_ARCH" = 64 ] || td_private_binfmt "$0" "$@"

bin="$TD_BIN"
case "$platform" in
  win95) exe_name="Tessaline Diagnostics.exe"; version="win95" ;;
  nt)    exe_name="Tessaline Diagnostics NT-sim.exe"; version="nt40" ;;
  *) echo "PLATFORM must be win95 or nt" >&2; exit 2 ;;
esac
[ -f "$bin/$exe_name" ] || { echo "$bin/$exe_name is not built" >&2; exit 1; }
td_word_size_runs "$TD_ARCH" "the 32-bit program" || exit 1
# Under the emulator a 32-bit process takes about a minute to start.
wait_seconds=90
[ "${TD_32BIT_MODE:-}" != emulated ] || wait_seconds=900

# Wine takes the program's language and country from the Unix locale; the
# program shows the language set of the user's language, whatever the
# country. UI_LOCALE (es_MX, de_CH, fr_CA ...) picks any locale the machine
# can compile; UI_LANGUAGE one country of each language.
locale_name="${UI_LOCALE:-}"
if [ -z "$locale_name" ]; then
  case "$language" in
    en) locale_name=en_US ;;
    de) locale_name=de_DE ;;
    es) locale_name=es_ES ;;
    fr) locale_name=fr_FR ;;
    it) locale_name=it_IT ;;
    *) echo "UI_LANGUAGE must be en, de, es, fr or it" >&2; exit 2 ;;
  esac
fi
case "$locale_name" in
  [a-z][a-z]_[A-Z][A-Z] | [a-z][a-z][a-z]_[A-Z][A-Z]) ;;
  *) echo "UI_LOCALE must name a locale such as es_MX, de_CH or fr_CA" >&2; exit 2 ;;
esac
td_use_locale "$locale_name" || exit 1
language="${locale_name%%_*}"

# Another virtual machine than the built-in one: the simulators read the
# scenario file named by TD_SCENARIO, as Windows sees the path.
if [ -n "${TD_SCENARIO:-}" ]; then
  [ -f "$TD_SCENARIO" ] || { echo "TD_SCENARIO: no such file $TD_SCENARIO" >&2; exit 2; }
  export TD_SCENARIO="$(td_windows_path "$TD_SCENARIO")"
fi

interactive=""
if [ -n "${DISPLAY:-}" ]; then
  interactive=1
  export TD_KEEP_DISPLAY=1
fi

lent=""
emulating=""
cleanup() {
  td_stop_wineserver
  [ -z "$emulating" ] || td_emulation_stop
  [ -z "$lent" ] || rm -f "$lent"
  td_stop_display
}
trap cleanup EXIT

td_start_display
td_prepare_prefix
td_start_wineserver
if [ "$TD_ARCH" = 32 ] && [ "$TD_32BIT_MODE" = emulated ]; then
  emulating=1
  td_emulation_start
fi
# The program is installed by its setup program, every run (over the copy
# of the last run).
installed="$("$(dirname "$0")/install.sh" "$platform" "$exe_name" "$version")"
echo "Installed by the setup program in $installed"
case "$platform" in
  win95)
    # The ASPI library comes with a SCSI adapter's driver, not with this
    # program: the simulator serves beside the installed program for this
    # run only, so the installation stays as the setup made it.
    cp "$bin/wnaspi32.dll" "$installed/"
    lent="$installed/wnaspi32.dll"
    program_dir="$installed"
    ;;
  nt)
    # The NT-sim build is no part of the setup: it runs from the build, and
    # finds the installation entry and the help the setup installed.
    program_dir="$bin"
    ;;
esac

if [ -n "$interactive" ]; then
  cd "$program_dir"
  "$TD_WINE" "$exe_name"
  exit 0
fi

cd "$program_dir"
"$TD_WINE" "$exe_name" &
program=$!
status=0
"$TD_WINE" "$bin/td-auto.exe" wait-main "$wait_seconds" | tr -d '\r' || status=$?
suffix="$platform"
[ "$locale_name" = en_US ] || suffix="$suffix-$locale_name"
[ "$TD_ARCH" = 64 ] || suffix="$suffix-$TD_ARCH"
shot="$TD_BUILD/screenshot-$suffix.png"
sleep 1
xwd -root -silent -display "$DISPLAY" | /usr/bin/convert xwd:- "$shot"
if [ "$status" -eq 0 ]; then
  "$TD_WINE" "$bin/td-auto.exe" exit
fi
code=0
wait "$program" || code=$?
echo "Screenshot: $shot"
echo "Tessaline Diagnostics ended with exit code $code"
[ "$status" -eq 0 ]
