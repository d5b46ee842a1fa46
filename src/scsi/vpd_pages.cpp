#include "scsi/vpd_pages.h"

namespace td {
namespace {

constexpr std::uint8_t kQualifierMask = 0xE0;

constexpr std::uint8_t kCodeSetBinary = 1;
constexpr std::uint8_t kCodeSetAscii = 2;
constexpr std::uint8_t kCodeSetUtf8 = 3;

constexpr std::uint8_t kTypeVendorSpecific = 0;
constexpr std::uint8_t kTypeT10Vendor = 1;
constexpr std::uint8_t kTypeEui64 = 2;
constexpr std::uint8_t kTypeNaa = 3;
constexpr std::uint8_t kTypeScsiName = 8;

constexpr int kNotChosen = 1000;

// Appends one character to `text`, keeping room for the terminator.
struct TextOut {
    char* text;
    std::size_t size;
    std::size_t used = 0;

    void Put(char c) {
        if (size == 0 || used + 1 >= size) return;
        text[used++] = c;
        text[used] = '\0';
    }
    void PutAll(const char* part) {
        while (*part != '\0') Put(*part++);
    }
};

char Shown(std::uint8_t byte) { return byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '?'; }

bool IsBlank(std::uint8_t byte) { return byte == ' ' || byte == '\0'; }

// The bytes without the blanks and NULs around them.
void Trim(const std::uint8_t*& bytes, std::size_t& length) {
    while (length > 0 && IsBlank(bytes[0])) {
        ++bytes;
        --length;
    }
    while (length > 0 && IsBlank(bytes[length - 1])) --length;
}

void WriteText(const std::uint8_t* bytes, std::size_t length, TextOut& out) {
    Trim(bytes, length);
    for (std::size_t i = 0; i < length; ++i) out.Put(Shown(bytes[i]));
    // A text cut to the buffer may end in a blank of its middle.
    while (out.used > 0 && out.text[out.used - 1] == ' ') out.text[--out.used] = '\0';
}

void WriteHex(const std::uint8_t* bytes, std::size_t length, TextOut& out) {
    static const char kDigits[] = "0123456789ABCDEF";
    for (std::size_t i = 0; i < length; ++i) {
        out.Put(kDigits[bytes[i] >> 4]);
        out.Put(kDigits[bytes[i] & 0x0F]);
    }
}

// How much a careful tool prefers a designator: lower is better;
// kNotChosen for one whose code set or length does not fit its type.
int Preference(std::uint8_t type, std::uint8_t code_set, const std::uint8_t* value, std::size_t length) {
    switch (type) {
        case kTypeNaa: {
            if (code_set != kCodeSetBinary || (length != 8 && length != 16)) return kNotChosen;
            switch (value[0] >> 4) {
                case 6:  // IEEE Registered Extended
                    return 0;
                case 5:  // IEEE Registered
                    return 1;
                case 2:  // IEEE Extended
                    return 2;
                default:
                    return 3;
            }
        }
        case kTypeEui64:
            if (code_set != kCodeSetBinary || (length != 8 && length != 12 && length != 16)) return kNotChosen;
            return length == 16 ? 4 : length == 12 ? 5 : 6;
        case kTypeScsiName:
            return code_set == kCodeSetUtf8 && value[0] != '\0' ? 7 : kNotChosen;
        case kTypeT10Vendor:
            return code_set == kCodeSetAscii && length >= 8 ? 8 : kNotChosen;
        case kTypeVendorSpecific:
            return code_set >= kCodeSetBinary && code_set <= kCodeSetUtf8 ? 9 : kNotChosen;
        default:
            return kNotChosen;
    }
}

DesignatorKind KindOf(std::uint8_t type) {
    switch (type) {
        case kTypeNaa:
            return DesignatorKind::Naa;
        case kTypeEui64:
            return DesignatorKind::Eui64;
        case kTypeScsiName:
            return DesignatorKind::ScsiName;
        case kTypeT10Vendor:
            return DesignatorKind::T10Vendor;
        default:
            return DesignatorKind::VendorSpecific;
    }
}

}  // namespace

bool TakeVpdPage(const std::uint8_t* data, std::size_t transferred, std::uint8_t page_code, VpdPage& page) {
    if (data == nullptr || transferred < kVpdHeaderLength) return false;
    if ((data[0] & kQualifierMask) != 0 || data[1] != page_code) return false;
    const std::size_t length = static_cast<std::size_t>(data[2]) << 8 | data[3];
    if (length > transferred - kVpdHeaderLength) return false;
    page.bytes = data + kVpdHeaderLength;
    page.length = length;
    return true;
}

bool PageListNames(const VpdPage& list, std::uint8_t page_code) {
    for (std::size_t i = 0; i < list.length; ++i) {
        if (list.bytes[i] == page_code) return true;
    }
    return false;
}

bool ReadSerialNumber(const VpdPage& page, char* text, std::size_t size) {
    if (text == nullptr || size == 0) return false;
    text[0] = '\0';
    TextOut out{text, size};
    WriteText(page.bytes, page.length, out);
    return text[0] != '\0';
}

Designator ChooseIdentifier(const VpdPage& page) {
    Designator chosen{DesignatorKind::None, 0, nullptr, 0};
    int best = kNotChosen;
    std::size_t at = 0;
    while (page.length - at >= kVpdHeaderLength) {
        const std::uint8_t* descriptor = page.bytes + at;
        const std::size_t length = descriptor[3];
        if (length > page.length - at - kVpdHeaderLength) break;
        const std::uint8_t code_set = descriptor[0] & 0x0F;
        const std::uint8_t association = (descriptor[1] >> 4) & 0x03;
        const std::uint8_t type = descriptor[1] & 0x0F;
        const std::uint8_t* value = descriptor + kVpdHeaderLength;
        if (association == 0 && length > 0) {
            const int preference = Preference(type, code_set, value, length);
            if (preference < best) {
                best = preference;
                chosen = {KindOf(type), code_set, value, length};
            }
        }
        at += kVpdHeaderLength + length;
    }
    return chosen;
}

void WriteIdentifier(const Designator& designator, char* text, std::size_t size) {
    if (text == nullptr || size == 0) return;
    text[0] = '\0';
    TextOut out{text, size};
    switch (designator.kind) {
        case DesignatorKind::None:
            return;
        case DesignatorKind::Naa:
            out.PutAll("naa.");
            WriteHex(designator.value, designator.length, out);
            return;
        case DesignatorKind::Eui64:
            out.PutAll("eui.");
            WriteHex(designator.value, designator.length, out);
            return;
        case DesignatorKind::ScsiName: {
            // A NUL ends the name and pads it to a multiple of four bytes.
            std::size_t length = 0;
            while (length < designator.length && designator.value[length] != '\0') ++length;
            WriteText(designator.value, length, out);
            return;
        }
        case DesignatorKind::T10Vendor:
            WriteText(designator.value, designator.length, out);
            return;
        case DesignatorKind::VendorSpecific:
            if (designator.code_set == kCodeSetBinary) {
                WriteHex(designator.value, designator.length, out);
            } else {
                WriteText(designator.value, designator.length, out);
            }
            return;
    }
}

}  // namespace td
