#include "common/string_table_block.h"

namespace td {

ResourceText FindBlockString(const void* block, std::size_t size, int id) {
    const auto* bytes = static_cast<const std::uint8_t*>(block);
    if (bytes == nullptr || id < 0) return {nullptr, 0};
    std::size_t at = 0;
    for (int entry = 0;; ++entry) {
        if (size < 2 || at > size - 2) return {nullptr, 0};
        const std::size_t count = bytes[at] | (bytes[at + 1] << 8);
        at += 2;
        const std::size_t available = (size - at) / 2;
        if (entry == id % 16) {
            const std::size_t length = count < available ? count : available;
            return {bytes + at, static_cast<int>(length)};
        }
        if (count > available) return {nullptr, 0};
        at += 2 * count;
    }
}

}  // namespace td
