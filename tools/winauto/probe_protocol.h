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
    MenuBar = 1,       // the menu of window `handle`, every level
    Menu = 2,          // the menu `handle`, every level
    TrackedPopup = 3,  // the popup menu now open on the probed thread
    WindowPicture = 4, // window `handle` as the program draws it, 24-bit rows
    StaticIcon = 5,    // which standard icon the static control `handle` shows
};

// The answer to StaticIcon, in the reply's `handle`.
enum class IconKind : std::uint64_t { None = 0, Hand = 1, Question = 2, Exclamation = 3, Asterisk = 4, Other = 5 };

enum class Status : std::uint32_t {
    Pending = 0,
    Done = 1,
    NoSuchThing = 2,   // no menu, no open popup, not a window
    TooLarge = 3,
    BadRequest = 4,
};

struct Request {
    std::uint32_t magic;
    std::uint32_t sequence;  // the probe answers with the same number
    Query query;
    std::uint32_t reserved;
    std::uint64_t handle;    // a window or a menu, as the query says
};

struct ReplyHeader {
    std::uint32_t sequence;
    Status status;
    std::uint32_t count;     // records that follow
    std::uint32_t reserved;
    std::uint64_t handle;    // the menu that was read (MenuBar, TrackedPopup)
    std::int32_t width;      // WindowPicture: size of the picture
    std::int32_t height;
};

// One item of a menu, parents before their children (depth-first).
struct MenuItemRecord {
    std::int32_t depth;      // 0: items of the menu itself (menu bar titles)
    std::int32_t position;   // within its own menu
    std::uint32_t id;        // command id; 0 for separators and submenus
    std::uint32_t state;     // GetMenuState flags: MF_CHECKED, MF_GRAYED, ...
    std::int32_t has_submenu;
    std::int32_t rect_known;
    std::int32_t left, top, right, bottom;  // on screen, when known
    char text[256];
};

// The mapping: the request, then the reply header, then the records.
constexpr std::uint32_t kRequestOffset = 0;
constexpr std::uint32_t kReplyOffset = 64;
constexpr std::uint32_t kRecordsOffset = 128;

}  // namespace td::probe
