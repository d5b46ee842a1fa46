// The SCSI port driver's request layouts on Windows NT, as published:
// pass-through blocks, the inquiry data of a port and a device's address.
//
// The pass-through block is built the same way on every word size: the
// published structure, a filler, a sense buffer and (for TEST UNIT READY)
// the data area, with every offset and size taken from sizeof/offsetof.
// For the 32-bit program that gives the 44-byte structure, the sense buffer
// at offset 48 and the data at offset 80.
#pragma once

#include <cstddef>
#include <cstdint>

namespace td::nt {

constexpr std::uint32_t kIoctlScsiPassThrough = 0x0004D004;
constexpr std::uint32_t kIoctlScsiPassThroughDirect = 0x0004D014;
constexpr std::uint32_t kIoctlScsiGetInquiryData = 0x0004100C;
constexpr std::uint32_t kIoctlScsiGetAddress = 0x00041018;

constexpr std::uint8_t kScsiIoctlDataOut = 0;
constexpr std::uint8_t kScsiIoctlDataIn = 1;
constexpr std::uint8_t kScsiIoctlDataUnspecified = 2;

struct ScsiPassThrough {
    std::uint16_t Length;
    std::uint8_t ScsiStatus;
    std::uint8_t PathId;
    std::uint8_t TargetId;
    std::uint8_t Lun;
    std::uint8_t CdbLength;
    std::uint8_t SenseInfoLength;
    std::uint8_t DataIn;
    std::uint32_t DataTransferLength;
    std::uint32_t TimeOutValue;
    std::uintptr_t DataBufferOffset;  // ULONG_PTR
    std::uint32_t SenseInfoOffset;
    std::uint8_t Cdb[16];
};

struct ScsiPassThroughDirect {
    std::uint16_t Length;
    std::uint8_t ScsiStatus;
    std::uint8_t PathId;
    std::uint8_t TargetId;
    std::uint8_t Lun;
    std::uint8_t CdbLength;
    std::uint8_t SenseInfoLength;
    std::uint8_t DataIn;
    std::uint32_t DataTransferLength;
    std::uint32_t TimeOutValue;
    void* DataBuffer;
    std::uint32_t SenseInfoOffset;
    std::uint8_t Cdb[16];
};

constexpr int kPassThroughSenseLength = 24;

// The block TEST UNIT READY is sent in: the structure, a filler, room for
// the sense data, and the data area the structure's offset points at.
struct PassThroughBlock {
    ScsiPassThrough spt;
    std::uint32_t filler;
    std::uint8_t sense[32];
    std::uint8_t data[16];
};

// The block the buffer commands are sent in; the data moves directly
// from and to the caller's buffer.
struct PassThroughDirectBlock {
    ScsiPassThroughDirect sptd;
    std::uint32_t filler;
    std::uint8_t sense[32];
};

static_assert(offsetof(ScsiPassThrough, ScsiStatus) == 2);
static_assert(offsetof(ScsiPassThrough, DataTransferLength) == 12);
static_assert(offsetof(ScsiPassThroughDirect, DataBuffer) == offsetof(ScsiPassThrough, DataBufferOffset));
static_assert(sizeof(ScsiPassThroughDirect) == sizeof(ScsiPassThrough));
static_assert(offsetof(PassThroughBlock, sense) == offsetof(PassThroughDirectBlock, sense));
#if defined(__i386__) || defined(_M_IX86)
static_assert(sizeof(ScsiPassThrough) == 44);
static_assert(sizeof(ScsiPassThroughDirect) == 44);
static_assert(offsetof(PassThroughBlock, sense) == 48);
static_assert(offsetof(PassThroughBlock, data) == 80);
static_assert(sizeof(PassThroughDirectBlock) == 80);
#endif

// Sizes handed to DeviceIoControl: TEST UNIT READY sends the structure and
// receives up to the data area; the buffer commands send and receive the
// whole direct block.
constexpr std::uint32_t kTestUnitReadyInSize = sizeof(ScsiPassThrough);
constexpr std::uint32_t kTestUnitReadyOutSize = offsetof(PassThroughBlock, data);
constexpr std::uint32_t kDirectInOutSize = sizeof(PassThroughDirectBlock);

// IOCTL_SCSI_GET_INQUIRY_DATA answers a SCSI_ADAPTER_BUS_INFO followed by
// the SCSI_INQUIRY_DATA entries its buses point at (offsets from the start
// of the buffer).
struct ScsiBusData {
    std::uint8_t NumberOfLogicalUnits;
    std::uint8_t InitiatorBusId;
    std::uint32_t InquiryDataOffset;
};

struct ScsiAdapterBusInfo {
    std::uint8_t NumberOfBuses;
    ScsiBusData BusData[1];
};

struct ScsiInquiryData {
    std::uint8_t PathId;
    std::uint8_t TargetId;
    std::uint8_t Lun;
    std::uint8_t DeviceClaimed;  // BOOLEAN
    std::uint32_t InquiryDataLength;
    std::uint32_t NextInquiryDataOffset;
    std::uint8_t InquiryData[1];
};

struct ScsiAddress {
    std::uint32_t Length;
    std::uint8_t PortNumber;
    std::uint8_t PathId;
    std::uint8_t TargetId;
    std::uint8_t Lun;
};

static_assert(sizeof(ScsiBusData) == 8);
static_assert(offsetof(ScsiAdapterBusInfo, BusData) == 4);
static_assert(offsetof(ScsiInquiryData, InquiryData) == 12);
static_assert(sizeof(ScsiAddress) == 8);

constexpr std::uint32_t kInquiryDataBufferSize = 2048;
constexpr std::uint32_t kAddressBufferSize = 260;

}  // namespace td::nt
