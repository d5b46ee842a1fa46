// The request blocks of the ASPI for Win32 interface, in their published
// byte layout (packed, pointers at the build's word size).
//
// The program and any ASPI library exchange these blocks by address, so
// their layout is a contract: a 32-bit program's execute block is 80 bytes
// with the sense area at offset 64. The static_asserts below keep it so.
#pragma once

#include <cstddef>
#include <cstdint>

namespace td::aspi {

// SRB_Cmd
constexpr std::uint8_t kScHaInquiry = 0x00;
constexpr std::uint8_t kScGetDevType = 0x01;
constexpr std::uint8_t kScExecScsiCmd = 0x02;
constexpr std::uint8_t kScAbortSrb = 0x03;
constexpr std::uint8_t kScResetDev = 0x04;

// SRB_Status and the status byte of GetASPI32SupportInfo
constexpr std::uint8_t kSsPending = 0x00;
constexpr std::uint8_t kSsComp = 0x01;
constexpr std::uint8_t kSsAborted = 0x02;
constexpr std::uint8_t kSsAbortFail = 0x03;
constexpr std::uint8_t kSsErr = 0x04;
constexpr std::uint8_t kSsInvalidCmd = 0x80;
constexpr std::uint8_t kSsInvalidHa = 0x81;
constexpr std::uint8_t kSsNoDevice = 0x82;
constexpr std::uint8_t kSsInvalidSrb = 0xE0;
constexpr std::uint8_t kSsFailedInit = 0xE4;
constexpr std::uint8_t kSsAspiIsBusy = 0xE5;
constexpr std::uint8_t kSsNoAdapters = 0xE8;

// SRB_HaStat
constexpr std::uint8_t kHaStatOk = 0x00;
constexpr std::uint8_t kHaStatSelectionTimeout = 0x11;
constexpr std::uint8_t kHaStatDataOverrun = 0x12;
constexpr std::uint8_t kHaStatBusFree = 0x13;
constexpr std::uint8_t kHaStatPhaseError = 0x14;

// SRB_TargStat (SCSI status byte)
constexpr std::uint8_t kStatusGood = 0x00;
constexpr std::uint8_t kStatusCheckCondition = 0x02;
constexpr std::uint8_t kStatusConditionMet = 0x04;
constexpr std::uint8_t kStatusBusy = 0x08;
constexpr std::uint8_t kStatusIntermediateConditionMet = 0x14;

// SRB_Flags
constexpr std::uint8_t kSrbPosting = 0x01;
constexpr std::uint8_t kSrbEnableResidualCount = 0x04;
constexpr std::uint8_t kSrbDirIn = 0x08;
constexpr std::uint8_t kSrbDirOut = 0x10;
constexpr std::uint8_t kSrbEventNotify = 0x40;

constexpr int kSenseLength = 14;

#pragma pack(push, 1)

struct SrbHeader {
    std::uint8_t SRB_Cmd;
    std::uint8_t SRB_Status;
    std::uint8_t SRB_HaId;
    std::uint8_t SRB_Flags;
    std::uint32_t SRB_Hdr_Rsvd;
};

struct SrbHaInquiry {
    std::uint8_t SRB_Cmd;
    std::uint8_t SRB_Status;
    std::uint8_t SRB_HaId;
    std::uint8_t SRB_Flags;
    std::uint32_t SRB_Hdr_Rsvd;
    std::uint8_t HA_Count;
    std::uint8_t HA_SCSI_ID;
    std::uint8_t HA_ManagerId[16];
    std::uint8_t HA_Identifier[16];
    std::uint8_t HA_Unique[16];
    std::uint16_t HA_Rsvd1;
};

struct SrbExecScsiCmd;
// The post routine: called once with the completed block (cdecl).
using PostProc = void (*)(SrbExecScsiCmd*);

struct SrbExecScsiCmd {
    std::uint8_t SRB_Cmd;
    std::uint8_t SRB_Status;
    std::uint8_t SRB_HaId;
    std::uint8_t SRB_Flags;
    std::uint32_t SRB_Hdr_Rsvd;
    std::uint8_t SRB_Target;
    std::uint8_t SRB_Lun;
    std::uint16_t SRB_Rsvd1;
    std::uint32_t SRB_BufLen;
    std::uint8_t* SRB_BufPointer;
    std::uint8_t SRB_SenseLen;
    std::uint8_t SRB_CDBLen;
    std::uint8_t SRB_HaStat;
    std::uint8_t SRB_TargStat;
    void* SRB_PostProc;
    std::uint8_t SRB_Rsvd2[20];
    std::uint8_t CDBByte[16];
    std::uint8_t SenseArea[kSenseLength + 2];
};

struct SrbAbort {
    std::uint8_t SRB_Cmd;
    std::uint8_t SRB_Status;
    std::uint8_t SRB_HaId;
    std::uint8_t SRB_Flags;
    std::uint32_t SRB_Hdr_Rsvd;
    void* SRB_ToAbort;
};

#pragma pack(pop)

static_assert(sizeof(SrbHeader) == 8);
static_assert(sizeof(SrbHaInquiry) == 58 + 2);
static_assert(offsetof(SrbHaInquiry, HA_ManagerId) == 10);
static_assert(offsetof(SrbHaInquiry, HA_Identifier) == 26);
static_assert(offsetof(SrbExecScsiCmd, SRB_Target) == 8);
static_assert(offsetof(SrbExecScsiCmd, SRB_BufLen) == 12);
static_assert(offsetof(SrbExecScsiCmd, SRB_BufPointer) == 16);
static_assert(offsetof(SrbExecScsiCmd, SRB_SenseLen) == 16 + sizeof(void*));
static_assert(offsetof(SrbExecScsiCmd, SRB_PostProc) == 20 + sizeof(void*));
static_assert(offsetof(SrbExecScsiCmd, CDBByte) == 40 + 2 * sizeof(void*));
static_assert(offsetof(SrbExecScsiCmd, SenseArea) == 56 + 2 * sizeof(void*));
static_assert(sizeof(SrbExecScsiCmd) == 72 + 2 * sizeof(void*));
static_assert(offsetof(SrbAbort, SRB_ToAbort) == 8);
#if defined(__i386__) || defined(_M_IX86)
// The 32-bit program's blocks, byte for byte as every ASPI library expects.
static_assert(sizeof(SrbExecScsiCmd) == 80);
static_assert(offsetof(SrbExecScsiCmd, SenseArea) == 64);
static_assert(sizeof(SrbAbort) == 12);
#endif

// The library's two entry points (cdecl, exported by name).
using GetSupportInfoProc = std::uint32_t (*)();
using SendCommandProc = std::uint32_t (*)(void* srb);

}  // namespace td::aspi
