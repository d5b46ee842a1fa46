// Judging finished requests: request classification, the sense table on
// both transports, system error texts and the explanation of a failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/fixed_text.h"
#include "resources/resource_ids.h"
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
    int aspi_message;
    int nt_message;
};

// The table's advice on both transports; every answer without advice is
// explained by the standard's names (IDS_SENSE_REPORTED).
TEST(SenseTable, EveryRowOnBothTransports) {
    constexpr int kNames = IDS_SENSE_REPORTED;
    const TableCase cases[] = {
        {0x02, 0x04, 0x00, 5400, 5400},     {0x02, 0x04, 0x01, 5800, 5800},     {0x02, 0x04, 0x02, 5401, 5401},
        {0x02, 0x04, 0x03, 5402, 5402},     {0x02, 0x04, 0x04, 5403, 5403},     {0x02, 0x3A, 0x00, 5406, 5406},
        {0x02, 0x3A, 0x02, 5406, 5406},     {0x04, 0x40, 0x80, 5404, 5404},     {0x04, 0x41, 0x00, 5405, 5404},
        {0x04, 0x42, 0x00, 5405, 5404},     {0x04, 0x44, 0x00, 5405, 5405},     {0x04, 0x00, 0x00, 5405, 5405},
        {0x05, 0x20, 0x00, 6000, 6000},     {0x05, 0x22, 0x00, 6000, 6000},     {0x05, 0x24, 0x00, 6000, 6000},
        {0x05, 0x26, 0x03, 6000, 6000},     {0x05, 0x25, 0x00, kNames, kNames}, {0x06, 0x28, 0x00, 5800, 5800},
        {0x06, 0x29, 0x02, 5801, 5801},     {0x06, 0x2A, 0x01, kNames, kNames}, {0x07, 0x27, 0x00, 5900, 5900},
        {0x02, 0x05, 0x00, kNames, kNames}, {0x00, 0x00, 0x00, kNames, kNames}, {0x01, 0x17, 0x01, kNames, kNames},
        {0x03, 0x11, 0x00, kNames, kNames}, {0x08, 0x00, 0x00, kNames, kNames}, {0x0B, 0x47, 0x00, kNames, kNames},
        {0x0F, 0x00, 0x00, kNames, kNames},
    };
    for (const TableCase& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << "key " << int(c.key) << " asc " << int(c.asc) << " ascq "
                                        << int(c.ascq));
        const auto data = Sense(0x70, c.key, c.asc, c.ascq);
        for (const bool nt : {false, true}) {
            SCOPED_TRACE(nt ? "NT" : "ASPI");
            SenseReport report = kEarlier;
            EXPECT_EQ(nt ? OnNt(data, report) : OnAspi(data, report), 1);
            EXPECT_TRUE(Same(report, SenseReport{c.key, c.asc, c.ascq, nt ? c.nt_message : c.aspi_message}));
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

// The sixteen keys by their standard names, with and without the FILEMARK,
// EOM and ILI bits beside them in byte 2: the bits never hide the key.
TEST(SenseTable, FlagBitsInTheKeyByteNeverHideTheKey) {
    const char* const names[16] = {"NO SENSE",         "RECOVERED ERROR", "NOT READY",      "MEDIUM ERROR",
                                   "HARDWARE ERROR",   "ILLEGAL REQUEST", "UNIT ATTENTION", "DATA PROTECT",
                                   "BLANK CHECK",      "VENDOR SPECIFIC", "COPY ABORTED",   "ABORTED COMMAND",
                                   "EQUAL (OBSOLETE)", "VOLUME OVERFLOW", "MISCOMPARE",     "RESERVED"};
    test::ScriptedMessages messages;
    for (std::uint8_t key = 0; key < 16; ++key) {
        for (const std::uint8_t flags : {0x00, 0x20, 0x40, 0x80, 0xE0}) {
            for (const bool nt : {false, true}) {
                SCOPED_TRACE(testing::Message() << std::hex << "byte 2 " << int(key | flags) << (nt ? " NT" : " ASPI"));
                // UNRECOVERED READ ERROR: only the two rows that take every
                // ASC (HARDWARE ERROR, DATA PROTECT) have advice for it.
                const auto data = Sense(0x70, static_cast<std::uint8_t>(key | flags), 0x11, 0x00);
                SenseReport report = kEarlier;
                EXPECT_EQ(nt ? OnNt(data, report) : OnAspi(data, report), 1);
                FailureExplanation explanation;
                ExplainFailure(messages, report, LastError{}, explanation);
                if (key == 0x04 || key == 0x07) {
                    EXPECT_TRUE(Same(report, SenseReport{key, 0x11, 0, key == 0x04 ? 5405 : 5900}));
                } else {
                    EXPECT_TRUE(Same(report, SenseReport{key, 0x11, 0, IDS_SENSE_REPORTED}));
                    EXPECT_EQ(std::string(explanation.text), std::string("The device reports ") + names[key] +
                                                                 ": UNRECOVERED READ ERROR (ASC 11h, ASCQ 00h).");
                }
            }
        }
    }
    // ILI with NOT READY, no medium: the table's advice.
    for (const bool nt : {false, true}) {
        SenseReport report{};
        EXPECT_EQ(nt ? OnNt(Sense(0x70, 0x22, 0x3A, 0x00), report) : OnAspi(Sense(0x70, 0x22, 0x3A, 0x00), report), 1);
        EXPECT_TRUE(Same(report, SenseReport{2, 0x3A, 0, 5406})) << (nt ? "NT" : "ASPI");
    }
}

// A command or field the device does not have reads alike on both
// transports, with the key recorded.
TEST(SenseTable, IllegalRequestIsExplainedAlikeOnBothTransports) {
    for (const bool nt : {false, true}) {
        SenseReport report = kEarlier;
        EXPECT_EQ(nt ? OnNt(Sense(0x70, 0x05, 0x24, 0x00), report) : OnAspi(Sense(0x70, 0x05, 0x24, 0x00), report), 1);
        EXPECT_TRUE(Same(report, SenseReport{5, 0x24, 0, 6000})) << (nt ? "NT" : "ASPI");
    }
}

// Answers the table has no advice for replace the earlier explanation with
// their own, told in the standard's names.
TEST(SenseTable, UnexplainedRowsAreToldByTheStandardsNames) {
    test::ScriptedMessages messages;
    const struct {
        std::uint8_t key, asc, ascq;
        const char* told;
    } cases[] = {
        {0x02, 0x04, 0x07,
         "The device reports NOT READY: LOGICAL UNIT NOT READY, OPERATION IN PROGRESS (ASC 04h, ASCQ 07h)."},
        {0x05, 0x25, 0x00, "The device reports ILLEGAL REQUEST: LOGICAL UNIT NOT SUPPORTED (ASC 25h, ASCQ 00h)."},
        {0x06, 0x2A, 0x09, "The device reports UNIT ATTENTION: CAPACITY DATA HAS CHANGED (ASC 2Ah, ASCQ 09h)."},
        // A range of qualifiers, and pairs the standard does not name.
        {0x01, 0x40, 0x85,
         "The device reports RECOVERED ERROR: DIAGNOSTIC FAILURE ON COMPONENT NN (80h-FFh) (ASC 40h, ASCQ 85h)."},
        {0x01, 0x40, 0x05,
         "The device reports RECOVERED ERROR with a code the SCSI standard does not name (ASC 40h, ASCQ 05h)."},
        {0x0B, 0x4D, 0x3C,
         "The device reports ABORTED COMMAND: TAGGED OVERLAPPED COMMANDS (NN = TASK TAG) (ASC 4Dh, "
         "ASCQ 3Ch)."},
        {0x03, 0x80, 0x01,
         "The device reports MEDIUM ERROR with a code the SCSI standard does not name (ASC 80h, ASCQ 01h)."},
        {0x02, 0x3B, 0x20,
         "The device reports NOT READY with a code the SCSI standard does not name (ASC 3Bh, ASCQ 20h)."},
    };
    for (const auto& c : cases) {
        for (const bool nt : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.told << (nt ? " NT" : " ASPI"));
            SenseReport report = kEarlier;
            const auto data = Sense(0x70, c.key, c.asc, c.ascq);
            EXPECT_EQ(nt ? OnNt(data, report) : OnAspi(data, report), 1);
            FailureExplanation explanation;
            ExplainFailure(messages, report, LastError{}, explanation);
            EXPECT_EQ(std::string(explanation.text), c.told);
        }
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

    EXPECT_STREQ(explanation.information, explanation.sense_display) << "the information block shows the values";

    report = {6, 0xAB, 0x1F, 5801};
    Explain();
    EXPECT_EQ(std::string(explanation.text), "SCSI device powered on or reset");
    EXPECT_STREQ(explanation.sense_display,
                 "Last Error Reported Sense Data:\nSense Key: 6\nSense Code: ab\nSense Code Qualifier: 1f");

    // Told by the standard's names, with the same sense display.
    report = {3, 0x11, 0x00, IDS_SENSE_REPORTED};
    Explain();
    EXPECT_STREQ(explanation.text, "The device reports MEDIUM ERROR: UNRECOVERED READ ERROR (ASC 11h, ASCQ 00h).");
    EXPECT_STREQ(explanation.information,
                 "Last Error Reported Sense Data:\nSense Key: 3\nSense Code: 11\nSense Code Qualifier: 0");
}

TEST_F(Explanation, WithoutSenseTheLastErrorExplains) {
    error.text_id = kUseSystemText;
    CopyText(error.system_text, "The semaphore timeout period has expired.\r");
    Explain();
    EXPECT_STREQ(explanation.text, "The semaphore timeout period has expired.\r");
    EXPECT_STREQ(explanation.sense_display, "");

    EXPECT_STREQ(explanation.information, explanation.text);

    // The code is named when the system has no text for it.
    error.system_text[0] = '\0';
    error.values[0] = 1167;
    Explain();
    EXPECT_STREQ(explanation.text, "The system reports error 1167 and gives no text for it.");

    error.text_id = 6100;
    Explain();
    EXPECT_EQ(std::string(explanation.text), messages.Text(6100));
    EXPECT_EQ(std::string(explanation.information), messages.Text(6100));
    EXPECT_STREQ(explanation.sense_display, "");

    // Records that hold nothing explain nothing.
    report = {};
    error = {};
    Explain();
    EXPECT_STREQ(explanation.text, "");
    EXPECT_STREQ(explanation.sense_display, "");
    EXPECT_STREQ(explanation.information, "");
}

// What the adapter, the device or the port driver reported without sense
// data, named in the published words, with the values in hexadecimal.
TEST_F(Explanation, StatusesAreNamedWithTheirValues) {
    const struct {
        std::int32_t text_id;
        std::uint32_t value;
        const char* told;
    } cases[] = {
        {IDS_ADAPTER_STATUS, 0x11, "The host adapter reports SELECTION TIMEOUT (host adapter status 11h)."},
        {IDS_ADAPTER_STATUS, 0x0F, "The host adapter reports PARITY ERROR (host adapter status 0Fh)."},
        {IDS_ADAPTER_STATUS, 0x7E, "The host adapter reports UNKNOWN (host adapter status 7Eh)."},
        {IDS_TARGET_STATUS, 0x08,
         "The device answered with status BUSY (08h) and no sense data the program could read."},
        {IDS_TARGET_STATUS, 0x02,
         "The device answered with status CHECK CONDITION (02h) and no sense data the program could read."},
        {IDS_ASPI_REQUEST_STATUS, 0x82, "The ASPI manager ended the request with NO DEVICE (status 82h)."},
        {IDS_ASPI_REQUEST_STATUS, 0x04, "The ASPI manager ended the request with ERROR (status 04h)."},
        {IDS_ASPI_REQUEST_REFUSED, 0xE0,
         "The ASPI manager refused the request at once with INVALID REQUEST BLOCK (status E0h); it did not reach the "
         "device."},
        {IDS_REQUEST_ABORTED, 2, "The device did not finish the command within 2 seconds; the request was aborted."},
    };
    for (const auto& c : cases) {
        RecordFailure(error, c.text_id, c.value);
        Explain();
        EXPECT_STREQ(explanation.text, c.told);
        EXPECT_STREQ(explanation.information, c.told);
        EXPECT_STREQ(explanation.sense_display, "");
    }
}

// READ BUFFER's advice stays first in the box; the bytes that differ follow
// it, and the information block keeps them alone.
TEST_F(Explanation, MismatchSaysHowManyBytesDifferAndWhichFirst) {
    RecordFailure(error, IDS_READ_BUFFER_MISMATCH, 3, 511, 0x55, 0x00);
    Explain();
    const std::string differs = "Bytes that differ: 3, the first at offset 511 (written 55h, read 00h).";
    EXPECT_EQ(std::string(explanation.text), messages.Text(6200) + "\n\n" + differs);
    EXPECT_EQ(std::string(explanation.information), differs);

    // A device that could not be opened: the system's reason follows.
    RecordFailure(error, IDS_OPEN_FAILED, 5);
    CopyText(error.system_text, "Access is denied.\r");
    Explain();
    EXPECT_STREQ(explanation.text, "The device could not be opened.\nAccess is denied.\r");
}

TEST_F(Explanation, SystemTextWithoutTerminatorStaysInsideTheRecord) {
    error.text_id = kUseSystemText;
    std::memset(error.system_text, 'z', sizeof error.system_text);
    Explain();
    EXPECT_EQ(std::string(explanation.text), std::string(sizeof error.system_text, 'z'));
}

}  // namespace
}  // namespace td
