// Fuzzing the reader of the device identification page (83h): the walk
// over its designators, the choice of the identifier and how it is written.
//
// Input, in this order:
//   1 byte     the size of the text buffer, 1 to 256 (0 stands for 256)
//   the rest   the bytes the device sent for page 83h
//
// Checked on every input:
// - the answer, the page and every descriptor are read only within the
//   bytes sent (a block of exactly that size);
// - the identifier chosen is a designator of the logical unit (association
//   0) that lies whole within the page, at a descriptor the walk reaches,
//   of a type the kind names, with the code set and length that type needs;
// - where the page holds a logical unit's NAA designator of 8 or 16 binary
//   bytes, an NAA designator is chosen;
// - the text written is terminated within its buffer, printable ASCII, and
//   for an NAA or EUI-64 name "naa." or "eui." with two upper-case
//   hexadecimal digits per byte (as far as the buffer holds them).
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz_checks.h"
#include "fuzz_input.h"
#include "scsi/vpd_pages.h"

namespace {

using namespace td;
using fuzz::Require;

// The type a kind stands for, and the code set and lengths it needs.
bool Fits(const Designator& chosen, std::uint8_t code_set, std::uint8_t type, std::size_t length) {
    switch (chosen.kind) {
        case DesignatorKind::Naa:
            return type == 3 && code_set == 1 && (length == 8 || length == 16);
        case DesignatorKind::Eui64:
            return type == 2 && code_set == 1 && (length == 8 || length == 12 || length == 16);
        case DesignatorKind::ScsiName:
            return type == 8 && code_set == 3;
        case DesignatorKind::T10Vendor:
            return type == 1 && code_set == 2 && length >= 8;
        case DesignatorKind::VendorSpecific:
            return type == 0 && code_set >= 1 && code_set <= 3;
        case DesignatorKind::None:
            return false;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader input(data, size);
    const std::uint8_t given_size = input.Byte();
    const std::size_t buffer_size = given_size == 0 ? 256 : given_size;
    const std::vector<std::uint8_t> rest = input.Rest();
    const fuzz::ExactBlock answer(rest);

    VpdPage page{nullptr, 0};
    if (!TakeVpdPage(answer.data(), answer.size(), kVpdDeviceIdentification, page)) return 0;
    const Designator chosen = ChooseIdentifier(page);

    // The walk as the page lays it out: which descriptor was chosen, and
    // whether a fitting NAA designator of the unit was there.
    bool found = chosen.kind == DesignatorKind::None;
    bool unit_naa = false;
    for (std::size_t at = 0; page.length - at >= 4;) {
        const std::uint8_t* descriptor = page.bytes + at;
        const std::size_t length = descriptor[3];
        if (length > page.length - at - 4) break;
        const std::uint8_t code_set = descriptor[0] & 0x0F, type = descriptor[1] & 0x0F;
        const bool unit = ((descriptor[1] >> 4) & 0x03) == 0;
        if (unit && type == 3 && code_set == 1 && (length == 8 || length == 16)) unit_naa = true;
        if (chosen.value == descriptor + 4) {
            Require(unit, "a designator of a port or target was chosen");
            Require(chosen.length == length && chosen.code_set == code_set, "the choice is not its descriptor");
            Require(Fits(chosen, code_set, type, length), "the kind does not fit the descriptor chosen");
            found = true;
        }
        at += 4 + length;
    }
    Require(found, "the identifier chosen is no descriptor the walk reaches");
    if (unit_naa) Require(chosen.kind == DesignatorKind::Naa, "an NAA designator of the unit was passed over");

    auto text = std::make_unique<char[]>(buffer_size);
    WriteIdentifier(chosen, text.get(), buffer_size);
    Require(std::memchr(text.get(), 0, buffer_size) != nullptr, "the identifier lost its terminator");
    const std::size_t length = std::strlen(text.get());
    for (std::size_t i = 0; i < length; ++i) Require(text[i] >= 0x20 && text[i] < 0x7F, "not printable ASCII");
    if (chosen.kind == DesignatorKind::Naa || chosen.kind == DesignatorKind::Eui64) {
        const char* prefix = chosen.kind == DesignatorKind::Naa ? "naa." : "eui.";
        Require(std::strncmp(text.get(), prefix, length < 4 ? length : 4) == 0, "the name lost its prefix");
        static const char kDigits[] = "0123456789ABCDEF";
        for (std::size_t i = 4; i < length; ++i) {
            const std::uint8_t byte = chosen.value[(i - 4) / 2];
            const char digit = kDigits[(i - 4) % 2 == 0 ? byte >> 4 : byte & 0x0F];
            Require(text[i] == digit, "the name is not its bytes in hexadecimal");
        }
        if (buffer_size > 4 + 2 * chosen.length) Require(length == 4 + 2 * chosen.length, "the name was cut");
    }
    return 0;
}
