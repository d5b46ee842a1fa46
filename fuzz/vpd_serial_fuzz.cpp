// Fuzzing the reader of the unit serial number page (80h).
//
// Input, in this order:
//   1 byte     the size of the text buffer, 1 to 256 (0 stands for 256)
//   the rest   the bytes the device sent for page 80h
//
// Checked on every input:
// - the answer and the page are read only within the bytes sent (a block of
//   exactly that size);
// - a serial number read is terminated within the buffer, printable ASCII
//   throughout, without blanks at either end, no longer than the page, and
//   its first character is the page's first byte that is neither a blank
//   nor a NUL; nothing is read from a page of blanks and NULs only.
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz_checks.h"
#include "fuzz_input.h"
#include "scsi/vpd_pages.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace td;
    using fuzz::Require;
    fuzz::InputReader input(data, size);
    const std::uint8_t given_size = input.Byte();
    const std::size_t buffer_size = given_size == 0 ? 256 : given_size;
    const std::vector<std::uint8_t> rest = input.Rest();
    const fuzz::ExactBlock answer(rest);

    VpdPage page{nullptr, 0};
    if (!TakeVpdPage(answer.data(), answer.size(), kVpdUnitSerialNumber, page)) return 0;
    auto text = std::make_unique<char[]>(buffer_size);
    const bool read = ReadSerialNumber(page, text.get(), buffer_size);
    Require(std::memchr(text.get(), 0, buffer_size) != nullptr, "the serial number lost its terminator");
    const std::size_t length = std::strlen(text.get());
    Require(read == (length > 0), "the answer does not say whether a serial number was read");
    const std::uint8_t* first = page.bytes;
    const std::uint8_t* end = page.bytes + page.length;
    while (first < end && (*first == ' ' || *first == 0)) ++first;
    if (first == end) {
        Require(!read, "a serial number was read from blanks");
        return 0;
    }
    if (buffer_size == 1) return 0;
    Require(read && length <= page.length, "a serial number longer than its page");
    Require(text[0] != ' ' && text[length - 1] != ' ', "blanks around the serial number");
    for (std::size_t i = 0; i < length; ++i) Require(text[i] >= 0x20 && text[i] < 0x7F, "not printable ASCII");
    const char expected = *first >= 0x20 && *first < 0x7F ? static_cast<char>(*first) : '?';
    Require(text[0] == expected, "the serial number does not start where the page's text does");
    return 0;
}
