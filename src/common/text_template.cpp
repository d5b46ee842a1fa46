#include "common/text_template.h"

#include "common/fixed_text.h"

namespace td {

void FillTextTo(char* buffer, std::size_t size, const char* pattern, const char* const* values, std::size_t count) {
    if (buffer == nullptr || size == 0) return;
    buffer[0] = '\0';
    if (pattern == nullptr) return;
    std::size_t used = 0;
    for (const char* at = pattern; *at != '\0' && used + 1 < size; ++at) {
        if (at[0] == '%' && at[1] >= '1' && at[1] <= '9') {
            const std::size_t place = static_cast<std::size_t>(at[1] - '1');
            if (place < count) AppendTextTo(buffer, size, values[place]);
            while (used + 1 < size && buffer[used] != '\0') ++used;
            ++at;
            continue;
        }
        if (at[0] == '%' && at[1] == '%') ++at;
        buffer[used++] = *at;
        buffer[used] = '\0';
    }
}

}  // namespace td
