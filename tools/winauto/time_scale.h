// One factor for every wait of the automation and the end-to-end tests, for
// slow machines (a 32-bit program under an emulator takes about a minute
// just to start): TD_E2E_TIME_SCALE, a positive integer or decimal such as
// 10 or 2.5, read once; 1 when unset or not such a number.
//
// Time-outs (how long to wait for something the program should do) and
// pauses that give the program time to react are multiplied by it. A watch
// that nothing happens ("no window opens within 500 ms") is never made
// shorter by it, only longer.
#pragma once

#include <windows.h>

namespace td::autom {

double TimeScale();

// `ms` times the factor: a time-out or a pause for the program.
DWORD Scaled(DWORD ms);
// `ms` times the factor, but never less than `ms`: a watch that nothing
// happens.
DWORD ScaledWatch(DWORD ms);
// Sleeps for Scaled(ms).
void Pause(DWORD ms);

}  // namespace td::autom
