#include "common/win32_seams.h"

namespace td {
namespace {

HKEY RootKey(RegistryRoot root) { return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

REGSAM Sam(RegistryAccess access) { return access == RegistryAccess::Read ? KEY_READ : KEY_ALL_ACCESS; }

HKEY ToKey(RegistryKey key) { return reinterpret_cast<HKEY>(key); }

}  // namespace

RegistryKey Win32Registry::CreateKey(RegistryRoot root, const char* path, RegistryAccess access, bool* created) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(RootKey(root), path, 0, nullptr, REG_OPTION_NON_VOLATILE, Sam(access), nullptr, &key,
                        &disposition) != ERROR_SUCCESS) {
        return 0;
    }
    if (created != nullptr) *created = disposition == REG_CREATED_NEW_KEY;
    return reinterpret_cast<RegistryKey>(key);
}

RegistryKey Win32Registry::OpenKey(RegistryRoot root, const char* path, RegistryAccess access) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(RootKey(root), path, 0, Sam(access), &key) != ERROR_SUCCESS) return 0;
    return reinterpret_cast<RegistryKey>(key);
}

void Win32Registry::CloseKey(RegistryKey key) {
    if (key != 0) RegCloseKey(ToKey(key));
}

bool Win32Registry::DeleteKey(RegistryRoot root, const char* path) {
    return RegDeleteKeyA(RootKey(root), path) == ERROR_SUCCESS;
}

bool Win32Registry::QueryValue(RegistryKey key, const char* name, void* buffer, std::uint32_t* size) {
    DWORD length = *size;
    const LONG result = RegQueryValueExA(ToKey(key), name, nullptr, nullptr, static_cast<BYTE*>(buffer), &length);
    *size = length;
    return result == ERROR_SUCCESS;
}

bool Win32Registry::SetBinaryValue(RegistryKey key, const char* name, const void* data, std::uint32_t size) {
    return RegSetValueExA(ToKey(key), name, 0, REG_BINARY, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

bool Win32Registry::SetTextValue(RegistryKey key, const char* name, const char* text) {
    return RegSetValueExA(ToKey(key), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(lstrlenA(text)) + 1) == ERROR_SUCCESS;
}

bool Win32Registry::EnumSubkey(RegistryKey key, std::uint32_t index, char* name, std::uint32_t size) {
    return RegEnumKeyA(ToKey(key), index, name, size) == ERROR_SUCCESS;
}

}  // namespace td
