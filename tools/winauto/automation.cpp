#include "automation.h"

#include "remote_memory.h"

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace td::autom {
namespace {

constexpr SIZE_T kTextMax = 512;

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM lparam) {
    reinterpret_cast<std::vector<HWND>*>(lparam)->push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectChildren(HWND window, LPARAM lparam) {
    reinterpret_cast<std::vector<HWND>*>(lparam)->push_back(window);
    return TRUE;
}

void SendMouse(DWORD flags, int x, int y) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((x * 65535LL + width / 2) / (width - 1));
    input.mi.dy = static_cast<LONG>((y * 65535LL + height / 2) / (height - 1));
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof input);
}

}  // namespace

// ---- Processes -------------------------------------------------------------

std::optional<Launched> Launch(const std::string& exe, const std::vector<std::string>& environment) {
    // The child's environment: ours, with the extra entries replacing any of
    // the same name.
    std::vector<std::string> entries;
    char* block = GetEnvironmentStringsA();
    for (const char* p = block; *p != '\0'; p += std::strlen(p) + 1) entries.emplace_back(p);
    FreeEnvironmentStringsA(block);
    for (const std::string& extra : environment) {
        const std::string name = extra.substr(0, extra.find('=') + 1);
        entries.erase(std::remove_if(entries.begin(), entries.end(),
                                     [&](const std::string& e) {
                                         return _strnicmp(e.c_str(), name.c_str(), name.size()) == 0;
                                     }),
                      entries.end());
        entries.push_back(extra);
    }
    std::string env_block;
    for (const std::string& e : entries) env_block += e + '\0';
    env_block += '\0';

    std::string folder = exe.substr(0, exe.find_last_of("\\/"));
    std::string command_line = "\"" + exe + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(exe.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, env_block.data(), folder.c_str(),
                        &startup, &info)) {
        return std::nullopt;
    }
    CloseHandle(info.hThread);
    return Launched{info.hProcess, info.dwProcessId};
}

std::optional<DWORD> WaitExit(const Launched& program, DWORD timeout_ms) {
    if (WaitForSingleObject(program.process, Scaled(timeout_ms)) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(program.process, &code);
    return code;
}

void Terminate(const Launched& program) {
    if (program.process == nullptr) return;
    TerminateProcess(program.process, 99);
    WaitForSingleObject(program.process, Scaled(5000));
}

// ---- Windows ---------------------------------------------------------------

std::string ClassOf(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    char text[2048] = "";
    // WM_GETTEXT is carried across processes by the system, also for
    // controls of another process.
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, Scaled(5000),
                        nullptr);
    return text;
}

DWORD ProcessOf(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

std::vector<HWND> TopLevelWindows(DWORD pid, bool visible_only) {
    std::vector<HWND> all, found;
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&all));
    for (HWND window : all) {
        if (pid != 0 && ProcessOf(window) != pid) continue;
        if (visible_only && !IsWindowVisible(window)) continue;
        found.push_back(window);
    }
    return found;
}

HWND WaitForWindow(DWORD pid, const std::string& class_name, const std::string& title, DWORD timeout_ms) {
    HWND result = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopLevelWindows(pid)) {
                if (ClassOf(window) == class_name && (title.empty() || TextOf(window) == title)) {
                    result = window;
                    return true;
                }
            }
            return false;
        },
        timeout_ms);
    return result;
}

// ---- Message boxes ---------------------------------------------------------

std::optional<MessageBoxView> ReadMessageBox(HWND box) {
    if (box == nullptr || ClassOf(box) != "#32770" || !IsWindowVisible(box)) return std::nullopt;
    // A message box has its text in static 65535 and its icon place in
    // static 1088 (there even when it shows no icon); a dialog of the
    // program may have a static 65535 too, but not both.
    HWND text = GetDlgItem(box, 0xFFFF);
    if (text == nullptr || GetDlgItem(box, 1088) == nullptr) return std::nullopt;
    MessageBoxView view;
    view.window = box;
    view.caption = TextOf(box);
    view.text = TextOf(text);
    HWND icon = GetDlgItem(box, 1088);
    view.has_icon = icon != nullptr && IsWindowVisible(icon);
    std::vector<HWND> children;
    EnumChildWindows(box, CollectChildren, reinterpret_cast<LPARAM>(&children));
    std::vector<std::pair<int, std::string>> buttons;
    for (HWND child : children) {
        if (ClassOf(child) == "Button" && IsWindowVisible(child))
            buttons.emplace_back(GetDlgCtrlID(child), TextOf(child));
    }
    std::sort(buttons.begin(), buttons.end());
    for (auto& button : buttons) view.buttons.push_back(button.second);
    return view;
}

bool IsFilled(const MessageBoxView& box) {
    if (box.caption.empty() || box.buttons.empty()) return false;
    return std::none_of(box.buttons.begin(), box.buttons.end(), [](const std::string& label) { return label.empty(); });
}

std::optional<MessageBoxView> WaitForMessageBox(DWORD pid, DWORD timeout_ms) {
    std::optional<MessageBoxView> found;
    WaitUntil(
        [&] {
            for (HWND window : TopLevelWindows(pid)) {
                auto view = ReadMessageBox(window);
                if (view && IsFilled(*view)) {
                    found = view;
                    return true;
                }
            }
            return false;
        },
        timeout_ms);
    return found;
}

bool PressButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (button == nullptr) {
        // A message box's lone OK button answers as IDOK through the dialog.
        return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0) != FALSE;
    }
    return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button)) != FALSE;
}

void PostCommand(HWND window, int id) { PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

// ---- Tree view ----------------------------------------------------------------

namespace {

void CollectTree(HWND tree, HTREEITEM item, int depth, RemoteMemory& block, std::vector<TreeItem>& out) {
    for (; item != nullptr; item = reinterpret_cast<HTREEITEM>(
                                SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
        TVITEMA request{};
        request.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE | TVIF_HANDLE;
        request.hItem = item;
        request.stateMask = TVIS_SELECTED | TVIS_EXPANDED;
        request.pszText = block.at(sizeof(TVITEMA));
        request.cchTextMax = kTextMax;
        block.Write(0, &request, sizeof request);
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(block.at(0)));
        TVITEMA answer{};
        block.Read(0, &answer, sizeof answer);
        TreeItem entry;
        entry.handle = item;
        entry.text = block.ReadText(sizeof(TVITEMA), kTextMax);
        entry.data = answer.lParam;
        entry.depth = depth;
        entry.selected = (answer.state & TVIS_SELECTED) != 0;
        entry.expanded = (answer.state & TVIS_EXPANDED) != 0;
        out.push_back(entry);
        HTREEITEM child = reinterpret_cast<HTREEITEM>(
            SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
        CollectTree(tree, child, depth + 1, block, out);
    }
}

}  // namespace

std::vector<TreeItem> ReadTree(HWND tree) {
    std::vector<TreeItem> items;
    RemoteMemory block(tree, sizeof(TVITEMA) + kTextMax);
    if (!block.ok()) return items;
    HTREEITEM root = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    CollectTree(tree, root, 0, block, items);
    return items;
}

void SelectTreeItem(HWND tree, HTREEITEM item) {
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

// ---- List view ----------------------------------------------------------------

std::vector<std::vector<std::string>> ReadList(HWND list, int columns) {
    std::vector<std::vector<std::string>> rows;
    RemoteMemory block(list, sizeof(LVITEMA) + kTextMax);
    if (!block.ok()) return rows;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::vector<std::string> row;
        for (int column = 0; column < columns; ++column) {
            LVITEMA request{};
            request.iSubItem = column;
            request.pszText = block.at(sizeof(LVITEMA));
            request.cchTextMax = kTextMax;
            block.Write(0, &request, sizeof request);
            const char zero = 0;
            block.Write(sizeof(LVITEMA), &zero, 1);
            SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(block.at(0)));
            // The list may answer with its own pointer instead of copying.
            LVITEMA answer{};
            block.Read(0, &answer, sizeof answer);
            row.push_back(block.ReadText(sizeof(LVITEMA), kTextMax));
        }
        rows.push_back(row);
    }
    return rows;
}

std::vector<int> ListItemImages(HWND list) {
    std::vector<int> images;
    RemoteMemory block(list, sizeof(LVITEMA));
    if (!block.ok()) return images;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        LVITEMA request{};
        request.mask = LVIF_IMAGE;
        request.iItem = i;
        block.Write(0, &request, sizeof request);
        SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(block.at(0)));
        block.Read(0, &request, sizeof request);
        images.push_back(request.iImage);
    }
    return images;
}

int ListSelectedIndex(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void SelectListItem(HWND list, int index) {
    RemoteMemory block(list, sizeof(LVITEMA));
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    block.Write(0, &item, sizeof item);
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(block.at(0)));
}

RECT ListItemRect(HWND list, int index) {
    RemoteMemory block(list, sizeof(RECT));
    RECT rect{};
    rect.left = LVIR_LABEL;
    block.Write(0, &rect, sizeof rect);
    SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(block.at(0)));
    block.Read(0, &rect, sizeof rect);
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT ListHeaderRect(HWND list, int column) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    RECT rect{};
    if (header == nullptr) return rect;
    RemoteMemory block(header, sizeof(RECT));
    SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(block.at(0)));
    block.Read(0, &rect, sizeof rect);
    MapWindowPoints(header, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

DWORD ListViewMode(HWND list) { return static_cast<DWORD>(GetWindowLongA(list, GWL_STYLE)) & LVS_TYPEMASK; }

// ---- Status bar and toolbar ---------------------------------------------------

std::vector<std::string> StatusBarTexts(HWND status_bar) {
    std::vector<std::string> texts;
    const int parts = static_cast<int>(SendMessageA(status_bar, SB_GETPARTS, 0, 0));
    RemoteMemory block(status_bar, kTextMax);
    if (!block.ok()) return texts;
    for (int part = 0; part < parts; ++part) {
        const char zero = 0;
        block.Write(0, &zero, 1);
        SendMessageA(status_bar, SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(block.at(0)));
        texts.push_back(block.ReadText(0, kTextMax));
    }
    return texts;
}

std::vector<ToolbarButton> ReadToolbar(HWND toolbar) {
    std::vector<ToolbarButton> buttons;
    const int count = static_cast<int>(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
    RemoteMemory block(toolbar, sizeof(TBBUTTON));
    for (int i = 0; i < count; ++i) {
        SendMessageA(toolbar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(block.at(0)));
        TBBUTTON button{};
        block.Read(0, &button, sizeof button);
        buttons.push_back({button.idCommand, button.fsState, button.fsStyle});
    }
    return buttons;
}

// ---- Input ------------------------------------------------------------------

void MoveMouse(int x, int y) { SendMouse(0, x, y); }

void Click(int x, int y) {
    MoveMouse(x, y);
    Sleep(30);
    SendMouse(MOUSEEVENTF_LEFTDOWN, x, y);
    SendMouse(MOUSEEVENTF_LEFTUP, x, y);
}

void DoubleClick(int x, int y) {
    Click(x, y);
    Sleep(40);
    SendMouse(MOUSEEVENTF_LEFTDOWN, x, y);
    SendMouse(MOUSEEVENTF_LEFTUP, x, y);
}

void RightClick(int x, int y) {
    MoveMouse(x, y);
    Sleep(30);
    SendMouse(MOUSEEVENTF_RIGHTDOWN, x, y);
    SendMouse(MOUSEEVENTF_RIGHTUP, x, y);
}

void PressKey(WORD virtual_key) {
    INPUT inputs[2]{};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = virtual_key;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

void PressChord(const std::vector<WORD>& held, WORD virtual_key) {
    std::vector<INPUT> inputs;
    auto key = [&](WORD vk, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    for (WORD vk : held) key(vk, false);
    key(virtual_key, false);
    key(virtual_key, true);
    for (auto vk = held.rbegin(); vk != held.rend(); ++vk) key(*vk, true);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

bool PressNamedKey(const std::string& name) {
    static const struct {
        const char* name;
        WORD vk;
    } kKeys[] = {{"tab", VK_TAB},   {"enter", VK_RETURN}, {"escape", VK_ESCAPE}, {"esc", VK_ESCAPE},
                 {"up", VK_UP},     {"down", VK_DOWN},    {"left", VK_LEFT},     {"right", VK_RIGHT},
                 {"home", VK_HOME}, {"end", VK_END},      {"space", VK_SPACE},   {"apps", VK_APPS}};
    std::string rest;
    for (char c : name) rest += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::vector<WORD> held;
    for (;;) {
        const std::size_t plus = rest.find('+');
        if (plus == std::string::npos || plus + 1 == rest.size()) break;
        const std::string modifier = rest.substr(0, plus);
        if (modifier == "shift")
            held.push_back(VK_SHIFT);
        else if (modifier == "alt")
            held.push_back(VK_MENU);
        else if (modifier == "ctrl")
            held.push_back(VK_CONTROL);
        else
            return false;
        rest = rest.substr(plus + 1);
    }
    WORD vk = 0;
    for (const auto& key : kKeys)
        if (rest == key.name) vk = key.vk;
    if (vk == 0 && rest.size() >= 2 && rest[0] == 'f' && std::isdigit(static_cast<unsigned char>(rest[1]))) {
        const int n = std::atoi(rest.c_str() + 1);
        if (n >= 1 && n <= 24) vk = static_cast<WORD>(VK_F1 + n - 1);
    }
    if (vk == 0 && rest.size() == 1 && std::isalnum(static_cast<unsigned char>(rest[0])))
        vk = static_cast<WORD>(std::toupper(static_cast<unsigned char>(rest[0])));
    if (vk == 0) return false;
    PressChord(held, vk);
    return true;
}

void TypeText(const std::string& text) {
    for (char c : text) {
        INPUT inputs[2]{};
        inputs[0].type = INPUT_KEYBOARD;
        inputs[0].ki.wScan = static_cast<unsigned char>(c);
        inputs[0].ki.dwFlags = KEYEVENTF_UNICODE;
        inputs[1] = inputs[0];
        inputs[1].ki.dwFlags |= KEYEVENTF_KEYUP;
        SendInput(2, inputs, sizeof(INPUT));
    }
}

// ---- Pictures -----------------------------------------------------------------

namespace {

size_t RowBytes(int width) { return static_cast<size_t>((width * 3 + 3) & ~3); }

}  // namespace

// The rows of a bitmap as a 24-bit picture.
Picture PictureOf(HDC dc, HBITMAP bitmap, int width, int height) {
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.rows.resize(RowBytes(width) * static_cast<size_t>(height));
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    if (GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), picture.rows.data(), reinterpret_cast<BITMAPINFO*>(&info),
                  DIB_RGB_COLORS) != height)
        picture.rows.clear();
    return picture;
}

Picture CaptureScreenArea(const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, old);
    Picture picture = PictureOf(memory, bitmap, width, height);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return picture;
}

Picture CaptureScreen() {
    return CaptureScreenArea({0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

COLORREF ColourAt(const Picture& picture, int x, int y) {
    if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) return CLR_INVALID;
    const size_t at = RowBytes(picture.width) * static_cast<size_t>(picture.height - 1 - y) +
                      static_cast<size_t>(x) * 3;
    if (at + 2 >= picture.rows.size()) return CLR_INVALID;
    const auto byte = [&](size_t i) { return static_cast<BYTE>(picture.rows[i]); };
    return RGB(byte(at + 2), byte(at + 1), byte(at));
}

void PastePicture(Picture& onto, const Picture& piece, int x, int y) {
    const size_t onto_row = RowBytes(onto.width);
    const size_t piece_row = RowBytes(piece.width);
    if (piece.rows.size() < piece_row * static_cast<size_t>(piece.height)) return;
    for (int py = 0; py < piece.height; ++py) {
        const int sy = y + py;  // screen row, from the top
        if (sy < 0 || sy >= onto.height) continue;
        for (int px = 0; px < piece.width; ++px) {
            const int sx = x + px;
            if (sx < 0 || sx >= onto.width) continue;
            // Both pictures keep their rows bottom-up.
            const char* from = &piece.rows[piece_row * static_cast<size_t>(piece.height - 1 - py) + px * 3];
            char* to = &onto.rows[onto_row * static_cast<size_t>(onto.height - 1 - sy) + sx * 3];
            std::memcpy(to, from, 3);
        }
    }
}

bool SaveBitmap(const Picture& picture, const std::string& path) {
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = picture.width;
    info.biHeight = picture.height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(picture.rows.size());
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return false;
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&info, sizeof info, 1, out);
    std::fwrite(picture.rows.data(), 1, picture.rows.size(), out);
    return std::fclose(out) == 0;
}

bool SaveScreenshot(const std::string& path) { return SaveBitmap(CaptureScreen(), path); }

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

}  // namespace td::autom
