#include "support/program_session.h"

#include <algorithm>
#include <cstdio>

#include "support/paths.h"

namespace td::e2e {

std::string Describe(const Message& message) {
    std::string text = "\"" + message.caption + "\": \"" + message.text + "\" [";
    for (size_t i = 0; i < message.buttons.size(); ++i) text += (i ? ", " : "") + message.buttons[i];
    return text + "] with " + autom::NameOf(message.icon);
}

ProgramSession::ProgramSession() {
    UseEdition(Edition::Shipped);
    OnPlatform(Platform::Windows95);
    UseBuiltInMachine();
    Install();
}

ProgramSession::~ProgramSession() {
    Kill();
    probe_.reset();
}

// ---- The machine ---------------------------------------------------------------

void ProgramSession::UseEdition(Edition edition) {
    edition_ = edition;
    texts_ = std::make_unique<ProgramTexts>(program_folder() + exe_name(), language_);
}

void ProgramSession::ExpectLanguage(LANGID language) {
    language_ = language;
    UseEdition(edition_);
}

void ProgramSession::RunFrom(const std::string& folder) {
    program_folder_ = folder;
    UseEdition(edition_);
}

std::string ProgramSession::program_folder() const {
    return program_folder_.empty() ? ProgramFolder() : program_folder_;
}

std::string ProgramSession::exe_name() const {
    return edition_ == Edition::Shipped ? "Tessaline Diagnostics.exe" : "Tessaline Diagnostics NT-sim.exe";
}

std::string ProgramSession::help_folder() const { return ProgramFolder() + "help"; }

void ProgramSession::OnPlatform(Platform platform) {
    switch (platform) {
        case Platform::Windows95:
            machine::SetWindowsVersion(exe_name(), "win95");
            break;
        case Platform::WindowsNt:
            machine::SetWindowsVersion(exe_name(), "nt40");
            break;
        case Platform::Win32s:
            machine::SetWindowsVersion(exe_name(), "win31");
            break;
        case Platform::Windows10:
            machine::SetWindowsVersion(exe_name(), "win10");
            break;
    }
    // On Windows 95 the program finds our ASPI library on the virtual bus;
    // elsewhere it never loads one.
    machine::UseAspiLibrary(exe_name(), platform == Platform::Windows95 ? machine::AspiLibrary::Ours
                                                                        : machine::AspiLibrary::NotForced);
}

void ProgramSession::UseWinesOwnAspiLibrary() {
    OnPlatform(Platform::Windows95);
    machine::UseAspiLibrary(exe_name(), machine::AspiLibrary::WinesOwn);
}

void ProgramSession::UseScenario(const std::string& file_name) { scenario_ = ScenarioPath(file_name); }

void ProgramSession::UseBuiltInMachine() { scenario_.clear(); }

void ProgramSession::Install() { machine::Install(help_folder()); }

void ProgramSession::InstallWithoutHelpPath() { machine::InstallWithoutHelpPath(); }

void ProgramSession::Uninstall() { machine::Uninstall(); }

void ProgramSession::ForgetUserSettings() { machine::ForgetUserSettings(); }

// ---- Running -------------------------------------------------------------------

testing::AssertionResult ProgramSession::Start() {
    Kill();
    probe_.reset();
    main_window_ = nullptr;
    messages_on_the_way_.clear();
    const std::string exe = program_folder() + exe_name();
    // Always named, so that nothing of the caller's environment leaks in;
    // empty means the built-in machine.
    std::optional<autom::Launched> launched = autom::Launch(exe,
                                                            {"TD_SCENARIO=" + scenario_, "TD_BUS_LOG=" + bus_log_});
    if (!launched)
        return testing::AssertionFailure() << "could not start " << exe << " (error " << GetLastError() << ")";
    process_ = *launched;
    return testing::AssertionSuccess();
}

bool ProgramSession::running() const {
    return process_.process != nullptr && WaitForSingleObject(process_.process, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> ProgramSession::WaitForExit(DWORD timeout_ms) {
    if (process_.process == nullptr) return std::nullopt;
    return autom::WaitExit(process_, timeout_ms);
}

void ProgramSession::Kill() {
    if (process_.process == nullptr) return;
    if (running()) autom::Terminate(process_);
    CloseHandle(process_.process);
    process_ = {};
}

// ---- Message boxes ---------------------------------------------------------------

std::optional<Message> ProgramSession::ReadMessage(HWND window) {
    std::optional<autom::MessageBoxView> view = autom::ReadMessageBox(window);
    if (!view || !autom::IsFilled(*view)) return std::nullopt;
    Message message;
    message.window = window;
    message.owner = GetWindow(window, GW_OWNER);
    message.caption = view->caption;
    message.text = view->text;
    message.buttons = view->buttons;
    if (HWND icon = GetDlgItem(window, 1088); icon != nullptr && IsWindowVisible(icon)) {
        autom::Probe* inside = probe();
        std::optional<autom::StandardIcon> kind = inside ? inside->IconOf(icon) : std::nullopt;
        message.icon = kind.value_or(autom::StandardIcon::Other);
    }
    return message;
}

std::optional<Message> ProgramSession::WaitForMessage(DWORD timeout_ms) {
    return PollForMessage(autom::Scaled(timeout_ms));
}

std::optional<Message> ProgramSession::MessageWithin(DWORD ms) { return PollForMessage(autom::ScaledWatch(ms)); }

std::optional<Message> ProgramSession::PollForMessage(DWORD ms) {
    std::optional<Message> found;
    autom::PollUntil(
        [&] {
            for (HWND window : autom::TopLevelWindows(process_.process_id)) {
                if (autom::ClassOf(window) != "#32770") continue;
                found = ReadMessage(window);
                if (found) return true;
            }
            return !running();
        },
        ms);
    return found;
}

testing::AssertionResult ProgramSession::Answer(const Message& message, int button_id) {
    if (!IsWindow(message.window))
        return testing::AssertionFailure() << "the message box " << Describe(message) << " has already gone";
    autom::PressButton(message.window, button_id);
    if (!autom::WaitUntil([&] { return !IsWindow(message.window) || !IsWindowVisible(message.window); }, 5000))
        return testing::AssertionFailure()
               << "the message box " << Describe(message) << " did not close on button " << button_id;
    return testing::AssertionSuccess();
}

// ---- The main window ----------------------------------------------------------------

HWND ProgramSession::FindWindowOfClass(const std::string& class_name, bool visible_only) const {
    if (process_.process_id == 0) return nullptr;
    for (HWND window : autom::TopLevelWindows(process_.process_id, visible_only))
        if (autom::ClassOf(window) == class_name) return window;
    return nullptr;
}

HWND ProgramSession::WaitForMainWindow(DWORD timeout_ms) { return WaitForMainWindowAnswering({}, timeout_ms); }

HWND ProgramSession::WaitForMainWindowAnswering(const std::vector<std::string>& expected_texts, DWORD timeout_ms) {
    std::optional<Message> unexpected;
    autom::WaitUntil(
        [&] {
            main_window_ = FindWindowOfClass(kMainWindowClass, true);
            if (main_window_ != nullptr) return true;
            for (HWND window : autom::TopLevelWindows(process_.process_id)) {
                if (autom::ClassOf(window) != "#32770") continue;
                std::optional<Message> message = ReadMessage(window);
                if (!message) continue;
                messages_on_the_way_.push_back(*message);
                if (std::find(expected_texts.begin(), expected_texts.end(), message->text) == expected_texts.end()) {
                    unexpected = message;
                    return true;
                }
                Answer(*message, IDOK);
            }
            return !running();
        },
        timeout_ms);
    if (unexpected) {
        ADD_FAILURE() << "a message box came on the way to the main window: " << Describe(*unexpected);
        main_window_ = nullptr;
        return nullptr;
    }
    if (main_window_ == nullptr) return nullptr;
    for (const std::string& text : expected_texts) {
        if (std::none_of(messages_on_the_way_.begin(), messages_on_the_way_.end(),
                         [&](const Message& message) { return message.text == text; }))
            ADD_FAILURE() << "no message box \"" << text << "\" came on the way to the main window";
    }
    return main_window_;
}

std::string ProgramSession::Title() const { return main_window_ ? autom::TextOf(main_window_) : std::string(); }

autom::Probe* ProgramSession::probe() {
    if (probe_) return &*probe_;
    // Any window of the program's one window thread will do; the main
    // window exists (hidden) before the first message box.
    HWND window = FindWindowOfClass(kMainWindowClass, false);
    if (window == nullptr) {
        std::vector<HWND> windows = autom::TopLevelWindows(process_.process_id, false);
        if (windows.empty()) return nullptr;
        window = windows.front();
    }
    probe_ = autom::Probe::Attach(window);
    return probe_ ? &*probe_ : nullptr;
}

std::optional<autom::Menu> ProgramSession::MenuBar() {
    autom::Probe* inside = probe();
    if (inside == nullptr || main_window_ == nullptr) return std::nullopt;
    return inside->MenuBar(main_window_);
}

testing::AssertionResult ProgramSession::Choose(UINT command) {
    if (main_window_ == nullptr) return testing::AssertionFailure() << "the main window is not shown";
    std::optional<autom::Menu> menu = MenuBar();
    if (!menu)
        return testing::AssertionFailure()
               << "the menu bar could not be read: " << (probe_ ? probe_->last_error() : std::string("no probe"));
    const autom::MenuItem* item = menu->Command(command);
    if (item == nullptr) return testing::AssertionFailure() << "the menu has no item " << command;
    if (!item->enabled())
        return testing::AssertionFailure()
               << "menu item " << command << " \"" << item->text << "\" is not enabled, so it cannot be chosen";
    // What a click on the item sends: WM_COMMAND with the id, from a menu.
    autom::PostCommand(main_window_, static_cast<int>(command));
    return testing::AssertionSuccess();
}

HWND ProgramSession::Control(int control_id) const {
    return main_window_ != nullptr ? GetDlgItem(main_window_, control_id) : nullptr;
}

// The control ids of the main window's children.
constexpr int kStatusBarId = 1000;
constexpr int kToolbarId = 1001;
constexpr int kDeviceListId = 1002;
constexpr int kAdapterTreeId = 1003;

std::vector<autom::TreeItem> ProgramSession::AdapterTree() const {
    HWND tree = Control(kAdapterTreeId);
    return tree ? autom::ReadTree(tree) : std::vector<autom::TreeItem>{};
}

std::vector<std::vector<std::string>> ProgramSession::DeviceList() const {
    HWND list = Control(kDeviceListId);
    return list ? autom::ReadList(list, 5) : std::vector<std::vector<std::string>>{};
}

std::vector<std::string> ProgramSession::StatusBar() const {
    HWND status = Control(kStatusBarId);
    return status ? autom::StatusBarTexts(status) : std::vector<std::string>{};
}

std::vector<autom::ToolbarButton> ProgramSession::Toolbar() const {
    HWND toolbar = Control(kToolbarId);
    return toolbar ? autom::ReadToolbar(toolbar) : std::vector<autom::ToolbarButton>{};
}

std::optional<autom::Menu> ProgramSession::WaitForPopupMenu(DWORD timeout_ms) {
    std::optional<autom::Menu> menu;
    autom::WaitUntil(
        [&] {
            if (FindWindowOfClass("#32768", true) == nullptr) return !running();
            autom::Probe* inside = probe();
            if (inside != nullptr) menu = inside->TrackedPopup();
            return menu.has_value();
        },
        timeout_ms);
    return menu;
}

testing::AssertionResult ProgramSession::ChooseFromPopupMenu(UINT command) {
    std::optional<autom::Menu> menu = WaitForPopupMenu(1000);
    if (!menu) return testing::AssertionFailure() << "no popup menu is open";
    const autom::MenuItem* item = menu->Command(command);
    if (item == nullptr) return testing::AssertionFailure() << "the popup menu has no item " << command;
    if (!item->enabled())
        return testing::AssertionFailure()
               << "popup menu item " << command << " \"" << item->text << "\" is not enabled, so it cannot be chosen";
    if (!item->rect) return testing::AssertionFailure() << "popup menu item " << command << " is not on the screen";
    autom::Click((item->rect->left + item->rect->right) / 2, (item->rect->top + item->rect->bottom) / 2);
    return testing::AssertionSuccess();
}

bool ProgramSession::SaveScreenshot(const std::string& path) {
    autom::Picture screen = autom::CaptureScreen();
    // A box lying inside its owner can show below it in the display's
    // stacking, so each of the program's windows is laid on top in the
    // program's own order, bottom first, as the program draws it.
    if (running()) {
        if (autom::Probe* inside = probe()) {
            std::vector<HWND> windows = autom::TopLevelWindows(process_.process_id);
            for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
                RECT rect{};
                GetWindowRect(*it, &rect);
                if (std::optional<autom::Picture> picture = inside->PictureOf(*it))
                    autom::PastePicture(screen, *picture, rect.left, rect.top);
            }
        }
    }
    return autom::SaveBitmap(screen, path);
}

}  // namespace td::e2e
