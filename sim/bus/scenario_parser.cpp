// The scenario text format: a line-oriented list of statements, read into a
// Scenario with every default filled in. See sim/README.md for the format.
//
// The reader never throws and never trusts its input: every number is range
// checked, every text length bounded, and the first problem ends the read
// with a message naming its line.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <set>
#include <tuple>

#include "bus/scenario.h"

namespace td::sim {
namespace {

struct Token {
    std::string text;
    bool quoted = false;
};

// The longest registry text the program reads (its buffers hold 260 bytes).
constexpr std::size_t kMaxRegistryText = 259;
constexpr std::size_t kMaxScenarioBytes = 1 << 20;

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

// Splits one line into tokens. Blanks separate tokens, '#' starts a comment,
// "..." quotes a text that may hold blanks and '#' (\" and \\ inside).
bool Tokenize(std::string_view line, std::vector<Token>& tokens, std::string& error) {
    tokens.clear();
    std::size_t at = 0;
    while (at < line.size()) {
        const unsigned char c = static_cast<unsigned char>(line[at]);
        if (c == ' ' || c == '\t' || c == '\r') {
            ++at;
            continue;
        }
        if (c == '#') break;
        if (c < 0x20 || c == 0x7F) {
            error = "unexpected control character (code " + std::to_string(c) + ")";
            return false;
        }
        Token token;
        if (c == '"') {
            token.quoted = true;
            ++at;
            bool closed = false;
            while (at < line.size()) {
                const char d = line[at++];
                if (d == '"') {
                    closed = true;
                    break;
                }
                if (static_cast<unsigned char>(d) < 0x20 && d != '\t') {
                    error = "unexpected control character in quoted text";
                    return false;
                }
                if (d == '\\' && at < line.size() && (line[at] == '"' || line[at] == '\\')) {
                    token.text += line[at++];
                    continue;
                }
                token.text += d;
            }
            if (!closed) {
                error = "quoted text is not closed";
                return false;
            }
            if (at < line.size() && line[at] != ' ' && line[at] != '\t' && line[at] != '\r' && line[at] != '#') {
                error = "a blank must follow quoted text";
                return false;
            }
        } else {
            while (at < line.size()) {
                const unsigned char d = static_cast<unsigned char>(line[at]);
                if (d == ' ' || d == '\t' || d == '\r' || d == '#' || d == '"') break;
                if (d < 0x20 || d == 0x7F) {
                    error = "unexpected control character (code " + std::to_string(d) + ")";
                    return false;
                }
                token.text += static_cast<char>(d);
                ++at;
            }
        }
        tokens.push_back(std::move(token));
    }
    return true;
}

// Reads an unsigned number: decimal, or hexadecimal with 0x; bare hex when
// `hex` is set (for bytes such as status codes and sense data).
bool ParseNumber(const std::string& text, bool hex, std::uint64_t max, std::uint64_t& value) {
    std::string digits = text;
    int base = hex ? 16 : 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits = digits.substr(2);
        base = 16;
    }
    if (digits.empty() || digits.size() > 16) return false;
    std::uint64_t result = 0;
    for (char c : digits) {
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return false;
        }
        result = result * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (result > max) return false;
    }
    value = result;
    return true;
}

bool IsHexByte(const std::string& text) {
    std::uint64_t value;
    return ParseNumber(text, true, 0xFF, value);
}

enum class Scope { Top, Adapter, Device };

// What the reader remembers about an adapter beyond its description: which
// values were given, so that the rest can get their defaults at the end.
struct AdapterNotes {
    bool port = false, unique = false, port_driver = false, pci_key = false, pci_instance = false, miniport = false,
         identifier = false;
    std::vector<std::pair<int, int>> initiators;  // (bus, id)
    std::vector<int> initiator_lines;
};

struct DeviceNotes {
    bool claimed = false;
    bool evpd = false;       // `evpd` was given
    bool vpd_pages = false;  // `vpd-pages` was given
};

// The longest unit serial number a page of 255 bytes holds.
constexpr std::size_t kMaxSerial = 251;
// The longest designator value a descriptor's length byte can state.
constexpr std::size_t kMaxDesignator = 255;

class Reader {
public:
    bool Read(std::string_view text, Scenario& out, std::string& error);

private:
    bool Statement(std::vector<Token>& tokens);
    bool TopStatement(const std::string& word, const std::vector<Token>& args);
    bool AdapterStatement(const std::string& word, const std::vector<Token>& args);
    bool DeviceStatement(const std::string& word, const std::vector<Token>& args);
    bool DeviceHeader(const std::vector<Token>& args, std::size_t from);
    bool Rule(const std::vector<Token>& args);
    bool Capacity(const std::vector<Token>& args);
    bool Designator(const std::vector<Token>& args);
    bool VpdPages(const std::vector<Token>& args);
    bool VpdLength(const std::vector<Token>& args);
    bool Drive(const std::vector<Token>& args, ScenarioDrive& drive, bool type_required);
    bool ClassDevice(ClassKind kind, const std::vector<Token>& args);
    bool Finish();

    bool Fail(const std::string& message) {
        error_ = "line " + std::to_string(line_) + ": " + message;
        return false;
    }
    bool FailAt(int line, const std::string& message) {
        error_ = "line " + std::to_string(line) + ": " + message;
        return false;
    }

    // Argument helpers: each checks count and range and reports clearly.
    bool Count(const std::vector<Token>& args, std::size_t min, std::size_t max, const std::string& word,
               const char* usage);
    bool Number(const Token& token, bool hex, std::uint64_t max, std::uint64_t& value, const std::string& what);
    bool Text(const Token& token, std::size_t max, std::string& value, const std::string& what);
    bool YesNo(const Token& token, bool& value, const std::string& what);
    // <status> [untouched] from args[from] on; `consumed` how many it took.
    bool Refusal(const std::vector<Token>& args, std::size_t from, AspiRefusal& refusal, std::size_t& consumed);

    ScenarioAdapter& CurrentAdapter() { return scenario_.adapters.back(); }
    ScenarioDevice& CurrentDevice() { return scenario_.adapters.back().devices.back(); }

    Scenario scenario_;
    std::vector<AdapterNotes> adapter_notes_;
    std::vector<std::vector<DeviceNotes>> device_notes_;
    Scope scope_ = Scope::Top;
    bool have_count_ = false;
    int line_ = 0;
    std::string error_;
};

const std::set<std::string>& TopWords() {
    static const std::set<std::string> words = {
        "name",        "aspi-support", "aspi-adapter-count", "aspi-immediate-errors", "aspi-refuses",
        "extra-drive", "adapter"};
    return words;
}

const std::set<std::string>& AdapterWords() {
    static const std::set<std::string> words = {"identifier",      "manager",      "scsi-id",      "max-target",
                                                "unique",          "empty-ids",    "mfg",          "description",
                                                "hw-revision",     "port-driver",  "pci",          "pci-key",
                                                "pci-instance",    "pci-class",    "miniport",     "port",
                                                "buses",           "initiator-id", "inquiry-data", "device",
                                                "inquiry-refused", "port-is-unit"};
    return words;
}

const std::set<std::string>& DeviceWords() {
    static const std::set<std::string> words = {"lun",      "bus",           "type",        "removable", "ansi",
                                                "sync",     "wide16",        "wide32",      "vendor",    "product",
                                                "revision", "inquiry-bytes", "buffer-size", "claimed",   "drive",
                                                "scanner",  "tape",          "on",          "capacity",  "medium",
                                                "serial",   "designator",    "vpd-pages",   "evpd",      "vpd-length"};
    return words;
}

bool Reader::Count(const std::vector<Token>& args, std::size_t min, std::size_t max, const std::string& word,
                   const char* usage) {
    if (args.size() < min || args.size() > max) {
        return Fail("'" + word + "' expects " + usage);
    }
    return true;
}

bool Reader::Number(const Token& token, bool hex, std::uint64_t max, std::uint64_t& value, const std::string& what) {
    if (token.quoted || !ParseNumber(token.text, hex, max, value)) {
        const std::string range = hex ? "a hexadecimal number from 00 to " + Hex(static_cast<unsigned>(max), 2)
                                      : "a number from 0 to " + std::to_string(max);
        return Fail(what + " must be " + range + ", not '" + token.text + "'");
    }
    return true;
}

bool Reader::Refusal(const std::vector<Token>& args, std::size_t from, AspiRefusal& refusal, std::size_t& consumed) {
    std::uint64_t value = 0;
    if (from >= args.size()) return Fail("a refusal needs the status it answers, such as E0");
    if (!Number(args[from], true, 0xFF, value, "the refusal's status")) return false;
    if (value == 0) return Fail("a refusal answers a status other than 00 (SS_PENDING takes the request)");
    refusal.status = static_cast<std::uint8_t>(value);
    consumed = 1;
    if (from + 1 < args.size() && Lower(args[from + 1].text) == "untouched") {
        refusal.untouched = true;
        consumed = 2;
    }
    return true;
}

bool Reader::Text(const Token& token, std::size_t max, std::string& value, const std::string& what) {
    if (token.text.size() > max) {
        return Fail(what + " holds at most " + std::to_string(max) + " characters, '" + token.text + "' has " +
                    std::to_string(token.text.size()));
    }
    value = token.text;
    return true;
}

bool Reader::YesNo(const Token& token, bool& value, const std::string& what) {
    const std::string word = Lower(token.text);
    if (word == "yes" || word == "true" || word == "on" || word == "1") {
        value = true;
    } else if (word == "no" || word == "false" || word == "off" || word == "0") {
        value = false;
    } else {
        return Fail(what + " must be yes or no, not '" + token.text + "'");
    }
    return true;
}

bool Reader::Read(std::string_view text, Scenario& out, std::string& error) {
    if (text.size() > kMaxScenarioBytes) {
        error = "the scenario is larger than " + std::to_string(kMaxScenarioBytes) + " bytes";
        return false;
    }
    std::size_t at = 0;
    std::vector<Token> tokens;
    while (at <= text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        ++line_;
        std::string message;
        if (!Tokenize(text.substr(at, end - at), tokens, message)) {
            Fail(message);
            error = error_;
            return false;
        }
        if (!tokens.empty() && !Statement(tokens)) {
            error = error_;
            return false;
        }
        at = end + 1;
    }
    if (!Finish()) {
        error = error_;
        return false;
    }
    out = std::move(scenario_);
    return true;
}

bool Reader::Statement(std::vector<Token>& tokens) {
    if (tokens[0].quoted) return Fail("a statement starts with a keyword, not quoted text");
    const std::string word = Lower(tokens[0].text);
    const std::vector<Token> args(tokens.begin() + 1, tokens.end());

    if (word == "end") {
        if (!args.empty()) return Fail("'end' takes nothing after it");
        if (scope_ == Scope::Device) {
            scope_ = Scope::Adapter;
        } else if (scope_ == Scope::Adapter) {
            scope_ = Scope::Top;
        } else {
            return Fail("'end' without an open adapter or device");
        }
        return true;
    }
    if (scope_ == Scope::Device && DeviceWords().count(word) != 0) {
        return DeviceStatement(word, args);
    }
    if (scope_ != Scope::Top && AdapterWords().count(word) != 0) {
        scope_ = Scope::Adapter;  // an adapter statement closes the device before it
        return AdapterStatement(word, args);
    }
    if (TopWords().count(word) != 0) {
        scope_ = Scope::Top;
        return TopStatement(word, args);
    }
    if (DeviceWords().count(word) != 0) return Fail("'" + word + "' belongs inside a device");
    if (AdapterWords().count(word) != 0) return Fail("'" + word + "' belongs inside an adapter");
    return Fail("unknown keyword '" + tokens[0].text + "'");
}

bool Reader::TopStatement(const std::string& word, const std::vector<Token>& args) {
    std::uint64_t value = 0;
    if (word == "name") {
        return Count(args, 1, 1, word, "one text") && Text(args[0], 200, scenario_.name, "the name");
    }
    if (word == "aspi-support") {
        if (!Count(args, 1, 1, word, "one status byte, such as 01 or E4")) return false;
        if (!Number(args[0], true, 0xFF, value, "the support status")) return false;
        scenario_.aspi_status = static_cast<std::uint8_t>(value);
        return true;
    }
    if (word == "aspi-adapter-count") {
        if (!Count(args, 1, 1, word, "one count from 0 to 255")) return false;
        if (!Number(args[0], false, 255, value, "the adapter count")) return false;
        scenario_.aspi_count = static_cast<int>(value);
        have_count_ = true;
        return true;
    }
    if (word == "aspi-refuses") {
        std::size_t used = 0;
        if (!Refusal(args, 0, scenario_.aspi_refusal, used)) return false;
        return used == args.size() || Fail("'aspi-refuses' expects a status byte and perhaps 'untouched'");
    }
    if (word == "aspi-immediate-errors") {
        return Count(args, 1, 1, word, "yes or no") &&
               YesNo(args[0], scenario_.aspi_immediate_errors, "aspi-immediate-errors");
    }
    if (word == "extra-drive") {
        ScenarioDrive drive;
        drive.line = line_;
        drive.type = 0;
        if (!Drive(args, drive, true)) return false;
        scenario_.extra_drives.push_back(drive);
        return true;
    }
    // adapter
    if (!args.empty()) return Fail("'adapter' takes nothing after it; give its values on the next lines");
    if (scenario_.adapters.size() >= 32) return Fail("at most 32 adapters can be described");
    ScenarioAdapter adapter;
    adapter.line = line_;
    scenario_.adapters.push_back(adapter);
    adapter_notes_.emplace_back();
    device_notes_.emplace_back();
    scope_ = Scope::Adapter;
    return true;
}

bool Reader::AdapterStatement(const std::string& word, const std::vector<Token>& args) {
    ScenarioAdapter& adapter = CurrentAdapter();
    AdapterNotes& notes = adapter_notes_.back();
    std::uint64_t value = 0;
    if (word == "device") {
        if (args.empty()) return Fail("'device' expects a target ID, optionally followed by lun <n> and bus <n>");
        if (adapter.devices.size() >= 128) return Fail("at most 128 devices per adapter");
        ScenarioDevice device;
        device.line = line_;
        adapter.devices.push_back(device);
        device_notes_.back().emplace_back();
        scope_ = Scope::Device;
        return DeviceHeader(args, 0);
    }
    if (word == "inquiry-refused") {
        std::size_t used = 0;
        if (!Refusal(args, 0, adapter.inquiry_refusal, used)) return false;
        return used == args.size() || Fail("'inquiry-refused' expects a status byte and perhaps 'untouched'");
    }
    if (word == "identifier") {
        notes.identifier = true;
        return Count(args, 1, 1, word, "one text of at most 16 characters") &&
               Text(args[0], 16, adapter.identifier, "the identifier");
    }
    if (word == "manager") {
        return Count(args, 1, 1, word, "one text of at most 16 characters") &&
               Text(args[0], 16, adapter.manager, "the manager id");
    }
    if (word == "scsi-id") {
        if (!Count(args, 1, 1, word, "one SCSI ID from 0 to 15") || !Number(args[0], false, 15, value, "the SCSI ID"))
            return false;
        adapter.scsi_id = static_cast<int>(value);
        return true;
    }
    if (word == "max-target") {
        if (!Count(args, 1, 1, word, "one target ID from 0 to 15") ||
            !Number(args[0], false, 15, value, "the highest target ID"))
            return false;
        adapter.max_target = static_cast<int>(value);
        return true;
    }
    if (word == "unique") {
        if (!Count(args, 1, 16, word, "1 to 16 hexadecimal bytes")) return false;
        adapter.unique.fill(0);
        for (std::size_t i = 0; i < args.size(); ++i) {
            if (!Number(args[i], true, 0xFF, value, "an HA_Unique byte")) return false;
            adapter.unique[i] = static_cast<std::uint8_t>(value);
        }
        notes.unique = true;
        return true;
    }
    if (word == "empty-ids") {
        if (!Count(args, 1, 1, word, "no-device or selection-timeout")) return false;
        const std::string mode = Lower(args[0].text);
        if (mode == "no-device") {
            adapter.empty_ids = EmptyIdAnswer::NoDevice;
        } else if (mode == "selection-timeout") {
            adapter.empty_ids = EmptyIdAnswer::SelectionTimeout;
        } else {
            return Fail("'empty-ids' expects no-device or selection-timeout, not '" + args[0].text + "'");
        }
        return true;
    }
    if (word == "mfg") {
        return Count(args, 1, 1, word, "one text") && Text(args[0], kMaxRegistryText, adapter.mfg, "mfg");
    }
    if (word == "description") {
        return Count(args, 1, 1, word, "one text") &&
               Text(args[0], kMaxRegistryText, adapter.description, "the description");
    }
    if (word == "hw-revision") {
        return Count(args, 1, 1, word, "one text") &&
               Text(args[0], kMaxRegistryText, adapter.hw_revision, "the hardware revision");
    }
    if (word == "port-driver") {
        notes.port_driver = true;
        return Count(args, 1, 1, word, "one text") &&
               Text(args[0], kMaxRegistryText, adapter.port_driver, "the port driver");
    }
    if (word == "pci") {
        return Count(args, 1, 1, word, "yes or no") && YesNo(args[0], adapter.pci, "pci");
    }
    if (word == "port-is-unit") {
        return Count(args, 1, 1, word, "yes or no") && YesNo(args[0], adapter.port_is_unit, "port-is-unit");
    }
    if (word == "pci-key") {
        notes.pci_key = true;
        if (!Count(args, 1, 1, word, "one registry key name") ||
            !Text(args[0], kMaxRegistryText, adapter.pci_key, "the PCI device key"))
            return false;
        if (adapter.pci_key.empty() || adapter.pci_key.find('\\') != std::string::npos)
            return Fail("the PCI device key must be one non-empty key name without '\\'");
        return true;
    }
    if (word == "pci-instance") {
        notes.pci_instance = true;
        if (!Count(args, 1, 1, word, "one registry key name") ||
            !Text(args[0], kMaxRegistryText, adapter.pci_instance, "the PCI instance"))
            return false;
        if (adapter.pci_instance.empty() || adapter.pci_instance.find('\\') != std::string::npos)
            return Fail("the PCI instance must be one non-empty key name without '\\'");
        return true;
    }
    if (word == "pci-class") {
        return Count(args, 1, 1, word, "one text") &&
               Text(args[0], kMaxRegistryText, adapter.pci_class, "the PCI class");
    }
    if (word == "miniport") {
        notes.miniport = true;
        if (!Count(args, 1, 1, word, "one driver name") || !Text(args[0], 200, adapter.miniport, "the miniport name"))
            return false;
        if (adapter.miniport.find('\\') != std::string::npos) return Fail("the miniport name must not contain '\\'");
        return true;
    }
    if (word == "port") {
        if (!Count(args, 1, 1, word, "one port number from 0 to 255") ||
            !Number(args[0], false, 255, value, "the port number"))
            return false;
        adapter.port = static_cast<int>(value);
        notes.port = true;
        return true;
    }
    if (word == "buses") {
        if (!Count(args, 1, 1, word, "a number of buses from 1 to 8") ||
            !Number(args[0], false, 8, value, "the number of buses"))
            return false;
        if (value == 0) return Fail("an adapter has at least one bus");
        adapter.buses = static_cast<int>(value);
        return true;
    }
    if (word == "initiator-id") {
        std::uint64_t bus = 0;
        if (!Count(args, 2, 2, word, "a bus number and a SCSI ID") ||
            !Number(args[0], false, 7, bus, "the bus number") || !Number(args[1], false, 15, value, "the initiator ID"))
            return false;
        notes.initiators.emplace_back(static_cast<int>(bus), static_cast<int>(value));
        notes.initiator_lines.push_back(line_);
        return true;
    }
    // inquiry-data
    if (!Count(args, 1, 2, word, "ok, fails with an optional error code, or reports with a byte count")) return false;
    const std::string mode = Lower(args[0].text);
    if (mode == "ok") {
        if (args.size() != 1) return Fail("'inquiry-data ok' takes nothing after it");
        adapter.inquiry_data_fails = false;
        adapter.inquiry_data_reports = -1;
        return true;
    }
    if (mode == "reports") {
        if (args.size() != 2) return Fail("'inquiry-data reports' expects the byte count it reports");
        if (!Number(args[1], false, 65535, value, "the byte count")) return false;
        adapter.inquiry_data_fails = false;
        adapter.inquiry_data_reports = static_cast<std::int32_t>(value);
        return true;
    }
    if (mode != "fails") return Fail("'inquiry-data' expects ok, fails or reports, not '" + args[0].text + "'");
    adapter.inquiry_data_fails = true;
    if (args.size() == 2) {
        if (!Number(args[1], false, 0xFFFFFFFFu, value, "the error code")) return false;
        adapter.inquiry_data_error = static_cast<std::uint32_t>(value);
    }
    return true;
}

bool Reader::DeviceHeader(const std::vector<Token>& args, std::size_t from) {
    ScenarioDevice& device = CurrentDevice();
    std::uint64_t value = 0;
    if (!Number(args[from], false, 15, value, "the target ID")) return false;
    device.target = static_cast<int>(value);
    for (std::size_t i = from + 1; i < args.size(); i += 2) {
        const std::string key = Lower(args[i].text);
        if (i + 1 >= args.size() || (key != "lun" && key != "bus")) {
            return Fail("after the target ID 'device' takes only lun <n> and bus <n>");
        }
        if (key == "lun") {
            if (!Number(args[i + 1], false, 7, value, "the LUN")) return false;
            device.lun = static_cast<int>(value);
        } else {
            if (!Number(args[i + 1], false, 7, value, "the bus")) return false;
            device.bus = static_cast<int>(value);
        }
    }
    return true;
}

bool Reader::DeviceStatement(const std::string& word, const std::vector<Token>& args) {
    ScenarioDevice& device = CurrentDevice();
    std::uint64_t value = 0;
    if (word == "lun") {
        if (!Count(args, 1, 1, word, "one LUN from 0 to 7") || !Number(args[0], false, 7, value, "the LUN"))
            return false;
        device.lun = static_cast<int>(value);
        return true;
    }
    if (word == "bus") {
        if (!Count(args, 1, 1, word, "one bus number from 0 to 7") || !Number(args[0], false, 7, value, "the bus"))
            return false;
        device.bus = static_cast<int>(value);
        return true;
    }
    if (word == "type") {
        if (!Count(args, 1, 1, word, "a type code from 0 to 31 or a type name")) return false;
        static const std::pair<const char*, int> kNames[] = {{"disk", 0},      {"tape", 1},          {"printer", 2},
                                                             {"processor", 3}, {"worm", 4},          {"cdrom", 5},
                                                             {"cd-rom", 5},    {"scanner", 6},       {"optical", 7},
                                                             {"changer", 8},   {"communication", 9}, {"unknown", 31}};
        const std::string name = Lower(args[0].text);
        for (const auto& entry : kNames) {
            if (name == entry.first) {
                device.type = static_cast<std::uint8_t>(entry.second);
                return true;
            }
        }
        std::uint64_t code = 0;
        if (args[0].quoted || !ParseNumber(args[0].text, false, 31, code)) {
            return Fail("unknown device type '" + args[0].text +
                        "' (a code from 0 to 31, or disk, tape, printer, processor, worm, cdrom, "
                        "scanner, optical, changer, communication, unknown)");
        }
        device.type = static_cast<std::uint8_t>(code);
        return true;
    }
    if (word == "removable") {
        return Count(args, 1, 1, word, "yes or no") && YesNo(args[0], device.removable, "removable");
    }
    if (word == "sync") return Count(args, 1, 1, word, "yes or no") && YesNo(args[0], device.sync, "sync");
    if (word == "wide16") {
        return Count(args, 1, 1, word, "yes or no") && YesNo(args[0], device.wide16, "wide16");
    }
    if (word == "wide32") {
        return Count(args, 1, 1, word, "yes or no") && YesNo(args[0], device.wide32, "wide32");
    }
    if (word == "ansi") {
        if (!Count(args, 1, 1, word, "a version from 0 to 7") || !Number(args[0], false, 7, value, "the ANSI version"))
            return false;
        device.ansi_version = static_cast<int>(value);
        return true;
    }
    if (word == "vendor") {
        return Count(args, 1, 1, word, "one text of at most 8 characters") &&
               Text(args[0], 8, device.vendor, "the vendor");
    }
    if (word == "product") {
        return Count(args, 1, 1, word, "one text of at most 16 characters") &&
               Text(args[0], 16, device.product, "the product");
    }
    if (word == "revision") {
        return Count(args, 1, 1, word, "one text of at most 4 characters") &&
               Text(args[0], 4, device.revision, "the revision");
    }
    if (word == "inquiry-bytes") {
        if (!Count(args, 2, 1 + kInquiryLength, word, "an offset and hexadecimal bytes")) return false;
        if (!Number(args[0], false, kInquiryLength - 1, value, "the INQUIRY offset")) return false;
        const int offset = static_cast<int>(value);
        if (offset + static_cast<int>(args.size()) - 1 > kInquiryLength) {
            return Fail("the bytes run past the 96 bytes of INQUIRY data");
        }
        std::vector<std::uint8_t> bytes;
        for (std::size_t i = 1; i < args.size(); ++i) {
            if (!Number(args[i], true, 0xFF, value, "an INQUIRY byte")) return false;
            bytes.push_back(static_cast<std::uint8_t>(value));
        }
        device.inquiry_patches.emplace_back(offset, bytes);
        return true;
    }
    if (word == "buffer-size") {
        if (!Count(args, 1, 1, word, "a size in bytes up to 16777215") ||
            !Number(args[0], false, 0xFFFFFF, value, "the buffer size"))
            return false;
        device.buffer_size = static_cast<std::uint32_t>(value);
        return true;
    }
    if (word == "claimed") {
        device_notes_.back().back().claimed = true;
        return Count(args, 1, 1, word, "yes or no") && YesNo(args[0], device.claimed, "claimed");
    }
    if (word == "drive") {
        ScenarioDrive drive;
        drive.line = line_;
        drive.type = 0;  // taken from the device type at the end
        if (!Drive(args, drive, false)) return false;
        device.drives.push_back(drive);
        return true;
    }
    if (word == "scanner") return ClassDevice(ClassKind::Scanner, args);
    if (word == "tape") return ClassDevice(ClassKind::Tape, args);
    if (word == "capacity") return Capacity(args);
    if (word == "medium") return Count(args, 1, 1, word, "yes or no") && YesNo(args[0], device.medium, "medium");
    if (word == "serial") {
        if (!Count(args, 1, 1, word, "one text of at most 251 characters") ||
            !Text(args[0], kMaxSerial, device.serial, "the serial number"))
            return false;
        device.has_serial = true;
        return true;
    }
    if (word == "designator") return Designator(args);
    if (word == "vpd-pages") return VpdPages(args);
    if (word == "vpd-length") return VpdLength(args);
    if (word == "evpd") {
        if (!Count(args, 1, 1, word, "pages, rejected or ignored")) return false;
        const std::string how = Lower(args[0].text);
        if (how == "pages") {
            device.evpd = EvpdAnswer::Pages;
        } else if (how == "rejected") {
            device.evpd = EvpdAnswer::Rejected;
        } else if (how == "ignored") {
            device.evpd = EvpdAnswer::Ignored;
        } else {
            return Fail("'evpd' expects pages, rejected or ignored, not '" + args[0].text + "'");
        }
        device_notes_.back().back().evpd = true;
        return true;
    }
    return Rule(args);  // on
}

// capacity <blocks> [<block length>]
bool Reader::Capacity(const std::vector<Token>& args) {
    ScenarioDevice& device = CurrentDevice();
    std::uint64_t blocks = 0, length = 512;
    if (!Count(args, 1, 2, "capacity", "the number of blocks and perhaps their length in bytes") ||
        !Number(args[0], false, std::numeric_limits<std::uint64_t>::max(), blocks, "the number of blocks"))
        return false;
    if (blocks == 0) return Fail("a capacity has at least one block");
    if (args.size() == 2 && !Number(args[1], false, 0xFFFFFFFFu, length, "the block length")) return false;
    device.has_capacity = true;
    device.blocks = blocks;
    device.block_length = static_cast<std::uint32_t>(length);
    return true;
}

// designator naa|eui64|vendor <hex digits> | t10|name <text>  [port|target]
bool Reader::Designator(const std::vector<Token>& args) {
    if (!Count(args, 2, 3, "designator",
               "a kind (naa, eui64, name, t10, vendor), its value and perhaps port or target"))
        return false;
    ScenarioDesignator designator;
    const std::string kind = Lower(args[0].text);
    const bool binary = kind == "naa" || kind == "eui64" || kind == "vendor";
    if (kind == "naa") {
        designator.type = 3;
    } else if (kind == "eui64") {
        designator.type = 2;
    } else if (kind == "vendor") {
        designator.type = 0;
    } else if (kind == "t10") {
        designator.type = 1;
        designator.code_set = 2;
    } else if (kind == "name") {
        designator.type = 8;
        designator.code_set = 3;
    } else {
        return Fail("unknown designator kind '" + args[0].text + "' (naa, eui64, name, t10, vendor)");
    }
    const std::string& value = args[1].text;
    std::string not_hex = "a ";
    not_hex.append(kind).append(" designator is an even number of hexadecimal digits, not '").append(value) += '\'';
    if (binary) {
        if (args[1].quoted || value.empty() || value.size() % 2 != 0 || value.size() > 2 * kMaxDesignator) {
            return Fail(not_hex);
        }
        for (std::size_t i = 0; i < value.size(); i += 2) {
            std::uint64_t byte = 0;
            if (!ParseNumber(value.substr(i, 2), true, 0xFF, byte)) return Fail(not_hex);
            designator.value.push_back(static_cast<std::uint8_t>(byte));
        }
    } else {
        std::string text;
        if (!Text(args[1], kMaxDesignator, text, "the designator")) return false;
        designator.value.assign(text.begin(), text.end());
    }
    if (args.size() == 3) {
        const std::string where = Lower(args[2].text);
        if (where == "port") {
            designator.association = 1;
        } else if (where == "target") {
            designator.association = 2;
        } else {
            return Fail("a designator belongs to the port or the target, not '" + args[2].text + "'");
        }
    }
    CurrentDevice().designators.push_back(std::move(designator));
    return true;
}

// vpd-pages [<page>...]: what page 00h lists, nothing at all when empty
bool Reader::VpdPages(const std::vector<Token>& args) {
    ScenarioDevice& device = CurrentDevice();
    device.vpd_pages.clear();
    std::uint64_t value = 0;
    for (const Token& token : args) {
        if (!Number(token, true, 0xFF, value, "a page code")) return false;
        device.vpd_pages.push_back(static_cast<std::uint8_t>(value));
    }
    device_notes_.back().back().vpd_pages = true;
    return true;
}

// vpd-length <page> <length>
bool Reader::VpdLength(const std::vector<Token>& args) {
    std::uint64_t page = 0, length = 0;
    if (!Count(args, 2, 2, "vpd-length", "a page code and the page length it states") ||
        !Number(args[0], true, 0xFF, page, "the page code") ||
        !Number(args[1], false, 0xFFFF, length, "the page length"))
        return false;
    CurrentDevice().vpd_lengths.emplace_back(static_cast<std::uint8_t>(page), static_cast<std::uint16_t>(length));
    return true;
}

// <letter>: [type] [address-fails [code]] [open-fails [code]] [read-only]
bool Reader::Drive(const std::vector<Token>& args, ScenarioDrive& drive, bool type_required) {
    if (args.empty()) return Fail("a drive needs its letter, such as C:");
    const std::string& name = args[0].text;
    if (name.size() != 2 || name[1] != ':' || !std::isalpha(static_cast<unsigned char>(name[0]))) {
        return Fail("a drive letter is written as a letter and a colon, such as C:, not '" + name + "'");
    }
    drive.letter = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    static const std::pair<const char*, std::uint32_t> kTypes[] = {{"fixed", kDriveTypeFixed},
                                                                   {"removable", kDriveTypeRemovable},
                                                                   {"cdrom", kDriveTypeCdrom},
                                                                   {"remote", kDriveTypeRemote},
                                                                   {"ramdisk", kDriveTypeRamdisk}};
    std::uint64_t value = 0;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string word = Lower(args[i].text);
        bool is_type = false;
        for (const auto& entry : kTypes) {
            if (word == entry.first) {
                drive.type = entry.second;
                is_type = true;
            }
        }
        if (is_type) continue;
        const bool code_follows = i + 1 < args.size() && !args[i + 1].quoted &&
                                  std::isdigit(static_cast<unsigned char>(args[i + 1].text[0]));
        if (word == "address-fails") {
            drive.address_fails = true;
            if (code_follows) {
                if (!Number(args[++i], false, 0xFFFFFFFFu, value, "the error code")) return false;
                drive.address_error = static_cast<std::uint32_t>(value);
            }
        } else if (word == "open-fails") {
            drive.open_fails = true;
            if (code_follows) {
                if (!Number(args[++i], false, 0xFFFFFFFFu, value, "the error code")) return false;
                drive.open_error = static_cast<std::uint32_t>(value);
            }
        } else if (word == "read-only") {
            drive.read_only = true;
        } else {
            return Fail("unknown drive option '" + args[i].text +
                        "' (fixed, removable, cdrom, remote, ramdisk, address-fails, open-fails, read-only)");
        }
    }
    if (type_required && drive.type == 0) {
        return Fail("a drive not on SCSI needs its type: fixed, removable, cdrom, remote or ramdisk");
    }
    return true;
}

// scanner|tape <k> [address-fails [code]] [open-fails [code]]
bool Reader::ClassDevice(ClassKind kind, const std::vector<Token>& args) {
    if (args.empty()) return Fail("a class device needs its number");
    ScenarioClassDevice entry;
    entry.kind = kind;
    entry.line = line_;
    std::uint64_t value = 0;
    if (!Number(args[0], false, 999, value, "the class device number")) return false;
    entry.number = static_cast<int>(value);
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string word = Lower(args[i].text);
        const bool code_follows = i + 1 < args.size() && !args[i + 1].quoted &&
                                  std::isdigit(static_cast<unsigned char>(args[i + 1].text[0]));
        if (word == "address-fails") {
            entry.address_fails = true;
            if (code_follows) {
                if (!Number(args[++i], false, 0xFFFFFFFFu, value, "the error code")) return false;
                entry.address_error = static_cast<std::uint32_t>(value);
            }
        } else if (word == "open-fails") {
            entry.open_fails = true;
            if (code_follows) {
                if (!Number(args[++i], false, 0xFFFFFFFFu, value, "the error code")) return false;
                entry.open_error = static_cast<std::uint32_t>(value);
            }
        } else {
            return Fail("unknown class device option '" + args[i].text + "' (address-fails, open-fails)");
        }
    }
    CurrentDevice().class_devices.push_back(entry);
    return true;
}

// on <command> [good] [check <key> <asc> [<ascq>]] [sense <bytes>...] [status <s>]
//    [hastat <h>] [aspi-status <s>] [error <code>] [hang] [delay <ms>] [at-once]
//    [refuse <s> [untouched]]
//    [corrupt <offset> [xor <mask>]] [zero-length] [times <n>]
bool Reader::Rule(const std::vector<Token>& args) {
    if (args.empty())
        return Fail(
            "'on' expects a command (any, test-unit-ready, inquiry, vpd, read-capacity, read-capacity-16, "
            "write-buffer, read-buffer or an opcode) and what happens");
    CommandRule rule;
    rule.line = line_;
    const std::string op = Lower(args[0].text);
    std::uint64_t value = 0;
    if (op == "any") {
        rule.opcode = kRuleAnyCommand;
    } else if (op == "test-unit-ready" || op == "tur") {
        rule.opcode = kOpTestUnitReady;
    } else if (op == "inquiry") {
        rule.opcode = kOpInquiry;
    } else if (op == "vpd") {
        rule.opcode = kRuleVpdInquiry;
    } else if (op == "read-capacity") {
        rule.opcode = kOpReadCapacity10;
    } else if (op == "read-capacity-16") {
        rule.opcode = kOpServiceActionIn16;
    } else if (op == "write-buffer") {
        rule.opcode = kOpWriteBuffer;
    } else if (op == "read-buffer") {
        rule.opcode = kOpReadBuffer;
    } else if (!args[0].quoted && ParseNumber(args[0].text, true, 0xFF, value)) {
        rule.opcode = static_cast<int>(value);
    } else {
        return Fail("unknown command '" + args[0].text +
                    "' (any, test-unit-ready, inquiry, vpd, read-capacity, read-capacity-16, write-buffer, "
                    "read-buffer or a hexadecimal opcode)");
    }
    bool status_given = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string word = Lower(args[i].text);
        auto need = [&](std::size_t n) {
            if (i + n >= args.size()) {
                return Fail("'" + word + "' needs " + std::to_string(n) + " value" + (n > 1 ? "s" : ""));
            }
            return true;
        };
        if (word == "good") {
            continue;
        } else if (word == "check") {
            if (!need(2)) return false;
            std::uint64_t key = 0, asc = 0, ascq = 0;
            if (!Number(args[i + 1], true, 0x0F, key, "the sense key") ||
                !Number(args[i + 2], true, 0xFF, asc, "the additional sense code"))
                return false;
            i += 2;
            if (i + 1 < args.size() && IsHexByte(args[i + 1].text) && !args[i + 1].quoted) {
                Number(args[++i], true, 0xFF, ascq, "the qualifier");
            }
            rule.status = 0x02;
            rule.sense = FixedSense(static_cast<std::uint8_t>(key), static_cast<std::uint8_t>(asc),
                                    static_cast<std::uint8_t>(ascq));
        } else if (word == "sense") {
            rule.sense.clear();
            while (i + 1 < args.size() && !args[i + 1].quoted && IsHexByte(args[i + 1].text)) {
                Number(args[++i], true, 0xFF, value, "a sense byte");
                rule.sense.push_back(static_cast<std::uint8_t>(value));
            }
            if (rule.sense.empty() || rule.sense.size() > kSenseLength) {
                return Fail("'sense' expects 1 to 18 hexadecimal bytes");
            }
            rule.status = 0x02;
        } else if (word == "status") {
            if (!need(1) || !Number(args[++i], true, 0xFF, value, "the SCSI status")) return false;
            rule.status = static_cast<std::uint8_t>(value);
            status_given = true;
        } else if (word == "hastat") {
            if (!need(1) || !Number(args[++i], true, 0xFF, value, "the adapter status")) return false;
            rule.has_ha_stat = true;
            rule.ha_stat = static_cast<std::uint8_t>(value);
        } else if (word == "aspi-status") {
            if (!need(1) || !Number(args[++i], true, 0xFF, value, "the ASPI status")) return false;
            rule.has_aspi_status = true;
            rule.aspi_status = static_cast<std::uint8_t>(value);
        } else if (word == "error") {
            if (!need(1) || !Number(args[++i], false, 0xFFFFFFFFu, value, "the error code")) return false;
            if (value == 0) return Fail("the error code of a failing call is not 0");
            rule.system_error = static_cast<std::uint32_t>(value);
        } else if (word == "hang") {
            rule.hang = true;
        } else if (word == "delay") {
            if (!need(1) || !Number(args[++i], false, 3600000, value, "the delay in ms")) return false;
            rule.delay_ms = static_cast<std::uint32_t>(value);
        } else if (word == "at-once") {
            rule.at_once = true;
        } else if (word == "refuse") {
            std::size_t used = 0;
            if (!Refusal(args, i + 1, rule.refusal, used)) return false;
            i += used;
        } else if (word == "corrupt") {
            if (!need(1) || !Number(args[++i], false, 0xFFFFFF, value, "the offset")) return false;
            rule.corrupt = true;
            rule.corrupt_offset = static_cast<std::uint32_t>(value);
            if (i + 1 < args.size() && Lower(args[i + 1].text) == "xor") {
                ++i;
                if (!need(1) || !Number(args[++i], true, 0xFF, value, "the xor mask")) return false;
                if (value == 0) return Fail("an xor mask of 0 changes nothing");
                rule.corrupt_xor = static_cast<std::uint8_t>(value);
            }
        } else if (word == "zero-length") {
            rule.zero_length = true;
        } else if (word == "times") {
            if (!need(1) || !Number(args[++i], false, 1000000, value, "the number of times")) return false;
            if (value == 0) return Fail("'times' counts from 1; leave it out for every time");
            rule.times = static_cast<std::uint32_t>(value);
        } else {
            return Fail("unknown rule word '" + args[i].text +
                        "' (good, check, sense, status, hastat, aspi-status, error, hang, delay, "
                        "at-once, refuse, corrupt, zero-length, times)");
        }
    }
    if (status_given && rule.status == 0x02 && rule.sense.empty()) {
        return Fail("CHECK CONDITION needs its sense data: use check <key> <asc> [<ascq>] or sense <bytes>");
    }
    if (!rule.sense.empty() && rule.status != 0x02) {
        return Fail("sense data goes with CHECK CONDITION (status 02) only");
    }
    if ((rule.at_once || rule.refusal.active()) && (rule.hang || rule.delay_ms != 0)) {
        return Fail("'at-once' and 'refuse' answer as the request is sent: not with 'hang' or 'delay'");
    }
    CurrentDevice().rules.push_back(rule);
    return true;
}

bool Reader::Finish() {
    if (!have_count_) {
        scenario_.aspi_count = scenario_.aspi_status == 0x01 ? static_cast<int>(scenario_.adapters.size()) : 0;
    }
    if (scenario_.aspi_count > 255) scenario_.aspi_count = 255;

    std::set<char> letters;
    std::set<std::pair<int, int>> class_numbers;
    std::set<int> ports;
    auto claim_letter = [&](const ScenarioDrive& drive) {
        if (!letters.insert(drive.letter).second) {
            return FailAt(drive.line, std::string("drive ") + drive.letter + ": is given twice");
        }
        return true;
    };
    for (std::size_t a = 0; a < scenario_.adapters.size(); ++a) {
        ScenarioAdapter& adapter = scenario_.adapters[a];
        const AdapterNotes& notes = adapter_notes_[a];
        if (!notes.identifier) adapter.identifier = "SIM" + std::to_string(a);
        if (!notes.port) adapter.port = static_cast<int>(a);
        if (!ports.insert(adapter.port).second) {
            return FailAt(adapter.line, "port " + std::to_string(adapter.port) + " is given to two adapters");
        }
        if (!notes.unique) {
            adapter.unique.fill(0);
            adapter.unique[2] = 0x02;  // residual byte counts reported (SRB_ENABLE_RESIDUAL_COUNT)
            adapter.unique[3] = static_cast<std::uint8_t>(adapter.max_target + 1);
            adapter.unique[6] = 0x01;  // largest transfer 64 KiB, little-endian
        }
        if (!notes.port_driver) adapter.port_driver = (adapter.identifier + ".mpd").substr(0, 19);
        if (!notes.pci_key) adapter.pci_key = "VEN_1A2B&DEV_" + Hex(0x2940 + static_cast<unsigned>(a), 4);
        if (!notes.pci_instance) {
            adapter.pci_instance = "BUS_00&DEV_" + Hex(0x0C + static_cast<unsigned>(a), 2) + "&FUNC_00";
        }
        if (!notes.miniport) {
            for (char c : Lower(adapter.identifier)) {
                if (std::isalnum(static_cast<unsigned char>(c)) || c == '_') adapter.miniport += c;
            }
            if (adapter.miniport.empty()) adapter.miniport = "simport" + std::to_string(a);
        }
        adapter.initiator_ids.assign(static_cast<std::size_t>(adapter.buses), adapter.scsi_id);
        for (std::size_t i = 0; i < notes.initiators.size(); ++i) {
            const auto& [bus, id] = notes.initiators[i];
            if (bus >= adapter.buses) {
                return FailAt(notes.initiator_lines[i], "bus " + std::to_string(bus) +
                                                            " does not exist: the adapter has " +
                                                            std::to_string(adapter.buses) + " bus(es)");
            }
            adapter.initiator_ids[static_cast<std::size_t>(bus)] = id;
        }
        if (adapter.port_is_unit && adapter.devices.size() != 1) {
            return FailAt(adapter.line, "'port-is-unit yes' needs exactly one device on the adapter, not " +
                                            std::to_string(adapter.devices.size()));
        }
        std::set<std::tuple<int, int, int>> addresses;
        for (std::size_t d = 0; d < adapter.devices.size(); ++d) {
            ScenarioDevice& device = adapter.devices[d];
            if (device.bus >= adapter.buses) {
                return FailAt(device.line, "bus " + std::to_string(device.bus) + " does not exist: the adapter has " +
                                               std::to_string(adapter.buses) + " bus(es)");
            }
            if (device.target == adapter.initiator_ids[static_cast<std::size_t>(device.bus)]) {
                return FailAt(device.line, "ID " + std::to_string(device.target) + " is the adapter's own on bus " +
                                               std::to_string(device.bus));
            }
            if (!addresses.insert({device.bus, device.target, device.lun}).second) {
                return FailAt(device.line, "bus " + std::to_string(device.bus) + ", ID " +
                                               std::to_string(device.target) + ", LUN " + std::to_string(device.lun) +
                                               " is given twice");
            }
            for (ScenarioDrive& drive : device.drives) {
                if (drive.type == 0) {
                    drive.type = device.type == 5   ? kDriveTypeCdrom
                                 : device.removable ? kDriveTypeRemovable
                                                    : kDriveTypeFixed;
                }
                if (!claim_letter(drive)) return false;
            }
            for (const ScenarioClassDevice& entry : device.class_devices) {
                const int kind = entry.kind == ClassKind::Scanner ? 0 : 1;
                if (!class_numbers.insert({kind, entry.number}).second) {
                    return FailAt(entry.line, std::string(kind == 0 ? "Scanner" : "Tape") +
                                                  std::to_string(entry.number) + " is given twice");
                }
            }
            const DeviceNotes& device_notes = device_notes_[a][d];
            const bool has_pages = device.has_serial || !device.designators.empty() || device_notes.vpd_pages;
            if (!device_notes.evpd && has_pages) device.evpd = EvpdAnswer::Pages;
            if (!device_notes.vpd_pages) {
                device.vpd_pages = {0x00};
                if (device.has_serial) device.vpd_pages.push_back(0x80);
                if (!device.designators.empty()) device.vpd_pages.push_back(0x83);
            }
            if (!device_notes_[a][d].claimed) {
                static const bool kClassDriven[32] = {true, true, false, false, true, true, true, true, true};
                device.claimed = kClassDriven[device.type] || !device.drives.empty() || !device.class_devices.empty();
            }
        }
    }
    for (const ScenarioDrive& drive : scenario_.extra_drives) {
        if (!claim_letter(drive)) return false;
    }
    return true;
}

}  // namespace

std::vector<std::uint8_t> FixedSense(std::uint8_t key, std::uint8_t asc, std::uint8_t ascq) {
    std::vector<std::uint8_t> sense(kSenseLength, 0);
    sense[0] = 0x70;
    sense[2] = key;
    sense[7] = kSenseLength - 8;
    sense[12] = asc;
    sense[13] = ascq;
    return sense;
}

std::array<std::uint8_t, kInquiryLength> ScenarioDevice::InquiryData() const {
    std::array<std::uint8_t, kInquiryLength> data{};
    data[0] = static_cast<std::uint8_t>(type & 0x1F);
    data[1] = removable ? 0x80 : 0x00;
    data[2] = static_cast<std::uint8_t>(ansi_version & 0x07);
    data[3] = ansi_version >= 2 ? 0x02 : 0x00;  // response data format
    data[4] = kInquiryLength - 5;               // additional length
    data[7] = static_cast<std::uint8_t>((wide32 ? 0x40 : 0) | (wide16 ? 0x20 : 0) | (sync ? 0x10 : 0));
    auto put = [&](std::size_t at, std::size_t width, const std::string& text) {
        for (std::size_t i = 0; i < width; ++i) {
            data[at + i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : ' ';
        }
    };
    put(8, 8, vendor);
    put(16, 16, product);
    put(32, 4, revision);
    for (const auto& [offset, bytes] : inquiry_patches) {
        for (std::size_t i = 0; i < bytes.size() && offset + i < data.size(); ++i) {
            data[static_cast<std::size_t>(offset) + i] = bytes[i];
        }
    }
    return data;
}

std::vector<std::uint8_t> ScenarioDevice::VpdPage(std::uint8_t page) const {
    std::vector<std::uint8_t> data(4, 0);
    data[0] = static_cast<std::uint8_t>(type & 0x1F);
    data[1] = page;
    if (page == 0x00) {
        data.insert(data.end(), vpd_pages.begin(), vpd_pages.end());
    } else if (page == 0x80 && std::find(vpd_pages.begin(), vpd_pages.end(), page) != vpd_pages.end()) {
        data.insert(data.end(), serial.begin(), serial.end());
    } else if (page == 0x83 && std::find(vpd_pages.begin(), vpd_pages.end(), page) != vpd_pages.end()) {
        for (const ScenarioDesignator& designator : designators) {
            data.push_back(designator.code_set);
            data.push_back(static_cast<std::uint8_t>(designator.association << 4 | designator.type));
            data.push_back(0);
            data.push_back(static_cast<std::uint8_t>(designator.value.size()));
            data.insert(data.end(), designator.value.begin(), designator.value.end());
        }
    } else {
        return {};
    }
    std::size_t length = data.size() - 4;
    for (const auto& [code, stated] : vpd_lengths) {
        if (code == page) length = stated;
    }
    data[2] = static_cast<std::uint8_t>(length >> 8);
    data[3] = static_cast<std::uint8_t>(length);
    return data;
}

bool ParseScenario(std::string_view text, Scenario& out, std::string& error) {
    Reader reader;
    return reader.Read(text, out, error);
}

bool LoadScenarioFile(const std::string& path, Scenario& out, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read the scenario file '" + path + "'";
        return false;
    }
    std::string text;
    char chunk[4096];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        text.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxScenarioBytes) {
            error = path + ": the scenario is larger than " + std::to_string(kMaxScenarioBytes) + " bytes";
            return false;
        }
    }
    if (in.bad()) {
        error = "cannot read the scenario file '" + path + "'";
        return false;
    }
    if (!ParseScenario(text, out, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

Scenario DefaultScenario() {
    Scenario scenario;
    std::string error;
    // The built-in text is part of the program and checked by the tests; a
    // failure here would be a build defect, never a user's mistake.
    if (!ParseScenario(DefaultScenarioText(), scenario, error)) std::abort();
    return scenario;
}

bool LoadScenarioFromEnvironment(Scenario& out, std::string& error, const char* variable) {
    const char* path = std::getenv(variable);
    if (path == nullptr || path[0] == '\0') {
        return ParseScenario(DefaultScenarioText(), out, error);
    }
    return LoadScenarioFile(path, out, error);
}

}  // namespace td::sim
