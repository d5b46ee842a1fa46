#include "infowin/properties_sheet_win32.h"

#include "common/program_resources_win32.h"

#include <cstddef>

#include "infowin/details_page.h"
#include "infowin/details_page_win32.h"
#include "infowin/dialog_helpers_win32.h"
#include "infowin/help_popup_win32.h"
#include "infowin/property_pages.h"
#include "resources/resource_ids.h"
#include "shell/program_win32.h"

namespace td {

static_assert(sizeof(DWORD) == sizeof(std::uint32_t), "help id tables are DWORD pairs");
static_assert(sizeof(PROPSHEETPAGEA_V1) == offsetof(PROPSHEETPAGEA, pcRefParent) + sizeof(UINT*),
              "pages are stepped by their size: the first layout, nothing after it");

namespace {

HelpViewer g_help_viewer = WinHelpA;

// The device page's picture: the slot's bitmap, which belongs to the slot
// (the views load it and release it); the sheet only paints it.
HBITMAP g_current_picture = nullptr;

Program& ProgramOf(HWND page) { return *reinterpret_cast<Program*>(GetWindowLongPtrA(page, DWLP_USER)); }

bool HasProgram(HWND page) { return GetWindowLongPtrA(page, DWLP_USER) != 0; }

// Keeps the Program the sheet was built with and, on the page the sheet
// opens on, turns the chosen position into the slot both pages show.
void AdoptProgram(HWND page, LPARAM lparam, int this_page) {
    const auto* sheet_page = reinterpret_cast<const PROPSHEETPAGEA*>(lparam);
    Program& program = *reinterpret_cast<Program*>(sheet_page->lParam);
    SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(&program));
    if (StartPage(program.app.host_adapter_selected) == this_page) {
        program.app.selected_slot = SheetSlot(program.inventory, program.app.selected_adapter,
                                              program.app.selected_slot);
    }
}

void SetTexts(HWND page, const PageText (&texts)[5]) {
    for (const PageText& text : texts) SetDlgItemTextA(page, text.control, text.text);
}

// WinHelpA with the page's table, which shows the control's topic as a
// popup. A viewer that refuses the request (Wine's refuses HELP_WM_HELP and
// HELP_CONTEXTMENU, and draws no popups even for HELP_CONTEXTPOPUP) gets the
// same text shown as the program's own popup: the string whose number is
// the control's context id. Only a topic without such a text is left to
// the viewer's HELP_CONTEXTPOPUP. A system without WinHelp gets the
// program's own popup at once: there WinHelpA only starts a stub that says
// that this kind of help is not supported.
void ShowContextHelp(HWND page, HWND control, UINT command, const std::uint32_t* table) {
    Program& program = ProgramOf(page);
    const char* file = program.help.context_help_file;
    const bool has_winhelp = program.help_viewer == HelpViewerKind::WinHelp;
    if (has_winhelp) program.winhelp_use.context_help = true;
    if (has_winhelp && g_help_viewer(control, file, command, reinterpret_cast<ULONG_PTR>(table))) return;
    const std::uint32_t context = HelpContextOf(table, GetDlgCtrlID(control));
    if (context == 0) return;
    char text[512] = "";
    if (program.messages.LoadText(static_cast<int>(context), text, sizeof text) > 0 &&
        ShowHelpPopup(control, text) != nullptr) {
        return;
    }
    if (has_winhelp) g_help_viewer(control, file, HELP_CONTEXTPOPUP, context);
}

// ---- Device page ------------------------------------------------------------

void OnDevicePageInit(HWND page, LPARAM lparam) {
    AdoptProgram(page, lparam, kDevicePage);
    g_current_picture = nullptr;
    // The eight boxes and the picture frame only show; each box is enabled
    // again when it is marked.
    for (int id = IDC_SCSI1; id <= IDC_SCSI3; ++id) {
        HWND control = GetDlgItem(page, id);
        if (control != nullptr && IsWindowEnabled(control)) EnableWindow(control, FALSE);
    }
}

void InvalidatePicture(HWND page) {
    HWND frame = GetDlgItem(page, IDC_PICTURE);
    if (frame == nullptr) return;
    RECT rect;
    GetWindowRect(frame, &rect);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
    InvalidateRect(page, &rect, TRUE);
}

void OnDevicePageActive(HWND page) {
    Program& program = ProgramOf(page);
    const DevicePageContent content = DescribeDevicePage(program.inventory, program.app.selected_slot, program.texts);
    SetTexts(page, content.texts);
    for (const PageBox& box : content.boxes) CheckDlgButton(page, box.control, BST_UNCHECKED);
    for (const PageBox& box : content.boxes) {
        if (!box.marked) continue;
        EnableWindow(GetDlgItem(page, box.control), TRUE);
        CheckDlgButton(page, box.control, BST_CHECKED);
    }
    HBITMAP picture = reinterpret_cast<HBITMAP>(content.picture);
    if (picture != g_current_picture) {
        g_current_picture = picture;
        InvalidatePicture(page);
    }
}

void OnDevicePagePaint(HWND page) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(page, &paint);
    if (g_current_picture != nullptr) DrawCenteredBitmap(page, IDC_PICTURE, dc, g_current_picture);
    EndPaint(page, &paint);
}

// ---- Host adapter page --------------------------------------------------------

void OnAdapterPageActive(HWND page) {
    const Program& program = ProgramOf(page);
    const AdapterPageContent content = DescribeAdapterPage(program.inventory, program.app.selected_slot);
    if (content.filled) SetTexts(page, content.texts);
}

bool IsSetActive(LPARAM lparam) {
    return reinterpret_cast<const NMHDR*>(lparam)->code == static_cast<UINT>(PSN_SETACTIVE);
}

// The sheet may accept the page: answer 0 in the message result.
INT_PTR AcceptActivation(HWND page) {
    SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
    return TRUE;
}

}  // namespace

bool OnHelp(HWND page, LPARAM lparam, const std::uint32_t* table) {
    const auto* info = reinterpret_cast<const HELPINFO*>(lparam);
    if (info == nullptr || info->iContextType != HELPINFO_WINDOW) return false;
    ShowContextHelp(page, static_cast<HWND>(info->hItemHandle), HELP_WM_HELP, table);
    return true;
}

bool OnContextMenu(HWND page, WPARAM wparam, const std::uint32_t* table) {
    ShowContextHelp(page, reinterpret_cast<HWND>(wparam), HELP_CONTEXTMENU, table);
    return true;
}

void AdoptSheetProgram(HWND page, LPARAM lparam) {
    const auto* sheet_page = reinterpret_cast<const PROPSHEETPAGEA*>(lparam);
    SetWindowLongPtrA(page, DWLP_USER, sheet_page->lParam);
}

INT_PTR CALLBACK DevicePageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            OnDevicePageInit(page, lparam);
            return TRUE;
        case WM_NOTIFY:
            if (!HasProgram(page) || !IsSetActive(lparam)) return FALSE;
            OnDevicePageActive(page);
            return AcceptActivation(page);
        case WM_PAINT:
            OnDevicePagePaint(page);
            return TRUE;
        case WM_HELP:
            return HasProgram(page) && OnHelp(page, lparam, kDevicePageHelpIds);
        case WM_CONTEXTMENU:
            return HasProgram(page) && OnContextMenu(page, wparam, kDevicePageHelpIds);
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK AdapterPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            AdoptProgram(page, lparam, kAdapterPage);
            return TRUE;
        case WM_DESTROY:
            ReleaseTemplatePictures(page);  // the adapter picture of the page's template
            return FALSE;
        case WM_NOTIFY:
            if (!HasProgram(page) || !IsSetActive(lparam)) return FALSE;
            OnAdapterPageActive(page);
            return AcceptActivation(page);
        case WM_HELP:
            return HasProgram(page) && OnHelp(page, lparam, kAdapterPageHelpIds);
        case WM_CONTEXTMENU:
            return HasProgram(page) && OnContextMenu(page, wparam, kAdapterPageHelpIds);
        default:
            return FALSE;
    }
}

HelpViewer SetPageHelpViewer(HelpViewer viewer) {
    HelpViewer previous = g_help_viewer;
    g_help_viewer = viewer != nullptr ? viewer : WinHelpA;
    return previous;
}

void BuildPropertySheet(Program& program, HWND owner, PropertySheetParts& parts) {
    parts = PropertySheetParts{};
    HINSTANCE instance = program.app.instance != nullptr ? program.app.instance : GetModuleHandleA(nullptr);

    const struct {
        int dialog;
        int title;
        DLGPROC procedure;
    } kPages[3] = {{IDD_DEVICE_PAGE, IDS_PAGE_DEVICE, DevicePageProc},
                   {IDD_ADAPTER_PAGE, IDS_PAGE_ADAPTER, AdapterPageProc},
                   {IDD_DETAILS_PAGE, IDS_PAGE_DETAILS, DetailsPageProc}};
    // The Details page follows the two others for a slot that holds a
    // device; the slot is the one the first page will choose.
    const int slot = SheetSlot(program.inventory, program.app.selected_adapter, program.app.selected_slot);
    const int pages = SlotHasDetails(program.inventory, slot, program.texts) ? 3 : 2;
    // The templates and tab titles of the user's language set, handed over
    // as such: the sheet would otherwise load both by the system's rules.
    for (int i = 0; i < pages; ++i) {
        PROPSHEETPAGEA_V1& page = parts.pages[i];
        page.dwSize = sizeof page;
        page.dwFlags = PSP_USETITLE;
        page.hInstance = instance;
        page.pszTemplate = MAKEINTRESOURCEA(kPages[i].dialog);
        if (const DLGTEMPLATE* found = ProgramDialogTemplate(MAKEINTRESOURCEA(kPages[i].dialog))) {
            page.dwFlags |= PSP_DLGINDIRECT;
            page.pResource = found;
        }
        page.pfnDlgProc = kPages[i].procedure;
        LoadProgramText(kPages[i].title, parts.titles[i], sizeof parts.titles[i]);
        page.pszTitle = parts.titles[i];
        page.lParam = reinterpret_cast<LPARAM>(&program);
    }

    PROPSHEETHEADERA& header = parts.header;
    header.dwSize = PROPSHEETHEADERA_V1_SIZE;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_PROPTITLE | PSH_NOAPPLYNOW;
    header.hwndParent = owner;
    header.hInstance = instance;
    header.pszCaption = program.texts.properties_caption;
    header.nPages = static_cast<UINT>(pages);
    header.nStartPage = static_cast<UINT>(StartPage(program.app.host_adapter_selected));
    header.ppsp = reinterpret_cast<LPCPROPSHEETPAGEA>(parts.pages);
}

INT_PTR ShowDeviceProperties(Program& program, HWND owner) {
    PropertySheetParts parts;
    BuildPropertySheet(program, owner, parts);
    return PropertySheetA(&parts.header);
}

}  // namespace td
