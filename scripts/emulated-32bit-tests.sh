#!/usr/bin/env bash
# The part of the 32-bit end-to-end suite that runs under QEMU's user-mode
# emulator where the kernel cannot start 32-bit programs: scripts/test.sh
# runs it there when TD_RUN32=emulated asks for it (never by itself: the
# emulated programs fail at random). Any arguments go to e2e_tests.exe.
#
# Under the emulator every 32-bit process costs about a minute to start,
# while what it does once started is only a few times slower than natively.
# So the cases run in one process of the 32-bit e2e_tests.exe (not one per
# case, as ctest would), each starting the program once, and they are
# chosen to cover the program's whole path once: starting, the scan and
# both views, the properties sheet, a full diagnostics run with its waits,
# Save As and Open, the NT path (its scan and a run through the port
# driver's pass-through), and File > Exit ending it with code 0.
#
# The setup's test is not among them: its setup, installed program, help
# viewer, second setup, uninstaller and the uninstaller's copy are six more
# 32-bit process starts, and ending a 32-bit process that is still being
# started under the emulator (a wait that ran out) brought down the
# prefix's wineserver with every program in it.
set -euo pipefail
export TD_ARCH=32
source "$(dirname "$0")/wine-env.sh"
td_private_binfmt "$0" "$@"

cases=(
  Inventory.TheScanShowsTheAdaptersFirstOnTopAndTheFirstAdaptersSlotsInTheList
  InfoWindows.ADoubleClickOnTheDiskShowsItsPropertiesAndThoseOfItsAdapter
  Diagnostics.OnWindows95TheDiskPassesAllThreeTestsShowingEachOneWhileItRuns
  Listing.SaveAsWritesTheInventoryToATxtFileReplacingAnOldOneWithoutAsking
  Listing.OpenShowsTheFilesAdaptersLastOnTopAndTheirDevicesWhenChosen
  Diagnostics.OnNtADamagedReadBackFailsTheLastTestOnly
  Startup.ExitStoresWhereTheUserLeftTheWindow
)
# The end-to-end support multiplies its time-outs and pauses by this: a
# program start that takes half a second natively takes one to two minutes
# here, what the program does once started a few times longer.
export TD_E2E_TIME_SCALE="${TD_E2E_TIME_SCALE:-12}"
# The subset is given up after this many minutes, so that a hang under the
# emulator cannot hold the run.
minutes="${TD_EMULATED_MINUTES:-30}"

run_cases() {
  local filter
  filter="$(IFS=:; echo "${cases[*]}")"
  cd "$TD_BIN"
  timeout --kill-after=30 "${minutes}m" "$TD_WINE" e2e_tests.exe --gtest_filter="$filter" --gtest_brief=1 "$@"
}

td_32bit_line
[ "$TD_32BIT_MODE" != none ] || exit 3
td_in_word_size 32 run_cases "$@"
