// One run of Tessaline Diagnostics under Wine, driven the way a user would:
// prepare the machine (installed or not, which Windows, which SCSI bus),
// start the program, read and answer its message boxes, look at its main
// window and menus, choose commands, and see how it ends.
//
// A session puts back everything it changed in the registry and never
// leaves the program running: whatever is still running when the session
// ends is terminated.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "automation.h"
#include "probe.h"
#include "support/machine.h"
#include "support/program_texts.h"

namespace td::e2e {

// The Windows version Wine reports to the program.
enum class Platform {
    Windows95,  // ASPI for Win32, with our wnaspi32.dll on the virtual bus
    WindowsNt,  // the SCSI port driver
    Win32s,     // what Wine calls "win31": GetVersion reports Win32s
    Windows10,  // the port driver too, but no WinHelp viewer: HTML Help
};

// Which build of the program runs.
enum class Edition {
    Shipped,      // "Tessaline Diagnostics.exe", the program as it ships
    NtSimulator,  // "Tessaline Diagnostics NT-sim.exe", NT devices from the virtual bus
};

// A message box as the user sees it.
struct Message {
    HWND window = nullptr;
    HWND owner = nullptr;  // the window it belongs to, if any
    std::string caption;
    std::string text;
    autom::StandardIcon icon = autom::StandardIcon::None;
    std::vector<std::string> buttons;  // button texts, in id order
};
// For test messages: caption, text and buttons in one line.
std::string Describe(const Message& message);

class ProgramSession {
public:
    static constexpr char kMainWindowClass[] = "APP_UI_WClass";

    // The shipped program on Windows 95, installed, on the built-in machine.
    ProgramSession();
    ~ProgramSession();
    ProgramSession(const ProgramSession&) = delete;
    ProgramSession& operator=(const ProgramSession&) = delete;

    // ---- The machine, before the start -------------------------------------
    void UseEdition(Edition edition);
    void OnPlatform(Platform platform);
    // Windows 95 with Wine's own wnaspi32 instead of the virtual bus's.
    void UseWinesOwnAspiLibrary();
    // A scenario file of tests/e2e/scenarios/ describes the SCSI machine.
    void UseScenario(const std::string& file_name);
    void UseBuiltInMachine();
    // The simulators append every command that reaches the virtual bus to
    // this file (a Windows path; TD_BUS_LOG): which commands the program
    // sent, for a test to read afterwards. Empty: no log.
    void LogBusTo(const std::string& path) { bus_log_ = path; }
    void Install();  // with "HelpPath" naming the help folder
    void InstallWithoutHelpPath();
    void Uninstall();
    void ForgetUserSettings();  // as for a user who never ran the program
    // Starts the program from this folder (with a trailing backslash), such
    // as where a setup installed it, instead of the build's.
    void RunFrom(const std::string& folder);

    std::string exe_name() const;
    std::string help_folder() const;
    std::string program_folder() const;

    // ---- Running -------------------------------------------------------------
    testing::AssertionResult Start();
    bool running() const;
    DWORD process_id() const { return process_.process_id; }
    // The exit code, or nothing if the program is still running after
    // timeout_ms.
    std::optional<DWORD> WaitForExit(DWORD timeout_ms = 10000);
    // Ends the program by force (no-op when it is not running).
    void Kill();

    // ---- Message boxes -------------------------------------------------------
    // The next message box the program shows, once it is filled and visible;
    // nothing when none comes in time or the program ends.
    std::optional<Message> WaitForMessage(DWORD timeout_ms = 15000);
    // The same for a watch that no box comes: `ms` is never shortened by
    // the time scale. See user::NoMessageWithin.
    std::optional<Message> MessageWithin(DWORD ms);
    // Presses the button with this id (IDOK, IDCANCEL, IDYES ...), as a click
    // would, and waits until the box has gone.
    testing::AssertionResult Answer(const Message& message, int button_id);

    // ---- The main window -----------------------------------------------------
    // Waits until the main window is shown. A message box on the way fails
    // the test and the wait (nothing is returned), and is left open for the
    // failure's screenshot.
    HWND WaitForMainWindow(DWORD timeout_ms = 20000);
    // The same where boxes with these texts are expected on the way: they
    // are answered with OK and kept in messages_on_the_way(); each must
    // come, and any other box fails as above.
    HWND WaitForMainWindowAnswering(const std::vector<std::string>& expected_texts, DWORD timeout_ms = 20000);
    const std::vector<Message>& messages_on_the_way() const { return messages_on_the_way_; }
    HWND main_window() const { return main_window_; }
    // The program's windows of a class, shown or hidden.
    HWND FindWindowOfClass(const std::string& class_name, bool visible_only) const;
    std::string Title() const;

    // The main window's menu bar with every submenu, read inside the program.
    std::optional<autom::Menu> MenuBar();
    // Chooses a command of the main window's menu as the user would: only
    // when the menu holds the item and it is enabled.
    testing::AssertionResult Choose(UINT command);

    // ---- What the main window's controls show ----------------------------------
    HWND Control(int control_id) const;
    std::vector<autom::TreeItem> AdapterTree() const;
    // Every row of the device list with all five columns.
    std::vector<std::vector<std::string>> DeviceList() const;
    std::vector<std::string> StatusBar() const;
    std::vector<autom::ToolbarButton> Toolbar() const;

    // ---- Popup menus ------------------------------------------------------------
    // The popup menu the program opens (a context menu), once it is shown.
    std::optional<autom::Menu> WaitForPopupMenu(DWORD timeout_ms = 5000);
    // Clicks an item of the open popup menu, as the user would: only when
    // the menu holds it and it is enabled.
    testing::AssertionResult ChooseFromPopupMenu(UINT command);

    // ---- Texts and pictures --------------------------------------------------
    // String `id` of the program's own string table, in the language set
    // the test expects the program to show (English unless told).
    std::string Text(int id) const { return (*texts_)(id); }
    void ExpectLanguage(LANGID language);
    const ProgramTexts& texts() const { return *texts_; }
    // The screen, with the program's windows drawn as the program draws them.
    bool SaveScreenshot(const std::string& path);

    // The probe inside the program (attached on first use).
    autom::Probe* probe();

private:
    std::optional<Message> ReadMessage(HWND window);
    // Polls for exactly `ms` (no scaling) for a message box.
    std::optional<Message> PollForMessage(DWORD ms);

    machine::Snapshot snapshot_;
    Edition edition_ = Edition::Shipped;
    std::string program_folder_;  // empty: the build's
    std::string scenario_;        // Windows path; empty for the built-in machine
    std::string bus_log_;         // Windows path; empty for none
    LANGID language_ = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    std::unique_ptr<ProgramTexts> texts_;
    autom::Launched process_;
    std::optional<autom::Probe> probe_;
    HWND main_window_ = nullptr;
    std::vector<Message> messages_on_the_way_;
};

}  // namespace td::e2e
