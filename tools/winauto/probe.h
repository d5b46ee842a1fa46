// Reading what only the program's own process can read: its menus (Wine
// refuses every menu call on another process's menu) and the true picture
// of its windows. The probe hooks td-probe.dll into the program's window
// thread and asks it; see probe_protocol.h for how the two sides talk.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "automation.h"
#include "probe_protocol.h"

namespace td::autom {

struct MenuItem {
    int depth = 0;     // 0: the menu's own items (the menu bar's titles)
    int position = 0;  // within its own menu
    UINT id = 0;       // command id; 0 for separators and submenus
    std::string text;  // as the resource has it, "&File", "E&xit"
    bool checked = false;
    bool grayed = false;
    bool disabled = false;
    bool separator = false;
    bool submenu = false;
    std::optional<RECT> rect;  // on screen, while the menu is shown

    // A user can choose only items that are neither grayed nor disabled.
    bool enabled() const { return !grayed && !disabled; }
};

// A whole menu, parents before their children.
struct Menu {
    HMENU handle = nullptr;
    std::vector<MenuItem> items;

    // The command item with this id, anywhere in the menu.
    const MenuItem* Command(UINT id) const;
    // The texts of the menu's own items (for a menu bar: its titles).
    std::vector<std::string> Titles() const;
    // The items directly under the title at `position`.
    std::vector<MenuItem> ItemsUnder(int position) const;
};

// What the program's process holds, counted inside it (see
// probe_protocol.h: ResourceRecord).
using ProcessResources = td::probe::ResourceRecord;

// The standard icons a message box can show.
enum class StandardIcon { None, Error, Question, Warning, Information, Other };
const char* NameOf(StandardIcon icon);

class Probe {
public:
    // Hooks the probe into the thread that owns `window`. The probe library
    // lies next to the calling program.
    static std::optional<Probe> Attach(HWND window);

    Probe(Probe&& other) noexcept;
    Probe& operator=(Probe&& other) noexcept;
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;
    ~Probe();

    DWORD thread_id() const { return thread_id_; }

    // The menu bar of `window` with every submenu.
    std::optional<Menu> MenuBar(HWND window);
    // A menu by its handle.
    std::optional<Menu> MenuOf(HMENU menu);
    // The popup menu the program is tracking now (a context menu), if any.
    std::optional<Menu> TrackedPopup();
    // The window as the program draws it.
    std::optional<Picture> PictureOf(HWND window);
    // Which standard icon an icon static control shows (a message box's
    // control 1088).
    std::optional<StandardIcon> IconOf(HWND static_control);
    // The GDI and USER objects, private bytes and heap blocks the program's
    // process holds.
    std::optional<ProcessResources> Resources();

    // Why the last query failed, for test messages.
    const std::string& last_error() const { return last_error_; }

private:
    Probe() = default;
    bool Ask(std::uint32_t query, std::uint64_t handle, HWND target);
    std::optional<Menu> ReadMenuReply();
    HWND AnyWindowOfThread() const;
    void Release();

    HHOOK hook_ = nullptr;
    HANDLE mapping_ = nullptr;
    char* view_ = nullptr;
    HWND target_ = nullptr;
    DWORD thread_id_ = 0;
    std::uint32_t sequence_ = 0;
    std::string last_error_;
};

}  // namespace td::autom
