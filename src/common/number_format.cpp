#include "common/number_format.h"

namespace td {

void PlainNumberFormat::Format(const char* value, int decimals, char* text, std::size_t size) {
    if (text == nullptr || size == 0) return;
    text[0] = '\0';
    if (value == nullptr) return;
    std::size_t whole = 0;
    while (value[whole] >= '0' && value[whole] <= '9') ++whole;
    std::size_t used = 0;
    const auto put = [&](char c) {
        if (used + 1 >= size) return;
        text[used++] = c;
        text[used] = '\0';
    };
    for (std::size_t i = 0; i < whole; ++i) {
        if (i > 0 && (whole - i) % 3 == 0) put(',');
        put(value[i]);
    }
    if (whole == 0) put('0');
    if (decimals <= 0) return;
    put('.');
    const char* fraction = value[whole] == '.' ? value + whole + 1 : value + whole;
    for (int i = 0; i < decimals; ++i) {
        const char digit = *fraction >= '0' && *fraction <= '9' ? *fraction++ : '0';
        put(digit);
    }
}

}  // namespace td
