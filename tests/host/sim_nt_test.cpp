// The NT port driver simulator: device names, drives, the inquiry data
// layout walked byte by byte, address queries, both pass-through forms and
// every failure it scripts or detects.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "bus/scenario.h"
#include "nt/nt_port_simulator.h"
#include "scsi/nt_layout.h"
#include "support/fake_clock.h"

namespace td::sim {
namespace {

using namespace td::nt;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kRead = 0x80000000u;
constexpr std::uint32_t kReadWrite = 0xC0000000u;
constexpr std::uint32_t kShareRead = 1;
constexpr std::uint32_t kShareBoth = 3;

Scenario Parse(const std::string& text) {
    Scenario scenario;
    std::string error;
    EXPECT_TRUE(ParseScenario(text, scenario, error)) << error;
    return scenario;
}

template <typename T>
T Read(const std::uint8_t* buffer, std::size_t offset) {
    T value;
    std::memcpy(&value, buffer + offset, sizeof value);
    return value;
}

Bytes Pattern(std::size_t length) {
    Bytes bytes(length);
    for (std::size_t i = 0; i < length; ++i) bytes[i] = (i % 2 == 0) ? 0xAA : 0x55;
    return bytes;
}

// The TEST UNIT READY block as the program builds it.
PassThroughBlock TestUnitReadyBlock() {
    PassThroughBlock block;
    std::memset(&block, 0, sizeof block);
    block.spt.Length = sizeof(ScsiPassThrough);
    block.spt.CdbLength = 6;
    block.spt.SenseInfoLength = kPassThroughSenseLength;
    block.spt.DataIn = kScsiIoctlDataIn;
    block.spt.TimeOutValue = 2;
    block.spt.DataBufferOffset = offsetof(PassThroughBlock, data);
    block.spt.SenseInfoOffset = offsetof(PassThroughBlock, sense);
    return block;
}

// A buffer command's direct block: WRITE BUFFER (0x3B) or READ BUFFER (0x3C).
PassThroughDirectBlock BufferBlock(std::uint8_t opcode, std::uint8_t* data, std::uint32_t length) {
    PassThroughDirectBlock block;
    std::memset(&block, 0, sizeof block);
    block.sptd.Length = sizeof(ScsiPassThroughDirect);
    block.sptd.CdbLength = 10;
    block.sptd.SenseInfoLength = kPassThroughSenseLength;
    block.sptd.DataIn = opcode == 0x3B ? kScsiIoctlDataOut : kScsiIoctlDataIn;
    block.sptd.DataTransferLength = length;
    block.sptd.TimeOutValue = 2;
    block.sptd.DataBuffer = data;
    block.sptd.SenseInfoOffset = offsetof(PassThroughDirectBlock, sense);
    const std::uint8_t cdb[10] = {opcode,
                                  2,
                                  0,
                                  0,
                                  0,
                                  0,
                                  static_cast<std::uint8_t>(length >> 16),
                                  static_cast<std::uint8_t>(length >> 8),
                                  static_cast<std::uint8_t>(length),
                                  0};
    std::memcpy(block.sptd.Cdb, cdb, sizeof cdb);
    return block;
}

class NtSimulator : public ::testing::Test {
protected:
    test::FakeClock clock;

    bool TestUnitReady(NtPortSimulator& sim, DeviceHandle handle, PassThroughBlock& block,
                       std::uint32_t* returned = nullptr) {
        std::uint32_t count = 0xDEAD;
        const bool ok = sim.Control(handle, kIoctlScsiPassThrough, &block, kTestUnitReadyInSize, &block,
                                    kTestUnitReadyOutSize, &count);
        if (returned != nullptr) *returned = count;
        return ok;
    }
    bool Direct(NtPortSimulator& sim, DeviceHandle handle, PassThroughDirectBlock& block) {
        std::uint32_t count = 0;
        return sim.Control(handle, kIoctlScsiPassThroughDirect, &block, kDirectInOutSize, &block, kDirectInOutSize,
                           &count);
    }
};

const char* kMultiBus = R"(
adapter
  identifier MULTI
  scsi-id 7
  buses 3
  initiator-id 1 6
  device 1 lun 1
    type processor
    vendor HP
  device 1
    type disk
    vendor DISKCO
    drive D:
    drive F:
  device 3 bus 1
    type scanner
    claimed no
  device 0 bus 1
    type tape
    tape 1
adapter
  port 1
  inquiry-data fails 31
  device 2
    type disk
    drive G: address-fails
    drive H: address-fails 1117
  device 3
    type tape
    tape 3 address-fails
extra-drive Z: remote
extra-drive R: ramdisk
)";

TEST_F(NtSimulator, PortsDrivesAndClassDevicesOpenByName) {
    NtPortSimulator sim(DefaultScenario(), &clock);
    const DeviceHandle port0 = sim.Open("\\\\.\\SCSI0:", kReadWrite, kShareBoth);
    const DeviceHandle port1 = sim.Open("\\\\.\\scsi1:", kReadWrite, kShareBoth);
    EXPECT_NE(port0, 0u);
    EXPECT_NE(port1, 0u);
    EXPECT_NE(port0, port1);
    EXPECT_NE(sim.Open("\\\\.\\C:", kReadWrite, kShareBoth), 0u);
    const DeviceHandle cdrom = sim.Open("\\\\.\\e:", kRead, kShareRead);
    EXPECT_NE(cdrom, 0u);
    sim.Close(cdrom);
    EXPECT_NE(sim.Open("\\\\.\\E:", kReadWrite, kShareBoth), 0u) << "NT opens a CD-ROM read-write too";
    EXPECT_NE(sim.Open("\\\\.\\Tape0", kReadWrite, kShareBoth), 0u);
    EXPECT_NE(sim.Open("\\\\.\\SCANNER0", kReadWrite, kShareBoth), 0u);
    EXPECT_EQ(sim.OpenHandles(), 6);

    sim.SetLastError(1234);
    for (const char* name :
         {"\\\\.\\SCSI2:", "\\\\.\\SCSI0", "\\\\.\\SCSI00:", "\\\\.\\SCSI-1:", "SCSI0:", "\\\\.\\D:", "\\\\.\\C:\\",
          "\\\\.\\Tape1", "\\\\.\\Tape", "\\\\.\\Tape01", "\\\\.\\Scanner0x", "\\\\.\\", "", "\\\\?\\C:"}) {
        EXPECT_EQ(sim.Open(name, kReadWrite, kShareBoth), 0u) << name;
        EXPECT_EQ(sim.LastError(), kErrFileNotFound) << name;
    }
    EXPECT_EQ(sim.Open(nullptr, kRead, kShareRead), 0u);

    sim.SetLastError(1234);
    const DeviceHandle again = sim.Open("\\\\.\\SCSI0:", kReadWrite, kShareBoth);
    EXPECT_EQ(sim.LastError(), 1234u) << "success leaves the last error alone";
    sim.Close(again);
    sim.Close(port0);
    sim.Close(port1);
    EXPECT_EQ(sim.OpenHandles(), 4);
    sim.Close(port1);
    EXPECT_EQ(sim.LastError(), kErrInvalidHandle) << "closing twice";
    std::uint32_t returned = 7;
    std::uint8_t buffer[8];
    EXPECT_FALSE(sim.Control(port1, kIoctlScsiGetAddress, nullptr, 0, buffer, 8, &returned));
    EXPECT_EQ(sim.LastError(), kErrInvalidHandle);
    EXPECT_EQ(returned, 0u);

    const auto calls = sim.Calls();
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(calls[3].op, NtCall::Op::Open);
    EXPECT_EQ(calls[3].name, "\\\\.\\e:");
    EXPECT_EQ(calls[3].access, kRead);
    EXPECT_EQ(calls[3].share, kShareRead);
    EXPECT_TRUE(calls[3].ok);
}

TEST_F(NtSimulator, SharingFollowsTheFileSystemRule) {
    NtPortSimulator sim(DefaultScenario(), &clock);
    const DeviceHandle disk = sim.Open("\\\\.\\C:", kReadWrite, kShareBoth);
    const DeviceHandle second = sim.Open("\\\\.\\c:", kReadWrite, kShareBoth);
    EXPECT_NE(second, 0u) << "both share reading and writing";
    EXPECT_EQ(sim.Open("\\\\.\\C:", kRead, kShareRead), 0u) << "would refuse the writers already there";
    EXPECT_EQ(sim.LastError(), kErrSharingViolation);
    sim.Close(disk);
    sim.Close(second);
    EXPECT_NE(sim.Open("\\\\.\\C:", kRead, kShareRead), 0u) << "nothing open any more";

    const DeviceHandle cdrom = sim.Open("\\\\.\\E:", kRead, kShareRead);
    EXPECT_NE(sim.Open("\\\\.\\E:", kRead, kShareRead), 0u) << "readers sharing reading";
    EXPECT_EQ(sim.Open("\\\\.\\E:", kReadWrite, kShareBoth), 0u) << "the first reader shares no writing";
    EXPECT_EQ(sim.LastError(), kErrSharingViolation);
    EXPECT_NE(sim.Open("\\\\.\\SCSI0:", kReadWrite, kShareBoth), 0u) << "another object";
    sim.Close(cdrom);
    char text[128];
    EXPECT_GT(sim.SystemMessage(kErrSharingViolation, text, sizeof text), 0u);
    EXPECT_STREQ(text, "The process cannot access the file because it is being used by another process.\r\n");
}

TEST_F(NtSimulator, ScriptedOpenFailuresAndReadOnlyDrives) {
    NtPortSimulator sim(Parse(R"(
adapter
  device 0
    drive C: read-only
    drive D: open-fails
  device 1
    type tape
    tape 0 open-fails 21
)"),
                        &clock);
    EXPECT_NE(sim.Open("\\\\.\\C:", kRead, kShareRead), 0u);
    EXPECT_EQ(sim.Open("\\\\.\\C:", kReadWrite, kShareBoth), 0u);
    EXPECT_EQ(sim.LastError(), kErrAccessDenied);
    EXPECT_EQ(sim.Open("\\\\.\\D:", kRead, kShareRead), 0u);
    EXPECT_EQ(sim.LastError(), kErrAccessDenied);
    EXPECT_EQ(sim.Open("\\\\.\\Tape0", kReadWrite, kShareBoth), 0u);
    EXPECT_EQ(sim.LastError(), 21u);
}

TEST_F(NtSimulator, LogicalDrivesAndTheirTypes) {
    NtPortSimulator sim(Parse(kMultiBus), &clock);
    const std::uint32_t expected = 1u << ('D' - 'A') | 1u << ('F' - 'A') | 1u << ('G' - 'A') | 1u << ('H' - 'A') |
                                   1u << ('Z' - 'A') | 1u << ('R' - 'A');
    EXPECT_EQ(sim.LogicalDrives(), expected);
    EXPECT_EQ(sim.DriveType("D:\\"), kDriveTypeFixed);
    EXPECT_EQ(sim.DriveType("f:\\"), kDriveTypeFixed);
    EXPECT_EQ(sim.DriveType("Z:\\"), kDriveTypeRemote);
    EXPECT_EQ(sim.DriveType("R:"), kDriveTypeRamdisk);
    EXPECT_EQ(sim.DriveType("C:\\"), 1u) << "no root directory";
    EXPECT_EQ(sim.DriveType("D:\\x"), 1u);
    EXPECT_EQ(sim.DriveType(nullptr), 1u);

    NtPortSimulator plain(DefaultScenario(), &clock);
    EXPECT_EQ(plain.LogicalDrives(), 0x14u) << "C: and E:";
    EXPECT_EQ(plain.DriveType("E:\\"), kDriveTypeCdrom);
}

TEST_F(NtSimulator, InquiryDataOfTheDefaultPortByteByByte) {
    NtPortSimulator sim(DefaultScenario(), &clock);
    const DeviceHandle port = sim.Open("\\\\.\\SCSI0:", kReadWrite, kShareBoth);
    std::uint8_t buffer[kInquiryDataBufferSize];
    std::memset(buffer, 0xCC, sizeof buffer);
    std::uint32_t returned = 0;
    ASSERT_TRUE(sim.Control(port, kIoctlScsiGetInquiryData, nullptr, 0, buffer, sizeof buffer, &returned));
    EXPECT_EQ(returned, 12u + 2 * 48u);

    EXPECT_EQ(buffer[0], 1) << "NumberOfBuses";
    EXPECT_EQ(buffer[1], 0);
    EXPECT_EQ(buffer[4], 2) << "bus 0: NumberOfLogicalUnits";
    EXPECT_EQ(buffer[5], 7) << "bus 0: InitiatorBusId";
    EXPECT_EQ(Read<std::uint32_t>(buffer, 8), 12u) << "bus 0: InquiryDataOffset";

    const auto disk = sim.bus().FindDevice(0, 0, 0, 0)->InquiryData();
    EXPECT_EQ(buffer[12], 0) << "PathId";
    EXPECT_EQ(buffer[13], 0) << "TargetId";
    EXPECT_EQ(buffer[14], 0) << "Lun";
    EXPECT_EQ(buffer[15], 1) << "DeviceClaimed";
    EXPECT_EQ(Read<std::uint32_t>(buffer, 16), 36u) << "InquiryDataLength";
    EXPECT_EQ(Read<std::uint32_t>(buffer, 20), 60u) << "NextInquiryDataOffset";
    EXPECT_EQ(std::memcmp(buffer + 24, disk.data(), 36), 0);

    const auto cdrom = sim.bus().FindDevice(0, 0, 4, 0)->InquiryData();
    EXPECT_EQ(buffer[60], 0);
    EXPECT_EQ(buffer[61], 4);
    EXPECT_EQ(buffer[62], 0);
    EXPECT_EQ(buffer[63], 1);
    EXPECT_EQ(Read<std::uint32_t>(buffer, 64), 36u);
    EXPECT_EQ(Read<std::uint32_t>(buffer, 68), 0u) << "the last entry of the bus";
    EXPECT_EQ(std::memcmp(buffer + 72, cdrom.data(), 36), 0);
    EXPECT_EQ(buffer[72 + 1], 0x80) << "the CD-ROM's RMB bit";
    EXPECT_EQ(buffer[108], 0xCC) << "nothing written past the answer";

    // One byte short is too small, and nothing is written.
    std::memset(buffer, 0xCC, sizeof buffer);
    EXPECT_FALSE(sim.Control(port, kIoctlScsiGetInquiryData, nullptr, 0, buffer, 107, &returned));
    EXPECT_EQ(sim.LastError(), kErrInsufficientBuffer);
    EXPECT_EQ(returned, 0u);
    EXPECT_EQ(buffer[0], 0xCC);
    EXPECT_TRUE(sim.Control(port, kIoctlScsiGetInquiryData, nullptr, 0, buffer, 108, &returned));
}

TEST_F(NtSimulator, InquiryDataWithSeveralBusesAndLuns) {
    NtPortSimulator sim(Parse(kMultiBus), &clock);
    const DeviceHandle port = sim.Open("\\\\.\\SCSI0:", kReadWrite, kShareBoth);
    std::uint8_t buffer[kInquiryDataBufferSize];
    std::uint32_t returned = 0;
    ASSERT_TRUE(sim.Control(port, kIoctlScsiGetInquiryData, nullptr, 0, buffer, sizeof buffer, &returned));

    ASSERT_EQ(buffer[0], 3);
    struct Entry {
        int bus, target, lun, claimed;
        std::string vendor;
    };
    std::vector<Entry> entries;
    std::vector<int> counts, initiators;
    for (int bus = 0; bus < buffer[0]; ++bus) {
        const std::size_t at = offsetof(ScsiAdapterBusInfo, BusData) + bus * sizeof(ScsiBusData);
        counts.push_back(buffer[at + offsetof(ScsiBusData, NumberOfLogicalUnits)]);
        initiators.push_back(buffer[at + offsetof(ScsiBusData, InitiatorBusId)]);
        std::uint32_t offset = Read<std::uint32_t>(buffer, at + offsetof(ScsiBusData, InquiryDataOffset));
        int walked = 0;
        while (offset != 0) {
            ASSERT_LT(offset + 48, returned + 1);
            EXPECT_EQ(offset % 4, 0u) << "entries are aligned";
            const std::uint8_t* entry = buffer + offset;
            entries.push_back({entry[0], entry[1], entry[2], entry[3],
                               std::string(reinterpret_cast<const char*>(entry + 12 + 8), 6)});
            EXPECT_EQ(entry[0], bus) << "PathId is the bus";
            offset = Read<std::uint32_t>(entry, offsetof(ScsiInquiryData, NextInquiryDataOffset));
            ++walked;
        }
        EXPECT_EQ(walked, counts.back()) << "bus " << bus;
    }
    EXPECT_EQ(counts, (std::vector<int>{2, 2, 0}));
    EXPECT_EQ(initiators, (std::vector<int>{7, 6, 7}));
    EXPECT_EQ(Read<std::uint32_t>(buffer, 4 + 2 * 8 + 4), 0u) << "an empty bus has no offset";
    ASSERT_EQ(entries.size(), 4u);
    // Ordered by target and LUN within each bus, whatever the scenario's order.
    EXPECT_EQ(entries[0].target, 1);
    EXPECT_EQ(entries[0].lun, 0);
    EXPECT_EQ(entries[0].claimed, 1);
    EXPECT_EQ(entries[0].vendor, "DISKCO");
    EXPECT_EQ(entries[1].target, 1);
    EXPECT_EQ(entries[1].lun, 1);
    EXPECT_EQ(entries[1].claimed, 0) << "a processor has no class driver";
    EXPECT_EQ(entries[2].target, 0);
    EXPECT_EQ(entries[2].claimed, 1);
    EXPECT_EQ(entries[3].target, 3);
    EXPECT_EQ(entries[3].claimed, 0);

    // The second port cannot read its inquiry data; drives cannot at all.
    const DeviceHandle broken = sim.Open("\\\\.\\SCSI1:", kReadWrite, kShareBoth);
    EXPECT_FALSE(sim.Control(broken, kIoctlScsiGetInquiryData, nullptr, 0, buffer, sizeof buffer, &returned));
    EXPECT_EQ(sim.LastError(), 31u);
    const DeviceHandle drive = sim.Open("\\\\.\\D:", kReadWrite, kShareBoth);
    EXPECT_FALSE(sim.Control(drive, kIoctlScsiGetInquiryData, nullptr, 0, buffer, sizeof buffer, &returned));
    EXPECT_EQ(sim.LastError(), kErrInvalidFunction);
}

TEST_F(NtSimulator, AddressesOfDrivesClassDevicesAndPorts) {
    NtPortSimulator sim(Parse(kMultiBus), &clock);
    auto address = [&](const char* name, std::uint32_t access, ScsiAddress& out) {
        const DeviceHandle handle = sim.Open(name, access, kShareBoth);
        EXPECT_NE(handle, 0u) << name;
        std::uint8_t buffer[kAddressBufferSize];
        std::memset(buffer, 0xCC, sizeof buffer);
        std::uint32_t returned = 0;
        const bool ok = sim.Control(handle, kIoctlScsiGetAddress, nullptr, 0, buffer, sizeof buffer, &returned);
        std::memcpy(&out, buffer, sizeof out);
        if (ok) {
            EXPECT_EQ(returned, 8u);
            EXPECT_EQ(buffer[8], 0xCC);
        }
        sim.Close(handle);
        return ok;
    };
    ScsiAddress a{};
    ASSERT_TRUE(address("\\\\.\\D:", kReadWrite, a));
    EXPECT_EQ(a.Length, 8u);
    EXPECT_EQ(a.PortNumber, 0);
    EXPECT_EQ(a.PathId, 0);
    EXPECT_EQ(a.TargetId, 1);
    EXPECT_EQ(a.Lun, 0);
    ScsiAddress second_volume{};
    ASSERT_TRUE(address("\\\\.\\F:", kReadWrite, second_volume));
    EXPECT_EQ(std::memcmp(&a, &second_volume, sizeof a), 0) << "two volumes, one unit";
    ASSERT_TRUE(address("\\\\.\\Tape1", kReadWrite, a));
    EXPECT_EQ(a.PathId, 1);
    EXPECT_EQ(a.TargetId, 0);
    ASSERT_TRUE(address("\\\\.\\SCSI1:", kReadWrite, a));
    EXPECT_EQ(a.PortNumber, 1);
    EXPECT_EQ(a.TargetId, 7) << "a port answers its own ID";

    EXPECT_FALSE(address("\\\\.\\G:", kReadWrite, a));
    EXPECT_EQ(sim.LastError(), kErrInvalidFunction);
    EXPECT_FALSE(address("\\\\.\\H:", kReadWrite, a));
    EXPECT_EQ(sim.LastError(), 1117u);
    EXPECT_FALSE(address("\\\\.\\Tape3", kReadWrite, a));
    EXPECT_EQ(sim.LastError(), kErrInvalidFunction);
    EXPECT_FALSE(address("\\\\.\\Z:", kRead, a)) << "a network drive is not on SCSI";
    EXPECT_EQ(sim.LastError(), kErrInvalidFunction);

    const DeviceHandle handle = sim.Open("\\\\.\\D:", kReadWrite, kShareBoth);
    std::uint8_t small[7];
    std::uint32_t returned = 0;
    EXPECT_FALSE(sim.Control(handle, kIoctlScsiGetAddress, nullptr, 0, small, sizeof small, &returned));
    EXPECT_EQ(sim.LastError(), kErrInsufficientBuffer);
    EXPECT_FALSE(sim.Control(handle, 0x0004D008, nullptr, 0, small, sizeof small, &returned)) << "unknown code";
    EXPECT_EQ(sim.LastError(), kErrInvalidFunction);
    sim.Close(handle);
    EXPECT_EQ(sim.OpenHandles(), 0);
}

TEST_F(NtSimulator, TestUnitReadyBringsSenseToTheCallersOffset) {
    NtPortSimulator sim(DefaultScenario(), &clock);
    const DeviceHandle cdrom = sim.Open("\\\\.\\E:", kRead, kShareRead);
    PassThroughBlock block = TestUnitReadyBlock();
    std::memset(block.sense, 0xEE, sizeof block.sense);
    block.spt.TargetId = 9;  // a drive's unit is the drive's, whatever the block says
    std::uint32_t returned = 0;
    ASSERT_TRUE(TestUnitReady(sim, cdrom, block, &returned));
    EXPECT_EQ(block.spt.ScsiStatus, 0x02);
    EXPECT_EQ(block.spt.SenseInfoLength, 18) << "the sense bytes returned";
    EXPECT_EQ(block.spt.DataTransferLength, 0u);
    const Bytes sense = FixedSense(0x02, 0x3A, 0x00);
    EXPECT_EQ(Bytes(block.sense, block.sense + 18), sense);
    EXPECT_EQ(block.sense[18], 0xEE);
    EXPECT_EQ(returned, offsetof(PassThroughBlock, sense) + 18);

    const auto log = sim.bus().Requests();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].transport, Transport::Nt);
    EXPECT_EQ(log[0].adapter, 0);
    EXPECT_EQ(log[0].target, 4);
    EXPECT_EQ(log[0].cdb, Bytes(6, 0));
    EXPECT_EQ(log[0].device_name, "E:");
    EXPECT_EQ(log[0].timeout_s, 2u);
    EXPECT_EQ(log[0].sense_length, kPassThroughSenseLength);

    const DeviceHandle disk = sim.Open("\\\\.\\C:", kReadWrite, kShareBoth);
    PassThroughBlock good = TestUnitReadyBlock();
    sim.SetLastError(21);
    ASSERT_TRUE(TestUnitReady(sim, disk, good, &returned));
    EXPECT_EQ(good.spt.ScsiStatus, 0);
    EXPECT_EQ(good.spt.SenseInfoLength, 0);
    EXPECT_EQ(returned, sizeof(ScsiPassThrough));
    EXPECT_EQ(sim.LastError(), 21u) << "a stale code stays until something fails";
}

TEST_F(NtSimulator, DirectBufferCommandsRoundTrip) {
    NtPortSimulator sim(DefaultScenario(), &clock);
    const DeviceHandle disk = sim.Open("\\\\.\\C:", kReadWrite, kShareBoth);
    Bytes pattern = Pattern(2048);
    PassThroughDirectBlock write = BufferBlock(0x3B, pattern.data(), 2048);
    ASSERT_TRUE(Direct(sim, disk, write));
    EXPECT_EQ(write.sptd.ScsiStatus, 0);
    EXPECT_EQ(write.sptd.DataTransferLength, 2048u);

    Bytes received(2048, 0);
    PassThroughDirectBlock read = BufferBlock(0x3C, received.data(), 2048);
    ASSERT_TRUE(Direct(sim, disk, read));
    EXPECT_EQ(read.sptd.DataTransferLength, 2048u);
    EXPECT_EQ(received, pattern);

    const auto log = sim.bus().Requests();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].cdb, (Bytes{0x3B, 0x02, 0, 0, 0, 0, 0x00, 0x08, 0x00, 0}));
    EXPECT_EQ(log[0].data_out, pattern);
    EXPECT_EQ(log[0].direction, DataDirection::Out);
    EXPECT_EQ(log[1].direction, DataDirection::In);
    EXPECT_TRUE(log[1].data_out.empty());
}

TEST_F(NtSimulator, BufferedDataLiesAtItsOffsetInTheBlock) {
    NtPortSimulator sim(Parse("adapter\n device 0\n  drive C:\n"), &clock);
    const DeviceHandle disk = sim.Open("\\\\.\\C:", kReadWrite, kShareBoth);
    struct Block {
        ScsiPassThrough spt;
        std::uint32_t filler;
        std::uint8_t sense[32];
        std::uint8_t data[64];
    };
    Block in{};
    in.spt.Length = sizeof(ScsiPassThrough);
    in.spt.CdbLength = 10;
    in.spt.DataIn = kScsiIoctlDataOut;
    in.spt.DataTransferLength = 64;
    in.spt.TimeOutValue = 2;
    in.spt.DataBufferOffset = offsetof(Block, data);
    in.spt.SenseInfoOffset = offsetof(Block, sense);
    const std::uint8_t write_cdb[10] = {0x3B, 2, 0, 0, 0, 0, 0, 0, 64, 0};
    std::memcpy(in.spt.Cdb, write_cdb, 10);
    for (int i = 0; i < 64; ++i) in.data[i] = static_cast<std::uint8_t>(i);
    std::uint32_t returned = 0;
    ASSERT_TRUE(sim.Control(disk, kIoctlScsiPassThrough, &in, sizeof in, &in, sizeof in, &returned));
    EXPECT_EQ(sim.bus().BufferContents(0, 0, 0, 0, 64), Bytes(in.data, in.data + 64));

    // Read back into a separate output block: the input stays as it was.
    Block request = in;
    request.spt.DataIn = kScsiIoctlDataIn;
    request.spt.Cdb[0] = 0x3C;
    std::memset(request.data, 0, sizeof request.data);
    const Block before = request;
    Block out;
    std::memset(&out, 0x77, sizeof out);
    ASSERT_TRUE(sim.Control(disk, kIoctlScsiPassThrough, &request, offsetof(Block, data), &out, sizeof out, &returned));
    EXPECT_EQ(returned, offsetof(Block, data) + 64);
    EXPECT_EQ(std::memcmp(&request, &before, sizeof request), 0);
    EXPECT_EQ(out.spt.DataTransferLength, 64u);
    EXPECT_EQ(out.spt.ScsiStatus, 0);
    EXPECT_EQ(out.spt.Cdb[0], 0x3C) << "the request comes back with its results";
    EXPECT_EQ(Bytes(out.data, out.data + 64), Bytes(in.data, in.data + 64));

    // Data that would lie outside the buffers is refused.
    request.spt.DataBufferOffset = sizeof out - 10;
    EXPECT_FALSE(sim.Control(disk, kIoctlScsiPassThrough, &request, sizeof request, &out, sizeof out, &returned));
    EXPECT_EQ(sim.LastError(), kErrInvalidParameter);
    request.spt.DataBufferOffset = 4;
    EXPECT_FALSE(sim.Control(disk, kIoctlScsiPassThrough, &request, sizeof request, &out, sizeof out, &returned))
        << "data over the structure itself";
}

TEST_F(NtSimulator, PortHandlesAddressUnclaimedUnitsOnly) {
    NtPortSimulator sim(Parse(kMultiBus), &clock);
    const DeviceHandle port = sim.Open("\\\\.\\SCSI0:", kReadWrite, kShareBoth);
    PassThroughBlock block = TestUnitReadyBlock();
    block.spt.PathId = 0;
    block.spt.TargetId = 1;
    block.spt.Lun = 1;
    ASSERT_TRUE(TestUnitReady(sim, port, block)) << "the unclaimed processor at LUN 1";
    EXPECT_EQ(block.spt.ScsiStatus, 0);
    ASSERT_EQ(sim.bus().Requests().size(), 1u);
    EXPECT_EQ(sim.bus().Requests()[0].lun, 1);
    EXPECT_EQ(sim.bus().Requests()[0].device_name, "SCSI0:");

    block = TestUnitReadyBlock();
    block.spt.PathId = 1;
    block.spt.TargetId = 3;
    EXPECT_TRUE(TestUnitReady(sim, port, block)) << "the unclaimed scanner on bus 1";

    block = TestUnitReadyBlock();
    block.spt.TargetId = 1;  // the disk D: owns
    EXPECT_FALSE(TestUnitReady(sim, port, block));
    EXPECT_EQ(sim.LastError(), kErrInvalidFunction);

    block = TestUnitReadyBlock();
    block.spt.TargetId = 5;
    EXPECT_FALSE(TestUnitReady(sim, port, block)) << "nothing at ID 5";
    EXPECT_EQ(sim.LastError(), kErrDeviceNotConnected);

    const DeviceHandle remote = sim.Open("\\\\.\\Z:", kRead, kShareRead);
    block = TestUnitReadyBlock();
    EXPECT_FALSE(TestUnitReady(sim, remote, block));
    EXPECT_EQ(sim.LastError(), kErrInvalidFunction);
}

TEST_F(NtSimulator, ScriptedFailuresTimeOutsAndZeroLengthTransfers) {
    NtPortSimulator sim(Parse(R"(
adapter
  device 0
    drive C:
    on tur error 21 times 1
    on tur refuse E0 times 1
    on tur hastat 11 times 1
    on tur delay 1500 times 1
    on tur delay 2500 times 1
    on tur hang times 1
    on write-buffer zero-length
)"),
                        &clock);
    const DeviceHandle disk = sim.Open("\\\\.\\C:", kReadWrite, kShareBoth);
    PassThroughBlock block = TestUnitReadyBlock();
    std::uint32_t returned = 5;
    EXPECT_FALSE(TestUnitReady(sim, disk, block, &returned));
    EXPECT_EQ(sim.LastError(), 21u);
    EXPECT_EQ(returned, 0u);

    EXPECT_FALSE(TestUnitReady(sim, disk, block));
    EXPECT_EQ(sim.LastError(), kErrInvalidFunction) << "refused at once";
    EXPECT_EQ(clock.slept(), 0u);

    EXPECT_FALSE(TestUnitReady(sim, disk, block));
    EXPECT_EQ(sim.LastError(), kErrIoDevice) << "an adapter failure";

    EXPECT_TRUE(TestUnitReady(sim, disk, block)) << "1.5 s is within the 2 s time-out";
    EXPECT_EQ(clock.slept(), 1500u);

    EXPECT_FALSE(TestUnitReady(sim, disk, block));
    EXPECT_EQ(sim.LastError(), kErrSemTimeout);
    EXPECT_EQ(clock.slept(), 3500u) << "the call returns when the time-out expires";

    EXPECT_FALSE(TestUnitReady(sim, disk, block));
    EXPECT_EQ(sim.LastError(), kErrSemTimeout);
    EXPECT_EQ(clock.slept(), 5500u);

    EXPECT_TRUE(TestUnitReady(sim, disk, block));
    EXPECT_EQ(block.spt.ScsiStatus, 0);

    Bytes pattern = Pattern(2048);
    PassThroughDirectBlock write = BufferBlock(0x3B, pattern.data(), 2048);
    ASSERT_TRUE(Direct(sim, disk, write));
    EXPECT_EQ(write.sptd.ScsiStatus, 0);
    EXPECT_EQ(write.sptd.DataTransferLength, 0u) << "accepted, nothing moved";
}

TEST_F(NtSimulator, MalformedPassThroughBlocksAreRefused) {
    NtPortSimulator sim(DefaultScenario(), &clock);
    const DeviceHandle disk = sim.Open("\\\\.\\C:", kReadWrite, kShareBoth);
    std::uint32_t returned = 0;
    auto refused = [&](PassThroughBlock block, std::uint32_t in_size, std::uint32_t out_size) {
        const bool ok = sim.Control(disk, kIoctlScsiPassThrough, &block, in_size, &block, out_size, &returned);
        return !ok ? sim.LastError() : 0u;
    };
    PassThroughBlock block = TestUnitReadyBlock();
    block.spt.Length = 44 + 56 - sizeof(ScsiPassThrough);  // the other word size's length
    EXPECT_EQ(refused(block, kTestUnitReadyInSize, kTestUnitReadyOutSize), kErrInvalidParameter);
    block = TestUnitReadyBlock();
    block.spt.CdbLength = 0;
    EXPECT_EQ(refused(block, kTestUnitReadyInSize, kTestUnitReadyOutSize), kErrInvalidParameter);
    block = TestUnitReadyBlock();
    block.spt.CdbLength = 17;
    EXPECT_EQ(refused(block, kTestUnitReadyInSize, kTestUnitReadyOutSize), kErrInvalidParameter);
    block = TestUnitReadyBlock();
    block.spt.DataIn = 3;
    EXPECT_EQ(refused(block, kTestUnitReadyInSize, kTestUnitReadyOutSize), kErrInvalidParameter);
    block = TestUnitReadyBlock();
    EXPECT_EQ(refused(block, kTestUnitReadyInSize - 1, kTestUnitReadyOutSize), kErrInvalidParameter);
    EXPECT_EQ(refused(block, kTestUnitReadyInSize, sizeof(ScsiPassThrough) - 1), kErrInsufficientBuffer);
    EXPECT_EQ(refused(block, kTestUnitReadyInSize, offsetof(PassThroughBlock, sense) + 23), kErrInvalidParameter)
        << "the sense buffer must fit the output";
    block.spt.SenseInfoOffset = 8;
    EXPECT_EQ(refused(block, kTestUnitReadyInSize, kTestUnitReadyOutSize), kErrInvalidParameter)
        << "sense over the structure";
    EXPECT_EQ(sim.bus().Requests().size(), 0u) << "nothing reached the bus";
    EXPECT_FALSE(sim.Control(disk, kIoctlScsiPassThrough, nullptr, 0, nullptr, 0, &returned));

    PassThroughDirectBlock direct = BufferBlock(0x3C, nullptr, 2048);
    EXPECT_FALSE(Direct(sim, disk, direct));
    EXPECT_EQ(sim.LastError(), kErrInvalidParameter) << "no data buffer";
}

TEST_F(NtSimulator, SystemMessagesForCommonCodes) {
    NtPortSimulator sim(DefaultScenario(), &clock);
    char text[256];
    EXPECT_EQ(sim.SystemMessage(21, text, sizeof text), 26u);
    EXPECT_STREQ(text, "The device is not ready.\r\n");
    EXPECT_GT(sim.SystemMessage(1117, text, sizeof text), 0u);
    EXPECT_STREQ(text, "The request could not be performed because of an I/O device error.\r\n");
    EXPECT_GT(sim.SystemMessage(121, text, sizeof text), 0u);
    EXPECT_STREQ(text, "The semaphore timeout period has expired.\r\n");
    for (std::uint32_t code : {1u, 2u, 5u, 6u, 87u, 122u, 1167u}) {
        EXPECT_GT(sim.SystemMessage(code, text, sizeof text), 0u) << code;
        EXPECT_EQ(std::string(text).substr(std::strlen(text) - 2), "\r\n");
    }
    std::strcpy(text, "unchanged");
    EXPECT_EQ(sim.SystemMessage(6200, text, sizeof text), 0u) << "no text for this code";
    EXPECT_STREQ(text, "unchanged");
    EXPECT_EQ(sim.SystemMessage(21, text, 26), 0u) << "no room for the terminator";
    EXPECT_EQ(sim.LastError(), kErrInsufficientBuffer);
    EXPECT_EQ(sim.SystemMessage(21, text, 27), 26u);

    const auto calls = sim.Calls();
    EXPECT_EQ(calls.front().op, NtCall::Op::SystemMessage);
    EXPECT_EQ(calls.front().code, 21u);
    EXPECT_EQ(calls.front().out_size, sizeof text);
}

}  // namespace
}  // namespace td::sim
