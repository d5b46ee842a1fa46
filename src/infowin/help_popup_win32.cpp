#include "infowin/help_popup_win32.h"

namespace td {
namespace {

constexpr char kPopupClass[] = "TessalineHelpPopup";
constexpr int kMargin = 6;
constexpr int kMaxTextWidth = 280;

HWND g_popup = nullptr;
// The popup never takes the focus, so the keys a user presses to send it
// away would reach the focused control of the window below (Escape would
// close a dialog). While the popup is up this hook takes every key press
// for it.
HHOOK g_keyboard_hook = nullptr;

// Windows 95 and NT 4.0 answer SPI_GETNONCLIENTMETRICS only for the size they
// know; Vista's iPaddedBorderWidth appears only with WINVER 0x0600.
static_assert(sizeof(NONCLIENTMETRICSA) == 340, "NONCLIENTMETRICSA of Windows 95 and NT 4.0");

HFONT PopupFont() {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    static HFONT font = SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)
                            ? CreateFontIndirectA(&metrics.lfStatusFont)
                            : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    return font;
}

void Paint(HWND popup) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(popup, &paint);
    RECT area;
    GetClientRect(popup, &area);
    FillRect(dc, &area, GetSysColorBrush(COLOR_INFOBK));
    char text[1024];
    GetWindowTextA(popup, text, sizeof text);
    HGDIOBJ old_font = SelectObject(dc, PopupFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    InflateRect(&area, -kMargin, -kMargin);
    DrawTextA(dc, text, -1, &area, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old_font);
    EndPaint(popup, &paint);
}

// The top-level window that holds `window` (the property sheet for a page's
// control). GetAncestor would say it, but Windows 95 and NT 4.0 before SP4
// lack it: a child's parent is walked up instead.
HWND TopLevelWindowOf(HWND window) {
    while ((GetWindowLongA(window, GWL_STYLE) & WS_CHILD) != 0) {
        HWND parent = GetParent(window);
        if (parent == nullptr) break;
        window = parent;
    }
    return window;
}

void Close(HWND popup) {
    if (GetCapture() == popup) ReleaseCapture();
    DestroyWindow(popup);
}

LRESULT CALLBACK PopupProc(HWND popup, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_PAINT:
            Paint(popup);
            return 0;
        // Like the help viewer's popups: the next click or key anywhere
        // takes it away.
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_CAPTURECHANGED:
            if (message != WM_CAPTURECHANGED || reinterpret_cast<HWND>(lparam) != popup) Close(popup);
            return 0;
        case WM_DESTROY:
            if (g_popup == popup) g_popup = nullptr;
            if (g_popup == nullptr && g_keyboard_hook != nullptr) {
                UnhookWindowsHookEx(g_keyboard_hook);
                g_keyboard_hook = nullptr;
            }
            return 0;
        default:
            return DefWindowProcA(popup, message, wparam, lparam);
    }
}

// Bit 31 of a keyboard message's lParam is set when the key goes up.
bool IsKeyPress(LPARAM key_flags) { return (static_cast<DWORD>(key_flags) & 0x80000000u) == 0; }

LRESULT CALLBACK KeyboardHook(int code, WPARAM key, LPARAM key_flags) {
    if (code == HC_ACTION && g_popup != nullptr && IsKeyPress(key_flags)) {
        Close(g_popup);
        return 1;
    }
    return CallNextHookEx(g_keyboard_hook, code, key, key_flags);
}

bool RegisterPopupClass(HINSTANCE instance) {
    WNDCLASSA existing;
    if (GetClassInfoA(instance, kPopupClass, &existing)) return true;
    WNDCLASSA window_class{};
    window_class.style = CS_SAVEBITS;
    window_class.lpfnWndProc = PopupProc;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.lpszClassName = kPopupClass;
    return RegisterClassA(&window_class) != 0;
}

}  // namespace

HWND ShowHelpPopup(HWND control, const char* text) {
    if (g_popup != nullptr) Close(g_popup);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (control == nullptr || text == nullptr || !RegisterPopupClass(instance)) return nullptr;

    // Measure the text wrapped at a comfortable width.
    HDC dc = GetDC(control);
    HGDIOBJ old_font = SelectObject(dc, PopupFont());
    RECT size{0, 0, kMaxTextWidth, 0};
    DrawTextA(dc, text, -1, &size, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    SelectObject(dc, old_font);
    ReleaseDC(control, dc);
    const int width = size.right + 2 * kMargin + 2;
    const int height = size.bottom + 2 * kMargin + 2;

    // Below the control, kept on the screen.
    RECT below;
    GetWindowRect(control, &below);
    int x = below.left;
    int y = below.bottom + 2;
    const int screen_width = GetSystemMetrics(SM_CXSCREEN);
    const int screen_height = GetSystemMetrics(SM_CYSCREEN);
    if (x + width > screen_width) x = screen_width - width;
    if (y + height > screen_height) y = below.top - height - 2;
    if (x < 0) x = 0;
    if (y < 0) y = 0;

    HWND popup = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kPopupClass, text, WS_POPUP | WS_BORDER, x, y, width,
                                 height, TopLevelWindowOf(control), nullptr, instance, nullptr);
    if (popup == nullptr) return nullptr;
    g_popup = popup;
    ShowWindow(popup, SW_SHOWNOACTIVATE);
    UpdateWindow(popup);
    SetCapture(popup);
    if (g_keyboard_hook == nullptr)
        g_keyboard_hook = SetWindowsHookExA(WH_KEYBOARD, KeyboardHook, nullptr, GetCurrentThreadId());
    return popup;
}

HWND CurrentHelpPopup() { return g_popup; }

}  // namespace td
