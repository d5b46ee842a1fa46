#include "nt/nt_port_simulator.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstring>

#include "bus/steady_clock.h"
#include "scsi/nt_layout.h"

namespace td::sim {
namespace {

using namespace td::nt;

constexpr std::uint32_t kGenericRead = 0x80000000u;
constexpr std::uint32_t kGenericWrite = 0x40000000u;
constexpr std::uint32_t kShareRead = 1;
constexpr std::uint32_t kShareWrite = 2;

// Two opens of one object coexist when each one's access is within the
// other's sharing.
bool SharingAllows(std::uint32_t access, std::uint32_t share, std::uint32_t other_access, std::uint32_t other_share) {
    auto within = [](std::uint32_t wanted, std::uint32_t allowed) {
        return ((wanted & kGenericRead) == 0 || (allowed & kShareRead) != 0) &&
               ((wanted & kGenericWrite) == 0 || (allowed & kShareWrite) != 0);
    };
    return within(access, other_share) && within(other_access, share);
}
constexpr std::uint8_t kStatusCheckCondition = 0x02;
// The port driver hands every unit's INQUIRY data over in this length.
constexpr std::uint32_t kPortInquiryLength = 36;

// The two pass-through structures share every field before the data
// buffer, which the results are written to.
static_assert(offsetof(ScsiPassThrough, ScsiStatus) == offsetof(ScsiPassThroughDirect, ScsiStatus));
static_assert(offsetof(ScsiPassThrough, SenseInfoLength) == offsetof(ScsiPassThroughDirect, SenseInfoLength));
static_assert(offsetof(ScsiPassThrough, DataTransferLength) == offsetof(ScsiPassThroughDirect, DataTransferLength));
static_assert(offsetof(ScsiPassThrough, SenseInfoOffset) == offsetof(ScsiPassThroughDirect, SenseInfoOffset));
static_assert(offsetof(ScsiPassThrough, Cdb) == offsetof(ScsiPassThroughDirect, Cdb));

std::string Lower(const char* text) {
    std::string result(text);
    for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

// Decimal digits without a sign or leading zeros ("0" itself is fine).
bool ParseIndex(const std::string& digits, int max, int& value) {
    if (digits.empty() || digits.size() > 4 || (digits.size() > 1 && digits[0] == '0')) return false;
    int result = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        result = result * 10 + (c - '0');
    }
    if (result > max) return false;
    value = result;
    return true;
}

std::uint32_t AlignUp4(std::uint32_t value) { return (value + 3u) & ~3u; }

template <typename T>
void Put(std::uint8_t* base, std::size_t offset, const T& value) {
    std::memcpy(base + offset, &value, sizeof value);
}

}  // namespace

const char* SystemErrorText(std::uint32_t code) {
    switch (code) {
        case 0:
            return "The operation completed successfully.\r\n";
        case 1:
            return "Incorrect function.\r\n";
        case 2:
            return "The system cannot find the file specified.\r\n";
        case 5:
            return "Access is denied.\r\n";
        case 6:
            return "The handle is invalid.\r\n";
        case 21:
            return "The device is not ready.\r\n";
        case 23:
            return "Data error (cyclic redundancy check).\r\n";
        case 32:
            return "The process cannot access the file because it is being used by another process.\r\n";
        case 31:
            return "A device attached to the system is not functioning.\r\n";
        case 87:
            return "The parameter is incorrect.\r\n";
        case 121:
            return "The semaphore timeout period has expired.\r\n";
        case 122:
            return "The data area passed to a system call is too small.\r\n";
        case 1117:
            return "The request could not be performed because of an I/O device error.\r\n";
        case 1167:
            return "The device is not connected.\r\n";
        default:
            return nullptr;
    }
}

void NtPortSimulator::Log(const NtCall& call) {
    if (keep_log_) calls_.push_back(call);
}

std::vector<NtCall> NtPortSimulator::Calls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
}

void NtPortSimulator::ClearCalls() {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.clear();
}

int NtPortSimulator::OpenHandles() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(handles_.size());
}

void NtPortSimulator::SetLastError(std::uint32_t code) {
    std::lock_guard<std::mutex> lock(mutex_);
    last_errors_[std::this_thread::get_id()] = code;
}

void NtPortSimulator::KeepLog(bool keep) {
    std::lock_guard<std::mutex> lock(mutex_);
    keep_log_ = keep;
    if (!keep) calls_.clear();
    bus_.KeepLog(keep);
}

NtPortSimulator::NtPortSimulator(Scenario scenario, Clock* clock) : bus_(std::move(scenario)) {
    if (clock == nullptr) {
        own_clock_ = std::make_unique<SteadyClock>();
        clock = own_clock_.get();
    }
    clock_ = clock;
}

NtPortSimulator::~NtPortSimulator() = default;

bool NtPortSimulator::FindObject(const std::string& name, Object& object) const {
    if (name.size() < 5 || name.compare(0, 4, "\\\\.\\") != 0) return false;
    const std::string rest = Lower(name.c_str() + 4);
    const Scenario& scenario = bus_.scenario();
    object = Object();
    object.name = name.substr(4);

    if (rest.size() >= 6 && rest.compare(0, 4, "scsi") == 0 && rest.back() == ':') {
        int port = 0;
        if (!ParseIndex(rest.substr(4, rest.size() - 5), 255, port)) return false;
        for (std::size_t a = 0; a < scenario.adapters.size(); ++a) {
            if (scenario.adapters[a].port == port) {
                object.kind = ObjectKind::Port;
                object.adapter = static_cast<int>(a);
                object.key = "port " + std::to_string(port);
                return true;
            }
        }
        return false;
    }
    if (rest.size() == 2 && rest[1] == ':' && rest[0] >= 'a' && rest[0] <= 'z') {
        const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(rest[0])));
        object.kind = ObjectKind::Drive;
        object.key = std::string("drive ") + letter;
        for (std::size_t a = 0; a < scenario.adapters.size(); ++a) {
            const auto& devices = scenario.adapters[a].devices;
            for (std::size_t d = 0; d < devices.size(); ++d) {
                for (const ScenarioDrive& drive : devices[d].drives) {
                    if (drive.letter == letter) {
                        object.adapter = static_cast<int>(a);
                        object.unit = {static_cast<int>(a), static_cast<int>(d)};
                        object.drive = &drive;
                        return true;
                    }
                }
            }
        }
        for (const ScenarioDrive& drive : scenario.extra_drives) {
            if (drive.letter == letter) {
                object.drive = &drive;
                return true;
            }
        }
        return false;
    }
    ClassKind kind;
    std::string digits;
    if (rest.compare(0, 7, "scanner") == 0) {
        kind = ClassKind::Scanner;
        digits = rest.substr(7);
    } else if (rest.compare(0, 4, "tape") == 0) {
        kind = ClassKind::Tape;
        digits = rest.substr(4);
    } else {
        return false;
    }
    int number = 0;
    if (!ParseIndex(digits, 9999, number)) return false;
    for (std::size_t a = 0; a < scenario.adapters.size(); ++a) {
        const auto& devices = scenario.adapters[a].devices;
        for (std::size_t d = 0; d < devices.size(); ++d) {
            for (const ScenarioClassDevice& entry : devices[d].class_devices) {
                if (entry.kind == kind && entry.number == number) {
                    object.kind = ObjectKind::ClassDevice;
                    object.adapter = static_cast<int>(a);
                    object.unit = {static_cast<int>(a), static_cast<int>(d)};
                    object.class_device = &entry;
                    object.key = (kind == ClassKind::Scanner ? "scanner " : "tape ") + std::to_string(number);
                    return true;
                }
            }
        }
    }
    return false;
}

bool NtPortSimulator::Fail(NtCall& call, std::uint32_t error) {
    last_errors_[std::this_thread::get_id()] = error;
    call.ok = false;
    call.error = error;
    call.returned = 0;
    return false;
}

DeviceHandle NtPortSimulator::Open(const char* name, std::uint32_t access, std::uint32_t share) {
    std::lock_guard<std::mutex> lock(mutex_);
    NtCall call;
    call.op = NtCall::Op::Open;
    call.name = name != nullptr ? name : "";
    call.access = access;
    call.share = share;
    Object object;
    if (name == nullptr || !FindObject(name, object)) {
        Fail(call, kErrFileNotFound);
    } else if (object.drive != nullptr && object.drive->open_fails) {
        Fail(call, object.drive->open_error);
    } else if (object.drive != nullptr && object.drive->read_only && (access & kGenericWrite) != 0) {
        Fail(call, kErrAccessDenied);
    } else if (object.class_device != nullptr && object.class_device->open_fails) {
        Fail(call, object.class_device->open_error);
    } else if (std::any_of(handles_.begin(), handles_.end(), [&](const auto& entry) {
                   const Object& open = entry.second;
                   return open.key == object.key && !SharingAllows(access, share, open.access, open.share);
               })) {
        Fail(call, kErrSharingViolation);
    } else {
        object.access = access;
        object.share = share;
        call.handle = next_handle_;
        next_handle_ += 4;
        handles_[call.handle] = object;
        call.ok = true;
        call.returned = static_cast<std::uint32_t>(call.handle);
    }
    Log(call);
    return call.handle;
}

void NtPortSimulator::Close(DeviceHandle device) {
    std::lock_guard<std::mutex> lock(mutex_);
    NtCall call;
    call.op = NtCall::Op::Close;
    call.handle = device;
    const auto found = handles_.find(device);
    if (found == handles_.end()) {
        Fail(call, kErrInvalidHandle);
    } else {
        call.name = found->second.name;
        call.ok = true;
        handles_.erase(found);
    }
    Log(call);
}

bool NtPortSimulator::Control(DeviceHandle device, std::uint32_t code, void* in, std::uint32_t in_size, void* out,
                              std::uint32_t out_size, std::uint32_t* returned) {
    std::unique_lock<std::mutex> lock(mutex_);
    NtCall call;
    call.op = NtCall::Op::Control;
    call.handle = device;
    call.code = code;
    call.in_size = in_size;
    call.out_size = out_size;
    bool ok = false;
    const auto found = handles_.find(device);
    if (found == handles_.end()) {
        ok = Fail(call, kErrInvalidHandle);
    } else {
        // A copy: the handle may be closed by another thread while this one
        // waits for its command.
        const Object object = found->second;
        call.name = object.name;
        switch (code) {
            case kIoctlScsiGetInquiryData:
                ok = InquiryData(object, out, out_size, call);
                break;
            case kIoctlScsiGetAddress:
                ok = Address(object, out, out_size, call);
                break;
            case kIoctlScsiPassThrough:
                ok = PassThrough(object, false, in, in_size, out, out_size, call, lock);
                break;
            case kIoctlScsiPassThroughDirect:
                ok = PassThrough(object, true, in, in_size, out, out_size, call, lock);
                break;
            default:
                ok = Fail(call, kErrInvalidFunction);
                break;
        }
    }
    call.ok = ok;
    if (returned != nullptr) *returned = call.returned;
    Log(call);
    return ok;
}

bool NtPortSimulator::InquiryData(const Object& object, void* out, std::uint32_t out_size, NtCall& call) {
    if (object.kind != ObjectKind::Port) return Fail(call, kErrInvalidFunction);
    const ScenarioAdapter& adapter = bus_.scenario().adapters[static_cast<std::size_t>(object.adapter)];
    if (adapter.inquiry_data_fails) return Fail(call, adapter.inquiry_data_error);

    // The units of each bus, ordered by target and LUN.
    std::vector<std::vector<const ScenarioDevice*>> buses(static_cast<std::size_t>(adapter.buses));
    for (const ScenarioDevice& device : adapter.devices) buses[static_cast<std::size_t>(device.bus)].push_back(&device);
    std::size_t units = 0;
    for (auto& list : buses) {
        std::sort(list.begin(), list.end(), [](const ScenarioDevice* a, const ScenarioDevice* b) {
            return a->target != b->target ? a->target < b->target : a->lun < b->lun;
        });
        units += list.size();
    }
    const std::uint32_t header = static_cast<std::uint32_t>(offsetof(ScsiAdapterBusInfo, BusData) +
                                                            buses.size() * sizeof(ScsiBusData));
    const std::uint32_t entry_size = AlignUp4(static_cast<std::uint32_t>(offsetof(ScsiInquiryData, InquiryData)) +
                                              kPortInquiryLength);
    const std::uint32_t total = AlignUp4(header) + static_cast<std::uint32_t>(units) * entry_size;
    if (out == nullptr || out_size < total) return Fail(call, kErrInsufficientBuffer);

    auto* base = static_cast<std::uint8_t*>(out);
    std::memset(base, 0, total);
    Put(base, offsetof(ScsiAdapterBusInfo, NumberOfBuses), static_cast<std::uint8_t>(buses.size()));
    std::uint32_t at = AlignUp4(header);
    for (std::size_t b = 0; b < buses.size(); ++b) {
        const std::size_t bus_at = offsetof(ScsiAdapterBusInfo, BusData) + b * sizeof(ScsiBusData);
        Put(base, bus_at + offsetof(ScsiBusData, NumberOfLogicalUnits),
            static_cast<std::uint8_t>(std::min<std::size_t>(buses[b].size(), 255)));
        Put(base, bus_at + offsetof(ScsiBusData, InitiatorBusId), static_cast<std::uint8_t>(adapter.initiator_ids[b]));
        Put(base, bus_at + offsetof(ScsiBusData, InquiryDataOffset),
            static_cast<std::uint32_t>(buses[b].empty() ? 0 : at));
        for (std::size_t u = 0; u < buses[b].size(); ++u) {
            const ScenarioDevice& device = *buses[b][u];
            const std::uint32_t next = u + 1 < buses[b].size() ? at + entry_size : 0;
            Put(base, at + offsetof(ScsiInquiryData, PathId), static_cast<std::uint8_t>(b));
            Put(base, at + offsetof(ScsiInquiryData, TargetId), static_cast<std::uint8_t>(device.target));
            Put(base, at + offsetof(ScsiInquiryData, Lun), static_cast<std::uint8_t>(device.lun));
            Put(base, at + offsetof(ScsiInquiryData, DeviceClaimed), static_cast<std::uint8_t>(device.claimed ? 1 : 0));
            Put(base, at + offsetof(ScsiInquiryData, InquiryDataLength), kPortInquiryLength);
            Put(base, at + offsetof(ScsiInquiryData, NextInquiryDataOffset), next);
            const auto inquiry = device.InquiryData();
            std::memcpy(base + at + offsetof(ScsiInquiryData, InquiryData), inquiry.data(), kPortInquiryLength);
            at += entry_size;
        }
    }
    // A pass-through layer may report fewer bytes than it wrote, as Wine's
    // does over Linux; what it wrote stays in the caller's buffer.
    call.returned = adapter.inquiry_data_reports >= 0 ? static_cast<std::uint32_t>(adapter.inquiry_data_reports)
                                                      : total;
    return true;
}

bool NtPortSimulator::Address(const Object& object, void* out, std::uint32_t out_size, NtCall& call) {
    if (out == nullptr || out_size < sizeof(ScsiAddress)) return Fail(call, kErrInsufficientBuffer);
    const Scenario& scenario = bus_.scenario();
    ScsiAddress address{};
    address.Length = sizeof(ScsiAddress);
    if (object.kind == ObjectKind::Port) {
        const ScenarioAdapter& adapter = scenario.adapters[static_cast<std::size_t>(object.adapter)];
        address.PortNumber = static_cast<std::uint8_t>(adapter.port);
        address.TargetId = static_cast<std::uint8_t>(adapter.initiator_ids[0]);
    } else {
        if (object.drive != nullptr && object.drive->address_fails) return Fail(call, object.drive->address_error);
        if (object.class_device != nullptr && object.class_device->address_fails) {
            return Fail(call, object.class_device->address_error);
        }
        if (object.unit.adapter < 0) return Fail(call, kErrInvalidFunction);
        const ScenarioAdapter& adapter = scenario.adapters[static_cast<std::size_t>(object.unit.adapter)];
        const ScenarioDevice& device = adapter.devices[static_cast<std::size_t>(object.unit.device)];
        address.PortNumber = static_cast<std::uint8_t>(adapter.port);
        address.PathId = static_cast<std::uint8_t>(device.bus);
        address.TargetId = static_cast<std::uint8_t>(device.target);
        address.Lun = static_cast<std::uint8_t>(device.lun);
    }
    std::memcpy(out, &address, sizeof address);
    call.returned = sizeof address;
    return true;
}

bool NtPortSimulator::PassThrough(const Object& object, bool direct, void* in, std::uint32_t in_size, void* out,
                                  std::uint32_t out_size, NtCall& call, std::unique_lock<std::mutex>& lock) {
    constexpr std::uint32_t header = sizeof(ScsiPassThrough);
    static_assert(sizeof(ScsiPassThroughDirect) == header);
    if (in == nullptr || in_size < header) return Fail(call, kErrInvalidParameter);
    if (out == nullptr || out_size < header) return Fail(call, kErrInsufficientBuffer);

    // The request is read whole first: input and output may be one block.
    std::vector<std::uint8_t> system(std::max(in_size, out_size), 0);
    std::memcpy(system.data(), in, in_size);
    ScsiPassThrough spt;
    std::memcpy(&spt, system.data(), header);
    ScsiPassThroughDirect sptd;
    std::memcpy(&sptd, system.data(), header);

    if (spt.Length != header || spt.CdbLength == 0 || spt.CdbLength > sizeof spt.Cdb || spt.DataIn > 2) {
        return Fail(call, kErrInvalidParameter);
    }
    if (spt.SenseInfoLength > 0 && (spt.SenseInfoOffset < header ||
                                    static_cast<std::uint64_t>(spt.SenseInfoOffset) + spt.SenseInfoLength > out_size)) {
        return Fail(call, kErrInvalidParameter);
    }
    const std::uint32_t length = spt.DataTransferLength;
    std::uint8_t* data = nullptr;
    if (direct) {
        data = static_cast<std::uint8_t*>(sptd.DataBuffer);
        if (length > 0 && data == nullptr) return Fail(call, kErrInvalidParameter);
    } else if (length > 0) {
        const std::uint32_t limit = spt.DataIn == kScsiIoctlDataIn    ? out_size
                                    : spt.DataIn == kScsiIoctlDataOut ? in_size
                                                                      : std::max(in_size, out_size);
        if (spt.DataBufferOffset < header || spt.DataBufferOffset + static_cast<std::uint64_t>(length) > limit) {
            return Fail(call, kErrInvalidParameter);
        }
        data = system.data() + spt.DataBufferOffset;
    }

    // The unit the command goes to.
    int adapter = object.unit.adapter;
    int bus = 0, target = 0, lun = 0;
    if (object.kind == ObjectKind::Port &&
        bus_.scenario().adapters[static_cast<std::size_t>(object.adapter)].port_is_unit) {
        adapter = object.adapter;
        const ScenarioDevice& device = bus_.scenario().adapters[static_cast<std::size_t>(adapter)].devices[0];
        bus = device.bus;
        target = device.target;
        lun = device.lun;
    } else if (object.kind == ObjectKind::Port) {
        adapter = object.adapter;
        bus = spt.PathId;
        target = spt.TargetId;
        lun = spt.Lun;
        const ScenarioDevice* device = bus_.FindDevice(adapter, bus, target, lun);
        // The port driver passes nothing around a class driver that owns the unit.
        if (device != nullptr && device->claimed) return Fail(call, kErrInvalidFunction);
    } else {
        if (adapter < 0) return Fail(call, kErrInvalidFunction);
        const ScenarioDevice& device = bus_.scenario()
                                           .adapters[static_cast<std::size_t>(adapter)]
                                           .devices[static_cast<std::size_t>(object.unit.device)];
        bus = device.bus;
        target = device.target;
        lun = device.lun;
    }

    BusRequest request;
    request.transport = Transport::Nt;
    request.adapter = adapter;
    request.bus = bus;
    request.target = target;
    request.lun = lun;
    request.cdb.assign(spt.Cdb, spt.Cdb + spt.CdbLength);
    request.direction = spt.DataIn == kScsiIoctlDataIn    ? DataDirection::In
                        : spt.DataIn == kScsiIoctlDataOut ? DataDirection::Out
                                                          : DataDirection::Unspecified;
    request.data_length = length;
    request.sense_length = spt.SenseInfoLength;
    request.timeout_s = spt.TimeOutValue;
    request.device_name = object.name;
    const bool data_out = request.direction == DataDirection::Out ||
                          (request.direction == DataDirection::Unspecified &&
                           CommandDirection(request.cdb[0]) == DataDirection::Out);
    if (data_out && data != nullptr) request.data_out.assign(data, data + length);
    const BusOutcome outcome = bus_.Execute(std::move(request));

    // The port driver ends a request that outlives its time-out.
    const std::uint64_t timeout_ms = static_cast<std::uint64_t>(spt.TimeOutValue) * 1000u;
    const auto sleep = [&](std::uint64_t ms) {
        if (ms == 0) return;
        lock.unlock();
        clock_->Sleep(static_cast<std::uint32_t>(std::min<std::uint64_t>(ms, 0xFFFFFFFFu)));
        lock.lock();
    };
    if (outcome.completion == Completion::Hang || outcome.delay_ms > timeout_ms) {
        sleep(timeout_ms);
        return Fail(call, kErrSemTimeout);
    }
    sleep(outcome.delay_ms);

    switch (outcome.completion) {
        case Completion::Done:
            break;
        case Completion::NoDevice:
        case Completion::SelectionTimeout:
        case Completion::InvalidAdapter:
            return Fail(call, kErrDeviceNotConnected);
        case Completion::AdapterError:
        case Completion::SystemError:
        case Completion::Hang:
            return Fail(call, outcome.system_error != 0 ? outcome.system_error : kErrIoDevice);
        case Completion::Refused:
            return Fail(call, outcome.system_error != 0 ? outcome.system_error : kErrInvalidFunction);
    }

    if (!outcome.data_in.empty() && data != nullptr) {
        std::memcpy(data, outcome.data_in.data(), std::min<std::size_t>(outcome.data_in.size(), length));
    }
    std::uint8_t sense_copied = 0;
    if (outcome.scsi_status == kStatusCheckCondition && spt.SenseInfoLength > 0) {
        sense_copied = static_cast<std::uint8_t>(std::min<std::size_t>(spt.SenseInfoLength, outcome.sense.size()));
        std::memcpy(system.data() + spt.SenseInfoOffset, outcome.sense.data(), sense_copied);
    }
    Put(system.data(), offsetof(ScsiPassThrough, ScsiStatus), outcome.scsi_status);
    Put(system.data(), offsetof(ScsiPassThrough, SenseInfoLength), sense_copied);
    Put(system.data(), offsetof(ScsiPassThrough, DataTransferLength), outcome.transferred);

    std::uint32_t answered = header;
    if (sense_copied > 0) answered = std::max(answered, spt.SenseInfoOffset + sense_copied);
    if (!direct && spt.DataIn == kScsiIoctlDataIn && outcome.transferred > 0) {
        answered = std::max<std::uint32_t>(answered,
                                           static_cast<std::uint32_t>(spt.DataBufferOffset) + outcome.transferred);
    }
    answered = std::min(answered, out_size);
    std::memcpy(out, system.data(), answered);
    call.returned = answered;
    return true;
}

std::uint32_t NtPortSimulator::LogicalDrives() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::uint32_t mask = 0;
    const Scenario& scenario = bus_.scenario();
    for (const ScenarioAdapter& adapter : scenario.adapters) {
        for (const ScenarioDevice& device : adapter.devices) {
            for (const ScenarioDrive& drive : device.drives) mask |= 1u << (drive.letter - 'A');
        }
    }
    for (const ScenarioDrive& drive : scenario.extra_drives) mask |= 1u << (drive.letter - 'A');
    NtCall call;
    call.op = NtCall::Op::LogicalDrives;
    call.ok = true;
    call.returned = mask;
    Log(call);
    return mask;
}

std::uint32_t NtPortSimulator::DriveType(const char* root) {
    std::lock_guard<std::mutex> lock(mutex_);
    constexpr std::uint32_t kNoRootDir = 1;
    NtCall call;
    call.op = NtCall::Op::DriveType;
    call.name = root != nullptr ? root : "";
    call.ok = true;
    call.returned = kNoRootDir;
    const std::string name = call.name;
    const bool root_form = (name.size() == 3 && name[2] == '\\') || name.size() == 2;
    if (root_form && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0]))) {
        const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
        const Scenario& scenario = bus_.scenario();
        for (const ScenarioAdapter& adapter : scenario.adapters) {
            for (const ScenarioDevice& device : adapter.devices) {
                for (const ScenarioDrive& drive : device.drives) {
                    if (drive.letter == letter) call.returned = drive.type;
                }
            }
        }
        for (const ScenarioDrive& drive : scenario.extra_drives) {
            if (drive.letter == letter) call.returned = drive.type;
        }
    }
    Log(call);
    return call.returned;
}

std::uint32_t NtPortSimulator::LastError() {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = last_errors_.find(std::this_thread::get_id());
    NtCall call;
    call.op = NtCall::Op::LastError;
    call.ok = true;
    call.returned = found != last_errors_.end() ? found->second : 0;
    Log(call);
    return call.returned;
}

std::uint32_t NtPortSimulator::SystemMessage(std::uint32_t code, char* buffer, std::uint32_t size) {
    std::lock_guard<std::mutex> lock(mutex_);
    NtCall call;
    call.op = NtCall::Op::SystemMessage;
    call.code = code;
    call.out_size = size;
    const char* text = SystemErrorText(code);
    if (text == nullptr) {
        Fail(call, kErrMrMidNotFound);
    } else if (buffer == nullptr || std::strlen(text) + 1 > size) {
        Fail(call, kErrInsufficientBuffer);
    } else {
        const std::size_t length = std::strlen(text);
        std::memcpy(buffer, text, length + 1);
        call.ok = true;
        call.returned = static_cast<std::uint32_t>(length);
    }
    Log(call);
    return call.returned;
}

}  // namespace td::sim
