#include "common/win32_seams.h"

namespace td {
namespace {

// LOCALE_SGROUPING ("3;0", "3;2;0", "3") as NUMBERFMT's Grouping (3, 32,
// 30): the digits, and a 0 after them unless the text ends in ";0".
UINT Grouping(const char* text) {
    UINT grouping = 0;
    int digits = 0;
    bool ends_in_zero = false;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') continue;
        ends_in_zero = *c == '0' && c != text && c[-1] == ';' && c[1] == '\0';
        if (ends_in_zero) break;
        grouping = grouping * 10 + static_cast<UINT>(*c - '0');
        ++digits;
    }
    if (!ends_in_zero && digits > 0) grouping *= 10;
    return grouping;
}

UINT LocaleNumber(LCTYPE type, UINT fallback) {
    char text[8] = "";
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text, sizeof text) == 0) return fallback;
    UINT value = 0;
    for (const char* c = text; *c >= '0' && *c <= '9'; ++c) value = value * 10 + static_cast<UINT>(*c - '0');
    return value;
}

}  // namespace

void Win32NumberFormat::Format(const char* value, int decimals, char* text, std::size_t size) {
    if (text == nullptr || size == 0) return;
    text[0] = '\0';
    char decimal[8] = ".", thousand[8] = ",", grouping[16] = "3;0";
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal, sizeof decimal);
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, thousand, sizeof thousand);
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SGROUPING, grouping, sizeof grouping);
    NUMBERFMTA format{};
    format.NumDigits = decimals > 0 ? static_cast<UINT>(decimals) : 0;
    format.LeadingZero = LocaleNumber(LOCALE_ILZERO, 1);
    format.Grouping = Grouping(grouping);
    format.lpDecimalSep = decimal;
    format.lpThousandSep = thousand;
    format.NegativeOrder = LocaleNumber(LOCALE_INEGNUMBER, 1);
    const int written = GetNumberFormatA(LOCALE_USER_DEFAULT, 0, value, &format, text,
                                         static_cast<int>(size > 0x7FFFFFFF ? 0x7FFFFFFF : size));
    if (written > 0) return;
    PlainNumberFormat plain;
    plain.Format(value, decimals, text, size);
}

}  // namespace td
