// td-probe.dll: the automation's eyes inside the program's process.
//
// Loaded into the program by a WH_CALLWNDPROC hook that the automation side
// sets on the program's window thread. It stays passive until that thread is
// sent the registered probe message; then it answers the request waiting in
// the process's probe mapping (see probe_protocol.h) and lets the message
// continue to the window procedure, which does not know it and ignores it.
// It never changes the program's state: it only reads menus, pictures and
// counts of what the process holds.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "probe_protocol.h"
#include "support/gdi_objects.h"

namespace {

using td::probe::MenuItemRecord;
using td::probe::Query;
using td::probe::ReplyHeader;
using td::probe::Request;
using td::probe::Status;

// MN_GETHMENU: the menu a popup menu window shows.
constexpr UINT kMnGetHMenu = 0x01E1;

UINT QueryMessage() {
    static const UINT message = RegisterWindowMessageA(td::probe::kProbeMessageName);
    return message;
}

// The popup menu windows ("#32768") this thread shows now, with their menus.
struct OpenPopup {
    HWND window;
    HMENU menu;
};

BOOL CALLBACK CollectPopup(HWND window, LPARAM lparam) {
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, "#32768") == 0 && IsWindowVisible(window)) {
        HMENU menu = reinterpret_cast<HMENU>(SendMessageA(window, kMnGetHMenu, 0, 0));
        reinterpret_cast<std::vector<OpenPopup>*>(lparam)->push_back({window, menu});
    }
    return TRUE;
}

std::vector<OpenPopup> OpenPopups() {
    std::vector<OpenPopup> popups;
    // Wine keeps popup menu windows as top-level windows of the thread that
    // tracks the menu, which is the thread this hook runs on.
    EnumThreadWindows(GetCurrentThreadId(), CollectPopup, reinterpret_cast<LPARAM>(&popups));
    return popups;
}

bool IsSubmenuOf(HMENU menu, HMENU parent) {
    const int count = GetMenuItemCount(parent);
    for (int position = 0; position < count; ++position) {
        HMENU submenu = GetSubMenu(parent, position);
        if (submenu != nullptr && (submenu == menu || IsSubmenuOf(menu, submenu))) return true;
    }
    return false;
}

std::optional<OpenPopup> RootPopup(const std::vector<OpenPopup>& popups) {
    for (const OpenPopup& candidate : popups) {
        bool nested = false;
        for (const OpenPopup& other : popups)
            if (other.menu != candidate.menu && IsSubmenuOf(candidate.menu, other.menu)) nested = true;
        if (!nested && candidate.menu != nullptr) return candidate;
    }
    return std::nullopt;
}

class ReplyWriter {
public:
    explicit ReplyWriter(char* view) : view_(view) {}

    bool Add(const void* record, std::uint32_t size) {
        if (used_ + size > td::probe::kMappingSize - td::probe::kRecordsOffset) {
            full_ = true;
            return false;
        }
        std::memcpy(view_ + td::probe::kRecordsOffset + used_, record, size);
        used_ += size;
        ++count_;
        return true;
    }
    std::uint32_t count() const { return count_; }
    bool full() const { return full_; }
    char* records() { return view_ + td::probe::kRecordsOffset; }

private:
    char* view_;
    std::uint32_t used_ = 0;
    std::uint32_t count_ = 0;
    bool full_ = false;
};

// `shown_in`: the window that shows this menu now (the menu bar's window,
// or an open popup's window), so that item rectangles mean something.
void ReadMenu(HMENU menu, HWND shown_in, int depth, const std::vector<OpenPopup>& popups, ReplyWriter& out) {
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        MenuItemRecord record{};
        record.depth = depth;
        record.position = position;
        const UINT state = GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION);
        HMENU submenu = GetSubMenu(menu, position);
        // For an item that opens a submenu the high byte counts its items.
        record.state = submenu != nullptr ? (state & 0xFFu) : state;
        record.has_submenu = submenu != nullptr;
        record.id = submenu != nullptr ? 0u : GetMenuItemID(menu, position);
        if (record.id == 0xFFFFFFFFu) record.id = 0;
        GetMenuStringA(menu, static_cast<UINT>(position), record.text, sizeof record.text, MF_BYPOSITION);
        RECT rect{};
        if (shown_in != nullptr && GetMenuItemRect(shown_in, menu, static_cast<UINT>(position), &rect) &&
            rect.right > rect.left && rect.bottom > rect.top) {
            record.rect_known = 1;
            record.left = rect.left;
            record.top = rect.top;
            record.right = rect.right;
            record.bottom = rect.bottom;
        }
        if (!out.Add(&record, sizeof record)) return;
        if (submenu != nullptr) {
            HWND submenu_window = nullptr;
            for (const OpenPopup& popup : popups)
                if (popup.menu == submenu) submenu_window = popup.window;
            ReadMenu(submenu, submenu_window, depth + 1, popups, out);
        }
    }
}

Status ServeMenu(HMENU menu, HWND shown_in, ReplyHeader& reply, ReplyWriter& out) {
    if (menu == nullptr || !IsMenu(menu)) return Status::NoSuchThing;
    reply.handle = reinterpret_cast<std::uint64_t>(menu);
    ReadMenu(menu, shown_in, 0, OpenPopups(), out);
    return out.full() ? Status::TooLarge : Status::Done;
}

// The window as its own process draws it. Read here, from the window's own
// surface, because a picture of the whole screen can show a window that
// lies inside another one hidden below it.
Status ServeWindowPicture(HWND window, ReplyHeader& reply, ReplyWriter& out) {
    if (window == nullptr || !IsWindow(window)) return Status::NoSuchThing;
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return Status::NoSuchThing;
    const std::uint32_t row = static_cast<std::uint32_t>((width * 3 + 3) & ~3);
    if (static_cast<std::uint64_t>(row) * height > td::probe::kMappingSize - td::probe::kRecordsOffset)
        return Status::TooLarge;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up rows, as a .bmp stores them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC window_dc = GetWindowDC(window);
    HDC memory = CreateCompatibleDC(window_dc);
    HBITMAP picture = CreateDIBSection(window_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, width, height, window_dc, 0, 0, SRCCOPY);
    GdiFlush();
    out.Add(bits, row * static_cast<std::uint32_t>(height));
    SelectObject(memory, old);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(window, window_dc);
    reply.width = width;
    reply.height = height;
    return Status::Done;
}

// Icons are per-process objects: only here can the control's icon be told
// apart from the system's standard ones, which a process loads once.
td::probe::IconKind ServeStaticIcon(HWND control) {
    using td::probe::IconKind;
    HICON icon = reinterpret_cast<HICON>(SendMessageA(control, STM_GETICON, 0, 0));
    if (icon == nullptr) return IconKind::None;
    const struct {
        LPCSTR name;
        IconKind kind;
    } standard[] = {{IDI_HAND, IconKind::Hand},
                    {IDI_QUESTION, IconKind::Question},
                    {IDI_EXCLAMATION, IconKind::Exclamation},
                    {IDI_ASTERISK, IconKind::Asterisk}};
    for (const auto& entry : standard)
        if (LoadIconA(nullptr, entry.name) == icon) return entry.kind;
    return IconKind::Other;
}

// ---- What the process holds -------------------------------------------------

// A USER handle's low word is 0x20 plus twice its table index (Wine), and
// the index alone is accepted for the process's own menus, cursors, icons
// and accelerator tables (as for GDI objects: support/gdi_objects.h).
constexpr UINT kFirstUserHandle = 0x0020;
constexpr UINT kLastUserHandle = 0xFFEF;

#ifndef HWND_MESSAGE
#define HWND_MESSAGE (reinterpret_cast<HWND>(-3))
#endif

struct WindowCount {
    DWORD process;
    std::uint32_t count;
};

BOOL CALLBACK CountChild(HWND, LPARAM lparam) {
    ++reinterpret_cast<WindowCount*>(lparam)->count;
    return TRUE;
}

void CountWindowAndChildren(HWND window, WindowCount& windows) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != windows.process) return;
    ++windows.count;
    EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&windows));
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM lparam) {
    CountWindowAndChildren(window, *reinterpret_cast<WindowCount*>(lparam));
    return TRUE;
}

std::uint32_t CountWindows() {
    WindowCount windows{GetCurrentProcessId(), 0};
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&windows));
    for (HWND window = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); window != nullptr;
         window = FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr))
        CountWindowAndChildren(window, windows);
    return windows.count;
}

void CountUserObjects(td::probe::ResourceRecord& record) {
    // Undocumented but exported by Wine's user32 (and Windows' since XP):
    // answers a frame of a cursor or icon, and nothing for anything else.
    using FrameInfo = HCURSOR(WINAPI*)(HCURSOR, DWORD, DWORD, DWORD*, DWORD*);
    const auto frame_info = reinterpret_cast<FrameInfo>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetCursorFrameInfo")));
    record.windows = CountWindows();
    for (UINT value = kFirstUserHandle; value <= kLastUserHandle; value += 2) {
        const UINT_PTR handle = value;
        if (IsMenu(reinterpret_cast<HMENU>(handle))) ++record.menus;
        DWORD rate = 0, steps = 0;
        if (frame_info != nullptr && frame_info(reinterpret_cast<HCURSOR>(handle), 0, 0, &rate, &steps) != nullptr)
            ++record.cursors_icons;
        if (CopyAcceleratorTableA(reinterpret_cast<HACCEL>(handle), nullptr, 0) > 0) ++record.accelerator_tables;
    }
}

void CountGuiResources(td::probe::ResourceRecord& record) {
    // Not declared for the Windows versions the program builds for.
    using GuiResources = DWORD(WINAPI*)(HANDLE, DWORD);
    const auto gui_resources = reinterpret_cast<GuiResources>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetGuiResources")));
    if (gui_resources == nullptr) return;
    record.gui_gdi_objects = gui_resources(GetCurrentProcess(), 0);   // GR_GDIOBJECTS
    record.gui_user_objects = gui_resources(GetCurrentProcess(), 1);  // GR_USEROBJECTS
}

void CountMemory(td::probe::ResourceRecord& record) {
    MEMORY_BASIC_INFORMATION region{};
    const char* at = nullptr;
    while (VirtualQuery(at, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) record.private_bytes += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at) break;
        at = next;
    }
    HANDLE heaps[256];
    const DWORD count = GetProcessHeaps(256, heaps);
    record.heaps = count;
    for (DWORD i = 0; i < count && i < 256; ++i) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry)) {
            if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) == 0) continue;
            record.heap_bytes += entry.cbData;
            ++record.heap_blocks;
        }
        HeapUnlock(heaps[i]);
    }
}

// Counts without allocating anything itself, so that the figures are the
// program's own.
Status ServeResources(ReplyWriter& out) {
    td::probe::ResourceRecord record{};
    CountGuiResources(record);
    record.gdi_objects = td::test::CountOwnGdiObjects(record.gdi_by_kind);
    CountUserObjects(record);
    CountMemory(record);
    out.Add(&record, sizeof record);
    return Status::Done;
}

void Serve() {
    char name[64];
    std::snprintf(name, sizeof name, "%s%lu", td::probe::kMappingPrefix, GetCurrentProcessId());
    HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name);
    if (mapping == nullptr) return;
    char* view = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (view != nullptr) {
        Request request{};
        std::memcpy(&request, view + td::probe::kRequestOffset, sizeof request);
        ReplyHeader reply{};
        reply.sequence = request.sequence;
        ReplyWriter out(view);
        if (request.magic != td::probe::kMagic) {
            reply.status = Status::BadRequest;
        } else {
            switch (request.query) {
                case Query::MenuBar: {
                    HWND window = reinterpret_cast<HWND>(request.handle);
                    reply.status = IsWindow(window) ? ServeMenu(GetMenu(window), window, reply, out)
                                                    : Status::NoSuchThing;
                    break;
                }
                case Query::Menu:
                    reply.status = ServeMenu(reinterpret_cast<HMENU>(request.handle), nullptr, reply, out);
                    break;
                case Query::TrackedPopup: {
                    // The menu the user opened is the open popup that is
                    // nobody's submenu; open submenus are listed under
                    // their items.
                    const std::optional<OpenPopup> root = RootPopup(OpenPopups());
                    reply.status = !root ? Status::NoSuchThing : ServeMenu(root->menu, root->window, reply, out);
                    break;
                }
                case Query::StaticIcon: {
                    HWND control = reinterpret_cast<HWND>(request.handle);
                    if (IsWindow(control)) {
                        reply.handle = static_cast<std::uint64_t>(ServeStaticIcon(control));
                        reply.status = Status::Done;
                    } else {
                        reply.status = Status::NoSuchThing;
                    }
                    break;
                }
                case Query::WindowPicture:
                    reply.status = ServeWindowPicture(reinterpret_cast<HWND>(request.handle), reply, out);
                    break;
                case Query::Resources:
                    reply.status = ServeResources(out);
                    break;
                default:
                    reply.status = Status::BadRequest;
                    break;
            }
        }
        reply.count = out.count();
        std::memcpy(view + td::probe::kReplyOffset, &reply, sizeof reply);
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK TdProbeCallWndProc(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HC_ACTION) {
        const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lparam);
        if (call != nullptr && call->message == QueryMessage()) Serve();
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(module);
    return TRUE;
}
