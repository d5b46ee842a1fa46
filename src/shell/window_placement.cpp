#include "shell/window_placement.h"

#include <cstring>

namespace td {

void ResetPlacement(WindowPlacementRecord& record, std::int32_t screen_width, std::int32_t screen_height) {
    record.left = screen_width / 5;
    record.top = screen_height / 5;
    record.width = (screen_width / 5) * 3;
    record.height = (screen_height / 5) * 3;
    record.view_mode = 0;
    record.screen_width = screen_width;
    record.screen_height = screen_height;
}

bool CanRescale(const WindowPlacementRecord& record) { return record.screen_width > 0 && record.screen_height > 0; }

// Multiplies before dividing like the 32-bit arithmetic the value was always
// written with; a product that leaves 32 bits is computed in 64 and cut back.
static std::int32_t Scale(std::int32_t value, std::int32_t factor_tenths) {
    return static_cast<std::int32_t>(static_cast<std::int64_t>(value) * factor_tenths / 10);
}

void RescalePlacement(WindowPlacementRecord& record, std::int32_t screen_width, std::int32_t screen_height) {
    if (!CanRescale(record)) {
        ResetPlacement(record, screen_width, screen_height);
        return;
    }
    const std::int32_t kx = static_cast<std::int32_t>(static_cast<std::int64_t>(screen_width) * 10 /
                                                      record.screen_width);
    const std::int32_t ky = static_cast<std::int32_t>(static_cast<std::int64_t>(screen_height) * 10 /
                                                      record.screen_height);
    record.left = Scale(record.left, kx);
    record.top = Scale(record.top, ky);
    record.width = Scale(record.width, kx);
    record.height = Scale(record.height, ky);
    record.screen_width = screen_width;
    record.screen_height = screen_height;
}

bool StoreWindowPos(Registry& registry, RegistryKey key, std::int32_t screen_width, std::int32_t screen_height,
                    WindowPlacementRecord& record, std::uint32_t size, PlacementAdjust adjust) {
    if (adjust == PlacementAdjust::Reset) {
        ResetPlacement(record, screen_width, screen_height);
    } else {
        RescalePlacement(record, screen_width, screen_height);
    }
    if (size > sizeof record) size = sizeof record;
    return registry.SetBinaryValue(key, kWindowPosValueName, &record, size);
}

// Moves a span [start, start + length) into [area_start, area_start +
// area_length), cutting it to the area's length where it is longer.
static void FitSpan(std::int32_t& start, std::int32_t& length, std::int32_t area_start, std::int32_t area_length) {
    if (length > area_length) length = area_length;
    const std::int64_t area_end = static_cast<std::int64_t>(area_start) + area_length;
    if (static_cast<std::int64_t>(start) + length > area_end) start = static_cast<std::int32_t>(area_end - length);
    if (start < area_start) start = area_start;
}

bool BringOntoScreen(WindowPlacementRecord& record, const ScreenArea& screen, std::int32_t screen_width,
                     std::int32_t screen_height) {
    const WindowPlacementRecord before = record;
    if (record.width < kMinUsableWidth || record.height < kMinUsableHeight) {
        const std::int32_t view_mode = record.view_mode;
        ResetPlacement(record, screen_width, screen_height);
        record.view_mode = view_mode;
    } else {
        const bool has_size = screen.width > 0 && screen.height > 0;
        const ScreenArea area = has_size ? screen : ScreenArea{0, 0, screen_width, screen_height};
        FitSpan(record.left, record.width, area.left, area.width);
        FitSpan(record.top, record.height, area.top, area.height);
    }
    return std::memcmp(&before, &record, sizeof record) != 0;
}

WindowPlacementRecord LoadWindowPlacement(Registry& registry, std::int32_t screen_width, std::int32_t screen_height,
                                          const ScreenArea& screen) {
    WindowPlacementRecord record{};
    bool created = false;
    const RegistryKey key = registry.CreateKey(RegistryRoot::CurrentUser, kSettingsKeyPath, RegistryAccess::AllAccess,
                                               &created);
    std::uint32_t size = sizeof record;
    const bool read = key != 0 && registry.QueryValue(key, kWindowPosValueName, &record, &size);
    if (!read || size != sizeof record || !CanRescale(record)) {
        StoreWindowPos(registry, key, screen_width, screen_height, record, kWindowPosSize, PlacementAdjust::Reset);
    } else {
        bool changed = false;
        if (record.screen_width != screen_width || record.screen_height != screen_height) {
            RescalePlacement(record, screen_width, screen_height);
            changed = true;
        }
        if (BringOntoScreen(record, screen, screen_width, screen_height)) changed = true;
        if (changed && key != 0) registry.SetBinaryValue(key, kWindowPosValueName, &record, sizeof record);
    }
    if (key != 0) registry.CloseKey(key);
    return record;
}

WindowPlacementRecord LoadWindowPlacement(Registry& registry, std::int32_t screen_width, std::int32_t screen_height) {
    return LoadWindowPlacement(registry, screen_width, screen_height, ScreenArea{0, 0, screen_width, screen_height});
}

void SaveWindowPlacement(Registry& registry, const WindowPlacementRecord& record) {
    const RegistryKey key = registry.OpenKey(RegistryRoot::CurrentUser, kSettingsKeyPath, RegistryAccess::AllAccess);
    if (key == 0) return;
    registry.SetBinaryValue(key, kWindowPosValueName, &record, sizeof record);
    registry.CloseKey(key);
}

}  // namespace td
