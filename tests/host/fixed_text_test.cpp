// Every copy into a fixed field is cut to the field.
#include <gtest/gtest.h>

#include "common/fixed_text.h"
#include "common/number_text.h"
#include "common/text_template.h"

namespace td {
namespace {

TEST(FixedText, CopiesAreCutToTheFieldAndTerminated) {
    char vendor[8];
    std::memset(vendor, 'x', sizeof vendor);
    CopyText(vendor, "SEAGATE-LONGER");
    EXPECT_STREQ(vendor, "SEAGATE");
    CopyText(vendor, "ABCDEFGH", 4);
    EXPECT_STREQ(vendor, "ABCD");
    CopyText(vendor, nullptr);
    EXPECT_STREQ(vendor, "");
}

TEST(FixedText, ByteRunsStopAtNulOrLengthOrField) {
    const char inquiry[] = {'Q', 'U', 'A', 'N', 'T', 'U', 'M', ' ', 'F', 'I', 'R', 'E'};
    char product[32];
    CopyBytes(product, inquiry, sizeof inquiry);  // no NUL in the source
    EXPECT_STREQ(product, "QUANTUM FIRE");
    CopyBytes(product, inquiry, 7);
    EXPECT_STREQ(product, "QUANTUM");
    char small[4];
    CopyBytes(small, inquiry, sizeof inquiry);
    EXPECT_STREQ(small, "QUA");
    const char with_nul[] = {'A', 0, 'B'};
    CopyBytes(product, with_nul, 3);
    EXPECT_STREQ(product, "A");
}

TEST(FixedText, AppendingNeverPassesTheEnd) {
    char text[10] = "abc";
    AppendText(text, "defghijklmnop");
    EXPECT_STREQ(text, "abcdefghi");
    char buffer[6] = "12";
    AppendTextTo(buffer, sizeof buffer, "3456789");
    EXPECT_STREQ(buffer, "12345");
}

// Numbers are appended like texts: cut to the field, the extremes exact.
TEST(FixedText, NumbersAreAppendedInTheirBaseAndCutToTheField) {
    char text[32] = "SCSI";
    AppendDecimal(text, 0);
    AppendText(text, ":");
    AppendDecimal(text, -2147483647L - 1);
    EXPECT_STREQ(text, "SCSI0:-2147483648");
    char hex[12] = "";
    AppendHex(hex, 0xFFFFFFFFul);
    AppendText(hex, " ");
    AppendHex(hex, 0x3a);
    EXPECT_STREQ(hex, "ffffffff 3a");
    char small[4] = "ID";
    AppendUnsigned(small, 4294967295ul);
    EXPECT_STREQ(small, "ID4");
    char code[9] = "ASC ";
    AppendHexByte(code, 0x3a);
    AppendHexByte(code, 0x107);  // the low byte only
    EXPECT_STREQ(code, "ASC 3A07");
}

// Sentences with places: each language puts the values where it wants
// them, and the result is cut to the buffer like any copy.
TEST(FixedText, PlacesAreFilledInAnyOrderAndCutToTheField) {
    const char* const values[] = {"NOT READY", "MEDIUM NOT PRESENT", "3A"};
    char text[64];
    FillText(text, "%2 (%3h) - %1; 100%% %4%", values);
    EXPECT_STREQ(text, "MEDIUM NOT PRESENT (3Ah) - NOT READY; 100% %");
    char small[12];
    std::memset(small, 'x', sizeof small);
    FillText(small, "Key %1, code %3h", values);
    EXPECT_STREQ(small, "Key NOT REA");
    FillText(small, nullptr, values);
    EXPECT_STREQ(small, "");
}

}  // namespace
}  // namespace td
