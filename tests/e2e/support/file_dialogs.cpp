#include "support/file_dialogs.h"

#include "automation.h"
#include "support/control_views.h"

namespace td::e2e::user {
namespace {

// The controls of the common file dialog (dlgs.h): the "Files of type:"
// box and the "File name:" box.
constexpr int kFileTypeBox = 0x470;  // cmb1
constexpr int kFileNameBox = 0x47C;  // cmb13: a combo box whose edit takes the name

struct FindEdit {
    HWND found = nullptr;
};

BOOL CALLBACK FindNameEdit(HWND window, LPARAM lparam) {
    if (GetDlgCtrlID(window) == kFileNameBox && autom::ClassOf(window) == "Edit" && IsWindowVisible(window)) {
        reinterpret_cast<FindEdit*>(lparam)->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND NameEdit(HWND dialog) {
    FindEdit search;
    EnumChildWindows(dialog, FindNameEdit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

testing::AssertionResult WaitUntilGone(HWND dialog, const char* what) {
    if (!autom::WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 5000))
        return testing::AssertionFailure() << "the file dialog did not close after " << what;
    return testing::AssertionSuccess();
}

}  // namespace

HWND WaitForFileDialog(ProgramSession& program, const std::string& title, DWORD timeout_ms) {
    HWND dialog = autom::WaitForWindow(program.process_id(), "#32770", title, timeout_ms);
    // The dialog fills its folder view after it is shown; the name box is
    // the last thing a user needs and is there once the view is.
    if (dialog != nullptr) autom::WaitUntil([&] { return NameEdit(dialog) != nullptr; }, 3000);
    return dialog;
}

std::string ChosenFileType(HWND dialog) { return autom::TextOf(GetDlgItem(dialog, kFileTypeBox)); }

testing::AssertionResult ChooseFileType(HWND dialog, const std::string& type) {
    HWND box = GetDlgItem(dialog, kFileTypeBox);
    if (box == nullptr) return testing::AssertionFailure() << "the dialog has no \"Files of type:\" box";
    // Open the drop-down with a click, then walk it with the arrow keys
    // until the wanted entry is chosen, and take it with Enter.
    const POINT at = controls::MiddleOf(controls::ScreenRectOf(box));
    autom::Click(at.x, at.y);
    autom::Pause(300);
    const int count = static_cast<int>(SendMessageA(box, CB_GETCOUNT, 0, 0));
    for (int step = 0; step < count; ++step) {
        char text[256] = "";
        const int chosen = static_cast<int>(SendMessageA(box, CB_GETCURSEL, 0, 0));
        if (chosen >= 0 && SendMessageA(box, CB_GETLBTEXTLEN, chosen, 0) < static_cast<LRESULT>(sizeof text))
            SendMessageA(box, CB_GETLBTEXT, chosen, reinterpret_cast<LPARAM>(text));
        if (type == text) break;
        autom::PressKey(VK_DOWN);
        autom::Pause(100);
    }
    autom::PressKey(VK_RETURN);
    autom::Pause(300);
    if (ChosenFileType(dialog) != type)
        return testing::AssertionFailure()
               << "the file type shows \"" << ChosenFileType(dialog) << "\", not \"" << type << "\"";
    return testing::AssertionSuccess();
}

testing::AssertionResult EnterFileName(HWND dialog, const std::string& name) {
    testing::AssertionResult entered = TypeFileNameAndPressEnter(dialog, name);
    if (!entered) return entered;
    return WaitUntilGone(dialog, "Enter");
}

testing::AssertionResult TypeFileNameAndPressEnter(HWND dialog, const std::string& name) {
    HWND edit = NameEdit(dialog);
    if (edit == nullptr) return testing::AssertionFailure() << "the dialog has no \"File name:\" box";
    const POINT at = controls::MiddleOf(controls::ScreenRectOf(edit));
    autom::Click(at.x, at.y);
    autom::Pause(200);
    // A few keys at a time, each lot shown before the next: on a slow
    // machine (an emulated processor) a whole path typed at once loses its
    // last keys.
    constexpr std::size_t kKeysAtATime = 8;
    for (std::size_t typed = 0; typed < name.size(); typed += kKeysAtATime) {
        autom::TypeText(name.substr(typed, kKeysAtATime));
        const std::string so_far = name.substr(0, typed + kKeysAtATime);
        autom::WaitUntil([&] { return autom::TextOf(edit).size() >= so_far.size(); }, 3000);
    }
    if (!autom::WaitUntil([&] { return autom::TextOf(edit) == name; }, 3000))
        return testing::AssertionFailure()
               << "the \"File name:\" box shows \"" << autom::TextOf(edit) << "\" after typing \"" << name << "\"";
    autom::PressKey(VK_RETURN);
    return testing::AssertionSuccess();
}

testing::AssertionResult CancelFileDialog(HWND dialog) {
    HWND cancel = GetDlgItem(dialog, IDCANCEL);
    if (cancel == nullptr) return testing::AssertionFailure() << "the dialog has no Cancel button";
    const POINT at = controls::MiddleOf(controls::ScreenRectOf(cancel));
    autom::Click(at.x, at.y);
    return WaitUntilGone(dialog, "Cancel");
}

}  // namespace td::e2e::user
