#include "infowin/dialog_helpers_win32.h"

#include "infowin/placement_math.h"

namespace td {
namespace {

ScreenRect ToScreenRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

BOOL CALLBACK ReleaseControlPicture(HWND control, LPARAM) {
    char name[16] = "";
    GetClassNameA(control, name, sizeof name);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    if (lstrcmpiA(name, "Static") != 0 || (style & SS_TYPEMASK) != SS_BITMAP) return TRUE;
    const LRESULT picture = SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, 0);
    if (picture != 0) DeleteObject(reinterpret_cast<HBITMAP>(picture));
    return TRUE;
}

}  // namespace

void CenterWindow(HWND window, HWND owner) {
    RECT rect{};
    if (!GetWindowRect(window, &rect)) return;
    RECT area{};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0)) {
        area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    RECT over{};
    if (owner == nullptr || !GetWindowRect(owner, &over)) over = area;
    const ScreenPoint at = CenterOverOwner(rect.right - rect.left, rect.bottom - rect.top, ToScreenRect(over),
                                           ToScreenRect(area));
    SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void DrawCenteredBitmap(HWND dialog, int control_id, HDC dc, HBITMAP bitmap) {
    if (bitmap == nullptr || dc == nullptr) return;
    BITMAP info{};
    if (GetObjectA(bitmap, sizeof info, &info) == 0) return;
    HWND control = GetDlgItem(dialog, control_id);
    if (control == nullptr) return;
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    const ScreenPoint at = CenteredBitmapOrigin(ToScreenRect(rect), info.bmWidth, info.bmHeight);

    HDC memory = CreateCompatibleDC(dc);
    if (memory == nullptr) return;
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(dc, at.x, at.y, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
    // The picture is given back before the DC goes, so the next dialog can
    // select it into a DC of its own.
    SelectObject(memory, previous);
    DeleteDC(memory);
}

void ReleaseTemplatePictures(HWND dialog) { EnumChildWindows(dialog, ReleaseControlPicture, 0); }

}  // namespace td
