#include "resource_meter.h"

#include <psapi.h>

#include <vector>

namespace td::soak {
namespace {

// SystemHandleInformation (16): a count, then one entry per open handle of
// every process, in the layout of the caller's word size.
constexpr ULONG kSystemHandleInformation = 16;
constexpr LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);

struct HandleEntry {
    ULONG owner_process;
    UCHAR object_type;
    UCHAR flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
};

struct HandleTable {
    ULONG count;
    HandleEntry entries[1];
};

using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

// NtQueryObject: ObjectNameInformation (1) and ObjectTypeInformation (2)
// both begin with the name as a counted UTF-16 string.
struct CountedString {
    USHORT length;  // bytes
    USHORT maximum;
    PWSTR text;
};
using QueryObject = LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);

FARPROC NtEntry(const char* name) { return GetProcAddress(GetModuleHandleA("ntdll.dll"), name); }

// The values of the handles `pid` holds.
std::optional<std::vector<std::uint32_t>> HandleValues(DWORD pid) {
    const auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(NtEntry("NtQuerySystemInformation")));
    if (query == nullptr) return std::nullopt;
    std::vector<char> buffer(1 << 20);
    for (int attempt = 0; attempt < 6; ++attempt) {
        ULONG needed = 0;
        const LONG status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == kStatusInfoLengthMismatch) {
            buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
            continue;
        }
        if (status != 0) return std::nullopt;
        const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
        const size_t room = (buffer.size() - offsetof(HandleTable, entries)) / sizeof(HandleEntry);
        std::vector<std::uint32_t> values;
        for (ULONG i = 0; i < table->count && i < room; ++i)
            if (table->entries[i].owner_process == pid) values.push_back(table->entries[i].handle);
        return values;
    }
    return std::nullopt;
}

std::string ObjectText(QueryObject query, HANDLE object, ULONG what) {
    alignas(8) char buffer[2048];
    ULONG returned = 0;
    if (query(object, what, buffer, sizeof buffer, &returned) != 0) return "";
    const auto* text = reinterpret_cast<const CountedString*>(buffer);
    if (text->text == nullptr || text->length == 0) return "";
    char narrow[1024] = "";
    WideCharToMultiByte(CP_UTF8, 0, text->text, text->length / 2, narrow, sizeof narrow - 1, nullptr, nullptr);
    return narrow;
}

}  // namespace

std::optional<std::uint32_t> KernelHandleCount(DWORD pid) {
    const std::optional<std::vector<std::uint32_t>> values = HandleValues(pid);
    if (!values) return std::nullopt;
    return static_cast<std::uint32_t>(values->size());
}

std::vector<KernelHandle> KernelHandles(DWORD pid) {
    std::vector<KernelHandle> handles;
    const std::optional<std::vector<std::uint32_t>> values = HandleValues(pid);
    const auto query = reinterpret_cast<QueryObject>(reinterpret_cast<void*>(NtEntry("NtQueryObject")));
    HANDLE process = OpenProcess(PROCESS_DUP_HANDLE, FALSE, pid);
    if (!values || query == nullptr || process == nullptr) {
        if (process != nullptr) CloseHandle(process);
        return handles;
    }
    for (std::uint32_t value : *values) {
        KernelHandle handle;
        handle.value = value;
        HANDLE copy = nullptr;
        if (DuplicateHandle(process, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(value)), GetCurrentProcess(), &copy,
                            0, FALSE, DUPLICATE_SAME_ACCESS)) {
            handle.kind = ObjectText(query, copy, 2);
            handle.name = ObjectText(query, copy, 1);
            CloseHandle(copy);
        } else {
            handle.kind = "(not duplicable)";
        }
        handles.push_back(handle);
    }
    CloseHandle(process);
    return handles;
}

std::optional<Figures> Measure(e2e::ProgramSession& program, std::string& error) {
    Figures figures;
    autom::Probe* inside = program.probe();
    if (inside == nullptr) {
        error = "the probe could not be hooked into the program";
        return std::nullopt;
    }
    const std::optional<autom::ProcessResources> resources = inside->Resources();
    if (!resources) {
        error = "the probe did not count: " + inside->last_error();
        return std::nullopt;
    }
    figures.inside = *resources;

    const std::optional<std::uint32_t> handles = KernelHandleCount(program.process_id());
    if (!handles) {
        error = "the system's handle list could not be read";
        return std::nullopt;
    }
    figures.kernel_handles = *handles;

    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, program.process_id());
    if (process == nullptr) {
        error = "the program's process could not be opened (error " + std::to_string(GetLastError()) + ")";
        return std::nullopt;
    }
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    const BOOL read = GetProcessMemoryInfo(process, &memory, sizeof memory);
    CloseHandle(process);
    if (!read) {
        error = "the program's memory counters could not be read";
        return std::nullopt;
    }
    figures.working_set = memory.WorkingSetSize;
    return figures;
}

const char* GdiKindName(int kind) {
    static const char* const names[] = {"?",
                                        "pens",
                                        "brushes",
                                        "DCs",
                                        "metafile DCs",
                                        "palettes",
                                        "fonts",
                                        "bitmaps",
                                        "regions",
                                        "metafiles",
                                        "memory DCs",
                                        "extended pens",
                                        "enhanced metafile DCs",
                                        "enhanced metafiles",
                                        "colour spaces",
                                        "?"};
    return kind >= 0 && kind < 16 ? names[kind] : "?";
}

}  // namespace td::soak
