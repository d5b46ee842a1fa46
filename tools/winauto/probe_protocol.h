// What the automation side and td-probe.dll say to each other.
//
// Some things can only be read inside the program's own process: Wine
// refuses every menu call on a menu of another process. The automation side
// therefore hooks td-probe.dll into the program's window thread
// (SetWindowsHookEx, WH_CALLWNDPROC) and sends that thread the registered
// message kProbeMessageName. The hook runs in the program, on the window
// thread, while the sender waits: it reads the request from a named file
// mapping, answers into the same mapping and lets the message go on to the
// window procedure, which ignores it.
#pragma once

#include <cstdint>

namespace td::probe {

constexpr char kProbeMessageName[] = "Tessaline.Probe.Query";
constexpr char kHookProcName[] = "TdProbeCallWndProc";

// One mapping per program process, created by the automation side:
// "Tessaline.Probe.<process id>".
constexpr char kMappingPrefix[] = "Tessaline.Probe.";
constexpr std::uint32_t kMappingSize = 4u << 20;

constexpr std::uint32_t kMagic = 0x42505454;  // "TTPB"

enum class Query : std::uint32_t {
    MenuBar = 1,        // the menu of window `handle`, every level
    Menu = 2,           // the menu `handle`, every level
    TrackedPopup = 3,   // the popup menu now open on the probed thread
    WindowPicture = 4,  // window `handle` as the program draws it, 24-bit rows
    StaticIcon = 5,     // which standard icon the static control `handle` shows
    Resources = 6,      // what the process holds: GDI and USER objects, memory
};

// The answer to StaticIcon, in the reply's `handle`.
enum class IconKind : std::uint64_t { None = 0, Hand = 1, Question = 2, Exclamation = 3, Asterisk = 4, Other = 5 };

enum class Status : std::uint32_t {
    Pending = 0,
    Done = 1,
    NoSuchThing = 2,  // no menu, no open popup, not a window
    TooLarge = 3,
    BadRequest = 4,
};

struct Request {
    std::uint32_t magic;
    std::uint32_t sequence;  // the probe answers with the same number
    Query query;
    std::uint32_t reserved;
    std::uint64_t handle;  // a window or a menu, as the query says
};

struct ReplyHeader {
    std::uint32_t sequence;
    Status status;
    std::uint32_t count;  // records that follow
    std::uint32_t reserved;
    std::uint64_t handle;  // the menu that was read (MenuBar, TrackedPopup)
    std::int32_t width;    // WindowPicture: size of the picture
    std::int32_t height;
};

// One item of a menu, parents before their children (depth-first).
struct MenuItemRecord {
    std::int32_t depth;     // 0: items of the menu itself (menu bar titles)
    std::int32_t position;  // within its own menu
    std::uint32_t id;       // command id; 0 for separators and submenus
    std::uint32_t state;    // GetMenuState flags: MF_CHECKED, MF_GRAYED, ...
    std::int32_t has_submenu;
    std::int32_t rect_known;
    std::int32_t left, top, right, bottom;  // on screen, when known
    char text[256];
};

// The answer to Resources: one record. Counted inside the program because
// Wine's GetGuiResources answers 0 and no other process can see a
// process's GDI handle table or its heaps.
struct ResourceRecord {
    // GetGuiResources(GR_GDIOBJECTS / GR_USEROBJECTS), as the system answers.
    std::uint32_t gui_gdi_objects;
    std::uint32_t gui_user_objects;
    // Live entries of the process's GDI handle table, found by asking
    // GetObjectType about every table index; by kind (the OBJ_* number).
    std::uint32_t gdi_objects;
    std::uint32_t gdi_by_kind[16];
    // USER objects of the process: its windows (top-level, child and
    // message-only), and the menus, cursors and icons, and accelerator
    // tables found at the indices of the USER handle table.
    std::uint32_t windows;
    std::uint32_t menus;
    std::uint32_t cursors_icons;
    std::uint32_t accelerator_tables;
    std::uint32_t heaps;
    // Committed private memory (VirtualQuery: MEM_COMMIT and MEM_PRIVATE),
    // what Windows counts as private bytes.
    std::uint64_t private_bytes;
    // Bytes and blocks in use in all the process's heaps (HeapWalk).
    std::uint64_t heap_bytes;
    std::uint32_t heap_blocks;
    std::uint32_t reserved;
};

// The mapping: the request, then the reply header, then the records.
constexpr std::uint32_t kRequestOffset = 0;
constexpr std::uint32_t kReplyOffset = 64;
constexpr std::uint32_t kRecordsOffset = 128;

}  // namespace td::probe
