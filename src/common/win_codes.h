// The Win32 numbers that the portable core speaks.
//
// The core never includes <windows.h>, yet it decides which message box to
// show, which answer the user gave and which access a device is opened
// with. These are the system's own published values; the Win32 build checks
// them against the SDK headers (see win_codes_check_win32.cpp).
#pragma once

#include <cstdint>

namespace td::win {

// Message box buttons and icons.
constexpr unsigned kMbOk = 0x00000000;
constexpr unsigned kMbOkCancel = 0x00000001;
constexpr unsigned kMbYesNo = 0x00000004;
constexpr unsigned kMbRetryCancel = 0x00000005;
constexpr unsigned kMbIconError = 0x00000010;  // MB_ICONHAND / MB_ICONSTOP
constexpr unsigned kMbIconQuestion = 0x00000020;
constexpr unsigned kMbIconExclamation = 0x00000030;
constexpr unsigned kMbIconInformation = 0x00000040;  // MB_ICONASTERISK

// Message box answers.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdRetry = 4;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// Access and sharing for CreateFileA.
constexpr std::uint32_t kGenericRead = 0x80000000u;
constexpr std::uint32_t kGenericWrite = 0x40000000u;
constexpr std::uint32_t kGenericReadWrite = kGenericRead | kGenericWrite;
constexpr std::uint32_t kFileShareRead = 1;
constexpr std::uint32_t kFileShareWrite = 2;
constexpr std::uint32_t kFileShareReadWrite = kFileShareRead | kFileShareWrite;

// GetDriveTypeA answers.
constexpr std::uint32_t kDriveUnknown = 0;
constexpr std::uint32_t kDriveNoRootDir = 1;
constexpr std::uint32_t kDriveRemovable = 2;
constexpr std::uint32_t kDriveFixed = 3;
constexpr std::uint32_t kDriveRemote = 4;
constexpr std::uint32_t kDriveCdrom = 5;
constexpr std::uint32_t kDriveRamdisk = 6;

// System error codes the core produces or recognises.
constexpr std::uint32_t kErrorSuccess = 0;
constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorInvalidFunction = 1;
constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::uint32_t kErrorNotReady = 21;
constexpr std::uint32_t kErrorSemTimeout = 121;
constexpr std::uint32_t kErrorInsufficientBuffer = 122;
constexpr std::uint32_t kErrorMoreData = 234;
constexpr std::uint32_t kErrorNoMoreItems = 259;
constexpr std::uint32_t kErrorIoDevice = 1117;

// List view styles (LVS_TYPEMASK values).
constexpr std::int32_t kLvsIcon = 0;
constexpr std::int32_t kLvsReport = 1;
constexpr std::int32_t kLvsSmallIcon = 2;
constexpr std::int32_t kLvsList = 3;
constexpr std::int32_t kLvsTypeMask = 3;

}  // namespace td::win
