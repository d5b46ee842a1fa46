// Fuzzing the three diagnostic commands as they judge what comes back: on
// Windows 95 whatever an ASPI library writes into the request block (final
// status, adapter and target status, sense area, data, and when it does
// so), on NT whatever the port driver answers a pass-through request with
// (the call's result and last error, ScsiStatus, sense bytes,
// DataTransferLength, data) and the system's message texts.
//
// Input, in this order: one byte of settings, 27 bytes of the slot's
// device path (no terminator needed), then the answers, read as the
// library or the driver is asked (see AnswerAspi and the Control and
// SystemMessage answers below).
//   settings bit 0   NT (else ASPI)
//   settings bit 1   the records are cleared before each command (as after
//                    "go on" in the test dialog), else only before the first
//   settings bit 2   ASPI: no library loaded; NT: the heap has no memory
//
// Checked on every input:
// - each command answers 1 or 0; a pass on ASPI is a request that ended
//   with SS_COMP, on NT a call that succeeded with GOOD status, and READ
//   BUFFER passes only with the pattern read back;
// - the block never promises the library more buffer than the memory it
//   points at, and the pass-through blocks never promise the driver more
//   sense or data bytes than they hold;
// - the sense report changes only after a request that was not clean (ASPI)
//   or that ended with a SCSI status (NT); the last_error holds a string id
//   of a failure or a system text of at most 63 characters, terminated;
// - a command waits no longer than its fixed wait and the abort's;
// - every device opened is closed and every buffer given back;
// - the explanation of the records stays terminated within its buffers,
//   and a command that failed is always explained in words.
#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <vector>

#include "common/win_codes.h"
#include "fuzz_checks.h"
#include "fuzz_input.h"
#include "inventory/inventory.h"
#include "resources/resource_ids.h"
#include "scsi/aspi_commands.h"
#include "scsi/data_pattern.h"
#include "scsi/explanation.h"
#include "scsi/nt_layout.h"
#include "scsi/passthrough_commands.h"
#include "scsi/sense.h"
#include "support/scripted_messages.h"

namespace {

using namespace td;
using fuzz::InputReader;
using fuzz::Require;
using fuzz::RequireTerminated;

constexpr std::uint32_t kTickMs = 100;

// Time moves 100 ms with every look at the clock while a command waits;
// the library completes its requests as time passes.
class FuzzClock final : public Clock {
public:
    std::uint32_t Ticks() override { return now; }
    void Sleep(std::uint32_t milliseconds) override { Advance(milliseconds); }
    void Idle() override { Advance(kTickMs); }
    void Advance(std::uint32_t milliseconds);

    std::uint32_t now = 0;
    class FuzzAspi* library = nullptr;
};

// The library's answer to one execute request, read when it is sent:
//   1 byte   when: bits 0-1  0 final at once, 1 pending and final after
//                            (byte 2) x 100 ms, 2 or 3 never final
//                   bit 2    the data read back is the pattern WRITE BUFFER sent
//                   bit 3    the data read back is the next counted run of bytes
//   1 byte   the delay, in steps of 100 ms
//   1 byte   SRB_Status; 3 bytes SRB_HaStat, SRB_TargStat, SRB_SenseLen
//   16 bytes the sense area, as stored (whatever SRB_SenseLen says)
//   1 byte   abort: bit 0 the abort ends the request (SS_ABORTED), else it fails
//   (counted bytes of data when bit 3 is set)
struct AspiAnswer {
    std::uint8_t when = 0;
    std::uint32_t due = 0;
    std::uint8_t status = 0, ha_stat = 0, targ_stat = 0, sense_len = 0;
    std::vector<std::uint8_t> sense;
    bool abort_ends = false;
    std::vector<std::uint8_t> data;
};

class FuzzAspi final : public AspiLibrary {
public:
    FuzzAspi(InputReader& input, FuzzClock& clock, AspiCommandArea& area) : input_(input), clock_(clock), area_(area) {}

    std::uint32_t GetSupportInfo() override { return 0x0101; }

    std::uint32_t SendCommand(void* block) override {
        const std::uint8_t command = static_cast<const aspi::SrbHeader*>(block)->SRB_Cmd;
        if (command == aspi::kScAbortSrb) return Abort(*static_cast<aspi::SrbAbort*>(block));
        Require(command == aspi::kScExecScsiCmd, "a command of another kind was sent");
        auto& srb = *static_cast<aspi::SrbExecScsiCmd*>(block);
        CheckBuffer(srb);
        if (pending_ != nullptr) {
            // Still outstanding from an earlier command: refused, untouched.
            return aspi::kSsInvalidSrb;
        }
        last_sent_ = &srb;
        answer_ = Read(srb);
        if ((answer_.when & 0x03) == 0) {
            Complete(srb);
            return srb.SRB_Status;
        }
        srb.SRB_Status = aspi::kSsPending;
        pending_ = &srb;
        return aspi::kSsPending;
    }

    void OnTime(std::uint32_t now) {
        if (pending_ != nullptr && (answer_.when & 0x03) == 1 && now >= answer_.due) {
            aspi::SrbExecScsiCmd* srb = pending_;
            pending_ = nullptr;
            Complete(*srb);
        }
    }

    // A request that completed on its own (not aborted, not refused):
    // what the command then judged.
    bool Completed(const aspi::SrbExecScsiCmd& srb) const { return completed_ == &srb; }
    bool Pending() const { return pending_ != nullptr; }
    void Forget() { completed_ = nullptr; }

private:
    void CheckBuffer(const aspi::SrbExecScsiCmd& srb) {
        std::size_t room = 0;
        if (srb.SRB_BufPointer == area_.scratch) room = sizeof area_.scratch;
        if (srb.SRB_BufPointer == area_.pattern) room = sizeof area_.pattern;
        if (srb.SRB_BufPointer == area_.receive) room = sizeof area_.receive;
        Require(srb.SRB_BufPointer == nullptr ? srb.SRB_BufLen == 0 : room > 0,
                "the block points at memory that is not the commands' own");
        Require(srb.SRB_BufLen <= room, "the block promises more buffer than it points at");
        if (srb.SRB_BufPointer == area_.pattern && srb.CDBByte[0] == 0x3B) {
            written_.assign(area_.pattern, area_.pattern + srb.SRB_BufLen);
        }
    }

    AspiAnswer Read(const aspi::SrbExecScsiCmd& srb) {
        AspiAnswer answer;
        answer.when = input_.Byte();
        answer.due = clock_.now + input_.Byte() * kTickMs;
        answer.status = input_.Byte();
        answer.ha_stat = input_.Byte();
        answer.targ_stat = input_.Byte();
        answer.sense_len = input_.Byte();
        answer.sense = input_.Bytes(sizeof srb.SenseArea);
        answer.abort_ends = (input_.Byte() & 0x01) != 0;
        if ((answer.when & 0x04) != 0) answer.data = written_;
        if ((answer.when & 0x08) != 0) answer.data = input_.Counted();
        return answer;
    }

    // Stores the answer as a library does: data, statuses and sense first,
    // the final SRB_Status last.
    void Complete(aspi::SrbExecScsiCmd& srb) {
        if (srb.SRB_BufPointer != nullptr && !answer_.data.empty()) {
            const std::size_t n = answer_.data.size() < srb.SRB_BufLen ? answer_.data.size() : srb.SRB_BufLen;
            std::memcpy(srb.SRB_BufPointer, answer_.data.data(), n);
        }
        srb.SRB_HaStat = answer_.ha_stat;
        srb.SRB_TargStat = answer_.targ_stat;
        srb.SRB_SenseLen = answer_.sense_len;
        if (!answer_.sense.empty()) std::memcpy(srb.SenseArea, answer_.sense.data(), answer_.sense.size());
        srb.SRB_Status = answer_.status;
        completed_ = &srb;
    }

    std::uint32_t Abort(aspi::SrbAbort& abort_srb) {
        Require(abort_srb.SRB_ToAbort == last_sent_, "an abort of a request that was never sent");
        if (pending_ != nullptr && pending_ == abort_srb.SRB_ToAbort && answer_.abort_ends) {
            pending_->SRB_Status = aspi::kSsAborted;
            pending_ = nullptr;
            abort_srb.SRB_Status = aspi::kSsComp;
        } else {
            abort_srb.SRB_Status = aspi::kSsAbortFail;
        }
        return abort_srb.SRB_Status;
    }

    InputReader& input_;
    FuzzClock& clock_;
    AspiCommandArea& area_;
    AspiAnswer answer_;
    aspi::SrbExecScsiCmd* pending_ = nullptr;
    const void* last_sent_ = nullptr;
    const aspi::SrbExecScsiCmd* completed_ = nullptr;
    std::vector<std::uint8_t> written_;
};

void FuzzClock::Advance(std::uint32_t milliseconds) {
    now += milliseconds;
    if (library != nullptr) library->OnTime(now);
}

// A heap that keeps every block's size, so the driver side can tell how
// much memory a DataBuffer really has.
class SizedHeap final : public BufferHeap {
public:
    void* Allocate(std::size_t size) override {
        if (fail) return nullptr;
        auto block = std::make_unique<std::uint8_t[]>(size);
        void* address = block.get();
        blocks_.push_back({std::move(block), size});
        return address;
    }
    void Free(void* address) override {
        for (auto it = blocks_.begin(); it != blocks_.end(); ++it) {
            if (it->memory.get() == address) {
                blocks_.erase(it);
                return;
            }
        }
        Require(address == nullptr, "a block freed that the heap never gave");
    }
    std::size_t SizeOf(const void* address) const {
        for (const Block& block : blocks_) {
            if (block.memory.get() == address) return block.size;
        }
        return 0;
    }
    std::size_t outstanding() const { return blocks_.size(); }
    bool fail = false;

private:
    struct Block {
        std::unique_ptr<std::uint8_t[]> memory;
        std::size_t size;
    };
    std::vector<Block> blocks_;
};

// The port driver's answers, read as it is asked:
//   Open:    1 byte, bit 0: the open fails
//   Control: 1 byte   bit 0 the call fails; bit 1 the data read back is the
//                     pattern WRITE BUFFER sent; bit 2 it is the next
//                     counted run of bytes; bit 3 DataTransferLength is kept
//                     as sent (else the next 4 bytes)
//            4 bytes  the last error reported after the call
//            1 byte   ScsiStatus
//            counted  the sense bytes (stored up to SenseInfoLength)
//            4 bytes  DataTransferLength handed back (unless bit 3)
//            (counted bytes of data when bit 2 is set)
//   SystemMessage: counted bytes of text; 0 when they do not fit the buffer
class FuzzPorts final : public DeviceIo {
public:
    FuzzPorts(InputReader& input, SizedHeap& heap) : input_(input), heap_(heap) {}

    DeviceHandle Open(const char* name, std::uint32_t, std::uint32_t) override {
        Require(std::strncmp(name, "\\\\.\\", 4) == 0 && std::strlen(name) <= 4 + kDevicePathMaxChars + 3,
                "a device name that is not \\\\.\\ and a device path");
        if ((input_.Byte() & 0x01) != 0) {
            last_error_ = win::kErrorSuccess + 2;  // the file is not found
            return 0;
        }
        ++open_;
        return 0x40;
    }

    bool Control(DeviceHandle device, std::uint32_t code, void* in, std::uint32_t in_size, void* out,
                 std::uint32_t out_size, std::uint32_t* returned) override {
        Require(device == 0x40 && open_ > 0, "a request to a device that is not open");
        Require(in == out, "a pass-through block that is not its own answer");
        const std::uint8_t plan = input_.Byte();
        last_error_ = input_.Word32();
        const std::uint8_t scsi_status = input_.Byte();
        const std::vector<std::uint8_t> sense = input_.Counted();
        const bool keep_length = (plan & 0x08) != 0;
        const std::uint32_t transferred = keep_length ? 0 : input_.Word32();
        std::vector<std::uint8_t> data;
        if ((plan & 0x02) != 0) data = written_;
        if ((plan & 0x04) != 0) data = input_.Counted();

        auto* bytes = static_cast<std::uint8_t*>(out);
        // Both structures start alike; only the data buffer differs.
        auto* spt = static_cast<nt::ScsiPassThrough*>(out);
        Require(in_size >= sizeof(nt::ScsiPassThrough) && out_size >= sizeof(nt::ScsiPassThrough),
                "a pass-through block shorter than its structure");
        Require(spt->SenseInfoOffset + spt->SenseInfoLength <= out_size,
                "the block promises more sense bytes than it holds");
        std::uint8_t* buffer = nullptr;
        std::uint32_t room = 0;
        if (code == nt::kIoctlScsiPassThrough) {
            Require(spt->DataTransferLength == 0 || spt->DataBufferOffset + spt->DataTransferLength <= out_size,
                    "the block promises more data than it holds");
            buffer = bytes + spt->DataBufferOffset;
            room = spt->DataTransferLength;
        } else {
            Require(code == nt::kIoctlScsiPassThroughDirect, "a request other than pass-through");
            auto* sptd = static_cast<nt::ScsiPassThroughDirect*>(out);
            buffer = static_cast<std::uint8_t*>(sptd->DataBuffer);
            room = sptd->DataTransferLength;
            Require(room <= heap_.SizeOf(buffer), "the block promises more data than its buffer holds");
            if (sptd->DataIn == nt::kScsiIoctlDataOut) written_.assign(buffer, buffer + room);
        }
        if ((plan & 0x01) != 0) {
            *returned = 0;
            return false;
        }
        if (!data.empty() && room > 0) std::memcpy(buffer, data.data(), data.size() < room ? data.size() : room);
        const std::size_t stored = sense.size() < spt->SenseInfoLength ? sense.size() : spt->SenseInfoLength;
        if (stored > 0) std::memcpy(bytes + spt->SenseInfoOffset, sense.data(), stored);
        spt->SenseInfoLength = static_cast<std::uint8_t>(stored);
        spt->ScsiStatus = scsi_status;
        if (!keep_length) spt->DataTransferLength = transferred;
        *returned = out_size;
        return true;
    }

    void Close(DeviceHandle device) override {
        Require(device == 0x40 && open_ > 0, "a device closed that is not open");
        --open_;
    }
    std::uint32_t LogicalDrives() override { return 0; }
    std::uint32_t DriveType(const char*) override { return 1; }
    std::uint32_t LastError() override { return last_error_; }

    std::uint32_t SystemMessage(std::uint32_t, char* buffer, std::uint32_t size) override {
        const std::vector<std::uint8_t> text = input_.Counted();
        if (text.size() + 1 > size) return 0;
        if (!text.empty()) std::memcpy(buffer, text.data(), text.size());
        buffer[text.size()] = '\0';
        return static_cast<std::uint32_t>(text.size());
    }

    int open() const { return open_; }

private:
    InputReader& input_;
    SizedHeap& heap_;
    int open_ = 0;
    std::uint32_t last_error_ = 0;
    std::vector<std::uint8_t> written_;
};

bool Same(const SenseReport& a, const SenseReport& b) {
    return a.sense_key == b.sense_key && a.sense_code == b.sense_code && a.sense_qualifier == b.sense_qualifier &&
           a.message_id == b.message_id;
}

bool SameError(const LastError& a, const LastError& b) {
    return a.text_id == b.text_id && std::memcmp(a.system_text, b.system_text, sizeof a.system_text) == 0;
}

// The texts a command may leave in the last_error.
bool IsFailureText(std::int32_t id) {
    static const std::set<std::int32_t> ids = {
        0,
        kUseSystemText,
        IDS_NT_CLASS_UNSUPPORTED,
        IDS_READ_BUFFER_MISMATCH,
        IDS_NO_MEMORY,
        IDS_ASPI_NOT_AVAILABLE,
        IDS_REQUEST_ABORTED,
        IDS_ASPI_REQUEST_STATUS,
        IDS_ASPI_REQUEST_REFUSED,
        IDS_ADAPTER_STATUS,
        IDS_TARGET_STATUS,
        IDS_OPEN_FAILED,
        IDS_NO_DEVICE_PATH,
        IDS_NO_PORT_DRIVER,
        IDS_PASS_THROUGH_REFUSED,
    };
    return ids.count(id) != 0;
}

void CheckRecords(const LastError& last_error) {
    RequireTerminated(last_error.system_text, "the system text lost its terminator");
    Require(IsFailureText(last_error.text_id), "the last_error names a text of no failure");
    Require(std::strlen(last_error.system_text) <= kSystemTextSize - 1, "a system text longer than 63 characters");
}

void CheckExplanation(Messages& messages, const SenseReport& report, const LastError& last_error, bool failed) {
    FailureExplanation explanation;
    std::memset(&explanation, 'x', sizeof explanation);
    ExplainFailure(messages, report, last_error, explanation);
    RequireTerminated(explanation.text, "the explanation lost its terminator");
    RequireTerminated(explanation.sense_display, "the sense display lost its terminator");
    RequireTerminated(explanation.information, "the information block's text lost its terminator");
    if (failed) Require(explanation.text[0] != '\0', "a command failed without an explanation");
}

enum class Command { TestUnitReady, WriteBuffer, ReadBuffer };

struct Rig {
    std::unique_ptr<Inventory> inventory = std::make_unique<Inventory>();
    FuzzClock clock;
    SenseReport sense_report{};
    LastError last_error{};
    std::unique_ptr<aspi::SrbExecScsiCmd> exec_srb = std::make_unique<aspi::SrbExecScsiCmd>();
    std::unique_ptr<AspiCommandArea> area = std::make_unique<AspiCommandArea>();
    SizedHeap heap;
};

int RunAspi(Rig& rig, ScsiCommandContext& context, FuzzAspi* library, Command command) {
    const SenseReport before = rig.sense_report;
    const LastError error_before = rig.last_error;
    const std::uint32_t start = rig.clock.now;
    if (library != nullptr) library->Forget();
    int passed = -1;
    std::uint32_t wait = kBufferCommandWaitMs;
    switch (command) {
        case Command::TestUnitReady:
            passed = aspi_test_unit_ready(context, 0, 0);
            wait = kTestUnitReadyWaitMs;
            break;
        case Command::WriteBuffer:
            passed = aspi_write_buffer(context, 0, 0);
            break;
        case Command::ReadBuffer:
            passed = aspi_read_buffer(context, 0, 0);
            break;
    }
    Require(passed == 0 || passed == 1, "a command answered other than 1 or 0");
    CheckRecords(rig.last_error);
    if (passed == 1) Require(SameError(rig.last_error, error_before), "a command that passed wrote the last_error");
    Require(rig.clock.now - start <= wait + kAbortWaitMs + 2 * kTickMs, "a command waited past its wait");
    const aspi::SrbExecScsiCmd& srb = *rig.exec_srb;
    if (library == nullptr) {
        Require(passed == 0 && Same(rig.sense_report, before), "a command without a library did something");
        return passed;
    }
    const bool judged = library->Completed(srb);
    if (passed == 1) {
        Require(judged && srb.SRB_Status == aspi::kSsComp, "a command passed without SS_COMP");
        if (command == Command::ReadBuffer) {
            Require(MatchesDataPattern(rig.area->receive, 0, kAspiBufferLength),
                    "READ BUFFER passed without the pattern");
        }
    }
    if (judged && request_is_clean(srb) == 1) {
        Require(Same(rig.sense_report, before), "the sense of a clean request was read");
    }
    if (!judged) Require(passed == 0, "a request that never ended passed");
    return passed;
}

int RunNt(Rig& rig, ScsiCommandContext& context, FuzzPorts& ports, Command command) {
    const SenseReport before = rig.sense_report;
    int passed = -1;
    switch (command) {
        case Command::TestUnitReady:
            passed = nt_test_unit_ready(context, 0, 0);
            break;
        case Command::WriteBuffer:
            passed = nt_write_buffer(context, 0, 0);
            break;
        case Command::ReadBuffer:
            passed = nt_read_buffer(context, 0, 0);
            break;
    }
    Require(passed == 0 || passed == 1, "a command answered other than 1 or 0");
    Require(ports.open() == 0, "a device left open");
    Require(rig.heap.outstanding() == 0, "a data buffer not given back");
    CheckRecords(rig.last_error);
    if (passed == 1) Require(Same(rig.sense_report, before), "a command that passed recorded sense data");
    return passed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static test::ScriptedMessages messages;
    messages.Clear();
    InputReader input(data, size);
    const std::uint8_t settings = input.Byte();
    const bool on_nt = (settings & 0x01) != 0;
    const bool clear_each = (settings & 0x02) != 0;
    const bool without = (settings & 0x04) != 0;

    Rig rig;
    std::memset(rig.inventory.get(), 0, sizeof *rig.inventory);
    std::memset(rig.exec_srb.get(), 0, sizeof *rig.exec_srb);
    std::memset(rig.area.get(), 0, sizeof *rig.area);
    Inventory& inventory = *rig.inventory;
    inventory.platform = on_nt ? kPlatformNt : kPlatformWin95;
    inventory.max_target_id = kMaxTargetIdNarrow;
    inventory.adapter_count = 1;
    inventory.slot_count = 1;
    const std::vector<std::uint8_t> path = input.Bytes(sizeof inventory.slots[0].device_path);
    if (!path.empty()) std::memcpy(inventory.slots[0].device_path, path.data(), path.size());

    FuzzAspi library(input, rig.clock, *rig.area);
    rig.clock.library = &library;
    rig.heap.fail = on_nt && without;
    FuzzPorts ports(input, rig.heap);
    ScsiCommandContext context{inventory,
                               rig.clock,
                               messages,
                               rig.sense_report,
                               rig.last_error,
                               *rig.exec_srb,
                               *rig.area,
                               on_nt || without ? nullptr : &library,
                               on_nt ? &ports : nullptr,
                               rig.heap};

    ClearFailureRecords(rig.sense_report, rig.last_error);
    for (Command command : {Command::TestUnitReady, Command::WriteBuffer, Command::ReadBuffer}) {
        if (clear_each) ClearFailureRecords(rig.sense_report, rig.last_error);
        const int passed = on_nt ? RunNt(rig, context, ports, command)
                                 : RunAspi(rig, context, without ? nullptr : &library, command);
        CheckExplanation(messages, rig.sense_report, rig.last_error, passed == 0);
    }
    return 0;
}
