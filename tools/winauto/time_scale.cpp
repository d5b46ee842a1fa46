#include "time_scale.h"

#include <cstdlib>

namespace td::autom {
namespace {

// Digits with at most one decimal point, and more than zero; 1 otherwise.
double ReadTimeScale() {
    char text[32] = "";
    const DWORD length = GetEnvironmentVariableA("TD_E2E_TIME_SCALE", text, sizeof text);
    if (length == 0 || length >= sizeof text) return 1.0;
    int digits = 0, points = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c >= '0' && *c <= '9')
            ++digits;
        else if (*c == '.')
            ++points;
        else
            return 1.0;
    }
    if (digits == 0 || points > 1) return 1.0;
    const double scale = std::strtod(text, nullptr);
    return scale > 0.0 ? scale : 1.0;
}

}  // namespace

double TimeScale() {
    static const double scale = ReadTimeScale();
    return scale;
}

DWORD Scaled(DWORD ms) {
    if (ms == INFINITE) return INFINITE;
    // A finite wait stays finite.
    const double scaled = static_cast<double>(ms) * TimeScale();
    return scaled >= 4294967294.0 ? 4294967294u : static_cast<DWORD>(scaled);
}

DWORD ScaledWatch(DWORD ms) { return TimeScale() < 1.0 ? ms : Scaled(ms); }

void Pause(DWORD ms) { Sleep(Scaled(ms)); }

}  // namespace td::autom
