// The virtual bus itself: what the devices answer, scripted behaviour, and
// the record of every command.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bus/scenario.h"
#include "bus/virtual_bus.h"

namespace td::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

Scenario Parse(const std::string& text) {
    Scenario scenario;
    std::string error;
    EXPECT_TRUE(ParseScenario(text, scenario, error)) << error;
    return scenario;
}

BusRequest Command(int adapter, int target, Bytes cdb, std::uint32_t length,
                   DataDirection direction = DataDirection::Unspecified, Bytes data_out = {}) {
    BusRequest request;
    request.adapter = adapter;
    request.target = target;
    request.cdb = std::move(cdb);
    request.data_length = length;
    request.direction = direction;
    request.data_out = std::move(data_out);
    return request;
}

Bytes Inquiry(std::uint8_t allocation) { return {kOpInquiry, 0, 0, 0, allocation, 0}; }
Bytes TestUnitReady() { return {kOpTestUnitReady, 0, 0, 0, 0, 0}; }
Bytes Buffer(std::uint8_t opcode, std::uint8_t mode, std::uint32_t offset, std::uint32_t length) {
    return {opcode,
            mode,
            0,
            static_cast<std::uint8_t>(offset >> 16),
            static_cast<std::uint8_t>(offset >> 8),
            static_cast<std::uint8_t>(offset),
            static_cast<std::uint8_t>(length >> 16),
            static_cast<std::uint8_t>(length >> 8),
            static_cast<std::uint8_t>(length),
            0};
}

Bytes Pattern(std::size_t length) {
    Bytes bytes(length);
    for (std::size_t i = 0; i < length; ++i) bytes[i] = (i % 2 == 0) ? 0xAA : 0x55;
    return bytes;
}

TEST(VirtualBus, DevicesAnswerInquiryAndTestUnitReady) {
    VirtualBus bus(DefaultScenario());
    const ScenarioDevice* disk = bus.FindDevice(0, 0, 0, 0);
    ASSERT_NE(disk, nullptr);
    const auto expected = disk->InquiryData();

    BusOutcome full = bus.Execute(Command(0, 0, Inquiry(96), 96));
    EXPECT_EQ(full.completion, Completion::Done);
    EXPECT_EQ(full.scsi_status, 0);
    EXPECT_EQ(full.transferred, 96u);
    EXPECT_EQ(full.data_in, Bytes(expected.begin(), expected.end()));

    BusOutcome short_one = bus.Execute(Command(0, 0, Inquiry(36), 96));
    EXPECT_EQ(short_one.transferred, 36u) << "the allocation length limits the answer";
    EXPECT_EQ(short_one.data_in, Bytes(expected.begin(), expected.begin() + 36));

    // The scanner is a SCSI-2 device without vital product data.
    BusOutcome evpd = bus.Execute(Command(1, 5, {kOpInquiry, 1, 0x80, 0, 96, 0}, 96));
    EXPECT_EQ(evpd.scsi_status, 0x02);
    EXPECT_EQ(evpd.sense, FixedSense(kSenseKeyIllegalRequest, kAscInvalidFieldInCdb, 0));

    EXPECT_EQ(bus.Execute(Command(0, 0, TestUnitReady(), 0)).scsi_status, 0);
    BusOutcome no_media = bus.Execute(Command(0, 4, TestUnitReady(), 0));
    EXPECT_EQ(no_media.scsi_status, 0x02);
    EXPECT_EQ(no_media.sense, FixedSense(0x02, 0x3A, 0x00));
    EXPECT_EQ(no_media.sense.size(), 18u);
    EXPECT_EQ(no_media.sense[0], 0x70);
    EXPECT_EQ(no_media.sense[7], 10);
}

TEST(VirtualBus, WriteBufferKeepsWhatReadBufferReturns) {
    VirtualBus bus(Parse("adapter\n device 1\n  buffer-size 4096\n"));
    const Bytes pattern = Pattern(512);
    BusOutcome write = bus.Execute(
        Command(0, 1, Buffer(kOpWriteBuffer, 2, 0, 512), 512, DataDirection::Unspecified, pattern));
    EXPECT_EQ(write.scsi_status, 0);
    EXPECT_EQ(write.transferred, 512u);
    EXPECT_TRUE(write.data_in.empty());
    EXPECT_EQ(bus.BufferContents(0, 0, 1, 0, 512), pattern);

    BusOutcome read = bus.Execute(Command(0, 1, Buffer(kOpReadBuffer, 2, 0, 512), 512));
    EXPECT_EQ(read.transferred, 512u);
    EXPECT_EQ(read.data_in, pattern);

    // An offset writes and reads inside the buffer.
    bus.Execute(Command(0, 1, Buffer(kOpWriteBuffer, 2, 1000, 2), 2, DataDirection::Out, {1, 2}));
    EXPECT_EQ(bus.Execute(Command(0, 1, Buffer(kOpReadBuffer, 2, 999, 4), 4)).data_in, (Bytes{0, 1, 2, 0}));

    // The descriptor tells the capacity.
    EXPECT_EQ(bus.Execute(Command(0, 1, Buffer(kOpReadBuffer, 3, 0, 4), 4)).data_in, (Bytes{0x00, 0x00, 0x10, 0x00}));

    const Bytes invalid_field = FixedSense(kSenseKeyIllegalRequest, kAscInvalidFieldInCdb, 0);
    EXPECT_EQ(bus.Execute(Command(0, 1, Buffer(kOpReadBuffer, 2, 4000, 200), 200)).sense, invalid_field)
        << "past the end of the buffer";
    EXPECT_EQ(bus.Execute(Command(0, 1, Buffer(kOpWriteBuffer, 0, 0, 4), 4, DataDirection::Out, {1, 2, 3, 4})).sense,
              invalid_field)
        << "only mode 2, data";
    EXPECT_EQ(bus.BufferContents(0, 0, 1, 0, 4), (Bytes{0xAA, 0x55, 0xAA, 0x55})) << "a refused write stores nothing";
}

TEST(VirtualBus, UnknownCommandsAndTransferMistakes) {
    VirtualBus bus(DefaultScenario());
    BusOutcome read10 = bus.Execute(Command(0, 0, {0x28, 0, 0, 0, 0, 0, 0, 0, 1, 0}, 512));
    EXPECT_EQ(read10.completion, Completion::Done);
    EXPECT_EQ(read10.scsi_status, 0x02);
    EXPECT_EQ(read10.sense, FixedSense(0x05, 0x20, 0x00)) << "ILLEGAL REQUEST, invalid command operation code";
    EXPECT_EQ(read10.transferred, 0u);

    // The host announces the wrong data phase.
    BusOutcome wrong_way = bus.Execute(Command(0, 0, Inquiry(96), 96, DataDirection::Out));
    EXPECT_EQ(wrong_way.completion, Completion::AdapterError);
    EXPECT_EQ(wrong_way.ha_stat, 0x14);
    EXPECT_TRUE(wrong_way.data_in.empty());
    BusOutcome write_in = bus.Execute(Command(0, 0, Buffer(kOpWriteBuffer, 2, 0, 8), 8, DataDirection::In, Pattern(8)));
    EXPECT_EQ(write_in.completion, Completion::AdapterError);

    // The host's buffer is smaller than what moves.
    EXPECT_EQ(bus.Execute(Command(0, 0, Inquiry(96), 36)).ha_stat, 0x12);
    EXPECT_EQ(
        bus.Execute(Command(0, 0, Buffer(kOpWriteBuffer, 2, 0, 512), 256, DataDirection::Out, Pattern(256))).ha_stat,
        0x12);
}

TEST(VirtualBus, EmptyIdsAndMissingAdapters) {
    VirtualBus bus(Parse("adapter\n device 1\nadapter\n empty-ids selection-timeout\n"));
    EXPECT_EQ(bus.Execute(Command(0, 2, Inquiry(96), 96)).completion, Completion::NoDevice);
    EXPECT_EQ(bus.Execute(Command(0, 7, Inquiry(96), 96)).completion, Completion::NoDevice)
        << "the adapter's own ID is empty too";
    BusRequest lun1 = Command(0, 1, Inquiry(96), 96);
    lun1.lun = 1;
    EXPECT_EQ(bus.Execute(lun1).completion, Completion::NoDevice);
    EXPECT_EQ(bus.Execute(Command(1, 0, Inquiry(96), 96)).completion, Completion::SelectionTimeout);
    EXPECT_EQ(bus.Execute(Command(2, 0, Inquiry(96), 96)).completion, Completion::InvalidAdapter);
    EXPECT_EQ(bus.Execute(Command(-1, 0, Inquiry(96), 96)).completion, Completion::InvalidAdapter);
    EXPECT_EQ(bus.Requests().size(), 6u) << "commands to nothing are recorded too";
}

TEST(VirtualBus, RulesApplyInOrderAndCanBeUsedUp) {
    VirtualBus bus(Parse(R"(
adapter
  device 3
    on any check 06 29 00 times 1
    on tur check 02 04 01 times 2
    on read-buffer corrupt 4 delay 25
    on inquiry delay 40
)"));
    // UNIT ATTENTION once, whatever the command ...
    BusOutcome first = bus.Execute(Command(0, 3, Inquiry(96), 96));
    EXPECT_EQ(first.sense, FixedSense(0x06, 0x29, 0x00));
    EXPECT_TRUE(first.data_in.empty()) << "a scripted status runs nothing";
    // ... then the next rule that matches, twice ...
    EXPECT_EQ(bus.Execute(Command(0, 3, TestUnitReady(), 0)).sense, FixedSense(0x02, 0x04, 0x01));
    EXPECT_EQ(bus.Execute(Command(0, 3, TestUnitReady(), 0)).sense, FixedSense(0x02, 0x04, 0x01));
    // ... then the device itself.
    BusOutcome ready = bus.Execute(Command(0, 3, TestUnitReady(), 0));
    EXPECT_EQ(ready.scsi_status, 0);
    EXPECT_EQ(ready.delay_ms, 0u);
    BusOutcome inquiry = bus.Execute(Command(0, 3, Inquiry(96), 96));
    EXPECT_EQ(inquiry.scsi_status, 0);
    EXPECT_EQ(inquiry.delay_ms, 40u);
    EXPECT_EQ(inquiry.transferred, 96u);

    const Bytes pattern = Pattern(512);
    bus.Execute(Command(0, 3, Buffer(kOpWriteBuffer, 2, 0, 512), 512, DataDirection::Out, pattern));
    BusOutcome read = bus.Execute(Command(0, 3, Buffer(kOpReadBuffer, 2, 0, 512), 512));
    EXPECT_EQ(read.delay_ms, 25u);
    Bytes damaged = pattern;
    damaged[4] ^= 0xFF;
    EXPECT_EQ(read.data_in, damaged) << "only byte 4 differs";
    EXPECT_EQ(bus.BufferContents(0, 0, 3, 0, 512), pattern) << "the device keeps the true data";
}

TEST(VirtualBus, TransportFailuresAndZeroLengthTransfers) {
    VirtualBus bus(Parse(R"(
adapter
  device 1
    on tur hastat 11 times 1
    on tur aspi-status 04 times 1
    on tur error 21 times 1
    on tur hang delay 5
    on write-buffer zero-length
    on read-buffer zero-length
)"));
    BusOutcome adapter_error = bus.Execute(Command(0, 1, TestUnitReady(), 0));
    EXPECT_EQ(adapter_error.completion, Completion::AdapterError);
    EXPECT_EQ(adapter_error.ha_stat, 0x11);
    EXPECT_FALSE(adapter_error.has_aspi_status);

    BusOutcome status_only = bus.Execute(Command(0, 1, TestUnitReady(), 0));
    EXPECT_EQ(status_only.completion, Completion::AdapterError);
    EXPECT_TRUE(status_only.has_aspi_status);
    EXPECT_EQ(status_only.aspi_status, 0x04);
    EXPECT_EQ(status_only.ha_stat, 0x00);

    // A system error means something on NT only; ASPI runs the command.
    BusOutcome over_aspi = bus.Execute(Command(0, 1, TestUnitReady(), 0));
    EXPECT_EQ(over_aspi.completion, Completion::Done) << "the error rule is used up, the device answers";
    EXPECT_EQ(over_aspi.scsi_status, 0);
    VirtualBus nt_bus(Parse("adapter\n device 1\n  on tur error 21\n"));
    BusRequest over_nt = Command(0, 1, TestUnitReady(), 0);
    over_nt.transport = Transport::Nt;
    BusOutcome nt = nt_bus.Execute(over_nt);
    EXPECT_EQ(nt.completion, Completion::SystemError);
    EXPECT_EQ(nt.system_error, 21u);
    EXPECT_EQ(nt_bus.Execute(Command(0, 1, TestUnitReady(), 0)).completion, Completion::Done);

    EXPECT_EQ(bus.Execute(Command(0, 1, TestUnitReady(), 0)).completion, Completion::Hang);

    BusOutcome write = bus.Execute(Command(0, 1, Buffer(kOpWriteBuffer, 2, 0, 8), 8, DataDirection::Out, Pattern(8)));
    EXPECT_EQ(write.completion, Completion::Done);
    EXPECT_EQ(write.scsi_status, 0);
    EXPECT_EQ(write.transferred, 0u);
    EXPECT_EQ(bus.BufferContents(0, 0, 1, 0, 8), Bytes(8, 0)) << "nothing reached the device";
    BusOutcome read = bus.Execute(Command(0, 1, Buffer(kOpReadBuffer, 2, 0, 8), 8));
    EXPECT_EQ(read.transferred, 0u);
    EXPECT_TRUE(read.data_in.empty());
}

}  // namespace
}  // namespace td::sim

namespace td::sim {
namespace {

// READ CAPACITY and the vital product data pages as the scenario gives
// them: each answer's bytes, or the sense the device answers instead.
TEST(VirtualBus, DevicesAnswerCapacityAndVitalProductDataAsDescribed) {
    VirtualBus bus(Parse(R"(
adapter
  device 0
    capacity 6442450944 4096
    serial "  SN1"
    designator naa 5000C5A012B3C4D5 port
    designator t10 "V  P"
  device 1
    type cdrom
    capacity 10 2048
    medium no
  device 2
    capacity 10
    evpd ignored
    vpd-length 00 300
  device 3
    serial ABCDEF
    vpd-pages 00 80 B0
    vpd-length 80 2
    on vpd hang
    on read-capacity-16 status 08
)"));
    const Bytes no_medium = FixedSense(0x02, 0x3A, 0x00);
    const Bytes illegal_field = FixedSense(kSenseKeyIllegalRequest, kAscInvalidFieldInCdb, 0);
    const Bytes illegal_opcode = FixedSense(kSenseKeyIllegalRequest, kAscInvalidOpcode, 0);
    const Bytes standard = [&] {
        const auto data = bus.FindDevice(0, 0, 2, 0)->InquiryData();
        return Bytes(data.begin(), data.begin() + 40);
    }();
    struct Row {
        int target;
        Bytes cdb;
        std::uint32_t length;
        Bytes data;   // the bytes that came
        Bytes sense;  // or the sense of a CHECK CONDITION
    };
    const Row rows[] = {
        {0, {0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 8, {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0x10, 0}, {}},
        {0,
         {0x9E, 0x10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 12, 0, 0},
         32,
         {0, 0, 0, 1, 0x7F, 0xFF, 0xFF, 0xFF, 0, 0, 0x10, 0},
         {}},
        {0, {0x9E, 0x11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 32, 0, 0}, 32, {}, illegal_field},
        {0, {0x12, 1, 0x00, 0, 0xFF, 0}, 255, {0, 0, 0, 3, 0x00, 0x80, 0x83}, {}},
        {0, {0x12, 1, 0x80, 0, 0xFF, 0}, 255, {0, 0x80, 0, 5, ' ', ' ', 'S', 'N', '1'}, {}},
        {0, {0x12, 1, 0x80, 0, 0x06, 0}, 255, {0, 0x80, 0, 5, ' ', ' '}, {}},
        {0,
         {0x12, 1, 0x83, 0, 0xFF, 0},
         255,
         {0,    0x83, 0,    20,   1, 0x13, 0, 8, 0x50, 0x00, 0xC5, 0xA0,
          0x12, 0xB3, 0xC4, 0xD5, 2, 0x01, 0, 4, 'V',  ' ',  ' ',  'P'},
         {}},
        {0, {0x12, 1, 0xB0, 0, 0xFF, 0}, 255, {}, illegal_field},
        {1, {0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 8, {}, no_medium},
        {1, {0x00, 0, 0, 0, 0, 0}, 0, {}, no_medium},
        {1, {0x12, 1, 0x00, 0, 0xFF, 0}, 255, {}, illegal_field},
        {2, {0x12, 1, 0x00, 0, 40, 0}, 255, standard, {}},
        {2, {0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 8, {0, 0, 0, 9, 0, 0, 2, 0}, {}},
        {3, {0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 8, {}, illegal_opcode},
        {3, {0x12, 0, 0, 0, 5, 0}, 96, Bytes{0x00, 0x00, 0x02, 0x02, 0x5B}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "ID " << row.target << ", CDB " << int(row.cdb[0]) << "/"
                                        << int(row.cdb[2]));
        const BusOutcome outcome = bus.Execute(Command(0, row.target, row.cdb, row.length, DataDirection::In));
        EXPECT_EQ(outcome.completion, Completion::Done);
        EXPECT_EQ(outcome.data_in, row.data);
        EXPECT_EQ(outcome.sense, row.sense);
    }
    // The rules for pages and capacities: an INQUIRY without EVPD is none
    // of them; a page list names pages it may not have.
    EXPECT_EQ(bus.Execute(Command(0, 3, {0x12, 1, 0x00, 0, 0xFF, 0}, 255)).completion, Completion::Hang);
    EXPECT_EQ(bus.Execute(Command(0, 3, {0x9E, 0x10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 32, 0, 0}, 32)).scsi_status,
              0x08);

    Scenario scenario;
    std::string error;
    EXPECT_FALSE(ParseScenario("adapter\ndevice 0\ncapacity 0\n", scenario, error));
    EXPECT_EQ(error, "line 3: a capacity has at least one block");
    EXPECT_FALSE(ParseScenario("adapter\ndevice 0\ndesignator naa 500\n", scenario, error));
    EXPECT_EQ(error, "line 3: a naa designator is an even number of hexadecimal digits, not '500'");
}

}  // namespace
}  // namespace td::sim
