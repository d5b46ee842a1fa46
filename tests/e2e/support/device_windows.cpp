#include "support/device_windows.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "remote_memory.h"
#include "resources/resource_ids.h"
#include "support/control_views.h"
#include "support/paths.h"
#include "support/user_steps.h"

namespace td::e2e::device_windows {
namespace {

// A click counts as one click only when the mouse rests a moment before
// the next; a second click too soon is a double click.
constexpr DWORD kClickPause = 600;

bool IsSelectedInTree(ProgramSession& program, const std::string& text) {
    for (const autom::TreeItem& item : program.AdapterTree())
        if (item.text == text) return item.selected;
    return false;
}

int RowOf(ProgramSession& program, const std::string& id) {
    const std::vector<std::vector<std::string>> rows = program.DeviceList();
    for (size_t i = 0; i < rows.size(); ++i)
        if (!rows[i].empty() && rows[i][0] == id) return static_cast<int>(i);
    return -1;
}

// The middle of the item's label, brought into sight first as a user would
// scroll to it.
std::optional<POINT> PointAtDevice(ProgramSession& program, const std::string& id, int& row) {
    HWND list = program.Control(IDC_DEVICE_LIST);
    row = RowOf(program, id);
    if (list == nullptr || row < 0) return std::nullopt;
    SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    autom::Pause(100);
    const RECT rect = autom::ListItemRect(list, row);
    if (rect.right <= rect.left) return std::nullopt;
    return controls::MiddleOf(rect);
}

testing::AssertionResult IsChosen(ProgramSession& program, int row, const std::string& id) {
    HWND list = program.Control(IDC_DEVICE_LIST);
    const int chosen = static_cast<int>(
        SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED | LVNI_FOCUSED));
    if (chosen == row) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "after the click the list has item " << chosen
                                       << " selected and focused, not the one of SCSI ID " << id;
}

bool IsMessageBox(HWND window) { return GetDlgItem(window, 0xFFFF) != nullptr && GetDlgItem(window, 1088) != nullptr; }

}  // namespace

// ---- Getting to a device -------------------------------------------------------------

testing::AssertionResult ClickAdapter(ProgramSession& program, const std::string& adapter, size_t rows) {
    if (testing::AssertionResult clicked = user::ClickTreeItem(program, adapter); !clicked) return clicked;
    if (!autom::WaitUntil([&] { return IsSelectedInTree(program, adapter); }, 3000))
        return testing::AssertionFailure() << "the click did not select \"" << adapter << "\" in the tree";
    return user::WaitForTheScan(program, rows, 5000);
}

testing::AssertionResult ClickDevice(ProgramSession& program, const std::string& id) {
    int row = -1;
    const std::optional<POINT> at = PointAtDevice(program, id, row);
    if (!at) return testing::AssertionFailure() << "the list shows no item with SCSI ID " << id;
    autom::Click(at->x, at->y);
    autom::Pause(kClickPause);
    return IsChosen(program, row, id);
}

testing::AssertionResult DoubleClickDevice(ProgramSession& program, const std::string& id) {
    int row = -1;
    const std::optional<POINT> at = PointAtDevice(program, id, row);
    if (!at) return testing::AssertionFailure() << "the list shows no item with SCSI ID " << id;
    autom::DoubleClick(at->x, at->y);
    autom::Pause(200);
    return IsChosen(program, row, id);
}

testing::AssertionResult ClickToolbarButton(ProgramSession& program, int command) {
    testing::AssertionResult clicked = user::ClickToolbarButton(program, command);
    // Off the button again, so that its tooltip does not come up.
    autom::MoveMouse(2, 2);
    return clicked;
}

// ---- Windows the program opens -----------------------------------------------------------

HWND FindDialog(ProgramSession& program, const std::string& title) {
    for (HWND window : autom::TopLevelWindows(program.process_id())) {
        if (autom::ClassOf(window) != "#32770" || IsMessageBox(window)) continue;
        if (title.empty() || autom::TextOf(window) == title) return window;
    }
    return nullptr;
}

HWND WaitForDialog(ProgramSession& program, const std::string& title, DWORD timeout_ms) {
    HWND found = nullptr;
    autom::WaitUntil(
        [&] {
            found = FindDialog(program, title);
            return found != nullptr || !program.running();
        },
        timeout_ms);
    return found;
}

HWND WaitForPropertySheet(ProgramSession& program, DWORD timeout_ms) {
    HWND found = nullptr;
    autom::WaitUntil(
        [&] {
            for (HWND window : autom::TopLevelWindows(program.process_id())) {
                if (autom::ClassOf(window) == "#32770" && FindWindowExA(window, nullptr, WC_TABCONTROLA, nullptr)) {
                    found = window;
                    return true;
                }
            }
            return !program.running();
        },
        timeout_ms);
    return found;
}

HWND WaitForAnotherWindow(ProgramSession& program, const std::vector<HWND>& known, DWORD timeout_ms) {
    HWND found = nullptr;
    autom::WaitUntil(
        [&] {
            for (HWND window : autom::TopLevelWindows(program.process_id())) {
                if (std::find(known.begin(), known.end(), window) != known.end()) continue;
                if (autom::ClassOf(window) == TOOLTIPS_CLASSA) continue;
                found = window;
                return true;
            }
            return !program.running();
        },
        timeout_ms);
    return found;
}

std::vector<std::string> EndProcessesStartedBy(DWORD program_id) {
    std::vector<std::string> ended;
    if (program_id == 0) return ended;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ended;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ParentProcessID != program_id || entry.th32ProcessID == program_id) continue;
        HANDLE child = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
        if (child == nullptr) continue;
        TerminateProcess(child, 99);
        WaitForSingleObject(child, autom::Scaled(5000));
        CloseHandle(child);
        ended.emplace_back(entry.szExeFile);
    }
    CloseHandle(snapshot);
    return ended;
}

bool WaitUntilClosed(HWND window, DWORD timeout_ms) {
    return autom::WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeout_ms);
}

// ---- What a dialog shows ---------------------------------------------------------------------

std::string TextOf(HWND dialog, int control) {
    HWND item = GetDlgItem(dialog, control);
    if (item == nullptr) return "<no control " + std::to_string(control) + ">";
    char text[2048] = "";
    GetWindowTextA(item, text, sizeof text);
    return text;
}

int CheckOf(HWND dialog, int control) {
    DWORD_PTR state = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, control), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, autom::Scaled(5000), &state);
    return static_cast<int>(state);
}

bool IsEnabled(HWND dialog, int control) { return IsWindowEnabled(GetDlgItem(dialog, control)) != FALSE; }

void ClickControl(HWND dialog, int control) {
    const POINT at = controls::MiddleOf(controls::ScreenRectOf(GetDlgItem(dialog, control)));
    autom::Click(at.x, at.y);
    autom::Pause(kClickPause);
}

void RightClickControl(HWND dialog, int control) {
    const POINT at = controls::MiddleOf(controls::ScreenRectOf(GetDlgItem(dialog, control)));
    autom::RightClick(at.x, at.y);
    autom::Pause(kClickPause);
}

// ---- Property sheets -------------------------------------------------------------------------

std::vector<std::string> TabTitles(HWND sheet) {
    HWND tabs = FindWindowExA(sheet, nullptr, WC_TABCONTROLA, nullptr);
    return tabs != nullptr ? controls::TabTexts(tabs) : std::vector<std::string>{};
}

int SelectedTab(HWND sheet) {
    HWND tabs = FindWindowExA(sheet, nullptr, WC_TABCONTROLA, nullptr);
    return tabs != nullptr ? static_cast<int>(SendMessageA(tabs, TCM_GETCURSEL, 0, 0)) : -1;
}

void ClickTab(HWND sheet, int index) {
    HWND tabs = FindWindowExA(sheet, nullptr, WC_TABCONTROLA, nullptr);
    if (tabs == nullptr) return;
    autom::RemoteMemory memory(tabs, sizeof(RECT));
    if (!SendMessageA(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), memory.param())) return;
    RECT rect{};
    memory.Read(0, &rect, sizeof rect);
    MapWindowPoints(tabs, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    const POINT at = controls::MiddleOf(rect);
    autom::Click(at.x, at.y);
    autom::Pause(kClickPause);
}

HWND ShownPage(HWND sheet) {
    for (HWND child = FindWindowExA(sheet, nullptr, "#32770", nullptr); child != nullptr;
         child = FindWindowExA(sheet, child, "#32770", nullptr))
        if (IsWindowVisible(child)) return child;
    return nullptr;
}

// ---- The Details page ---------------------------------------------------------------------------

HWND OpenDetails(ProgramSession& program, const std::string& adapter, const std::string& id) {
    EXPECT_TRUE(ClickAdapter(program, adapter));
    EXPECT_TRUE(DoubleClickDevice(program, id));
    HWND sheet = WaitForPropertySheet(program);
    EXPECT_NE(sheet, nullptr) << "no properties sheet";
    if (sheet == nullptr) return nullptr;
    EXPECT_EQ(TabTitles(sheet), (std::vector<std::string>{program.Text(IDS_PAGE_DEVICE), program.Text(IDS_PAGE_ADAPTER),
                                                          program.Text(IDS_PAGE_DETAILS)}));
    ClickTab(sheet, 2);
    EXPECT_TRUE(autom::WaitUntil([&] { return SelectedTab(sheet) == 2; }, 3000)) << "the Details tab did not open";
    return sheet;
}

std::vector<std::string> DetailsFields(ProgramSession& program, HWND sheet, DWORD timeout_ms) {
    std::vector<std::string> fields;
    autom::WaitUntil(
        [&] {
            fields.clear();
            HWND page = ShownPage(sheet);
            for (int id : {IDC_DETAILS_CAPACITY, IDC_DETAILS_SERIAL, IDC_DETAILS_IDENTIFIER})
                fields.push_back(page != nullptr ? autom::TextOf(GetDlgItem(page, id)) : "");
            for (const std::string& field : fields)
                if (field.empty() || field == program.Text(IDS_DETAILS_ASKING)) return false;
            return true;
        },
        timeout_ms);
    return fields;
}

// ---- Pictures ---------------------------------------------------------------------------------------

std::vector<ColourCount> ColoursIn(const autom::Picture& picture, const RECT& whole, const RECT& part, int inset) {
    std::map<COLORREF, int> counts;
    for (LONG y = part.top + inset; y < part.bottom - inset; ++y)
        for (LONG x = part.left + inset; x < part.right - inset; ++x) {
            const COLORREF colour = autom::ColourAt(picture, x - whole.left, y - whole.top);
            if (colour != CLR_INVALID) ++counts[colour];
        }
    std::vector<ColourCount> colours;
    for (const auto& [colour, pixels] : counts) colours.push_back({colour, pixels});
    std::sort(colours.begin(), colours.end(),
              [](const ColourCount& a, const ColourCount& b) { return a.pixels > b.pixels; });
    return colours;
}

std::string Describe(COLORREF colour) {
    char text[32];
    std::snprintf(text, sizeof text, "RGB(%u,%u,%u)", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

std::string Describe(const std::vector<ColourCount>& colours) {
    std::string text;
    for (size_t i = 0; i < colours.size() && i < 4; ++i)
        text += (i ? ", " : "") + Describe(colours[i].colour) + " x" + std::to_string(colours[i].pixels);
    return text.empty() ? "nothing" : text;
}

std::optional<autom::Picture> ProgramBitmap(const std::string& exe_path, const char* name) {
    HMODULE module = LoadLibraryExA(exe_path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) return std::nullopt;
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    std::optional<autom::Picture> picture;
    BITMAP size{};
    if (bitmap != nullptr && GetObjectA(bitmap, sizeof size, &size) != 0) {
        HDC screen = GetDC(nullptr);
        autom::Picture read = autom::PictureOf(screen, bitmap, size.bmWidth, size.bmHeight);
        if (!read.rows.empty()) picture = std::move(read);
        ReleaseDC(nullptr, screen);
    }
    if (bitmap != nullptr) DeleteObject(bitmap);
    FreeLibrary(module);
    return picture;
}

testing::AssertionResult SamePixels(const autom::Picture& seen, const autom::Picture& expected) {
    if (seen.width != expected.width || seen.height != expected.height)
        return testing::AssertionFailure() << "a picture of " << seen.width << " x " << seen.height << ", not "
                                           << expected.width << " x " << expected.height;
    int differing = 0;
    int first_x = -1, first_y = -1;
    for (int y = 0; y < seen.height; ++y)
        for (int x = 0; x < seen.width; ++x)
            if (autom::ColourAt(seen, x, y) != autom::ColourAt(expected, x, y)) {
                if (differing++ == 0) first_x = x, first_y = y;
            }
    if (differing == 0) return testing::AssertionSuccess();
    return testing::AssertionFailure() << differing << " of " << seen.width * seen.height
                                       << " pixels differ, the first at (" << first_x << ", " << first_y
                                       << "): " << Describe(autom::ColourAt(seen, first_x, first_y)) << " instead of "
                                       << Describe(autom::ColourAt(expected, first_x, first_y));
}

std::string PicturesFolder() {
    std::string failures = FailureFolder();  // build\e2e-failures\ .
    failures.pop_back();
    const std::string folder = failures.substr(0, failures.find_last_of('\\') + 1) + "e2e-pictures";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\";
}

std::string SavePicture(ProgramSession& program, const std::string& name) {
    const std::string path = PicturesFolder() + name + ".bmp";
    return program.SaveScreenshot(path) ? path : std::string();
}

std::string SaveScreenPicture(const std::string& name) {
    const std::string path = PicturesFolder() + name + ".bmp";
    return autom::SaveScreenshot(path) ? path : std::string();
}

}  // namespace td::e2e::device_windows
