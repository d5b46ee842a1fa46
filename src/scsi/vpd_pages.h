// Vital product data pages: what INQUIRY with the EVPD bit answers.
//
// The program reads three pages: the list of the pages a device has (00h),
// the unit serial number (80h) and the device identification (83h). Every
// page starts with a four-byte header: peripheral qualifier and type, the
// page code, and the length of what follows (bytes 2-3). An old device may
// not look at the EVPD bit and send its standard INQUIRY data instead, and
// any device may state a length longer than what it sent; such an answer is
// not the page and tells nothing.
#pragma once

#include <cstddef>
#include <cstdint>

namespace td {

constexpr std::uint8_t kVpdSupportedPages = 0x00;
constexpr std::uint8_t kVpdUnitSerialNumber = 0x80;
constexpr std::uint8_t kVpdDeviceIdentification = 0x83;

constexpr std::size_t kVpdHeaderLength = 4;

// A page's contents after its header, within the bytes received.
struct VpdPage {
    const std::uint8_t* bytes;
    std::size_t length;
};

// Whether the answer is page `page_code` of a connected unit: at least the
// header, peripheral qualifier 0, the page code asked for, and a page
// length that stays within the `transferred` bytes. `page` then holds the
// page's contents.
bool TakeVpdPage(const std::uint8_t* data, std::size_t transferred, std::uint8_t page_code, VpdPage& page);

// Whether the supported pages list names `page_code`.
bool PageListNames(const VpdPage& list, std::uint8_t page_code);

// The unit serial number as text: the page's bytes with the blanks (and the
// NUL padding some devices use) around them taken away; a byte that is not
// printable ASCII shows as '?'. Cut to `size` - 1 characters. False when
// nothing is left.
bool ReadSerialNumber(const VpdPage& page, char* text, std::size_t size);

// The designators of the device identification page a careful tool takes
// as the logical unit's world-wide identifier, in the order it prefers them.
enum class DesignatorKind : std::uint8_t { None, Naa, Eui64, ScsiName, T10Vendor, VendorSpecific };

struct Designator {
    DesignatorKind kind;
    std::uint8_t code_set;  // 1 binary, 2 ASCII, 3 UTF-8
    const std::uint8_t* value;
    std::size_t length;
};

// Among the descriptors of the logical unit (association 0) whose code set
// and length fit their type, the one a careful tool picks: an NAA name
// (IEEE Registered Extended, then Registered, then Extended, then the
// others), an EUI-64 (the longest), a SCSI name string, a T10 vendor ID,
// whatever their order in the page; a vendor-specific designator only
// where none of those is. The first of equals wins. A descriptor that runs
// past the page ends the walk. `kind` None when there is none.
Designator ChooseIdentifier(const VpdPage& page);

// The identifier as it is written: "naa." or "eui." and the bytes in
// upper-case hexadecimal; a SCSI name string and a T10 vendor ID as their
// text (trimmed, '?' for what is not printable ASCII); a vendor-specific
// designator as text or hexadecimal by its code set. Cut to `size` - 1
// characters; empty for None.
void WriteIdentifier(const Designator& designator, char* text, std::size_t size);

}  // namespace td
