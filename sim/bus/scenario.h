// A virtual SCSI machine described as data.
//
// A scenario says which host adapters exist, which devices hang on them,
// how each device answers particular commands, and what the Windows NT side
// of the same machine looks like (port numbers, buses, drive letters, class
// devices). It is written in a small text format (see sim/README.md) and
// read by ParseScenario; the virtual bus, the ASPI service and the NT port
// simulator all run from the same description. Everything here is plain
// data: every default is filled in by the parser, so consumers read fields
// and never guess.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "scsi/scsi_opcodes.h"

namespace td::sim {

// SCSI operation codes the devices execute: the program's own.
using td::kOpInquiry;
using td::kOpReadBuffer;
using td::kOpReadCapacity10;
using td::kOpServiceActionIn16;
using td::kOpTestUnitReady;
using td::kOpWriteBuffer;

// Length of the INQUIRY data every device holds.
constexpr int kInquiryLength = 96;
// Length of the fixed-format sense data a device returns.
constexpr int kSenseLength = 18;

// Sense keys and additional sense codes the devices use themselves.
constexpr std::uint8_t kSenseKeyNotReady = 0x02;
constexpr std::uint8_t kSenseKeyIllegalRequest = 0x05;
constexpr std::uint8_t kSenseKeyUnitAttention = 0x06;
constexpr std::uint8_t kAscInvalidOpcode = 0x20;
constexpr std::uint8_t kAscInvalidFieldInCdb = 0x24;
constexpr std::uint8_t kAscMediumNotPresent = 0x3A;

// Builds fixed-format sense data (response code 70h, additional length 10).
std::vector<std::uint8_t> FixedSense(std::uint8_t key, std::uint8_t asc, std::uint8_t ascq);

// How an ASPI manager refuses a request: SendASPI32Command answers `status`
// at once (never SS_PENDING), calls no post routine, and either stores the
// status in the block or, `untouched`, leaves the block as the caller left
// it (as a manager that only stubs the call does).
struct AspiRefusal {
    std::uint8_t status = 0;  // 0: no refusal
    bool untouched = false;

    bool active() const { return status != 0; }
};

// A scripted answer of one device to one kind of command. The first rule of
// a device whose opcode matches and that is not used up decides; a command
// no rule matches runs normally.
// CommandRule::opcode for every command, and for INQUIRY with the EVPD bit
// set (a vital product data page) only.
constexpr int kRuleAnyCommand = -1;
constexpr int kRuleVpdInquiry = -2;

struct CommandRule {
    int opcode = kRuleAnyCommand;  // an opcode, kRuleAnyCommand or kRuleVpdInquiry
    // A SCSI status other than GOOD: the command is not run, the device
    // answers this status (CHECK CONDITION with `sense`).
    std::uint8_t status = 0;
    std::vector<std::uint8_t> sense;
    // An adapter failure: ASPI ends the request with SS_ERR and this
    // SRB_HaStat; NT fails the call with `system_error`, else
    // ERROR_IO_DEVICE.
    bool has_ha_stat = false;
    std::uint8_t ha_stat = 0;
    // ASPI only: the final SRB_Status to report, the command not run.
    bool has_aspi_status = false;
    std::uint8_t aspi_status = 0;
    // NT only: DeviceIoControl fails with this system error code.
    std::uint32_t system_error = 0;
    bool hang = false;     // never completes
    bool corrupt = false;  // returned data changed at corrupt_offset
    std::uint32_t corrupt_offset = 0;
    std::uint8_t corrupt_xor = 0xFF;
    bool zero_length = false;    // GOOD, but no data moves
    std::uint32_t delay_ms = 0;  // completion delay
    // ASPI: a request sent without a post routine has completed by the
    // time SendASPI32Command returns (SS_COMP or SS_ERR, never SS_PENDING),
    // as an ASPI manager may finish a quick request on the caller's thread.
    bool at_once = false;
    // ASPI: the manager refuses the request as it is sent; it never
    // reaches the device. NT: the call fails at once (ERROR_INVALID_FUNCTION
    // unless `system_error` names a code).
    AspiRefusal refusal;
    std::uint32_t times = 0;  // 0: every time; n: the first n matching commands
    int line = 0;             // where the scenario stated it
};

// GetDriveTypeA values a drive can have.
enum : std::uint32_t {
    kDriveTypeRemovable = 2,
    kDriveTypeFixed = 3,
    kDriveTypeRemote = 4,
    kDriveTypeCdrom = 5,
    kDriveTypeRamdisk = 6,
};

// A drive letter: a volume on a SCSI unit, or a drive that is not on SCSI
// at all (network drive, RAM disk).
struct ScenarioDrive {
    char letter = 'C';  // 'A' to 'Z'
    std::uint32_t type = kDriveTypeFixed;
    bool address_fails = false;       // IOCTL_SCSI_GET_ADDRESS fails ...
    std::uint32_t address_error = 1;  // ... with this code (ERROR_INVALID_FUNCTION)
    bool open_fails = false;          // CreateFileA fails ...
    std::uint32_t open_error = 5;     // ... with this code (ERROR_ACCESS_DENIED)
    bool read_only = false;           // opening with GENERIC_WRITE fails with ERROR_ACCESS_DENIED
    int line = 0;
};

enum class ClassKind { Scanner, Tape };

// A numbered class device, \\.\Scanner<k> or \\.\Tape<k>.
struct ScenarioClassDevice {
    ClassKind kind = ClassKind::Scanner;
    int number = 0;
    bool address_fails = false;
    std::uint32_t address_error = 1;
    bool open_fails = false;
    std::uint32_t open_error = 5;
    int line = 0;
};

// One designator of the device identification page (VPD 83h), as the
// device lists it: association (0 logical unit, 1 target port, 2 target
// device), designator type (0 vendor specific, 1 T10 vendor ID, 2 EUI-64,
// 3 NAA, 8 SCSI name string), code set (1 binary, 2 ASCII, 3 UTF-8) and the
// designator's bytes.
struct ScenarioDesignator {
    std::uint8_t association = 0;
    std::uint8_t type = 0;
    std::uint8_t code_set = 1;
    std::vector<std::uint8_t> value;
};

// How a device answers INQUIRY with the EVPD bit set.
enum class EvpdAnswer {
    Pages,     // the pages it has; ILLEGAL REQUEST for any other
    Rejected,  // ILLEGAL REQUEST, INVALID FIELD IN CDB for every page (a SCSI-2 device without pages)
    Ignored,   // its standard INQUIRY data, as an old device that does not look at the bit
};

struct ScenarioDevice {
    int target = 0;
    int lun = 0;
    int bus = 0;             // NT path id; ASPI addresses bus 0 only
    std::uint8_t type = 0;   // peripheral device type, 0 to 31
    bool removable = false;  // RMB
    int ansi_version = 2;    // 0 to 7
    bool sync = false;
    bool wide16 = false;
    bool wide32 = false;
    std::string vendor;    // at most 8 characters
    std::string product;   // at most 16
    std::string revision;  // at most 4
    // Raw bytes laid over the built INQUIRY data: (offset, bytes).
    std::vector<std::pair<int, std::vector<std::uint8_t>>> inquiry_patches;
    std::uint32_t buffer_size = 65536;  // the WRITE/READ BUFFER data buffer

    // READ CAPACITY (10) and (16): the number of logical blocks and their
    // length; a device without a capacity answers them ILLEGAL REQUEST,
    // INVALID COMMAND OPERATION CODE, as every device did before.
    bool has_capacity = false;
    std::uint64_t blocks = 0;  // at least 1 when given
    std::uint32_t block_length = 512;
    // Without a medium, TEST UNIT READY and READ CAPACITY answer NOT READY,
    // MEDIUM NOT PRESENT (3Ah).
    bool medium = true;

    // Vital product data: the unit serial number page (80h), the device
    // identification page (83h) and the list of pages (00h). Without any
    // of them the device rejects EVPD as before.
    EvpdAnswer evpd = EvpdAnswer::Rejected;
    bool has_serial = false;
    std::string serial;  // at most 251 characters
    std::vector<ScenarioDesignator> designators;
    std::vector<std::uint8_t> vpd_pages;  // what page 00h lists (filled in by the reader)
    // A page length the device states for a page whatever the page holds
    // (too short, or running past what it sends): (page code, length).
    std::vector<std::pair<std::uint8_t, std::uint16_t>> vpd_lengths;
    bool claimed = true;  // NT DeviceClaimed (defaults by type)
    std::vector<ScenarioDrive> drives;
    std::vector<ScenarioClassDevice> class_devices;
    std::vector<CommandRule> rules;
    int line = 0;

    // The 96 bytes the device answers INQUIRY with.
    std::array<std::uint8_t, kInquiryLength> InquiryData() const;
    // Vital product data page `page` whole, its stated length included;
    // empty when the device does not have it.
    std::vector<std::uint8_t> VpdPage(std::uint8_t page) const;
};

// How an ID with nothing behind it answers over ASPI.
enum class EmptyIdAnswer { NoDevice, SelectionTimeout };

struct ScenarioAdapter {
    // ASPI host adapter inquiry.
    std::string identifier;                  // HA_Identifier, at most 16 characters
    std::string manager = "ASPI for WIN32";  // HA_ManagerId, at most 16
    int scsi_id = 7;                         // HA_SCSI_ID
    int max_target = 7;                      // highest target ID (HA_Unique byte 3 is this + 1)
    std::array<std::uint8_t, 16> unique{};   // HA_Unique
    EmptyIdAnswer empty_ids = EmptyIdAnswer::NoDevice;
    AspiRefusal inquiry_refusal;  // its host adapter inquiry is refused

    // Registry details.
    std::string mfg;                        // "Mfg"
    std::string description;                // "DeviceDesc"
    std::string hw_revision;                // "HWRevision"
    std::string port_driver;                // Windows 95 "PortDriver", at most 19 characters
    bool pci = true;                        // Windows 95: has a PCI enumeration entry
    std::string pci_key;                    // Windows 95: device key under Enum\PCI
    std::string pci_instance;               // Windows 95: its instance subkey
    std::string pci_class = "SCSIAdapter";  // Windows 95: the instance's "Class"
    std::string miniport;                   // NT: the port's "Driver" value

    // Windows NT port driver.
    int port = 0;  // \\.\SCSI<port>:
    int buses = 1;
    std::vector<int> initiator_ids;           // per bus, `buses` entries
    bool inquiry_data_fails = false;          // IOCTL_SCSI_GET_INQUIRY_DATA fails ...
    std::uint32_t inquiry_data_error = 1117;  // ... with this code (ERROR_IO_DEVICE)
    // It succeeds but reports this byte count returned, whatever it wrote
    // (Wine over Linux reports 36); -1: the bytes it wrote.
    std::int32_t inquiry_data_reports = -1;
    // The port is its one unit, as Wine's ports are (each a Linux device):
    // pass-through through it reaches that unit whatever the block's
    // address, claimed or not.
    bool port_is_unit = false;

    std::vector<ScenarioDevice> devices;
    int line = 0;
};

struct Scenario {
    std::string name;
    std::uint8_t aspi_status = 0x01;  // status byte of GetASPI32SupportInfo
    int aspi_count = 0;               // adapter count it reports
    // ASPI answers an execute request for a missing adapter or device at
    // once (SS_INVALID_HA, SS_NO_DEVICE, no post routine call) instead of
    // completing it later like any other request.
    bool aspi_immediate_errors = false;
    // Every SendASPI32Command is refused, whatever it asks (while the
    // support query still reports the adapters).
    AspiRefusal aspi_refusal;
    std::vector<ScenarioAdapter> adapters;
    std::vector<ScenarioDrive> extra_drives;  // drives not on SCSI
};

// Reads a scenario. On failure answers false and sets `error` to a message
// that starts with "line <n>: " (or names the whole scenario); `out` is then
// left as it was. Never throws and never crashes on bad input.
bool ParseScenario(std::string_view text, Scenario& out, std::string& error);

// Reads a scenario file (any path the C library can open).
bool LoadScenarioFile(const std::string& path, Scenario& out, std::string& error);

// The built-in machine: its text, parsed like any file.
const char* DefaultScenarioText();
Scenario DefaultScenario();

// The scenario named by the environment variable `variable` (a file path),
// or the built-in one when the variable is unset or empty. On failure
// answers false with the reason in `error`.
bool LoadScenarioFromEnvironment(Scenario& out, std::string& error, const char* variable = "TD_SCENARIO");

}  // namespace td::sim
