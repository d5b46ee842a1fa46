#include "infowin/details_page_win32.h"

#include <new>

#include "infowin/details_page.h"
#include "infowin/placement_math.h"
#include "infowin/properties_sheet_win32.h"
#include "resources/resource_ids.h"
#include "shell/program_win32.h"

namespace td {
namespace {

constexpr UINT_PTR kLookTimer = 1;
constexpr char kAskingProperty[] = "Tessaline.Details";

Program& ProgramOf(HWND page) { return *reinterpret_cast<Program*>(GetWindowLongPtrA(page, DWLP_USER)); }
bool HasProgram(HWND page) { return GetWindowLongPtrA(page, DWLP_USER) != 0; }

// The page's questions, made when it is first shown and gone with it.
struct PageAsking {
    explicit PageAsking(const DetailsSources& sources, int slot) : asking(sources, slot) {}
    DetailsAsking asking;
};

PageAsking* AskingOf(HWND page) { return static_cast<PageAsking*>(GetPropA(page, kAskingProperty)); }

// The fields are multi-line edit controls, which take every key for
// themselves; being read-only they need none of Tab, Enter and Escape,
// which go to the sheet as they do from any other control.
constexpr char kEditProcProperty[] = "Tessaline.EditProc";

LRESULT CALLBACK FieldProc(HWND field, UINT message, WPARAM wparam, LPARAM lparam) {
    const auto original = reinterpret_cast<WNDPROC>(GetPropA(field, kEditProcProperty));
    if (original == nullptr) return DefWindowProcA(field, message, wparam, lparam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropA(field, kEditProcProperty);
    }
    const LRESULT result = CallWindowProcA(original, field, message, wparam, lparam);
    if (message == WM_GETDLGCODE) return result & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB);
    return result;
}

void KeepKeysForTheSheet(HWND page) {
    const int fields[] = {IDC_DETAILS_CAPACITY, IDC_DETAILS_SERIAL, IDC_DETAILS_IDENTIFIER};
    for (const int id : fields) {
        HWND field = GetDlgItem(page, id);
        if (field == nullptr) continue;
        SetPropA(field, kEditProcProperty, reinterpret_cast<HANDLE>(GetWindowLongPtrA(field, GWLP_WNDPROC)));
        SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FieldProc));
    }
}

void ShowFacts(HWND page, const DeviceFacts& facts) {
    Program& program = ProgramOf(page);
    const DetailsPageContent content = DescribeDetailsPage(facts, program.messages, program.number_format);
    for (const DetailsField& field : content.fields) {
        // Unchanged texts are left alone: the user may be selecting one.
        char shown[kDetailsTextSize] = "";
        GetDlgItemTextA(page, field.control, shown, sizeof shown);
        if (lstrcmpA(shown, field.text) != 0) SetDlgItemTextA(page, field.control, field.text);
    }
}

void Look(HWND page) {
    PageAsking* asking = AskingOf(page);
    if (asking == nullptr) return;
    if (asking->asking.Step()) ShowFacts(page, asking->asking.facts());
    if (asking->asking.Finished()) KillTimer(page, kLookTimer);
}

// Labels and fields keep their left margin on the right too, however
// little room the sheet gave the page.
void FitToThePage(HWND page) {
    RECT client;
    GetClientRect(page, &client);
    for (HWND child = GetWindow(page, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
        const int width = WidthWithinPage(rect.left, rect.right - rect.left, client.right);
        if (width == rect.right - rect.left) continue;
        SetWindowPos(child, nullptr, 0, 0, width, rect.bottom - rect.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// First shown: the device is asked from now on.
void OnActive(HWND page) {
    if (AskingOf(page) != nullptr) return;
    FitToThePage(page);
    Program& program = ProgramOf(page);
    const DetailsSources sources{program.inventory,
                                 program.chain,
                                 program.records_from_listing,
                                 program.aspi.loaded() ? &program.aspi : nullptr,
                                 program.question_area,
                                 program.device_io,
                                 program.worker,
                                 program.clock};
    auto* asking = new (std::nothrow) PageAsking(sources, program.app.selected_slot);
    if (asking == nullptr) return;
    SetPropA(page, kAskingProperty, asking);
    ShowFacts(page, asking->asking.facts());
    Look(page);
    if (!asking->asking.Finished()) SetTimer(page, kLookTimer, kDetailsLookMs, nullptr);
}

// The questions still out are let go: whatever the device sends later
// goes into memory that outlives the page.
void OnDestroy(HWND page) {
    KillTimer(page, kLookTimer);
    delete static_cast<PageAsking*>(RemovePropA(page, kAskingProperty));
}

bool IsSetActive(LPARAM lparam) {
    return reinterpret_cast<const NMHDR*>(lparam)->code == static_cast<UINT>(PSN_SETACTIVE);
}

}  // namespace

INT_PTR CALLBACK DetailsPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            AdoptSheetProgram(page, lparam);
            KeepKeysForTheSheet(page);
            return TRUE;
        case WM_NOTIFY:
            if (!HasProgram(page) || !IsSetActive(lparam)) return FALSE;
            OnActive(page);
            SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
            return TRUE;
        case WM_TIMER:
            if (wparam != kLookTimer || !HasProgram(page)) return FALSE;
            Look(page);
            return TRUE;
        case WM_DESTROY:
            OnDestroy(page);
            return FALSE;
        case WM_HELP:
            return HasProgram(page) && OnHelp(page, lparam, kDetailsPageHelpIds);
        case WM_CONTEXTMENU:
            return HasProgram(page) && OnContextMenu(page, wparam, kDetailsPageHelpIds);
        default:
            return FALSE;
    }
}

}  // namespace td
