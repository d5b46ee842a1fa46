// The core's copies of Win32 numbers must equal the SDK's.
#include <windows.h>
#include <commctrl.h>

#include "common/win_codes.h"

namespace td::win {

static_assert(kMbOk == MB_OK && kMbOkCancel == MB_OKCANCEL && kMbYesNo == MB_YESNO && kMbRetryCancel == MB_RETRYCANCEL);
static_assert(kMbIconError == MB_ICONHAND && kMbIconQuestion == MB_ICONQUESTION &&
              kMbIconExclamation == MB_ICONEXCLAMATION && kMbIconInformation == MB_ICONASTERISK);
static_assert(kIdOk == IDOK && kIdCancel == IDCANCEL && kIdRetry == IDRETRY && kIdYes == IDYES && kIdNo == IDNO);
static_assert(kGenericRead == GENERIC_READ && kGenericWrite == GENERIC_WRITE);
static_assert(kFileShareRead == FILE_SHARE_READ && kFileShareWrite == FILE_SHARE_WRITE);
static_assert(kDriveUnknown == DRIVE_UNKNOWN && kDriveNoRootDir == DRIVE_NO_ROOT_DIR &&
              kDriveRemovable == DRIVE_REMOVABLE && kDriveFixed == DRIVE_FIXED && kDriveRemote == DRIVE_REMOTE &&
              kDriveCdrom == DRIVE_CDROM && kDriveRamdisk == DRIVE_RAMDISK);
static_assert(kErrorFileNotFound == ERROR_FILE_NOT_FOUND && kErrorMoreData == ERROR_MORE_DATA &&
              kErrorNoMoreItems == ERROR_NO_MORE_ITEMS && kErrorSemTimeout == ERROR_SEM_TIMEOUT &&
              kErrorInvalidFunction == ERROR_INVALID_FUNCTION && kErrorNotReady == ERROR_NOT_READY &&
              kErrorIoDevice == ERROR_IO_DEVICE && kErrorInvalidHandle == ERROR_INVALID_HANDLE &&
              kErrorInsufficientBuffer == ERROR_INSUFFICIENT_BUFFER);
static_assert(kLvsIcon == LVS_ICON && kLvsReport == LVS_REPORT && kLvsSmallIcon == LVS_SMALLICON &&
              kLvsList == LVS_LIST && kLvsTypeMask == LVS_TYPEMASK);

}  // namespace td::win
