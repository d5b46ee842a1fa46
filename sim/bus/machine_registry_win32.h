// The registry of the machine the simulators run on, for writing a
// scenario's entries there (WriteScenarioRegistry) from the simulator DLL
// and the NT simulator build. Win32 only; included by *_win32.cpp files.
//
// Only creating keys and setting texts are served. Keys under HARDWARE are
// created volatile, as the system's own are: HKLM\HARDWARE lives in memory
// only, and the registry refuses a lasting key below a volatile one.
#pragma once

#include <windows.h>

#include <cctype>
#include <cstring>

#include "common/registry.h"

namespace td::sim {

class MachineRegistry final : public Registry {
public:
    RegistryKey CreateKey(RegistryRoot root, const char* path, RegistryAccess, bool* created) override {
        const HKEY base = root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
        const DWORD options = IsUnderHardware(path) ? REG_OPTION_VOLATILE : REG_OPTION_NON_VOLATILE;
        HKEY key = nullptr;
        DWORD disposition = 0;
        if (RegCreateKeyExA(base, path, 0, nullptr, options, KEY_ALL_ACCESS, nullptr, &key, &disposition) !=
            ERROR_SUCCESS) {
            return 0;
        }
        if (created != nullptr) *created = disposition == REG_CREATED_NEW_KEY;
        return reinterpret_cast<RegistryKey>(key);
    }
    RegistryKey OpenKey(RegistryRoot, const char*, RegistryAccess) override { return 0; }
    void CloseKey(RegistryKey key) override { RegCloseKey(reinterpret_cast<HKEY>(key)); }
    bool DeleteKey(RegistryRoot, const char*) override { return false; }
    bool QueryValue(RegistryKey, const char*, void*, std::uint32_t*) override { return false; }
    bool SetBinaryValue(RegistryKey, const char*, const void*, std::uint32_t) override { return false; }
    bool SetTextValue(RegistryKey key, const char* name, const char* text) override {
        return RegSetValueExA(reinterpret_cast<HKEY>(key), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                              static_cast<DWORD>(std::strlen(text) + 1)) == ERROR_SUCCESS;
    }
    bool EnumSubkey(RegistryKey, std::uint32_t, char*, std::uint32_t) override { return false; }

private:
    static bool IsUnderHardware(const char* path) {
        const char prefix[] = "hardware\\";
        for (std::size_t i = 0; i + 1 < sizeof prefix; ++i) {
            if (path[i] == '\0' || std::tolower(static_cast<unsigned char>(path[i])) != prefix[i]) return false;
        }
        return true;
    }
};

}  // namespace td::sim
