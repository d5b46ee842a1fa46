// Everything the diagnostic commands work with.
//
// The running program holds one of these, built from its program-wide
// records and its Win32 seams; tests build their own around fakes. The
// commands reach nothing else.
#pragma once

#include <cstdint>

#include "common/clock.h"
#include "common/device_io.h"
#include "common/messages.h"
#include "inventory/inventory.h"
#include "scsi/aspi_layout.h"
#include "scsi/aspi_library.h"
#include "scsi/buffer_heap.h"
#include "scsi/failure_records.h"

namespace td {

constexpr std::uint32_t kAspiScratchLength = 80;
constexpr std::uint32_t kAspiBufferLength = 512;

// The memory the ASPI commands hand to the library besides `exec_srb`.
//
// The library writes into these from its own thread whenever a request
// completes, and an aborted request may still complete after the command
// that sent it has returned (the abort itself may never finish). Memory on
// a command's stack would then be written after it is gone, so these live
// as long as `exec_srb` does, for the whole run. Each command starts them
// afresh: their contents belong to one command only.
struct AspiCommandArea {
    std::uint8_t scratch[kAspiScratchLength];  // TEST UNIT READY's buffer, never read
    std::uint8_t pattern[kAspiBufferLength];   // WRITE BUFFER's data
    std::uint8_t receive[kAspiBufferLength];   // READ BUFFER's data
    aspi::SrbAbort abort_srb;                  // the abort of a request that did not finish
};

struct ScsiCommandContext {
    Inventory& inventory;  // `platform`, and the slots NT opens devices by
    Clock& clock;          // the waits of the ASPI commands
    Messages& messages;    // the allocation failure box on NT
    SenseReport& sense_report;
    LastError& last_error;
    aspi::SrbExecScsiCmd& exec_srb;  // shared with the ASPI device scan
    AspiCommandArea& aspi_area;
    AspiLibrary* aspi;    // Windows 95: the loaded library; null when there is none
    DeviceIo* device_io;  // Windows NT: the port driver's devices
    BufferHeap& heap;     // Windows NT: the 2048-byte data buffers
};

}  // namespace td
