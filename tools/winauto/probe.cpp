#include "probe.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "probe_protocol.h"
#include "time_scale.h"

namespace td::autom {
namespace {

std::string ProbeLibraryPath() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    folder = folder.substr(0, folder.find_last_of("\\/") + 1);
    return folder + "td-probe.dll";
}

HMODULE ProbeLibrary() {
    static HMODULE library = LoadLibraryA(ProbeLibraryPath().c_str());
    return library;
}

}  // namespace

const MenuItem* Menu::Command(UINT id) const {
    for (const MenuItem& item : items)
        if (!item.submenu && !item.separator && item.id == id) return &item;
    return nullptr;
}

std::vector<std::string> Menu::Titles() const {
    std::vector<std::string> titles;
    for (const MenuItem& item : items)
        if (item.depth == 0) titles.push_back(item.text);
    return titles;
}

std::vector<MenuItem> Menu::ItemsUnder(int position) const {
    std::vector<MenuItem> found;
    bool inside = false;
    for (const MenuItem& item : items) {
        if (item.depth == 0) {
            inside = item.position == position;
            continue;
        }
        if (inside && item.depth == 1) found.push_back(item);
    }
    return found;
}

std::optional<Probe> Probe::Attach(HWND window) {
    DWORD process_id = 0;
    const DWORD thread_id = GetWindowThreadProcessId(window, &process_id);
    if (thread_id == 0) return std::nullopt;
    HMODULE library = ProbeLibrary();
    if (library == nullptr) return std::nullopt;
    // Through void*: the entry's real type is the hook's, not FARPROC's.
    auto hook_proc = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void*>(GetProcAddress(library, td::probe::kHookProcName)));
    if (hook_proc == nullptr) return std::nullopt;

    Probe probe;
    probe.target_ = window;
    probe.thread_id_ = thread_id;
    char name[64];
    std::snprintf(name, sizeof name, "%s%lu", td::probe::kMappingPrefix, process_id);
    probe.mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, td::probe::kMappingSize,
                                        name);
    if (probe.mapping_ == nullptr) return std::nullopt;
    probe.view_ = static_cast<char*>(MapViewOfFile(probe.mapping_, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (probe.view_ == nullptr) return std::nullopt;
    // The system loads the library into the program the first time the hook
    // has something to see on that thread.
    probe.hook_ = SetWindowsHookExA(WH_CALLWNDPROC, hook_proc, library, thread_id);
    if (probe.hook_ == nullptr) return std::nullopt;
    return probe;
}

Probe::Probe(Probe&& other) noexcept { *this = std::move(other); }

Probe& Probe::operator=(Probe&& other) noexcept {
    if (this != &other) {
        Release();
        hook_ = std::exchange(other.hook_, nullptr);
        mapping_ = std::exchange(other.mapping_, nullptr);
        view_ = std::exchange(other.view_, nullptr);
        target_ = other.target_;
        thread_id_ = other.thread_id_;
        sequence_ = other.sequence_;
        last_error_ = std::move(other.last_error_);
    }
    return *this;
}

Probe::~Probe() { Release(); }

void Probe::Release() {
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    if (view_ != nullptr) UnmapViewOfFile(view_);
    if (mapping_ != nullptr) CloseHandle(mapping_);
    hook_ = nullptr;
    view_ = nullptr;
    mapping_ = nullptr;
}

bool Probe::Ask(std::uint32_t query, std::uint64_t handle, HWND target) {
    if (view_ == nullptr) {
        last_error_ = "the probe is not attached";
        return false;
    }
    td::probe::Request request{};
    request.magic = td::probe::kMagic;
    request.sequence = ++sequence_;
    request.query = static_cast<td::probe::Query>(query);
    request.handle = handle;
    std::memcpy(view_ + td::probe::kRequestOffset, &request, sizeof request);
    td::probe::ReplyHeader cleared{};
    std::memcpy(view_ + td::probe::kReplyOffset, &cleared, sizeof cleared);

    // A message box or popup the query was sent to may have closed since:
    // any other window of the thread serves as well.
    if (!IsWindow(target)) target = AnyWindowOfThread();
    static const UINT message = RegisterWindowMessageA(td::probe::kProbeMessageName);
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutA(target, message, 0, 0, SMTO_ABORTIFHUNG, Scaled(5000), &ignored)) {
        last_error_ = "the program did not take the probe message (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    td::probe::ReplyHeader reply{};
    std::memcpy(&reply, view_ + td::probe::kReplyOffset, sizeof reply);
    if (reply.sequence != request.sequence) {
        last_error_ = "the probe did not answer: td-probe.dll is not loaded in the program";
        return false;
    }
    if (reply.status != td::probe::Status::Done) {
        last_error_ = "the probe answered status " + std::to_string(static_cast<unsigned>(reply.status));
        return false;
    }
    return true;
}

namespace {
// Enumeration callbacks are stdcall on 32-bit Windows: a lambda would not do.
BOOL CALLBACK TakeFirstWindow(HWND window, LPARAM lparam) {
    *reinterpret_cast<HWND*>(lparam) = window;
    return FALSE;
}
}  // namespace

HWND Probe::AnyWindowOfThread() const {
    if (IsWindow(target_)) return target_;
    HWND found = nullptr;
    EnumThreadWindows(thread_id_, TakeFirstWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::optional<Menu> Probe::ReadMenuReply() {
    td::probe::ReplyHeader reply{};
    std::memcpy(&reply, view_ + td::probe::kReplyOffset, sizeof reply);
    Menu menu;
    menu.handle = reinterpret_cast<HMENU>(reply.handle);
    const auto* records = reinterpret_cast<const td::probe::MenuItemRecord*>(view_ + td::probe::kRecordsOffset);
    for (std::uint32_t i = 0; i < reply.count; ++i) {
        const td::probe::MenuItemRecord& record = records[i];
        MenuItem item;
        item.depth = record.depth;
        item.position = record.position;
        item.id = record.id;
        item.text.assign(record.text, strnlen(record.text, sizeof record.text));
        item.checked = (record.state & MF_CHECKED) != 0;
        item.grayed = (record.state & MF_GRAYED) != 0;
        item.disabled = (record.state & MF_DISABLED) != 0;
        item.separator = (record.state & MF_SEPARATOR) != 0;
        item.submenu = record.has_submenu != 0;
        if (record.rect_known) item.rect = RECT{record.left, record.top, record.right, record.bottom};
        menu.items.push_back(item);
    }
    return menu;
}

std::optional<Menu> Probe::MenuBar(HWND window) {
    if (!Ask(static_cast<std::uint32_t>(td::probe::Query::MenuBar), reinterpret_cast<std::uint64_t>(window), window))
        return std::nullopt;
    return ReadMenuReply();
}

std::optional<Menu> Probe::MenuOf(HMENU menu) {
    if (!Ask(static_cast<std::uint32_t>(td::probe::Query::Menu), reinterpret_cast<std::uint64_t>(menu),
             AnyWindowOfThread()))
        return std::nullopt;
    return ReadMenuReply();
}

std::optional<Menu> Probe::TrackedPopup() {
    if (!Ask(static_cast<std::uint32_t>(td::probe::Query::TrackedPopup), 0, AnyWindowOfThread())) return std::nullopt;
    return ReadMenuReply();
}

std::optional<Picture> Probe::PictureOf(HWND window) {
    if (!Ask(static_cast<std::uint32_t>(td::probe::Query::WindowPicture), reinterpret_cast<std::uint64_t>(window),
             AnyWindowOfThread()))
        return std::nullopt;
    td::probe::ReplyHeader reply{};
    std::memcpy(&reply, view_ + td::probe::kReplyOffset, sizeof reply);
    Picture picture;
    picture.width = reply.width;
    picture.height = reply.height;
    const size_t row = static_cast<size_t>((reply.width * 3 + 3) & ~3);
    const char* bits = view_ + td::probe::kRecordsOffset;
    picture.rows.assign(bits, bits + row * static_cast<size_t>(reply.height));
    return picture;
}

}  // namespace td::autom

namespace td::autom {

const char* NameOf(StandardIcon icon) {
    switch (icon) {
        case StandardIcon::None:
            return "no icon";
        case StandardIcon::Error:
            return "the error icon";
        case StandardIcon::Question:
            return "the question icon";
        case StandardIcon::Warning:
            return "the warning icon";
        case StandardIcon::Information:
            return "the information icon";
        case StandardIcon::Other:
            return "an icon of its own";
    }
    return "?";
}

std::optional<StandardIcon> Probe::IconOf(HWND static_control) {
    if (!Ask(static_cast<std::uint32_t>(td::probe::Query::StaticIcon), reinterpret_cast<std::uint64_t>(static_control),
             AnyWindowOfThread()))
        return std::nullopt;
    td::probe::ReplyHeader reply{};
    std::memcpy(&reply, view_ + td::probe::kReplyOffset, sizeof reply);
    switch (static_cast<td::probe::IconKind>(reply.handle)) {
        case td::probe::IconKind::None:
            return StandardIcon::None;
        case td::probe::IconKind::Hand:
            return StandardIcon::Error;
        case td::probe::IconKind::Question:
            return StandardIcon::Question;
        case td::probe::IconKind::Exclamation:
            return StandardIcon::Warning;
        case td::probe::IconKind::Asterisk:
            return StandardIcon::Information;
        default:
            return StandardIcon::Other;
    }
}

}  // namespace td::autom

namespace td::autom {

std::optional<ProcessResources> Probe::Resources() {
    if (!Ask(static_cast<std::uint32_t>(td::probe::Query::Resources), 0, AnyWindowOfThread())) return std::nullopt;
    td::probe::ReplyHeader reply{};
    std::memcpy(&reply, view_ + td::probe::kReplyOffset, sizeof reply);
    if (reply.count != 1) {
        last_error_ = "the probe answered no resource record";
        return std::nullopt;
    }
    ProcessResources resources{};
    std::memcpy(&resources, view_ + td::probe::kRecordsOffset, sizeof resources);
    return resources;
}

}  // namespace td::autom
