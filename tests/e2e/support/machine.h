// The machine the program starts on, as far as the registry of the test
// prefix makes it: whether the program is installed, what the user's
// settings hold, which Windows version Wine reports to the program and
// which ASPI library it gets. The key names are written out here as the
// setup program and the user's machine know them, not taken from the
// program's sources, so that a wrong name in the program shows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace td::e2e {

constexpr char kInstallationKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Tessaline Diagnostics.EXE";
constexpr char kSettingsKey[] = "Software\\Harrowgate\\Tessaline Diagnostics\\Settings";

// The seven numbers of the "WindowPos" value.
struct WindowPos {
    std::int32_t left = 0, top = 0, width = 0, height = 0;
    std::int32_t view_mode = 0;
    std::int32_t screen_width = 0, screen_height = 0;

    bool operator==(const WindowPos&) const = default;
};
std::string Describe(const WindowPos& pos);

// A registry value as raw bytes, or nothing when it does not exist.
struct StoredValue {
    DWORD type = 0;
    std::vector<std::uint8_t> bytes;
};

namespace machine {

// ---- Installation (HKEY_LOCAL_MACHINE) ------------------------------------
void Install(const std::string& help_folder);
// The key exists, but without its "HelpPath" value.
void InstallWithoutHelpPath();
void Uninstall();
bool IsInstalled();

// ---- The user's settings (HKEY_CURRENT_USER) ---------------------------------
void ForgetUserSettings();  // the whole settings key goes
bool HasSettingsKey();
std::optional<StoredValue> StoredWindowPosValue();
// The value decoded, when it exists and is exactly 28 bytes.
std::optional<WindowPos> StoredWindowPos();
void StoreWindowPos(const std::vector<std::uint8_t>& bytes);

// ---- What Wine tells the program --------------------------------------------
// Wine's per-program Windows version: "win95", "nt40", "win31" ...
void SetWindowsVersion(const std::string& exe_name, const std::string& version);
// Which wnaspi32.dll the program loads.
enum class AspiLibrary {
    Ours,       // the virtual bus's, from the program's folder
    WinesOwn,   // Wine's builtin: a stub that refuses every request
    NotForced,  // no override: whatever Wine's load order finds
};
void UseAspiLibrary(const std::string& exe_name, AspiLibrary library);

// SCSI ports in Wine's volatile device map (HKLM\HARDWARE\DEVICEMAP\Scsi),
// each with one bus, the way Wine's own wnaspi32 counts host adapters. The
// keys live as long as the prefix's wineserver unless taken away: the
// destructor deletes them again.
class ScsiPortsInDeviceMap {
public:
    explicit ScsiPortsInDeviceMap(int ports);
    ~ScsiPortsInDeviceMap();
    ScsiPortsInDeviceMap(const ScsiPortsInDeviceMap&) = delete;
    ScsiPortsInDeviceMap& operator=(const ScsiPortsInDeviceMap&) = delete;
    bool created() const { return created_; }

private:
    int ports_;
    bool created_ = true;
};

// Everything the tests change, taken at the start of a test and put back
// at its end, so that tests do not lean on each other and the prefix stays
// as the run script set it up.
class Snapshot {
public:
    Snapshot();
    ~Snapshot();
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;

private:
    struct Entry {
        HKEY root;
        std::string key;
        std::string value;
        bool key_existed;
        std::optional<StoredValue> stored;
    };
    std::vector<Entry> entries_;
};

}  // namespace machine
}  // namespace td::e2e
