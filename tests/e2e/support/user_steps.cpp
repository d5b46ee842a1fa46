#include "support/user_steps.h"

#include <algorithm>

#include "resources/resource_ids.h"
#include "support/control_views.h"
#include "support/paths.h"

namespace td::e2e::user {
namespace {

// A click lands as a click only when the mouse has rested a moment before
// the next one; a second click too soon would be a double click.
constexpr DWORD kClickPause = 600;

bool IsOneOfTheMainWindowsHelpers(HWND window) {
    const std::string name = autom::ClassOf(window);
    return name == TOOLTIPS_CLASSA || name == "#32768" || name == "IME";
}

std::string DescribeWindow(HWND window) { return autom::ClassOf(window) + " \"" + autom::TextOf(window) + "\""; }

// A watch that nothing happens proves nothing once the program has ended.
testing::AssertionResult StillRunning(ProgramSession& program) {
    if (program.running()) return testing::AssertionSuccess();
    testing::AssertionResult ended = testing::AssertionFailure() << "the program has ended";
    if (const std::optional<DWORD> code = program.WaitForExit(0))
        ended << " with exit code " << *code << " (0x" << std::hex << *code << std::dec << ")";
    return ended;
}

}  // namespace

testing::AssertionResult StartAndWaitForTheScan(ProgramSession& program, size_t rows) {
    if (testing::AssertionResult started = program.Start(); !started) return started;
    if (program.WaitForMainWindow() == nullptr) {
        // Named here too for the soak and the bench, which run outside a test.
        testing::AssertionResult failure = testing::AssertionFailure() << "no main window";
        if (!program.messages_on_the_way().empty())
            failure << "; a message box came on the way: " << Describe(program.messages_on_the_way().back());
        return failure << "; the program " << (program.running() ? "is still running" : "has ended");
    }
    // On Windows 95 the scan goes on after the window is shown.
    return WaitForTheScan(program, rows, 15000);
}

testing::AssertionResult WaitForTheScan(ProgramSession& program, size_t rows, DWORD timeout_ms) {
    const bool scanned = autom::WaitUntil(
        [&] {
            const std::vector<std::string> status = program.StatusBar();
            return program.DeviceList().size() == rows && !status.empty() &&
                   status[0].find(program.Text(IDS_NONE)) == std::string::npos;
        },
        timeout_ms);
    if (scanned) return testing::AssertionSuccess();
    const std::vector<std::string> status = program.StatusBar();
    return testing::AssertionFailure() << "after " << autom::Scaled(timeout_ms) << " ms the list shows "
                                       << program.DeviceList().size() << " rows, not " << rows << "; the status bar: \""
                                       << (status.empty() ? "" : status[0]) << "\"";
}

// ---- The adapter tree ----------------------------------------------------------

namespace {

testing::AssertionResult PointAtTreeItem(ProgramSession& program, const std::string& text, POINT& at) {
    const std::vector<autom::TreeItem> items = program.AdapterTree();
    const autom::TreeItem* item = controls::FindTreeItem(items, text);
    if (item == nullptr) return testing::AssertionFailure() << "the tree has no item \"" << text << "\"";
    HWND tree = program.Control(IDC_ADAPTER_TREE);
    const std::optional<RECT> rect = controls::TreeItemRect(tree, item->handle);
    if (!rect) return testing::AssertionFailure() << "the tree item \"" << text << "\" is not shown";
    // A long label runs on past the tree's right edge: aim at its start,
    // which the tree shows.
    RECT client{};
    GetClientRect(tree, &client);
    MapWindowPoints(tree, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const LONG right = std::min(rect->right, client.right);
    if (right - rect->left < 4)
        return testing::AssertionFailure() << "the tree item \"" << text << "\" is out of sight";
    at = {rect->left + std::min<LONG>((right - rect->left) / 2, 24), (rect->top + rect->bottom) / 2};
    return testing::AssertionSuccess();
}

}  // namespace

testing::AssertionResult ClickTreeItem(ProgramSession& program, const std::string& text) {
    POINT at{};
    if (testing::AssertionResult found = PointAtTreeItem(program, text, at); !found) return found;
    autom::Click(at.x, at.y);
    autom::Pause(kClickPause);
    return testing::AssertionSuccess();
}

testing::AssertionResult ClickAdapterItem(ProgramSession& program, int index) {
    const std::vector<autom::TreeItem> items = program.AdapterTree();
    const autom::TreeItem* item = nullptr;
    for (const autom::TreeItem& candidate : items)
        if (candidate.depth == 1 && candidate.data == index) item = &candidate;
    if (item == nullptr) return testing::AssertionFailure() << "the tree has no item of adapter " << index;
    // An adapter without a name has a label too narrow to aim at: its
    // picture, left of the label, selects it as well.
    HWND tree = program.Control(IDC_ADAPTER_TREE);
    const std::optional<RECT> rect = controls::TreeItemRect(tree, item->handle);
    if (!rect) return testing::AssertionFailure() << "the item of adapter " << index << " is not shown";
    const POINT at = {rect->right - rect->left < 8 ? rect->left - 10 : rect->left + 4, (rect->top + rect->bottom) / 2};
    autom::Click(at.x, at.y);
    autom::Pause(kClickPause);
    return testing::AssertionSuccess();
}

testing::AssertionResult DoubleClickTreeItem(ProgramSession& program, const std::string& text) {
    POINT at{};
    if (testing::AssertionResult found = PointAtTreeItem(program, text, at); !found) return found;
    autom::DoubleClick(at.x, at.y);
    autom::Pause(kClickPause);
    return testing::AssertionSuccess();
}

std::optional<autom::TreeItem> SelectedTreeItem(ProgramSession& program) {
    for (const autom::TreeItem& item : program.AdapterTree())
        if (item.selected) return item;
    return std::nullopt;
}

std::vector<std::string> AdaptersInTree(ProgramSession& program) {
    std::vector<std::string> texts;
    for (const autom::TreeItem& item : program.AdapterTree())
        if (item.depth == 1) texts.push_back(item.text);
    return texts;
}

// ---- The device list --------------------------------------------------------------

DWORD ListMode(ProgramSession& program) { return autom::ListViewMode(program.Control(IDC_DEVICE_LIST)); }

testing::AssertionResult ClickColumnHeader(ProgramSession& program, int column) {
    const RECT rect = autom::ListHeaderRect(program.Control(IDC_DEVICE_LIST), column);
    if (rect.right <= rect.left) return testing::AssertionFailure() << "the list shows no header for column " << column;
    const POINT at = controls::MiddleOf(rect);
    autom::Click(at.x, at.y);
    autom::Pause(kClickPause);
    return testing::AssertionSuccess();
}

int RowOfScsiId(ProgramSession& program, const std::string& id) {
    const std::vector<std::vector<std::string>> rows = program.DeviceList();
    for (size_t i = 0; i < rows.size(); ++i)
        if (!rows[i].empty() && rows[i][0] == id) return static_cast<int>(i);
    return -1;
}

POINT MiddleOfRow(ProgramSession& program, int row) {
    return controls::MiddleOf(autom::ListItemRect(program.Control(IDC_DEVICE_LIST), row));
}

std::optional<POINT> EmptySpotInList(ProgramSession& program) {
    HWND list = program.Control(IDC_DEVICE_LIST);
    const RECT outer = controls::ScreenRectOf(list);
    LONG lowest = outer.top;
    const int count = static_cast<int>(program.DeviceList().size());
    for (int i = 0; i < count; ++i) lowest = std::max(lowest, autom::ListItemRect(list, i).bottom);
    // Leave the border and a horizontal scroll bar, if any, alone.
    const LONG usable_bottom = outer.bottom - GetSystemMetrics(SM_CYHSCROLL) - 4;
    if (usable_bottom - lowest < 12) return std::nullopt;
    return POINT{(outer.left + outer.right) / 2, (lowest + usable_bottom) / 2};
}

namespace {

// The picture of a window's client area as the program drew it.
std::optional<autom::Picture> ClientPicture(ProgramSession& program, HWND control) {
    autom::Probe* inside = program.probe();
    if (inside == nullptr) return std::nullopt;
    std::optional<autom::Picture> whole = inside->PictureOf(program.main_window());
    if (!whole) return std::nullopt;
    const RECT window = controls::ScreenRectOf(program.main_window());
    RECT client{};
    GetClientRect(control, &client);
    MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&client), 2);
    autom::Picture part;
    part.width = client.right - client.left;
    part.height = client.bottom - client.top;
    const size_t whole_row = static_cast<size_t>((whole->width * 3 + 3) & ~3);
    const size_t part_row = static_cast<size_t>((part.width * 3 + 3) & ~3);
    part.rows.assign(part_row * static_cast<size_t>(part.height), 0);
    for (int y = 0; y < part.height; ++y) {
        const int from_y = client.top - window.top + y;  // from the top
        if (from_y < 0 || from_y >= whole->height) continue;
        const size_t from = whole_row * static_cast<size_t>(whole->height - 1 - from_y) +
                            static_cast<size_t>(client.left - window.left) * 3;
        const size_t to = part_row * static_cast<size_t>(part.height - 1 - y);
        if (from + static_cast<size_t>(part.width) * 3 <= whole->rows.size())
            std::copy_n(whole->rows.begin() + static_cast<std::ptrdiff_t>(from), part.width * 3,
                        part.rows.begin() + static_cast<std::ptrdiff_t>(to));
    }
    return part;
}

}  // namespace

testing::AssertionResult ListOnScreenIsUpToDate(ProgramSession& program) {
    HWND list = program.Control(IDC_DEVICE_LIST);
    // Keep the mouse off the list, where it would light up an item.
    autom::MoveMouse(2, 2);
    autom::Pause(300);
    const std::optional<autom::Picture> shown = ClientPicture(program, list);
    InvalidateRect(list, nullptr, TRUE);
    autom::Pause(500);
    const std::optional<autom::Picture> painted = ClientPicture(program, list);
    if (!shown || !painted) return testing::AssertionFailure() << "the list's picture could not be taken";
    if (shown->rows == painted->rows) return testing::AssertionSuccess();
    // Keep what the user saw, next to the failure's screenshot.
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    const std::string picture = FailureFolder() +
                                (test ? std::string(test->test_suite_name()) + "." + test->name()
                                      : std::string("list")) +
                                ".list-as-shown.bmp";
    autom::SaveBitmap(*shown, picture);
    // Where the two differ, for the message.
    const size_t row = static_cast<size_t>((shown->width * 3 + 3) & ~3);
    int top = -1, bottom = -1, differing = 0;
    for (int y = 0; y < shown->height; ++y) {
        const size_t at = row * static_cast<size_t>(shown->height - 1 - y);
        if (!std::equal(shown->rows.begin() + static_cast<std::ptrdiff_t>(at),
                        shown->rows.begin() + static_cast<std::ptrdiff_t>(at + row),
                        painted->rows.begin() + static_cast<std::ptrdiff_t>(at))) {
            if (top < 0) top = y;
            bottom = y;
            ++differing;
        }
    }
    return testing::AssertionFailure() << "the list on the screen is not what it draws when repainted: " << differing
                                       << " of its " << shown->height << " pixel rows differ, from row " << top
                                       << " to " << bottom << "; the list as shown: " << picture;
}

// ---- Toolbar and menus -----------------------------------------------------------

namespace {

int ToolbarIndexOf(ProgramSession& program, int command) {
    const std::vector<autom::ToolbarButton> buttons = program.Toolbar();
    for (size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i].command == command && (buttons[i].style & TBSTYLE_SEP) == 0) return static_cast<int>(i);
    return -1;
}

}  // namespace

testing::AssertionResult ClickToolbarButton(ProgramSession& program, int command) {
    const int index = ToolbarIndexOf(program, command);
    if (index < 0) return testing::AssertionFailure() << "the toolbar has no button for command " << command;
    const POINT at = controls::MiddleOf(controls::ToolbarButtonRect(program.Control(IDC_TOOLBAR), index));
    autom::Click(at.x, at.y);
    autom::Pause(kClickPause);
    return testing::AssertionSuccess();
}

std::optional<std::string> TooltipOfToolbarButton(ProgramSession& program, int command, const std::string& expected) {
    const int index = ToolbarIndexOf(program, command);
    if (index < 0) return std::nullopt;
    const POINT at = controls::MiddleOf(controls::ToolbarButtonRect(program.Control(IDC_TOOLBAR), index));
    autom::MoveMouse(at.x, at.y);
    autom::Pause(50);
    autom::MoveMouse(at.x + 1, at.y);
    std::optional<std::string> shown;
    autom::WaitUntil(
        [&] {
            shown = controls::ShownTooltip(program.process_id());
            return shown && *shown == expected;
        },
        3000);
    return shown;
}

const autom::ToolbarButton* ToolbarButtonOf(const std::vector<autom::ToolbarButton>& buttons, int command) {
    for (const autom::ToolbarButton& button : buttons)
        if (button.command == command && (button.style & TBSTYLE_SEP) == 0) return &button;
    return nullptr;
}

std::optional<autom::MenuItem> MenuItemOf(ProgramSession& program, UINT command) {
    const std::optional<autom::Menu> menu = program.MenuBar();
    if (!menu) return std::nullopt;
    const autom::MenuItem* item = menu->Command(command);
    if (item == nullptr) return std::nullopt;
    return *item;
}

bool WaitForCheckMark(ProgramSession& program, UINT command, bool checked, DWORD timeout_ms) {
    return autom::WaitUntil(
        [&] {
            const std::optional<autom::MenuItem> item = MenuItemOf(program, command);
            return item && item->checked == checked;
        },
        timeout_ms);
}

// ---- Windows that open ---------------------------------------------------------------

std::vector<HWND> OpenWindows(ProgramSession& program) {
    std::vector<HWND> open;
    for (HWND window : autom::TopLevelWindows(program.process_id())) {
        if (window == program.main_window() || IsOneOfTheMainWindowsHelpers(window)) continue;
        open.push_back(window);
    }
    return open;
}

namespace {

// Polls for exactly `ms` for a window of the program other than its main
// window; stops early when the program ends.
HWND PollForAnotherWindow(ProgramSession& program, DWORD ms) {
    HWND found = nullptr;
    autom::PollUntil(
        [&] {
            const std::vector<HWND> open = OpenWindows(program);
            if (!open.empty()) found = open.front();
            return found != nullptr || !program.running();
        },
        ms);
    return found;
}

}  // namespace

HWND WaitForAnotherWindow(ProgramSession& program, DWORD timeout_ms) {
    return PollForAnotherWindow(program, autom::Scaled(timeout_ms));
}

testing::AssertionResult NothingOpensWithin(ProgramSession& program, DWORD ms) {
    if (HWND window = PollForAnotherWindow(program, autom::ScaledWatch(ms)); window != nullptr)
        return testing::AssertionFailure() << "a window opened: " << DescribeWindow(window);
    return StillRunning(program);
}

testing::AssertionResult NoMessageWithin(ProgramSession& program, DWORD ms) {
    if (const std::optional<Message> message = program.MessageWithin(ms))
        return testing::AssertionFailure() << "a message box came: " << Describe(*message);
    return StillRunning(program);
}

testing::AssertionResult CloseDialog(HWND dialog) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    if (!autom::WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 5000))
        return testing::AssertionFailure() << DescribeWindow(dialog) << " did not close";
    return testing::AssertionSuccess();
}

}  // namespace td::e2e::user
