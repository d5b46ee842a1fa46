// The virtual SCSI bus: a scenario's adapters and devices, running.
//
// The ASPI service and the NT port simulator hand every SCSI command they
// receive to Execute, which records it and answers what the device (or the
// empty ID) does: status byte, sense data, data in, bytes moved, and how the
// transport is to finish the request (after a delay, never, or with an
// adapter or system failure). The devices keep their WRITE BUFFER data and
// the use counts of their scripted rules. Thread-safe: the ASPI service
// executes on the caller's thread while tests read the log from another.
#pragma once

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "bus/scenario.h"

namespace td::sim {

enum class Transport : std::uint8_t { Aspi, Nt };

// The data direction the host asked for.
enum class DataDirection : std::uint8_t { None, In, Out, Unspecified };

// One command as it reached the bus; also the record kept in the log.
struct BusRequest {
    Transport transport = Transport::Aspi;
    int adapter = 0;  // index in the scenario
    int bus = 0;      // path id
    int target = 0;
    int lun = 0;
    std::vector<std::uint8_t> cdb;
    DataDirection direction = DataDirection::Unspecified;
    std::uint32_t data_length = 0;       // the host's buffer (ASPI SRB_BufLen, NT DataTransferLength)
    std::vector<std::uint8_t> data_out;  // the bytes a data-out command carried
    // Transport details, for tests that look at the exact request.
    std::uint8_t aspi_flags = 0;    // SRB_Flags
    std::uint8_t sense_length = 0;  // SRB_SenseLen / SenseInfoLength
    std::uint32_t timeout_s = 0;    // NT TimeOutValue
    std::vector<std::uint8_t> srb;  // ASPI: the execute block's bytes as sent
    std::string device_name;        // NT: the name the handle was opened with
};

enum class Completion : std::uint8_t {
    Done,              // the target answered: see scsi_status
    NoDevice,          // nothing at that address (ASPI SS_NO_DEVICE)
    SelectionTimeout,  // nothing answered the selection (ASPI HaStat 11h)
    InvalidAdapter,    // no such adapter
    AdapterError,      // the adapter failed the request: see ha_stat
    SystemError,       // NT only: the call fails with system_error
    Hang,              // never completes
    Refused,           // the manager refuses it as it is sent: see refusal; it never reached the device
};

struct BusOutcome {
    Completion completion = Completion::Done;
    std::uint8_t scsi_status = 0;
    std::uint8_t ha_stat = 0;
    bool has_aspi_status = false;  // a scripted final SRB_Status
    std::uint8_t aspi_status = 0;
    std::uint32_t system_error = 0;
    std::vector<std::uint8_t> data_in;  // what the device returns, at most data_length bytes
    std::uint32_t transferred = 0;      // bytes moved in either direction
    std::vector<std::uint8_t> sense;    // with CHECK CONDITION
    std::uint32_t delay_ms = 0;
    bool at_once = false;  // ASPI: complete before the send returns (see CommandRule)
    AspiRefusal refusal;   // with Refused
};

// The direction a command moves data in, by its opcode; Unspecified for
// opcodes the devices do not know.
DataDirection CommandDirection(std::uint8_t opcode);

class VirtualBus {
public:
    explicit VirtualBus(Scenario scenario);
    ~VirtualBus();
    VirtualBus(const VirtualBus&) = delete;
    VirtualBus& operator=(const VirtualBus&) = delete;

    const Scenario& scenario() const { return scenario_; }

    // Runs one command and records it. Never throws on any request.
    BusOutcome Execute(BusRequest request);

    // The device at an address; nullptr when there is none.
    const ScenarioDevice* FindDevice(int adapter, int bus, int target, int lun) const;

    // Every command executed so far, in order, unless the log is off.
    std::vector<BusRequest> Requests() const;
    void ClearRequests();
    // Whether Execute keeps each request for Requests(). A bus that serves
    // a running program keeps none: nobody reads the log, and it would grow
    // with every command the program sends.
    void KeepLog(bool keep);

    // Appends one line per command that reaches the bus to the file at
    // `path`, whether or not the log is kept: "<ASPI|NT> <adapter> <bus>
    // <target> <lun>:" and the CDB's bytes in hexadecimal. For programs
    // that serve a running program, whose commands a test wants to see
    // afterwards. False when the file cannot be opened.
    bool AppendLogTo(const char* path);

    // The first `length` bytes of a device's WRITE/READ BUFFER data.
    std::vector<std::uint8_t> BufferContents(int adapter, int bus, int target, int lun, std::uint32_t length) const;

private:
    struct DeviceState {
        std::vector<std::uint8_t> buffer;
        std::vector<std::uint32_t> rule_uses;
    };
    int FindDeviceIndex(int adapter, int bus, int target, int lun) const;
    void Run(const ScenarioDevice& device, DeviceState& state, const BusRequest& request, bool zero_length,
             BusOutcome& outcome);

    Scenario scenario_;
    mutable std::mutex mutex_;
    std::vector<std::vector<DeviceState>> states_;  // [adapter][device]
    std::vector<BusRequest> log_;
    bool keep_log_ = true;
    std::FILE* log_file_ = nullptr;
};

}  // namespace td::sim
