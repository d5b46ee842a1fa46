#include "infowin/details_page_win32.h"

#include <new>

#include "infowin/details_page.h"
#include "infowin/properties_sheet_win32.h"
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

// First shown: the device is asked from now on.
void OnActive(HWND page) {
    if (AskingOf(page) != nullptr) return;
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
