#include "bus/virtual_bus.h"

#include <algorithm>
#include <cstddef>

namespace td::sim {
namespace {

constexpr std::uint8_t kStatusGood = 0x00;
constexpr std::uint8_t kStatusCheckCondition = 0x02;
constexpr std::uint8_t kHaStatDataOverrun = 0x12;
constexpr std::uint8_t kHaStatPhaseError = 0x14;

std::uint32_t Be24(const std::vector<std::uint8_t>& cdb, std::size_t at) {
    auto byte = [&](std::size_t i) -> std::uint32_t { return i < cdb.size() ? cdb[i] : 0; };
    return byte(at) << 16 | byte(at + 1) << 8 | byte(at + 2);
}

void CheckCondition(BusOutcome& outcome, std::uint8_t key, std::uint8_t asc) {
    outcome.scsi_status = kStatusCheckCondition;
    outcome.sense = FixedSense(key, asc, 0);
    outcome.data_in.clear();
    outcome.transferred = 0;
}

void AdapterFailure(BusOutcome& outcome, std::uint8_t ha_stat) {
    outcome.completion = Completion::AdapterError;
    outcome.ha_stat = ha_stat;
    outcome.data_in.clear();
    outcome.transferred = 0;
}

bool IsVpdInquiry(const std::vector<std::uint8_t>& cdb) {
    return cdb.size() > 1 && cdb[0] == kOpInquiry && (cdb[1] & kInquiryEvpd) != 0;
}

bool Matches(const CommandRule& rule, const std::vector<std::uint8_t>& cdb) {
    if (rule.opcode == kRuleAnyCommand) return true;
    if (rule.opcode == kRuleVpdInquiry) return IsVpdInquiry(cdb);
    return !cdb.empty() && rule.opcode == cdb[0];
}

std::uint32_t Be(const std::vector<std::uint8_t>& cdb, std::size_t at, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = at; i < at + width; ++i) value = value << 8 | (i < cdb.size() ? cdb[i] : 0);
    return value;
}

void PutBe(std::uint8_t* bytes, std::uint64_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * (width - 1 - i)));
}

}  // namespace

DataDirection CommandDirection(std::uint8_t opcode) {
    switch (opcode) {
        case kOpTestUnitReady:
            return DataDirection::None;
        case kOpInquiry:
        case kOpReadBuffer:
        case kOpReadCapacity10:
        case kOpServiceActionIn16:
            return DataDirection::In;
        case kOpWriteBuffer:
            return DataDirection::Out;
        default:
            return DataDirection::Unspecified;
    }
}

VirtualBus::VirtualBus(Scenario scenario) : scenario_(std::move(scenario)) {
    states_.resize(scenario_.adapters.size());
    for (std::size_t a = 0; a < scenario_.adapters.size(); ++a) {
        for (const ScenarioDevice& device : scenario_.adapters[a].devices) {
            DeviceState state;
            state.buffer.assign(device.buffer_size, 0);
            state.rule_uses.assign(device.rules.size(), 0);
            states_[a].push_back(std::move(state));
        }
    }
}

VirtualBus::~VirtualBus() {
    if (log_file_ != nullptr) std::fclose(log_file_);
}

bool VirtualBus::AppendLogTo(const char* path) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (log_file_ != nullptr) std::fclose(log_file_);
    log_file_ = path != nullptr ? std::fopen(path, "a") : nullptr;
    return log_file_ != nullptr;
}

int VirtualBus::FindDeviceIndex(int adapter, int bus, int target, int lun) const {
    if (adapter < 0 || adapter >= static_cast<int>(scenario_.adapters.size())) return -1;
    const auto& devices = scenario_.adapters[static_cast<std::size_t>(adapter)].devices;
    for (std::size_t i = 0; i < devices.size(); ++i) {
        if (devices[i].bus == bus && devices[i].target == target && devices[i].lun == lun) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

const ScenarioDevice* VirtualBus::FindDevice(int adapter, int bus, int target, int lun) const {
    const int index = FindDeviceIndex(adapter, bus, target, lun);
    if (index < 0) return nullptr;
    return &scenario_.adapters[static_cast<std::size_t>(adapter)].devices[static_cast<std::size_t>(index)];
}

BusOutcome VirtualBus::Execute(BusRequest request) {
    std::lock_guard<std::mutex> lock(mutex_);
    BusOutcome outcome;
    if (keep_log_) log_.push_back(request);
    // A refused command never reached the bus, so the file learns of each
    // command only once that is known.
    const auto to_file = [&] {
        if (log_file_ == nullptr) return;
        std::fprintf(log_file_, "%s %d %d %d %d:", request.transport == Transport::Aspi ? "ASPI" : "NT",
                     request.adapter, request.bus, request.target, request.lun);
        for (std::uint8_t byte : request.cdb) std::fprintf(log_file_, " %02X", byte);
        std::fputc('\n', log_file_);
        std::fflush(log_file_);
    };

    if (request.adapter < 0 || request.adapter >= static_cast<int>(scenario_.adapters.size())) {
        to_file();
        outcome.completion = Completion::InvalidAdapter;
        return outcome;
    }
    const ScenarioAdapter& adapter = scenario_.adapters[static_cast<std::size_t>(request.adapter)];
    const int index = FindDeviceIndex(request.adapter, request.bus, request.target, request.lun);
    if (index < 0) {
        to_file();
        outcome.completion = adapter.empty_ids == EmptyIdAnswer::SelectionTimeout ? Completion::SelectionTimeout
                                                                                  : Completion::NoDevice;
        return outcome;
    }
    const ScenarioDevice& device = adapter.devices[static_cast<std::size_t>(index)];
    DeviceState& state = states_[static_cast<std::size_t>(request.adapter)][static_cast<std::size_t>(index)];

    const CommandRule* rule = nullptr;
    for (std::size_t i = 0; i < device.rules.size(); ++i) {
        const CommandRule& candidate = device.rules[i];
        if (!Matches(candidate, request.cdb)) continue;
        if (candidate.times != 0 && state.rule_uses[i] >= candidate.times) continue;
        ++state.rule_uses[i];
        rule = &candidate;
        break;
    }
    if (rule == nullptr || !rule->refusal.active()) to_file();

    if (rule != nullptr) {
        outcome.delay_ms = rule->delay_ms;
        outcome.at_once = rule->at_once;
        if (rule->hang) {
            outcome.completion = Completion::Hang;
            return outcome;
        }
        if (rule->refusal.active()) {
            // Refused by the manager: the command never reached the bus.
            if (keep_log_) log_.pop_back();
            outcome.completion = Completion::Refused;
            outcome.refusal = rule->refusal;
            outcome.system_error = rule->system_error;
            return outcome;
        }
        if (request.transport == Transport::Nt && rule->system_error != 0) {
            outcome.completion = Completion::SystemError;
            outcome.system_error = rule->system_error;
            return outcome;
        }
        if (rule->has_ha_stat || (request.transport == Transport::Aspi && rule->has_aspi_status)) {
            outcome.completion = Completion::AdapterError;
            outcome.ha_stat = rule->ha_stat;
            outcome.has_aspi_status = rule->has_aspi_status;
            outcome.aspi_status = rule->aspi_status;
            return outcome;
        }
        if (rule->status != kStatusGood) {
            outcome.scsi_status = rule->status;
            if (rule->status == kStatusCheckCondition) outcome.sense = rule->sense;
            return outcome;
        }
    }

    Run(device, state, request, rule != nullptr && rule->zero_length, outcome);

    if (rule != nullptr && rule->corrupt && outcome.completion == Completion::Done &&
        rule->corrupt_offset < outcome.data_in.size()) {
        outcome.data_in[rule->corrupt_offset] ^= rule->corrupt_xor;
    }
    return outcome;
}

// What the target itself does with a command it is given.
void VirtualBus::Run(const ScenarioDevice& device, DeviceState& state, const BusRequest& request, bool zero_length,
                     BusOutcome& outcome) {
    if (request.cdb.empty()) {
        CheckCondition(outcome, kSenseKeyIllegalRequest, kAscInvalidOpcode);
        return;
    }
    const std::uint8_t opcode = request.cdb[0];
    const DataDirection natural = CommandDirection(opcode);

    // The host announced the opposite data phase: the target goes to the
    // phase its command needs and the adapter reports a phase failure.
    const bool moves_data = request.data_length > 0 && (natural == DataDirection::In || natural == DataDirection::Out);
    if (moves_data && ((natural == DataDirection::In && request.direction == DataDirection::Out) ||
                       (natural == DataDirection::Out && request.direction == DataDirection::In))) {
        AdapterFailure(outcome, kHaStatPhaseError);
        return;
    }

    // The target sends `produced` bytes; a host buffer smaller than that
    // is an overrun the adapter reports.
    auto send = [&](const std::uint8_t* bytes, std::uint32_t produced) {
        if (produced > request.data_length) {
            AdapterFailure(outcome, kHaStatDataOverrun);
            return;
        }
        if (zero_length) produced = 0;
        outcome.data_in.assign(bytes, bytes + produced);
        outcome.transferred = produced;
    };

    switch (opcode) {
        case kOpTestUnitReady:
            if (!device.medium) CheckCondition(outcome, kSenseKeyNotReady, kAscMediumNotPresent);
            return;
        case kOpInquiry: {
            if (IsVpdInquiry(request.cdb) && device.evpd != EvpdAnswer::Ignored) {
                // The page named in byte 2, up to the two-byte allocation length.
                const std::vector<std::uint8_t> page = device.evpd == EvpdAnswer::Pages ? device.VpdPage(request.cdb[2])
                                                                                        : std::vector<std::uint8_t>();
                if (page.empty()) {
                    CheckCondition(outcome, kSenseKeyIllegalRequest, kAscInvalidFieldInCdb);
                    return;
                }
                const std::uint32_t allocation = Be(request.cdb, 3, 2);
                send(page.data(), std::min<std::uint32_t>(allocation, static_cast<std::uint32_t>(page.size())));
                return;
            }
            const std::uint32_t allocation = request.cdb.size() > 4 ? request.cdb[4] : 0;
            const auto data = device.InquiryData();
            send(data.data(), std::min<std::uint32_t>(allocation, kInquiryLength));
            return;
        }
        case kOpReadCapacity10:
        case kOpServiceActionIn16: {
            const bool long_form = opcode == kOpServiceActionIn16;
            if (long_form && (request.cdb.size() < 2 || (request.cdb[1] & 0x1F) != kServiceReadCapacity16)) {
                CheckCondition(outcome, kSenseKeyIllegalRequest, kAscInvalidFieldInCdb);
                return;
            }
            if (!device.has_capacity) {
                CheckCondition(outcome, kSenseKeyIllegalRequest, kAscInvalidOpcode);
                return;
            }
            if (!device.medium) {
                CheckCondition(outcome, kSenseKeyNotReady, kAscMediumNotPresent);
                return;
            }
            // The last block's address: the 10-byte answer holds at most
            // FFFFFFFFh, which tells the host to ask the 16-byte form.
            const std::uint64_t last = device.blocks - 1;
            std::uint8_t answer[32] = {};
            if (long_form) {
                PutBe(answer, last, 8);
                PutBe(answer + 8, device.block_length, 4);
                send(answer, std::min<std::uint32_t>(Be(request.cdb, 10, 4), sizeof answer));
            } else {
                PutBe(answer, std::min<std::uint64_t>(last, 0xFFFFFFFFu), 4);
                PutBe(answer + 4, device.block_length, 4);
                send(answer, 8);
            }
            return;
        }
        case kOpWriteBuffer:
        case kOpReadBuffer: {
            const std::uint8_t mode = request.cdb.size() > 1 ? (request.cdb[1] & 0x1F) : 0;
            const std::uint8_t buffer_id = request.cdb.size() > 2 ? request.cdb[2] : 0;
            const std::uint32_t offset = Be24(request.cdb, 3);
            const std::uint32_t length = Be24(request.cdb, 6);
            const std::uint32_t capacity = static_cast<std::uint32_t>(state.buffer.size());
            if (opcode == kOpReadBuffer && mode == 0x03 && buffer_id == 0) {
                // Descriptor: offset boundary 0 (byte), then the capacity.
                const std::uint8_t descriptor[4] = {0x00, static_cast<std::uint8_t>(capacity >> 16),
                                                    static_cast<std::uint8_t>(capacity >> 8),
                                                    static_cast<std::uint8_t>(capacity)};
                send(descriptor, std::min<std::uint32_t>(length, 4));
                return;
            }
            if (mode != 0x02 || buffer_id != 0 || offset > capacity || length > capacity - offset) {
                CheckCondition(outcome, kSenseKeyIllegalRequest, kAscInvalidFieldInCdb);
                return;
            }
            if (opcode == kOpReadBuffer) {
                send(state.buffer.data() + offset, length);
                return;
            }
            // The target asks for `length` bytes; a host that offers fewer
            // leaves it waiting, which the adapter reports as an underrun.
            if (length > request.data_length || request.data_out.size() < length) {
                AdapterFailure(outcome, kHaStatDataOverrun);
                return;
            }
            if (!zero_length) {
                std::copy_n(request.data_out.data(), length, state.buffer.data() + offset);
                outcome.transferred = length;
            }
            return;
        }
        default:
            CheckCondition(outcome, kSenseKeyIllegalRequest, kAscInvalidOpcode);
            return;
    }
}

std::vector<BusRequest> VirtualBus::Requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return log_;
}

void VirtualBus::ClearRequests() {
    std::lock_guard<std::mutex> lock(mutex_);
    log_.clear();
}

void VirtualBus::KeepLog(bool keep) {
    std::lock_guard<std::mutex> lock(mutex_);
    keep_log_ = keep;
    if (!keep) log_.clear();
}

std::vector<std::uint8_t> VirtualBus::BufferContents(int adapter, int bus, int target, int lun,
                                                     std::uint32_t length) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const int index = FindDeviceIndex(adapter, bus, target, lun);
    if (index < 0) return {};
    const auto& buffer = states_[static_cast<std::size_t>(adapter)][static_cast<std::size_t>(index)].buffer;
    const auto kept = static_cast<std::ptrdiff_t>(std::min<std::size_t>(length, buffer.size()));
    return std::vector<std::uint8_t>(buffer.begin(), buffer.begin() + kept);
}

}  // namespace td::sim
