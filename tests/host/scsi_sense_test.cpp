// Judging finished requests: request classification, the sense table on
// both transports, system error texts and the explanation of a failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/fixed_text.h"
#include "scsi/explanation.h"
#include "scsi/sense.h"
#include "scsi/system_error.h"
#include "support/fake_pass_through.h"
#include "support/scripted_messages.h"

namespace td {
namespace {

// 18 bytes of fixed-format sense data.
std::vector<std::uint8_t> Sense(std::uint8_t response, std::uint8_t key, std::uint8_t asc, std::uint8_t ascq) {
    std::vector<std::uint8_t> data(18, 0);
    data[0] = response;
    data[2] = key;
    data[7] = 10;  // additional length
    data[12] = asc;
    data[13] = ascq;
    return data;
}

// The same bytes seen through each transport's own block.
int OnAspi(const std::vector<std::uint8_t>& sense, SenseReport& report) {
    auto srb = std::make_unique<aspi::SrbExecScsiCmd>();
    std::memset(srb.get(), 0, sizeof *srb);
    srb->SRB_SenseLen = aspi::kSenseLength;
    std::memcpy(srb->SenseArea, sense.data(), std::min(sense.size(), sizeof srb->SenseArea));
    return interpret_aspi_sense(*srb, report);
}

int OnNt(const std::vector<std::uint8_t>& sense, SenseReport& report) {
    nt::PassThroughDirectBlock block;
    std::memset(&block, 0, sizeof block);
    std::memcpy(block.sense, sense.data(), std::min<std::size_t>(sense.size(), nt::kPassThroughSenseLength));
    return interpret_nt_sense(block, report);
}

bool Same(const SenseReport& a, const SenseReport& b) {
    return a.sense_key == b.sense_key && a.sense_code == b.sense_code && a.sense_qualifier == b.sense_qualifier &&
           a.message_id == b.message_id;
}

constexpr SenseReport kEarlier{7, 0x27, 0x01, 5900};

struct TableCase {
    std::uint8_t key, asc, ascq;
    int aspi_message;  // 0: nothing recognised
    int nt_message;
};

TEST(SenseTable, EveryRowOnBothTransports) {
    const TableCase cases[] = {
        {0x02, 0x04, 0x00, 5400, 5400}, {0x02, 0x04, 0x01, 5800, 5800}, {0x02, 0x04, 0x02, 5401, 5401},
        {0x02, 0x04, 0x03, 5402, 5402}, {0x02, 0x04, 0x04, 5403, 5403}, {0x02, 0x3A, 0x00, 5406, 5406},
        {0x02, 0x3A, 0x02, 5406, 5406}, {0x04, 0x40, 0x80, 5404, 5404}, {0x04, 0x41, 0x00, 5405, 5404},
        {0x04, 0x42, 0x00, 5405, 5404}, {0x04, 0x44, 0x00, 5405, 5405}, {0x04, 0x00, 0x00, 5405, 5405},
        {0x05, 0x20, 0x00, 0, 6000},    {0x05, 0x22, 0x00, 0, 6000},    {0x05, 0x24, 0x00, 0, 6000},
        {0x05, 0x26, 0x03, 0, 6000},    {0x05, 0x25, 0x00, 0, 0},       {0x06, 0x28, 0x00, 5800, 5800},
        {0x06, 0x29, 0x02, 5801, 5801}, {0x06, 0x2A, 0x01, 0, 0},       {0x07, 0x27, 0x00, 5900, 5900},
        {0x02, 0x05, 0x00, 0, 0},       {0x00, 0x00, 0x00, 0, 0},       {0x01, 0x17, 0x01, 0, 0},
        {0x03, 0x11, 0x00, 0, 0},       {0x08, 0x00, 0x00, 0, 0},       {0x0B, 0x47, 0x00, 0, 0},
        {0x0F, 0x00, 0x00, 0, 0},
    };
    for (const TableCase& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << "key " << int(c.key) << " asc " << int(c.asc) << " ascq "
                                        << int(c.ascq));
        const auto data = Sense(0x70, c.key, c.asc, c.ascq);
        for (const bool nt : {false, true}) {
            SCOPED_TRACE(nt ? "NT" : "ASPI");
            const int expected = nt ? c.nt_message : c.aspi_message;
            SenseReport report{};
            const int recognised = nt ? OnNt(data, report) : OnAspi(data, report);
            EXPECT_EQ(recognised, expected != 0 ? 1 : 0);
            EXPECT_EQ(report.message_id, expected);
            if (expected != 0) {
                EXPECT_EQ(report.sense_key, c.key);
                EXPECT_EQ(report.sense_code, c.asc);
                EXPECT_EQ(report.sense_qualifier, c.ascq);
            }
        }
    }
}

TEST(SenseTable, UnitAttentionAfterResetOnBothTransports) {
    for (const bool nt : {false, true}) {
        SenseReport report{};
        const auto data = Sense(0x70, 0x06, 0x29, 0x02);
        EXPECT_EQ(nt ? OnNt(data, report) : OnAspi(data, report), 1);
        EXPECT_TRUE(Same(report, SenseReport{6, 0x29, 2, 5801})) << (nt ? "NT" : "ASPI");
    }
}

TEST(SenseTable, DeferredErrorsAreExplainedOnAspiOnly) {
    const auto data = Sense(0x71, 0x06, 0x29, 0x02);
    SenseReport aspi_report{};
    EXPECT_EQ(OnAspi(data, aspi_report), 1);
    EXPECT_TRUE(Same(aspi_report, SenseReport{6, 0x29, 2, 5801}));
    SenseReport nt_report = kEarlier;
    EXPECT_EQ(OnNt(data, nt_report), 0);
    EXPECT_TRUE(Same(nt_report, kEarlier)) << "NT records nothing at all";
}

TEST(SenseTable, OtherResponseCodesRecordNothing) {
    // Descriptor format, the VALID bit set on current/deferred, no sense at all.
    for (const std::uint8_t response : {0x72, 0x73, 0xF0, 0xF1, 0x00, 0x7F}) {
        for (const bool nt : {false, true}) {
            SenseReport report = kEarlier;
            const auto data = Sense(response, 0x02, 0x3A, 0x00);
            EXPECT_EQ(nt ? OnNt(data, report) : OnAspi(data, report), 0);
            EXPECT_TRUE(Same(report, kEarlier)) << std::hex << int(response) << (nt ? " NT" : " ASPI");
        }
    }
}

TEST(SenseTable, FlagBitsInTheKeyByteMatchNoKey) {
    // ILI with NOT READY, FILEMARK with NOT READY, EOM with UNIT ATTENTION.
    for (const std::uint8_t key_byte : {0x22, 0x82, 0x46, 0x17}) {
        for (const bool nt : {false, true}) {
            SenseReport report = kEarlier;
            const auto data = Sense(0x70, key_byte, 0x3A, 0x00);
            EXPECT_EQ(nt ? OnNt(data, report) : OnAspi(data, report), 0);
            EXPECT_TRUE(Same(report, kEarlier)) << std::hex << int(key_byte) << (nt ? " NT" : " ASPI");
        }
    }
}

TEST(SenseTable, IllegalRequestIsKnownOnNtOnly) {
    SenseReport aspi_report = kEarlier;
    EXPECT_EQ(OnAspi(Sense(0x70, 0x05, 0x24, 0x00), aspi_report), 0);
    EXPECT_TRUE(Same(aspi_report, kEarlier)) << "not even the sense key on ASPI";

    SenseReport nt_report = kEarlier;
    EXPECT_EQ(OnNt(Sense(0x70, 0x05, 0x24, 0x00), nt_report), 1);
    EXPECT_TRUE(Same(nt_report, SenseReport{5, 0x24, 0, 6000}));

    // An ASC the table does not explain: NT keeps the key, nothing else.
    nt_report = kEarlier;
    EXPECT_EQ(OnNt(Sense(0x70, 0x05, 0x25, 0x01), nt_report), 0);
    EXPECT_TRUE(Same(nt_report, SenseReport{5, 0x27, 0x01, 5900}));
}

TEST(SenseTable, UnexplainedRowsSetTheKeyAndKeepTheEarlierExplanation) {
    for (const bool nt : {false, true}) {
        SCOPED_TRACE(nt ? "NT" : "ASPI");
        // NOT READY, becoming ready, an ASCQ without a text: key and ASC 4.
        SenseReport report = kEarlier;
        EXPECT_EQ(nt ? OnNt(Sense(0x70, 0x02, 0x04, 0x07), report) : OnAspi(Sense(0x70, 0x02, 0x04, 0x07), report), 0);
        EXPECT_TRUE(Same(report, SenseReport{2, 4, 0x01, 5900}));

        // NOT READY with another ASC: the key alone.
        report = kEarlier;
        EXPECT_EQ(nt ? OnNt(Sense(0x70, 0x02, 0x05, 0x00), report) : OnAspi(Sense(0x70, 0x02, 0x05, 0x00), report), 0);
        EXPECT_TRUE(Same(report, SenseReport{2, 0x27, 0x01, 5900}));

        // UNIT ATTENTION with another ASC: the key alone.
        report = kEarlier;
        EXPECT_EQ(nt ? OnNt(Sense(0x70, 0x06, 0x2A, 0x09), report) : OnAspi(Sense(0x70, 0x06, 0x2A, 0x09), report), 0);
        EXPECT_TRUE(Same(report, SenseReport{6, 0x27, 0x01, 5900}));
    }
}

TEST(SenseTable, ShortSenseDataIsNeverReadPastItsEnd) {
    const auto full = Sense(0x70, 0x07, 0x27, 0x00);
    for (std::size_t length = 0; length < kFixedSenseLength; ++length) {
        // Exactly `length` bytes on the heap: a read beyond them is caught
        // by the sanitizer build.
        auto bytes = std::make_unique<std::uint8_t[]>(length == 0 ? 1 : length);
        std::memcpy(bytes.get(), full.data(), length);
        SenseReport report = kEarlier;
        EXPECT_EQ(InterpretSenseData(bytes.get(), length, SenseTransport::Nt, report), 0);
        EXPECT_TRUE(Same(report, kEarlier)) << length << " bytes";
    }
    auto exact = std::make_unique<std::uint8_t[]>(kFixedSenseLength);
    std::memcpy(exact.get(), full.data(), kFixedSenseLength);
    SenseReport report{};
    EXPECT_EQ(InterpretSenseData(exact.get(), kFixedSenseLength, SenseTransport::Aspi, report), 1);
    EXPECT_EQ(report.message_id, 5900);
    EXPECT_EQ(InterpretSenseData(nullptr, 18, SenseTransport::Aspi, report), 0);
}

TEST(SenseTable, AspiReadsOnlyWhatTheBlockAskedForAndHolds) {
    auto srb = std::make_unique<aspi::SrbExecScsiCmd>();
    std::memset(srb.get(), 0, sizeof *srb);
    const auto data = Sense(0x70, 0x02, 0x3A, 0x00);
    std::memcpy(srb->SenseArea, data.data(), sizeof srb->SenseArea);

    SenseReport report = kEarlier;
    srb->SRB_SenseLen = 13;  // the ASCQ was not asked for
    EXPECT_EQ(interpret_aspi_sense(*srb, report), 0);
    EXPECT_TRUE(Same(report, kEarlier));

    srb->SRB_SenseLen = 0xFF;  // more than the area holds: the area's end is the limit
    EXPECT_EQ(interpret_aspi_sense(*srb, report), 1);
    EXPECT_EQ(report.message_id, 5406);
}

struct Classification {
    std::uint8_t ha_stat, status, targ_stat;
    int clean;
};

TEST(RequestClassification, CleanOnlyWithAdapterStatusStatusAndTargetStatusAllAccepted) {
    const Classification cases[] = {
        {0x00, 0x01, 0x00, 1}, {0x00, 0x02, 0x00, 1}, {0x00, 0x04, 0x00, 1}, {0x00, 0x01, 0x04, 1},
        {0x00, 0x04, 0x14, 1}, {0x00, 0x02, 0x14, 1}, {0x00, 0x01, 0x02, 0}, {0x00, 0x04, 0x02, 0},
        {0x00, 0x01, 0x08, 0}, {0x00, 0x01, 0x18, 0}, {0x00, 0x00, 0x00, 0}, {0x00, 0x03, 0x00, 0},
        {0x00, 0x81, 0x00, 0}, {0x00, 0x82, 0x00, 0}, {0x11, 0x01, 0x00, 0}, {0x11, 0x04, 0x00, 0},
        {0x12, 0x01, 0x00, 0}, {0x01, 0x02, 0x04, 0},
    };
    for (const Classification& c : cases) {
        aspi::SrbExecScsiCmd srb{};
        srb.SRB_HaStat = c.ha_stat;
        srb.SRB_Status = c.status;
        srb.SRB_TargStat = c.targ_stat;
        EXPECT_EQ(request_is_clean(srb), c.clean) << std::hex << "HaStat " << int(c.ha_stat) << " Status "
                                                  << int(c.status) << " TargStat " << int(c.targ_stat);
    }
}

class SystemErrorText : public ::testing::Test {
protected:
    test::FakePassThroughIo io;
    LastError error{};
};

TEST_F(SystemErrorText, CutToSixtyThreeCharactersWithTheLastDropped) {
    const std::string seventy = std::string(68, 'a') + "\r\n";
    io.SetSystemMessage(1117, seventy);
    format_system_error(io, 1117, error);
    EXPECT_EQ(error.text_id, kUseSystemText);
    EXPECT_EQ(std::string(error.system_text), seventy.substr(0, 63));

    const std::string twenty = "Incorrect function.\n";
    ASSERT_EQ(twenty.size(), 20u);
    io.SetSystemMessage(1, twenty);
    format_system_error(io, 1, error);
    EXPECT_EQ(std::string(error.system_text), "Incorrect function.");

    const std::string just_fits(79, 'b');  // 79 characters and the NUL fill 80 bytes
    io.SetSystemMessage(2, just_fits);
    format_system_error(io, 2, error);
    EXPECT_EQ(std::string(error.system_text), just_fits.substr(0, 63));
}

TEST_F(SystemErrorText, NoTextKeepsThePreviousContentsButStillPointsAtIt) {
    io.SetSystemMessage(5, std::string(80, 'c'));  // with its NUL it needs 81 bytes
    format_system_error(io, 5, error);
    EXPECT_EQ(error.text_id, kUseSystemText);
    EXPECT_STREQ(error.system_text, "") << "empty after the clearing";

    io.SetSystemMessage(21, "The device is not ready.\r\n");
    format_system_error(io, 21, error);
    format_system_error(io, 5, error);       // too long
    format_system_error(io, 999999, error);  // no text for the code
    EXPECT_EQ(error.text_id, kUseSystemText);
    EXPECT_STREQ(error.system_text, "The device is not ready.\r");
}

class Explanation : public ::testing::Test {
protected:
    test::ScriptedMessages messages;
    SenseReport report{};
    LastError error{};
    FailureExplanation explanation{};

    void Explain() {
        std::memset(&explanation, '?', sizeof explanation);  // nothing may be left over
        ExplainFailure(messages, report, error, explanation);
    }
};

TEST_F(Explanation, RecognisedSenseGivesItsMessageAndTheSenseValues) {
    report = {2, 0x3A, 0, 5406};
    error.text_id = kUseSystemText;
    CopyText(error.system_text, "The device is not ready.");
    Explain();
    EXPECT_EQ(std::string(explanation.text), messages.Text(5406));
    EXPECT_STREQ(explanation.sense_display,
                 "Last Error Reported Sense Data:\nSense Key: 2\nSense Code: 3a\nSense Code Qualifier: 0");

    report = {6, 0xAB, 0x1F, 5801};
    Explain();
    EXPECT_EQ(std::string(explanation.text), "SCSI device powered on or reset");
    EXPECT_STREQ(explanation.sense_display,
                 "Last Error Reported Sense Data:\nSense Key: 6\nSense Code: ab\nSense Code Qualifier: 1f");
}

TEST_F(Explanation, WithoutSenseTheLastErrorExplains) {
    error.text_id = kUseSystemText;
    CopyText(error.system_text, "The semaphore timeout period has expired.\r");
    Explain();
    EXPECT_STREQ(explanation.text, "The semaphore timeout period has expired.\r");
    EXPECT_STREQ(explanation.sense_display, "");

    error.text_id = 6100;
    Explain();
    EXPECT_EQ(std::string(explanation.text), messages.Text(6100));
    error.text_id = 6200;
    Explain();
    EXPECT_EQ(std::string(explanation.text), messages.Text(6200));
    EXPECT_STREQ(explanation.sense_display, "");

    // A sense key recorded without a message explains nothing.
    report = {2, 4, 0, 0};
    error.text_id = 0;
    Explain();
    EXPECT_STREQ(explanation.text, "");
    EXPECT_STREQ(explanation.sense_display, "");
}

TEST_F(Explanation, SystemTextWithoutTerminatorStaysInsideTheRecord) {
    error.text_id = kUseSystemText;
    std::memset(error.system_text, 'z', sizeof error.system_text);
    Explain();
    EXPECT_EQ(std::string(explanation.text), std::string(sizeof error.system_text, 'z'));
}

}  // namespace
}  // namespace td
