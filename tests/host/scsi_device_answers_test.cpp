// The answers the Details page reads: READ CAPACITY (10) and (16), and the
// vital product data pages 00h, 80h and 83h, each read only within the
// bytes that came.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scsi/capacity_answer.h"
#include "scsi/vpd_pages.h"

namespace td {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(DeviceAnswers, ReadCapacityIsReadWithinWhatCameAndAsksTheLongFormOnlyWhenTold) {
    struct Row {
        bool long_form;
        Bytes data;
        CapacityReading reading;
        std::uint64_t last;
        std::uint32_t length;
    };
    const Row rows[] = {
        {false, {0x00, 0x7F, 0xFF, 0xFF, 0x00, 0x00, 0x02, 0x00}, CapacityReading::Read, 0x7FFFFF, 512},
        {false, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x02, 0x00}, CapacityReading::AskLongForm, 0, 0},
        {false, {0x00, 0x7F, 0xFF, 0xFF, 0x00, 0x00, 0x02}, CapacityReading::NotReported, 0, 0},
        {false, {0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x00}, CapacityReading::NotReported, 0, 0},
        {true,
         {0x00, 0x00, 0x00, 0x01, 0x7F, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x02, 0x00},
         CapacityReading::Read,
         0x17FFFFFFFull,
         512},
        {true, Bytes(8, 0xFF) + Bytes{0x00, 0x00, 0x10, 0x00}, CapacityReading::Read, ~0ull, 4096},
        {true, {0x00, 0x00, 0x00, 0x01, 0x7F, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x02}, CapacityReading::NotReported, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << (row.long_form ? "(16) " : "(10) ") << row.data.size() << " bytes");
        CapacityAnswer capacity{0, 0};
        const CapacityReading reading = row.long_form
                                            ? ReadCapacity16Answer(row.data.data(), row.data.size(), capacity)
                                            : ReadCapacity10Answer(row.data.data(), row.data.size(), capacity);
        EXPECT_EQ(reading, row.reading);
        if (reading != CapacityReading::Read) continue;
        EXPECT_EQ(capacity.last_block, row.last);
        EXPECT_EQ(capacity.block_length, row.length);
    }
}

// A page header: type 0, the page code, the stated length.
Bytes Page(std::uint8_t code, const Bytes& body, int stated = -1, std::uint8_t byte0 = 0x00) {
    const std::size_t length = stated < 0 ? body.size() : static_cast<std::size_t>(stated);
    Bytes page{byte0, code, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)};
    page.insert(page.end(), body.begin(), body.end());
    return page;
}

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

TEST(DeviceAnswers, OnlyTheAskedPageOfAConnectedUnitWithinWhatCameIsAPage) {
    const Bytes standard_data = {0x00, 0x80, 0x02, 0x02, 0x5B, 0x00, 0x00, 0x10, 'K', 'E', 'S'};
    struct Row {
        const char* what;
        Bytes data;
        bool taken;
    };
    const Row rows[] = {
        {"the serial page", Page(0x80, Text("ABC")), true},
        {"an empty page", Page(0x80, {}), true},
        {"a unit not connected (qualifier 1)", Page(0x80, Text("ABC"), -1, 0x20), false},
        {"another page", Page(0x83, Text("ABC")), false},
        {"standard data of a device that ignores EVPD", standard_data, false},
        {"a length past what came", Page(0x80, Text("ABC"), 200), false},
        {"less than a header", {0x00, 0x80, 0x00}, false},
    };
    for (const Row& row : rows) {
        VpdPage page{};
        EXPECT_EQ(TakeVpdPage(row.data.data(), row.data.size(), 0x80, page), row.taken) << row.what;
    }
    // A short stated length cuts the page there.
    const Bytes short_page = Page(0x80, Text("ABCDEF"), 3);
    VpdPage page{};
    ASSERT_TRUE(TakeVpdPage(short_page.data(), short_page.size(), 0x80, page));
    char serial[16];
    ASSERT_TRUE(ReadSerialNumber(page, serial, sizeof serial));
    EXPECT_STREQ(serial, "ABC");

    const Bytes list = Page(0x00, {0x00, 0x80, 0xB0});
    ASSERT_TRUE(TakeVpdPage(list.data(), list.size(), 0x00, page));
    EXPECT_TRUE(PageListNames(page, 0x80));
    EXPECT_FALSE(PageListNames(page, 0x83));
}

TEST(DeviceAnswers, SerialNumbersLoseTheirPaddingAndShowWhatIsNotText) {
    struct Row {
        Bytes body;
        const char* serial;  // nullptr: nothing is left
        std::size_t size;
    };
    const Row rows[] = {
        {Text("  KD21S0042917  "), "KD21S0042917", 64},
        {Bytes{0, 0, 'A', 'B', 0, 0}, "AB", 64},
        {Bytes{'A', 0x01, 'B', 0xE9}, "A?B?", 64},
        {Text("    "), nullptr, 64},
        {Text("ABCDEFGH"), "ABC", 4},
    };
    for (const Row& row : rows) {
        const VpdPage page{row.body.data(), row.body.size()};
        char serial[64] = "x";
        EXPECT_EQ(ReadSerialNumber(page, serial, row.size), row.serial != nullptr);
        EXPECT_STREQ(serial, row.serial != nullptr ? row.serial : "");
    }
}

// One identification descriptor: code set, association and type, value.
Bytes Descriptor(std::uint8_t code_set, std::uint8_t association, std::uint8_t type, const Bytes& value) {
    Bytes descriptor{code_set, static_cast<std::uint8_t>(association << 4 | type), 0,
                     static_cast<std::uint8_t>(value.size())};
    descriptor.insert(descriptor.end(), value.begin(), value.end());
    return descriptor;
}

TEST(DeviceAnswers, TheIdentifierIsTheDesignatorACarefulToolPicksWhateverTheOrder) {
    const Bytes naa5 = Descriptor(1, 0, 3, {0x50, 0x00, 0xC5, 0xA0, 0x12, 0xB3, 0xC4, 0xD5});
    const Bytes naa6 = Descriptor(1, 0, 3,
                                  {0x60, 0x01, 0x40, 0x5A, 0xBC, 0xDE, 0xF0, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE,
                                   0xF0, 0x12});
    const Bytes eui8 = Descriptor(1, 0, 2, {0x00, 0x50, 0xC2, 0xA0, 0x00, 0x01, 0x23, 0x45});
    const Bytes t10 = Descriptor(2, 0, 1, Text("KESTRAL KD-2100S  KD21  "));
    const Bytes name = Descriptor(3, 0, 8, Text("iqn.2001-04.com.example:disk") + Bytes{0, 0, 0, 0});
    const Bytes vendor_binary = Descriptor(1, 0, 0, {0xDE, 0xAD});
    const Bytes port_naa = Descriptor(1, 1, 3, {0x50, 0, 0, 0, 0, 0, 0, 1});
    const Bytes naa_of_twelve = Descriptor(1, 0, 3, Bytes(12, 0x51));
    struct Row {
        const char* what;
        Bytes body;
        const char* identifier;
    };
    const Row rows[] = {
        {"NAA after a T10 vendor ID", t10 + naa5, "naa.5000C5A012B3C4D5"},
        {"Registered Extended before Registered", naa5 + naa6, "naa.6001405ABCDEF0123456789ABCDEF012"},
        {"EUI-64 before a SCSI name", name + eui8, "eui.0050C2A000012345"},
        {"a SCSI name string before T10, up to its NUL", t10 + name, "iqn.2001-04.com.example:disk"},
        {"T10 vendor ID, trimmed, before vendor specific", vendor_binary + t10, "KESTRAL KD-2100S  KD21"},
        {"vendor specific only where nothing else is", vendor_binary, "DEAD"},
        {"the port's name is not the unit's", port_naa + t10, "KESTRAL KD-2100S  KD21"},
        {"an NAA name of 12 bytes is none", naa_of_twelve, ""},
        {"a descriptor past the page ends the walk", naa5 + Bytes{1, 3, 0, 40, 0x60}, "naa.5000C5A012B3C4D5"},
        {"nothing", {}, ""},
    };
    for (const Row& row : rows) {
        const VpdPage page{row.body.data(), row.body.size()};
        char identifier[80] = "x";
        WriteIdentifier(ChooseIdentifier(page), identifier, sizeof identifier);
        EXPECT_STREQ(identifier, row.identifier) << row.what;
    }
}

}  // namespace
}  // namespace td
