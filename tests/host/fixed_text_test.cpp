// Every copy into a fixed field is cut to the field.
#include <gtest/gtest.h>

#include "common/fixed_text.h"

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

}  // namespace
}  // namespace td
