#include "soak_steps.h"

#include "automation.h"
#include "resources/resource_ids.h"
#include "support/device_windows.h"
#include "support/file_dialogs.h"
#include "support/user_steps.h"

namespace td::soak {
namespace {

namespace dw = e2e::device_windows;

constexpr char kAboutTitle[] = "About Tessaline Utilities";
constexpr char kDiagnosticsTitle[] = "Device Diagnostic Tests";
constexpr char kCaption[] = "Tessaline Diagnostics";

// A modal window has gone and the main window takes input again.
testing::AssertionResult MainWindowIsBack(e2e::ProgramSession& program, HWND closed, const char* what) {
    if (!dw::WaitUntilClosed(closed)) return testing::AssertionFailure() << what << " did not close";
    if (!autom::WaitUntil([&] { return IsWindowEnabled(program.main_window()) != FALSE; }, 5000))
        return testing::AssertionFailure() << "the main window stays disabled after " << what;
    return testing::AssertionSuccess();
}

std::string FileNameOf(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

}  // namespace

testing::AssertionResult Rescan(e2e::ProgramSession& program, size_t rows) {
    HWND list = program.Control(IDC_DEVICE_LIST);
    // A row chosen now is no longer chosen in the list the scan fills: so
    // the list after the scan is told from the one before. (After Open the
    // list is empty until an adapter is chosen.)
    const bool had_rows = !program.DeviceList().empty();
    if (had_rows) {
        autom::SelectListItem(list, 0);
        if (autom::ListSelectedIndex(list) != 0) return testing::AssertionFailure() << "no row could be chosen";
    }
    if (testing::AssertionResult chosen = program.Choose(IDM_RESCAN); !chosen) return chosen;
    const std::optional<e2e::Message> question = program.WaitForMessage(5000);
    if (!question) return testing::AssertionFailure() << "no question before the re-scan";
    if (question->text != program.Text(IDS_RESCAN_QUESTION))
        return testing::AssertionFailure() << "asked " << e2e::Describe(*question);
    if (testing::AssertionResult answered = program.Answer(*question, IDOK); !answered) return answered;
    if (had_rows && !autom::WaitUntil([&] { return autom::ListSelectedIndex(list) < 0; }, 10000))
        return testing::AssertionFailure() << "the list was not filled again";
    return e2e::user::WaitForTheScan(program, rows, 10000);
}

testing::AssertionResult ChooseTheDisk(e2e::ProgramSession& program) { return dw::ClickDevice(program, kDiskId); }

testing::AssertionResult ShowBothPropertyPages(e2e::ProgramSession& program) {
    if (testing::AssertionResult chosen = program.Choose(IDM_DEVICE_PROPERTIES); !chosen) return chosen;
    HWND sheet = dw::WaitForPropertySheet(program);
    if (sheet == nullptr) return testing::AssertionFailure() << "no properties sheet";
    HWND device_page = dw::ShownPage(sheet);
    if (dw::SelectedTab(sheet) != 0 || device_page == nullptr || dw::TextOf(device_page, IDC_SCSI_ID) != kDiskId)
        return testing::AssertionFailure() << "the sheet did not open on the disk's page";
    dw::ClickTab(sheet, 1);
    HWND adapter_page = nullptr;
    if (!autom::WaitUntil(
            [&] {
                adapter_page = dw::ShownPage(sheet);
                return dw::SelectedTab(sheet) == 1 && adapter_page != nullptr && adapter_page != device_page &&
                       dw::TextOf(adapter_page, IDC_HA_NUMBER) == "0";
            },
            3000))
        return testing::AssertionFailure() << "the host adapter page did not show the disk's adapter";
    if (testing::AssertionResult closed = e2e::user::CloseDialog(sheet); !closed) return closed;
    return MainWindowIsBack(program, sheet, "the properties sheet");
}

testing::AssertionResult ShowTheAboutBox(e2e::ProgramSession& program) {
    if (testing::AssertionResult chosen = program.Choose(IDM_HELP_ABOUT); !chosen) return chosen;
    HWND about = dw::WaitForDialog(program, kAboutTitle);
    if (about == nullptr) return testing::AssertionFailure() << "no box titled \"" << kAboutTitle << "\"";
    if (testing::AssertionResult closed = e2e::user::CloseDialog(about); !closed) return closed;
    return MainWindowIsBack(program, about, "the About box");
}

namespace {

HWND OpenDiagnostics(e2e::ProgramSession& program, testing::AssertionResult& result) {
    result = program.Choose(IDM_DEVICE_DIAGNOSTICS);
    if (!result) return nullptr;
    HWND dialog = dw::WaitForDialog(program, kDiagnosticsTitle);
    if (dialog == nullptr) {
        result = testing::AssertionFailure() << "no \"" << kDiagnosticsTitle << "\" dialog";
        return nullptr;
    }
    if (dw::TextOf(dialog, IDC_SCSI_ID) != kDiskId || dw::TextOf(dialog, IDOK) != program.Text(IDS_BEGIN_TESTS)) {
        result = testing::AssertionFailure() << "the dialog is not ready to test the disk";
        return nullptr;
    }
    return dialog;
}

}  // namespace

testing::AssertionResult OpenAndCloseDiagnostics(e2e::ProgramSession& program) {
    testing::AssertionResult opened = testing::AssertionSuccess();
    HWND dialog = OpenDiagnostics(program, opened);
    if (dialog == nullptr) return opened;
    if (testing::AssertionResult closed = e2e::user::CloseDialog(dialog); !closed) return closed;
    return MainWindowIsBack(program, dialog, "the diagnostics dialog");
}

testing::AssertionResult RunTheDiagnostics(e2e::ProgramSession& program, DWORD& took_ms) {
    testing::AssertionResult opened = testing::AssertionSuccess();
    HWND dialog = OpenDiagnostics(program, opened);
    if (dialog == nullptr) return opened;
    dw::ClickControl(dialog, IDOK);
    const std::optional<e2e::Message> warning = program.WaitForMessage(5000);
    if (!warning || warning->caption != program.Text(IDS_TESTS_CAPTION))
        return testing::AssertionFailure() << "no warning after Begin Tests";
    const DWORD started = GetTickCount();
    if (testing::AssertionResult answered = program.Answer(*warning, IDYES); !answered) return answered;
    if (!autom::WaitUntil([&] { return dw::TextOf(dialog, IDOK) == program.Text(IDS_OK); }, 30000))
        return testing::AssertionFailure()
               << "the run did not end; button 1 reads \"" << dw::TextOf(dialog, IDOK) << "\"";
    took_ms = GetTickCount() - started;
    for (int row : {IDC_TUR_STATE, IDC_WRITE_STATE, IDC_READ_STATE})
        if (dw::TextOf(dialog, row) != program.Text(IDS_PASSED))
            return testing::AssertionFailure() << "test row " << row << " reads \"" << dw::TextOf(dialog, row) << "\"";
    dw::ClickControl(dialog, IDOK);
    return MainWindowIsBack(program, dialog, "the diagnostics dialog after its run");
}

namespace {

testing::AssertionResult UseFileDialog(e2e::ProgramSession& program, UINT command, int title_id,
                                       const std::string& path) {
    if (testing::AssertionResult chosen = program.Choose(command); !chosen) return chosen;
    HWND dialog = e2e::user::WaitForFileDialog(program, program.Text(title_id));
    if (dialog == nullptr) return testing::AssertionFailure() << "no \"" << program.Text(title_id) << "\" dialog";
    // Saving over the listing of an earlier round: Windows asks first.
    const bool asks = command == IDM_FILE_SAVE_AS && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (testing::AssertionResult typed = e2e::user::TypeFileNameAndPressEnter(dialog, path); !typed) return typed;
    if (asks) {
        const std::optional<e2e::Message> question = program.WaitForMessage(5000);
        if (!question) return testing::AssertionFailure() << "no question before " << path << " was replaced";
        if (testing::AssertionResult answered = program.Answer(*question, IDYES); !answered) return answered;
    }
    const std::string title = std::string(kCaption) + " - [" + FileNameOf(path) + "]";
    if (!autom::WaitUntil([&] { return program.Title() == title; }, 10000))
        return testing::AssertionFailure() << "the title reads \"" << program.Title() << "\", not \"" << title << "\"";
    return MainWindowIsBack(program, dialog, "the file dialog");
}

}  // namespace

testing::AssertionResult SaveListingAs(e2e::ProgramSession& program, const std::string& path) {
    return UseFileDialog(program, IDM_FILE_SAVE_AS, IDS_SAVE_TITLE, path);
}

testing::AssertionResult OpenListing(e2e::ProgramSession& program, const std::string& path) {
    testing::AssertionResult opened = UseFileDialog(program, IDM_FILE_OPEN, IDS_OPEN_TITLE, path);
    if (!opened) return opened;
    // The listing replaces the inventory; no adapter is chosen yet.
    if (!autom::WaitUntil(
            [&] { return program.DeviceList().empty() && e2e::user::AdaptersInTree(program).size() == 2; }, 5000))
        return testing::AssertionFailure() << "the views do not show the listing's two adapters";
    return testing::AssertionSuccess();
}

}  // namespace td::soak
