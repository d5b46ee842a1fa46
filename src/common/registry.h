// The registry as the program uses it.
//
// The program reads its installation key and its adapters' details from
// HKEY_LOCAL_MACHINE and keeps its window placement under HKEY_CURRENT_USER.
// This interface carries exactly the operations it needs, with the Win32
// semantics (a query fills a caller's buffer and reports the size it read),
// so that the core can run against the real registry or an in-memory tree.
#pragma once

#include <cstdint>

namespace td {

enum class RegistryRoot { LocalMachine, CurrentUser };

enum class RegistryAccess { Read, AllAccess };

// An open key; 0 is no key.
using RegistryKey = std::uintptr_t;

class Registry {
public:
    virtual ~Registry() = default;

    // RegCreateKeyExA: opens the key, creating it (and its parents) when it
    // does not exist. `created` tells which happened. Returns 0 on failure.
    virtual RegistryKey CreateKey(RegistryRoot root, const char* path, RegistryAccess access, bool* created) = 0;

    // RegOpenKeyExA: opens an existing key; 0 when it does not exist.
    virtual RegistryKey OpenKey(RegistryRoot root, const char* path, RegistryAccess access) = 0;

    virtual void CloseKey(RegistryKey key) = 0;

    // RegDeleteKeyA of a key without subkeys; true on success.
    virtual bool DeleteKey(RegistryRoot root, const char* path) = 0;

    // RegQueryValueExA: copies the value's bytes into `buffer` when they fit
    // in `*size` bytes and sets `*size` to the value's length. A value that
    // does not fit, or does not exist, answers false. The bytes are copied as
    // stored: a text value may or may not carry its terminating NUL.
    virtual bool QueryValue(RegistryKey key, const char* name, void* buffer, std::uint32_t* size) = 0;

    // RegSetValueExA with REG_BINARY.
    virtual bool SetBinaryValue(RegistryKey key, const char* name, const void* data, std::uint32_t size) = 0;

    // RegSetValueExA with REG_SZ; the text is stored with its terminator.
    // The program itself never writes texts; its setup and the simulators'
    // machine descriptions do.
    virtual bool SetTextValue(RegistryKey key, const char* name, const char* text) = 0;

    // RegEnumKeyA: the name of subkey `index`; false at the end of the list
    // or on any error (a name that does not fit `size` included).
    virtual bool EnumSubkey(RegistryKey key, std::uint32_t index, char* name, std::uint32_t size) = 0;
};

// Reads a value as text into `buffer` (`size` bytes), always terminated.
// Answers false, with an empty buffer, when the value cannot be read.
bool ReadTextValue(Registry& registry, RegistryKey key, const char* name, char* buffer, std::uint32_t size);

}  // namespace td
