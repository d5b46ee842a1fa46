// A dialog of one language built, hidden, from its own template in the
// running program's resources, for checks that look at its controls as the
// system lays them out. The pages of the property sheet are child dialogs,
// so every dialog gets a hidden parent.
#pragma once

#include <windows.h>

#include <vector>

namespace td::test {

// A dialog procedure that handles nothing: the template's own controls,
// as the system builds them, are all that is looked at.
inline INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

class BuiltDialog {
public:
    BuiltDialog(LANGID language, const char* name) {
        HMODULE program = GetModuleHandleA(nullptr);
        HRSRC found = FindResourceExA(program, RT_DIALOG, name, language);
        if (found == nullptr) return;
        parent_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, program, nullptr);
        dialog_ = CreateDialogIndirectParamA(program,
                                             static_cast<LPCDLGTEMPLATEA>(LockResource(LoadResource(program, found))),
                                             parent_, QuietDialogProc, 0);
    }
    ~BuiltDialog() {
        if (dialog_ != nullptr) DestroyWindow(dialog_);
        if (parent_ != nullptr) DestroyWindow(parent_);
    }
    BuiltDialog(const BuiltDialog&) = delete;
    BuiltDialog& operator=(const BuiltDialog&) = delete;

    // Null when the template is missing or cannot be built.
    HWND get() const { return dialog_; }

    // The dialog's controls in their order (the tab order).
    std::vector<HWND> Controls() const {
        std::vector<HWND> controls;
        for (HWND child = GetWindow(dialog_, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
            controls.push_back(child);
        return controls;
    }

private:
    HWND parent_ = nullptr;
    HWND dialog_ = nullptr;
};

}  // namespace td::test
