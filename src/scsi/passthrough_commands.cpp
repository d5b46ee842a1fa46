#include "scsi/passthrough_commands.h"

#include <cstddef>
#include <cstring>

#include "common/fixed_text.h"
#include "common/win_codes.h"
#include "resources/resource_ids.h"
#include "scsi/data_pattern.h"
#include "scsi/nt_layout.h"
#include "scsi/scsi_opcodes.h"
#include "scsi/sense.h"
#include "scsi/system_error.h"

namespace td {
namespace {

// READ BUFFER compares the pattern from here to kComparedEnd; the first
// bytes are left out of the compare.
constexpr std::size_t kComparedFrom = 4;
constexpr std::size_t kComparedEnd = 512;

constexpr char kDevicePrefix[] = "\\\\.\\";

// "\\.\" and the longest device_path the slot's field can hold.
using DevicePathBuffer = char[sizeof kDevicePrefix - 1 + sizeof(DeviceSlot::device_path)];

// Opens the device recorded for the first counted slot with this adapter
// and SCSI ID. 0 when there is none, its path is empty or it cannot be
// opened; the reason is recorded then.
DeviceHandle OpenSlotDevice(ScsiCommandContext& context, std::int32_t adapter_number, std::int32_t target_id) {
    if (context.device_io == nullptr) {
        RecordFailure(context.last_error, IDS_NO_PORT_DRIVER);
        return 0;
    }
    const int index = FindSlotByAddress(context.inventory, adapter_number, target_id);
    if (index < 0 || IsEmpty(context.inventory.slots[index].device_path)) {
        RecordFailure(context.last_error, IDS_NO_DEVICE_PATH);
        return 0;
    }
    const DeviceSlot& slot = context.inventory.slots[index];

    DevicePathBuffer path;
    CopyText(path, kDevicePrefix);
    char device_path[sizeof slot.device_path];
    CopyBytes(device_path, slot.device_path, sizeof slot.device_path);  // terminated whatever the field holds
    AppendText(path, device_path);
    const DeviceHandle device = context.device_io->Open(path, slot.access_mode, slot.share_mode);
    if (device == 0) {
        // The system's reason (access denied, a sharing violation ...) goes
        // with it, or at least its error code.
        const std::uint32_t code = context.device_io->LastError();
        if (code != win::kErrorSuccess) format_system_error(*context.device_io, code, context.last_error);
        RecordFailure(context.last_error, IDS_OPEN_FAILED, code);
    }
    return device;
}

template <typename Block>
void RecordRequestFailure(ScsiCommandContext& context, const Block& block, bool call_failed, std::uint8_t scsi_status) {
    // GetLastError speaks of a call that failed only: after one that
    // succeeded it still holds the error of some earlier call.
    const std::uint32_t code = call_failed ? context.device_io->LastError() : win::kErrorSuccess;
    RecordPassThroughFailure(*context.device_io, block.sense, nt::kPassThroughSenseLength, code, scsi_status,
                             context.sense_report, context.last_error);
}

void SetDirectFields(nt::ScsiPassThroughDirect& sptd, std::uint8_t opcode, std::uint8_t data_in, void* buffer) {
    sptd.Length = sizeof(nt::ScsiPassThroughDirect);
    sptd.PathId = 0;  // the opened device object alone addresses the unit
    sptd.TargetId = 0;
    sptd.Lun = 0;
    sptd.CdbLength = kCdb10;
    sptd.SenseInfoLength = nt::kPassThroughSenseLength;
    sptd.DataIn = data_in;
    sptd.DataTransferLength = kPassThroughBufferLength;
    sptd.TimeOutValue = kPassThroughTimeoutSeconds;
    sptd.DataBuffer = buffer;
    sptd.SenseInfoOffset = offsetof(nt::PassThroughDirectBlock, sense);
    sptd.Cdb[0] = opcode;
    sptd.Cdb[1] = kBufferModeData;  // buffer ID 0 in byte 2, offset 0 in bytes 3-5
    PutBufferLength(sptd.Cdb, kPassThroughBufferLength);
}

// Opens the device and takes the data buffer of a buffer command. On
// failure nothing is left open or allocated and 0 / nullptr come back.
struct DirectCommand {
    DeviceHandle device = 0;
    std::uint8_t* buffer = nullptr;
};

bool BeginDirectCommand(ScsiCommandContext& context, std::int32_t adapter_number, std::int32_t target_id,
                        DirectCommand& command) {
    command.device = OpenSlotDevice(context, adapter_number, target_id);
    if (command.device == 0) return false;
    command.buffer = static_cast<std::uint8_t*>(context.heap.Allocate(kPassThroughBufferLength));
    if (command.buffer == nullptr) {
        context.device_io->Close(command.device);
        command.device = 0;
        ShowMessage(context.messages, 0, IDS_NO_MEMORY, win::kMbOk);
        RecordFailure(context.last_error, IDS_NO_MEMORY);
        return false;
    }
    return true;
}

void EndDirectCommand(ScsiCommandContext& context, DirectCommand& command) {
    context.heap.Free(command.buffer);
    command.buffer = nullptr;
    context.device_io->Close(command.device);
    command.device = 0;
}

// Sends a prepared direct block: true when the call succeeded and the
// device answered GOOD. Otherwise the reason has been recorded.
bool SendDirect(ScsiCommandContext& context, DeviceHandle device, nt::PassThroughDirectBlock& block) {
    std::uint32_t returned = 0;
    const bool ok = context.device_io->Control(device, nt::kIoctlScsiPassThroughDirect, &block, nt::kDirectInOutSize,
                                               &block, nt::kDirectInOutSize, &returned);
    if (ok && block.sptd.ScsiStatus == 0) return true;
    RecordRequestFailure(context, block, !ok, block.sptd.ScsiStatus);
    return false;
}

}  // namespace

void RecordPassThroughFailure(DeviceIo& device_io, const std::uint8_t* sense, std::size_t sense_length,
                              std::uint32_t error, std::uint8_t scsi_status, SenseReport& sense_report,
                              LastError& last_error) {
    const bool explained_by_sense = scsi_status != 0 &&
                                    InterpretSenseData(sense, sense_length, SenseTransport::Nt, sense_report) != 0;
    if (error != win::kErrorSuccess) {
        format_system_error(device_io, error, last_error);
    } else if (!explained_by_sense) {
        if (scsi_status != 0) {
            RecordFailure(last_error, IDS_TARGET_STATUS, scsi_status);
        } else {
            RecordFailure(last_error, IDS_PASS_THROUGH_REFUSED);
        }
    }
}

int nt_test_unit_ready(ScsiCommandContext& context, std::int32_t adapter_number, std::int32_t target_id) {
    const DeviceHandle device = OpenSlotDevice(context, adapter_number, target_id);
    if (device == 0) return 0;

    nt::PassThroughBlock block;
    std::memset(&block, 0, sizeof block);
    nt::ScsiPassThrough& spt = block.spt;
    spt.Length = sizeof(nt::ScsiPassThrough);
    spt.CdbLength = kCdb6;
    spt.SenseInfoLength = nt::kPassThroughSenseLength;
    spt.DataIn = nt::kScsiIoctlDataIn;
    spt.DataTransferLength = 0;  // no data moves
    spt.TimeOutValue = kPassThroughTimeoutSeconds;
    spt.DataBufferOffset = offsetof(nt::PassThroughBlock, data);
    spt.SenseInfoOffset = offsetof(nt::PassThroughBlock, sense);
    spt.Cdb[0] = kOpTestUnitReady;

    std::uint32_t returned = 0;
    const bool ok = context.device_io->Control(device, nt::kIoctlScsiPassThrough, &block, nt::kTestUnitReadyInSize,
                                               &block, nt::kTestUnitReadyOutSize, &returned);
    int passed = 1;
    if (!ok || spt.ScsiStatus != 0) {
        RecordRequestFailure(context, block, !ok, spt.ScsiStatus);
        passed = 0;
    }
    context.device_io->Close(device);
    return passed;
}

int nt_write_buffer(ScsiCommandContext& context, std::int32_t adapter_number, std::int32_t target_id) {
    DirectCommand command;
    if (!BeginDirectCommand(context, adapter_number, target_id, command)) return 0;

    nt::PassThroughDirectBlock block;
    std::memset(&block, 0, sizeof block);
    FillDataPattern(command.buffer, kPassThroughBufferLength);
    SetDirectFields(block.sptd, kOpWriteBuffer, nt::kScsiIoctlDataOut, command.buffer);

    const bool sent = SendDirect(context, command.device, block);
    EndDirectCommand(context, command);
    if (!sent) return 0;
    if (block.sptd.DataTransferLength == 0) {
        RecordFailure(context.last_error, IDS_NT_CLASS_UNSUPPORTED);
        return 0;
    }
    return 1;
}

int nt_read_buffer(ScsiCommandContext& context, std::int32_t adapter_number, std::int32_t target_id) {
    DirectCommand command;
    if (!BeginDirectCommand(context, adapter_number, target_id, command)) return 0;

    nt::PassThroughDirectBlock block;
    std::memset(&block, 0, sizeof block);
    std::memset(command.buffer, 0, kPassThroughBufferLength);
    SetDirectFields(block.sptd, kOpReadBuffer, nt::kScsiIoctlDataIn, command.buffer);

    int passed = 0;
    if (SendDirect(context, command.device, block)) {
        if (block.sptd.DataTransferLength == 0) {
            RecordFailure(context.last_error, IDS_NT_CLASS_UNSUPPORTED);
        } else if (ReadBackMatches(command.buffer, kComparedFrom, kComparedEnd, context.last_error)) {
            passed = 1;
        }
    }
    EndDirectCommand(context, command);
    return passed;
}

}  // namespace td
