#include "common/registry.h"

namespace td {

bool ReadTextValue(Registry& registry, RegistryKey key, const char* name, char* buffer, std::uint32_t size) {
    if (buffer == nullptr || size == 0) return false;
    buffer[0] = '\0';
    std::uint32_t length = size;
    if (key == 0 || !registry.QueryValue(key, name, buffer, &length)) {
        buffer[0] = '\0';
        return false;
    }
    // A stored text need not carry its terminator; one that fills the whole
    // buffer loses its last character to it.
    if (length > size) length = size;
    std::uint32_t end = 0;
    while (end < length && buffer[end] != '\0') ++end;
    buffer[end < size ? end : size - 1] = '\0';
    return true;
}

}  // namespace td
