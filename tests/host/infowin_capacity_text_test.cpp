// Capacities as Explorer writes sizes: 1024 per unit, three significant
// digits cut, the exact bytes and the blocks beside them, up to the largest
// answer READ CAPACITY (16) can give.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/number_format.h"
#include "infowin/capacity_text.h"
#include "support/scripted_messages.h"

namespace td {
namespace {

TEST(CapacityText, SizesAreWrittenAsExplorerWritesThem) {
    struct Row {
        std::uint64_t last_block;
        std::uint32_t block_length;
        const char* text;
    };
    const Row rows[] = {
        {8388607, 512, "4.00 GB (4,294,967,296 bytes)\r\n8,388,608 blocks of 512 bytes"},
        {0, 512, "512 bytes (512 bytes)\r\n1 blocks of 512 bytes"},
        {0, 1023, "1,023 bytes (1,023 bytes)\r\n1 blocks of 1,023 bytes"},
        {1, 512, "1.00 KB (1,024 bytes)\r\n2 blocks of 512 bytes"},
        {24, 512, "12.5 KB (12,800 bytes)\r\n25 blocks of 512 bytes"},
        {1999, 512, "0.97 MB (1,024,000 bytes)\r\n2,000 blocks of 512 bytes"},
        {1999998, 1, "1.90 MB (1,999,999 bytes)\r\n1,999,999 blocks of 1 bytes"},
        {1953525167, 512, "931 GB (1,000,204,886,016 bytes)\r\n1,953,525,168 blocks of 512 bytes"},
        {6442450943, 512, "3.00 TB (3,298,534,883,328 bytes)\r\n6,442,450,944 blocks of 512 bytes"},
        {~0ull, 0xFFFFFFFFu,
         "68,719,476,720 EB (79,228,162,495,817,593,519,834,398,720 bytes)\r\n"
         "18,446,744,073,709,551,616 blocks of 4,294,967,295 bytes"},
    };
    test::ScriptedMessages messages;
    PlainNumberFormat format;
    for (const Row& row : rows) {
        char text[256] = "x";
        WriteCapacity({row.last_block, row.block_length}, messages, format, text, sizeof text);
        EXPECT_STREQ(text, row.text);
    }
}

TEST(CapacityText, TheUnitsAndSentencesAreTheUsersLanguagesAndTheNumbersTheUsersFormat) {
    // A format that shows what it was given: the decimals asked for each number.
    class Recording final : public NumberFormat {
    public:
        void Format(const char* value, int decimals, char* text, std::size_t size) override {
            const std::string shown = std::string("<") + value + "/" + std::to_string(decimals) + ">";
            std::snprintf(text, size, "%s", shown.c_str());
        }
    } format;
    test::ScriptedMessages french("fr");
    char text[256] = "";
    WriteCapacity({8388607, 512}, french, format, text, sizeof text);
    EXPECT_STREQ(text, "<4.00/2> Go (<4294967296/0> octets)\r\n<8388608/0> blocs de <512/0> octets");

    PlainNumberFormat plain;
    const struct {
        const char* value;
        int decimals;
        const char* shown;
    } numbers[] = {
        {"1234567", 0, "1,234,567"}, {"123", 0, "123"}, {"4.00", 2, "4.00"}, {"12.5", 1, "12.5"}, {"7", 2, "7.00"}};
    for (const auto& number : numbers) {
        char shown[32] = "";
        plain.Format(number.value, number.decimals, shown, sizeof shown);
        EXPECT_STREQ(shown, number.shown);
    }
}

}  // namespace
}  // namespace td
