#include "support/machine.h"

#include <cstdio>
#include <cstring>

namespace td::e2e {

std::string Describe(const WindowPos& pos) {
    char text[160];
    std::snprintf(text, sizeof text, "{left %d, top %d, width %d, height %d, view %d, screen %dx%d}", pos.left, pos.top,
                  pos.width, pos.height, pos.view_mode, pos.screen_width, pos.screen_height);
    return text;
}

namespace machine {
namespace {

constexpr char kHelpPathValue[] = "HelpPath";
constexpr char kWindowPosValue[] = "WindowPos";
constexpr char kAppDefaults[] = "Software\\Wine\\AppDefaults\\";
const char* const kProgramExeNames[] = {"Tessaline Diagnostics.exe", "Tessaline Diagnostics NT-sim.exe"};

bool KeyExists(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::optional<StoredValue> ReadValue(HKEY root, const std::string& path, const std::string& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    StoredValue stored;
    DWORD size = 0;
    LONG result = RegQueryValueExA(key, name.c_str(), nullptr, &stored.type, nullptr, &size);
    if (result == ERROR_SUCCESS) {
        stored.bytes.resize(size);
        result = RegQueryValueExA(key, name.c_str(), nullptr, &stored.type, stored.bytes.data(), &size);
        stored.bytes.resize(size);
    }
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) return std::nullopt;
    return stored;
}

void WriteValue(HKEY root, const std::string& path, const std::string& name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void WriteText(HKEY root, const std::string& path, const std::string& name, const std::string& text) {
    WriteValue(root, path, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void DeleteValue(HKEY root, const std::string& path, const std::string& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, name.c_str());
    RegCloseKey(key);
}

void CreateKey(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS)
        RegCloseKey(key);
}

}  // namespace

void Install(const std::string& help_folder) {
    WriteText(HKEY_LOCAL_MACHINE, kInstallationKey, kHelpPathValue, help_folder);
}

void InstallWithoutHelpPath() {
    CreateKey(HKEY_LOCAL_MACHINE, kInstallationKey);
    DeleteValue(HKEY_LOCAL_MACHINE, kInstallationKey, kHelpPathValue);
}

void Uninstall() { RegDeleteKeyA(HKEY_LOCAL_MACHINE, kInstallationKey); }

bool IsInstalled() { return KeyExists(HKEY_LOCAL_MACHINE, kInstallationKey); }

void ForgetUserSettings() { RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey); }

bool HasSettingsKey() { return KeyExists(HKEY_CURRENT_USER, kSettingsKey); }

std::optional<StoredValue> StoredWindowPosValue() {
    return ReadValue(HKEY_CURRENT_USER, kSettingsKey, kWindowPosValue);
}

std::optional<WindowPos> StoredWindowPos() {
    const std::optional<StoredValue> stored = StoredWindowPosValue();
    if (!stored || stored->bytes.size() != 28) return std::nullopt;
    std::int32_t numbers[7];
    std::memcpy(numbers, stored->bytes.data(), sizeof numbers);
    return WindowPos{numbers[0], numbers[1], numbers[2], numbers[3], numbers[4], numbers[5], numbers[6]};
}

void StoreWindowPos(const std::vector<std::uint8_t>& bytes) {
    WriteValue(HKEY_CURRENT_USER, kSettingsKey, kWindowPosValue, REG_BINARY, bytes.data(),
               static_cast<DWORD>(bytes.size()));
}

void SetWindowsVersion(const std::string& exe_name, const std::string& version) {
    WriteText(HKEY_CURRENT_USER, kAppDefaults + exe_name, "Version", version);
}

void UseAspiLibrary(const std::string& exe_name, AspiLibrary library) {
    const std::string overrides = kAppDefaults + exe_name + "\\DllOverrides";
    switch (library) {
        case AspiLibrary::Ours:
            WriteText(HKEY_CURRENT_USER, overrides, "wnaspi32", "native");
            break;
        case AspiLibrary::WinesOwn:
            WriteText(HKEY_CURRENT_USER, overrides, "wnaspi32", "builtin");
            break;
        case AspiLibrary::NotForced:
            DeleteValue(HKEY_CURRENT_USER, overrides, "wnaspi32");
            break;
    }
}

namespace {

constexpr char kScsiDeviceMap[] = "HARDWARE\\DEVICEMAP\\Scsi";

std::string ScsiPortKey(int port) { return std::string(kScsiDeviceMap) + "\\Scsi Port " + std::to_string(port); }

// HARDWARE is volatile in Wine: keys under it can only be made volatile.
bool CreateVolatileKey(const std::string& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

}  // namespace

ScsiPortsInDeviceMap::ScsiPortsInDeviceMap(int ports) : ports_(ports) {
    created_ = CreateVolatileKey(kScsiDeviceMap);
    for (int port = 0; port < ports; ++port) {
        created_ = created_ && CreateVolatileKey(ScsiPortKey(port)) &&
                   CreateVolatileKey(ScsiPortKey(port) + "\\Scsi Bus 0");
    }
}

ScsiPortsInDeviceMap::~ScsiPortsInDeviceMap() {
    for (int port = 0; port < ports_; ++port) {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, (ScsiPortKey(port) + "\\Scsi Bus 0").c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, ScsiPortKey(port).c_str());
    }
}

Snapshot::Snapshot() {
    auto keep = [this](HKEY root, const std::string& key, const std::string& value) {
        entries_.push_back({root, key, value, KeyExists(root, key), ReadValue(root, key, value)});
    };
    keep(HKEY_LOCAL_MACHINE, kInstallationKey, kHelpPathValue);
    keep(HKEY_CURRENT_USER, kSettingsKey, kWindowPosValue);
    for (const char* exe : kProgramExeNames) {
        keep(HKEY_CURRENT_USER, kAppDefaults + std::string(exe), "Version");
        keep(HKEY_CURRENT_USER, kAppDefaults + std::string(exe) + "\\DllOverrides", "wnaspi32");
    }
}

Snapshot::~Snapshot() {
    for (const Entry& entry : entries_) {
        if (entry.stored) {
            WriteValue(entry.root, entry.key, entry.value, entry.stored->type, entry.stored->bytes.data(),
                       static_cast<DWORD>(entry.stored->bytes.size()));
        } else if (!entry.key_existed) {
            // Only the keys of the program itself are removed again; Wine's
            // AppDefaults keys may stay, with the value gone.
            if (entry.root == HKEY_LOCAL_MACHINE || entry.key == kSettingsKey)
                RegDeleteKeyA(entry.root, entry.key.c_str());
            else
                DeleteValue(entry.root, entry.key, entry.value);
        } else {
            CreateKey(entry.root, entry.key);
            DeleteValue(entry.root, entry.key, entry.value);
        }
    }
}

}  // namespace machine
}  // namespace td::e2e
