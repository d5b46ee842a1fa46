// Installing Tessaline Diagnostics with its setup program, as an
// administrator deploys it: the setup run silently into a folder of the
// user's choice, the program started from there with nothing written by
// hand, its help, installing again over it, and the uninstaller named in the
// system's list of programs leaving nothing behind; and a setup that cannot
// write the installation entry. The setup of this word size runs: the
// 64-bit one in the 64-bit prefix, the 32-bit one (Windows 95 to 11) in the
// 32-bit prefix.
#include <windows.h>
#include <gtest/gtest.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "support/device_windows.h"
#include "support/machine.h"
#include "support/paths.h"
#include "support/program_test.h"

namespace td::e2e {
namespace {

namespace dw = device_windows;

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessaline Diagnostics";
constexpr char kUserKey[] = "Software\\Harrowgate\\Tessaline Diagnostics";
#ifdef _WIN64
constexpr char kSetupPattern[] = "tessaline-diagnostics-*-setup-x64.exe";
#else
constexpr char kSetupPattern[] = "tessaline-diagnostics-*-setup-x86.exe";
#endif
// The folder the user picks: not the proposed one, with spaces.
constexpr char kChosenFolder[] = "C:\\Program Files\\Harrowgate Tessaline Diagnostics";
constexpr char kProgramName[] = "Tessaline Diagnostics.exe";

// ---- The machine as the tests read it ------------------------------------------

std::optional<std::string> ReadText(HKEY root, const std::string& key, const std::string& name) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return std::nullopt;
    char text[1024] = "";
    DWORD size = sizeof text - 1, type = 0;
    const LONG result = RegQueryValueExA(handle, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(handle);
    if (result != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    return std::string(text);
}

std::optional<DWORD> ReadNumber(HKEY root, const std::string& key, const std::string& name) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return std::nullopt;
    DWORD number = 0, size = sizeof number, type = 0;
    const LONG result = RegQueryValueExA(handle, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&number), &size);
    RegCloseKey(handle);
    if (result != ERROR_SUCCESS || type != REG_DWORD) return std::nullopt;
    return number;
}

bool KeyExists(HKEY root, const std::string& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    RegCloseKey(handle);
    return true;
}

DWORD ValueCount(HKEY root, const std::string& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return 0;
    DWORD values = 0;
    RegQueryInfoKeyA(handle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(handle);
    return values;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The names in a folder, sorted.
std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::string Contents(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string ShellFolder(int csidl) {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
    return path;
}

std::string StartMenuFolder() { return ShellFolder(CSIDL_COMMON_PROGRAMS) + "\\Tessaline Diagnostics"; }

std::string SetupProgram() {
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((ProgramFolder() + kSetupPattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return {};
    FindClose(search);
    return ProgramFolder() + found.cFileName;
}

// The version the program states in its version resource.
std::string VersionOf(const std::string& exe) {
    DWORD ignored = 0;
    std::vector<char> info(GetFileVersionInfoSizeA(exe.c_str(), &ignored));
    if (info.empty() || !GetFileVersionInfoA(exe.c_str(), 0, static_cast<DWORD>(info.size()), info.data())) return {};
    char* text = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(info.data(), "\\StringFileInfo\\040904E4\\ProductVersion", reinterpret_cast<void**>(&text),
                        &length))
        return {};
    return std::string(text);
}

// The setup picks the help of the system's language, English for others.
std::string HelpLanguage() {
    switch (PRIMARYLANGID(GetUserDefaultUILanguage())) {
        case LANG_GERMAN:
            return "de";
        case LANG_SPANISH:
            return "es";
        case LANG_FRENCH:
            return "fr";
        case LANG_ITALIAN:
            return "it";
        default:
            return "en";
    }
}

// The manual's title and the first sentence of its contents topic, from
// its source in that language, with the lines joined.
struct ManualStart {
    std::string title, first_sentence;
};
ManualStart ManualStartOf(const std::string& language) {
    std::ifstream source(std::string(TD_SOURCE_DIR) + "/help/" + language + "/kdx.but");
    ManualStart start;
    std::string line;
    bool in_contents = false;
    while (std::getline(source, line)) {
        if (line.rfind("\\title ", 0) == 0) start.title = line.substr(7);
        if (line == "\\cfg{winhelp-topic}{Top}") {
            in_contents = true;
            continue;
        }
        if (!in_contents) continue;
        if (line.empty() && !start.first_sentence.empty()) break;
        start.first_sentence += (start.first_sentence.empty() ? "" : " ") + line;
        if (const size_t end = start.first_sentence.find(". "); end != std::string::npos) {
            start.first_sentence.resize(end + 1);
            break;
        }
    }
    return start;
}

// ---- Running the setup and the uninstaller ---------------------------------------

struct Finished {
    DWORD exit_code = 0;
    DWORD process_id = 0;
    FILETIME started{};
};

// Runs a command line as the system would, and waits for its end.
std::optional<Finished> RunCommand(const std::string& command_line, DWORD timeout_ms = 60000) {
    std::string line = command_line;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return std::nullopt;
    CloseHandle(info.hThread);
    std::optional<Finished> finished;
    if (WaitForSingleObject(info.hProcess, autom::Scaled(timeout_ms)) == WAIT_OBJECT_0) {
        finished = Finished{0, info.dwProcessId, {}};
        GetExitCodeProcess(info.hProcess, &finished->exit_code);
        FILETIME ended{}, kernel{}, user{};
        GetProcessTimes(info.hProcess, &finished->started, &ended, &kernel, &user);
    }
    CloseHandle(info.hProcess);
    return finished;
}

// The uninstaller copies itself to the temporary folder, starts the copy
// and returns at once: the work is done when the copy has ended. (Process
// ids are soon used again: a child started before its parent is not one.
// Wine's desktop, explorer.exe, is started by whichever program first needs
// it and stays.)
void WaitForProcessesStartedBy(const Finished& parent, DWORD timeout_ms) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ParentProcessID != parent.process_id || entry.th32ProcessID == parent.process_id) continue;
        if (_stricmp(entry.szExeFile, "explorer.exe") == 0) continue;
        HANDLE child = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, entry.th32ProcessID);
        if (child == nullptr) continue;
        FILETIME started{}, ended{}, kernel{}, user{};
        if (GetProcessTimes(child, &started, &ended, &kernel, &user) &&
            CompareFileTime(&started, &parent.started) >= 0) {
            WaitForSingleObject(child, autom::Scaled(timeout_ms));
        }
        CloseHandle(child);
    }
    CloseHandle(snapshot);
}

// Uninstalls as the system's list of programs does, without questions.
testing::AssertionResult UninstallQuietly() {
    const std::optional<std::string> command = ReadText(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString");
    if (!command) return testing::AssertionFailure() << "no QuietUninstallString";
    const std::optional<Finished> finished = RunCommand(*command);
    if (!finished) return testing::AssertionFailure() << "the uninstaller did not run or did not end";
    WaitForProcessesStartedBy(*finished, 60000);
    if (finished->exit_code != 0)
        return testing::AssertionFailure() << "the uninstaller ended with exit code " << finished->exit_code;
    return testing::AssertionSuccess();
}

// A key that anyone may read and nobody may write, as a locked-down machine
// can hold the installation entry. Its owner (the test) may still change
// its permissions, and so remove it again.
class LockedKey {
public:
    LockedKey(HKEY root, std::string key) : root_(root), key_(std::move(key)) {
        HKEY handle = nullptr;
        DWORD disposition = 0;
        if (RegCreateKeyExA(root_, key_.c_str(), 0, nullptr, 0, WRITE_DAC, nullptr, &handle, &disposition) !=
            ERROR_SUCCESS)
            return;
        created_ = disposition == REG_CREATED_NEW_KEY;
        // Everyone may read it, nobody else may do anything.
        SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
        PSID everyone = nullptr;
        if (AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone)) {
            const DWORD acl_size = sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(everyone);
            std::vector<std::uint8_t> acl_bytes(acl_size);
            ACL* acl = reinterpret_cast<ACL*>(acl_bytes.data());
            SECURITY_DESCRIPTOR descriptor{};
            if (InitializeAcl(acl, acl_size, ACL_REVISION) &&
                AddAccessAllowedAce(acl, ACL_REVISION, KEY_READ, everyone) &&
                InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
                SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE))
                RegSetKeySecurity(handle, DACL_SECURITY_INFORMATION, &descriptor);
            FreeSid(everyone);
        }
        RegCloseKey(handle);
    }
    ~LockedKey() {
        if (created_) {
            HKEY handle = nullptr;
            if (RegOpenKeyExA(root_, key_.c_str(), 0, WRITE_DAC, &handle) == ERROR_SUCCESS) {
                SECURITY_DESCRIPTOR open{};
                InitializeSecurityDescriptor(&open, SECURITY_DESCRIPTOR_REVISION);
                SetSecurityDescriptorDacl(&open, TRUE, nullptr, FALSE);
                RegSetKeySecurity(handle, DACL_SECURITY_INFORMATION, &open);
                RegCloseKey(handle);
            }
            RegDeleteKeyA(root_, key_.c_str());
        }
    }
    LockedKey(const LockedKey&) = delete;
    LockedKey& operator=(const LockedKey&) = delete;

    // Made, and really closed to writing.
    bool locked() const {
        HKEY handle = nullptr;
        if (!created_) return false;
        if (RegOpenKeyExA(root_, key_.c_str(), 0, KEY_SET_VALUE, &handle) != ERROR_SUCCESS) return true;
        RegCloseKey(handle);
        return false;
    }

private:
    HKEY root_;
    std::string key_;
    bool created_ = false;
};

class Setup : public ProgramTest {
protected:
    // Whatever an earlier run installed goes first, so that this test meets a
    // machine without Tessaline Diagnostics.
    void SetUp() override {
        ProgramTest::SetUp();
        RemoveInstallation();
        program.Uninstall();
    }

    void TearDown() override {
        dw::EndProcessesStartedBy(program.process_id());
        ProgramTest::TearDown();
        program.RunFrom("");
        RemoveInstallation();
    }

    static void RemoveInstallation() {
        if (KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey)) UninstallQuietly();
        // What a failed test may have left of its own folder.
        for (const std::string& name : FilesIn(kChosenFolder))
            DeleteFileA((std::string(kChosenFolder) + "\\" + name).c_str());
        RemoveDirectoryA(kChosenFolder);
    }

    std::optional<Finished> RunSetup(const std::string& arguments) {
        const std::string setup = SetupProgram();
        if (setup.empty()) return std::nullopt;
        return RunCommand("\"" + setup + "\" " + arguments);
    }
};

// ---- Install, run, read the help, install again, uninstall ------------------------

TEST_F(Setup, InstallsSilentlyWhereTheUserChoseRunsWithItsHelpAndUninstallsLeavingNothing) {
    const std::string folder = kChosenFolder;
    const std::string shipped = ProgramFolder() + kProgramName;
    const std::string language = HelpLanguage();
    ASSERT_FALSE(SetupProgram().empty()) << "no " << kSetupPattern << " in " << ProgramFolder();
    ASSERT_FALSE(machine::IsInstalled());

    // /D= comes last and is read up to the end of the line, spaces and all.
    const DWORD start = GetTickCount();
    std::optional<Finished> setup = RunSetup("/S /D=" + folder);
    ASSERT_TRUE(setup) << "the setup did not end";
    std::printf("The silent setup took %lu ms\n", static_cast<unsigned long>(GetTickCount() - start));
    ASSERT_EQ(setup->exit_code, 0u);

    // What it put there: the shipped program, the help of the system's
    // language, the uninstaller.
    EXPECT_EQ(FilesIn(folder),
              (std::vector<std::string>{"KDX.chm", "KDX.hlp", "KDXCH.hlp", kProgramName, "Uninstall.exe"}));
    const std::string program_file = folder + "\\" + kProgramName;
    EXPECT_TRUE(Contents(program_file) == Contents(shipped)) << "the installed program is not the shipped one";
    for (const char* help : {"KDX.hlp", "KDXCH.hlp", "KDX.chm"}) {
        const std::string built = Contents(std::string(TD_HOST_HELP_DIR) + "/" + language + "/" + help);
        ASSERT_FALSE(built.empty()) << "no built " << language << "/" << help;
        EXPECT_TRUE(Contents(folder + "\\" + help) == built) << help << " is not the " << language << " one";
    }

    // The installation entry the program needs; "HelpPath" has no trailing
    // backslash, since the program appends "\KDX.hlp".
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kInstallationKey, "").value_or("(none)"), program_file);
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kInstallationKey, "Path").value_or("(none)"), folder);
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kInstallationKey, "HelpPath").value_or("(none)"), folder);

    // The entry of the system's list of programs.
    const std::string uninstaller = "\"" + folder + "\\Uninstall.exe\"";
    const struct {
        const char* name;
        std::string text;
    } texts[] = {{"DisplayName", "Tessaline Diagnostics"},
                 {"DisplayVersion", VersionOf(shipped)},
                 {"Publisher", "Harrowgate Technology"},
                 {"DisplayIcon", program_file + ",0"},
                 {"InstallLocation", folder},
                 {"UninstallString", uninstaller},
                 {"QuietUninstallString", uninstaller + " /S"}};
    for (const auto& value : texts)
        EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kUninstallKey, value.name).value_or("(none)"), value.text) << value.name;
    EXPECT_EQ(ReadNumber(HKEY_LOCAL_MACHINE, kUninstallKey, "NoModify"), std::optional<DWORD>(1));
    EXPECT_EQ(ReadNumber(HKEY_LOCAL_MACHINE, kUninstallKey, "NoRepair"), std::optional<DWORD>(1));
    size_t bytes = 0;
    for (const std::string& name : FilesIn(folder)) bytes += Contents(folder + "\\" + name).size();
    const DWORD size_kb = ReadNumber(HKEY_LOCAL_MACHINE, kUninstallKey, "EstimatedSize").value_or(0);
    EXPECT_LE(size_kb, bytes / 1024 + 1) << "EstimatedSize, in KB, of " << bytes << " bytes";
    EXPECT_GE(size_kb, bytes / 1024) << "EstimatedSize, in KB, of " << bytes << " bytes";

    // The Start menu: the program, its help, the uninstaller.
    const std::vector<std::string> links = FilesIn(StartMenuFolder());
    EXPECT_EQ(links.size(), 3u);
    EXPECT_TRUE(std::count(links.begin(), links.end(), "Tessaline Diagnostics.lnk")) << "no program entry";

    // The installed program starts with nothing written by hand. Wine has no
    // SCSI port devices: on NT it finds no adapter, says so and goes on.
    program.OnPlatform(Platform::WindowsNt);
    program.RunFrom(folder + "\\");
    ASSERT_TRUE(program.Start());
    ASSERT_NE(program.WaitForMainWindowAnswering({program.Text(IDS_NO_ADAPTER)}), nullptr)
        << "no main window; the program " << (program.running() ? "is still running" : "has ended");

    // Help > Help... opens the manual at its contents.
    ASSERT_TRUE(program.Choose(IDM_HELP_CONTENTS));
    HWND viewer = autom::WaitForWindow(0, "MS_WINHELP", "", 10000);
    ASSERT_NE(viewer, nullptr) << "no help viewer";
    // The viewer shows a topic as rich text: the contents topic begins with
    // the manual's title and its first sentence.
    const ManualStart manual = ManualStartOf(language);
    ASSERT_FALSE(manual.first_sentence.empty()) << "no contents topic in the " << language << " manual";
    HWND page = FindWindowExA(viewer, nullptr, "RichEdit20A", nullptr);
    ASSERT_NE(page, nullptr) << "the viewer shows no topic";
    std::string shown;
    autom::WaitUntil(
        [&] {
            shown = autom::TextOf(page);
            return !shown.empty();
        },
        5000);
    EXPECT_EQ(shown.substr(0, shown.find_first_of("\r\n")), manual.title);
    EXPECT_NE(shown.find(manual.first_sentence), std::string::npos) << shown;
    std::printf("Help > Help...: %s\n", dw::SavePicture(program, "setup-help-contents").c_str());
    dw::EndProcessesStartedBy(program.process_id());
    ASSERT_TRUE(program.Choose(IDM_FILE_EXIT));
    EXPECT_EQ(program.WaitForExit(), 0u);
    program.RunFrom("");
    ASSERT_TRUE(machine::HasSettingsKey()) << "the program kept no settings for the uninstaller to remove";

    // Installing again, without naming a folder, updates the installed copy
    // where it is.
    setup = RunSetup("/S");
    ASSERT_TRUE(setup);
    EXPECT_EQ(setup->exit_code, 0u);
    EXPECT_FALSE(Exists(ShellFolder(CSIDL_PROGRAM_FILES) + "\\Tessaline Diagnostics")) << "a second copy";
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kInstallationKey, "HelpPath").value_or("(none)"), folder);
    EXPECT_EQ(FilesIn(folder).size(), 5u);

    // What the help viewers write beside the help files on Windows.
    for (const char* name : {"KDX.GID", "KDX.FTS", "KDXCH.GID", "KDX.chw"})
        std::ofstream(folder + "\\" + name) << "index";

    ASSERT_TRUE(UninstallQuietly());
    EXPECT_FALSE(Exists(folder)) << "left behind: " << testing::PrintToString(FilesIn(folder));
    EXPECT_FALSE(Exists(StartMenuFolder())) << "left behind: " << testing::PrintToString(FilesIn(StartMenuFolder()));
    EXPECT_FALSE(machine::IsInstalled()) << "the installation entry is left";
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey)) << "the uninstall entry is left";
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kUserKey)) << "the user's settings are left";
}

// ---- A setup that cannot write the installation entry --------------------------

TEST_F(Setup, ASetupThatCannotWriteTheInstallationEntryStopsAndLeavesNothing) {
    const std::string folder = kChosenFolder;
    ASSERT_FALSE(SetupProgram().empty()) << "no " << kSetupPattern << " in " << ProgramFolder();
    const LockedKey entry(HKEY_LOCAL_MACHINE, kInstallationKey);
    ASSERT_TRUE(entry.locked()) << "could not make an installation key closed to writing";

    const std::optional<Finished> setup = RunSetup("/S /D=" + folder);
    ASSERT_TRUE(setup) << "the setup did not end";

    EXPECT_NE(setup->exit_code, 0u) << "a failed setup reported success";
    EXPECT_FALSE(Exists(folder)) << "left behind: " << testing::PrintToString(FilesIn(folder));
    EXPECT_EQ(ValueCount(HKEY_LOCAL_MACHINE, kInstallationKey), 0u);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey)) << "an uninstall entry for nothing";
    EXPECT_FALSE(Exists(StartMenuFolder())) << "Start-menu entries for nothing";
}

// ---- In the user's language, in any of its countries -------------------------------

// These tests run under the locale their name begins with (e2e.cmake). The
// interactive setup first asks for a language and proposes the user's; the
// silent one installs in it, help included.
class SetupInTheUsersLanguage : public Setup {
protected:
    // The language dialog the setup opens first: the language it proposes,
    // and its title in that language. Cancelled there, the setup ends
    // without installing anything.
    void ExpectProposed(const std::string& language_name, const std::string& title) {
        const std::string setup = SetupProgram();
        ASSERT_FALSE(setup.empty());
        std::optional<autom::Launched> launched = autom::Launch(setup, {});
        ASSERT_TRUE(launched) << "the setup did not start";
        HWND dialog = nullptr;
        HWND choice = nullptr;
        autom::WaitUntil(
            [&] {
                for (HWND window : autom::TopLevelWindows(launched->process_id)) {
                    HWND combo = FindWindowExA(window, nullptr, "ComboBox", nullptr);
                    if (combo != nullptr) dialog = window, choice = combo;
                }
                return choice != nullptr;
            },
            15000);
        if (choice == nullptr) autom::Terminate(*launched);
        ASSERT_NE(choice, nullptr) << "no language dialog";
        EXPECT_EQ(autom::TextOf(choice), language_name);
        EXPECT_EQ(autom::TextOf(dialog), title);
        EXPECT_TRUE(autom::PressButton(dialog, IDCANCEL));
        const bool ended = autom::WaitExit(*launched, 15000).has_value();
        EXPECT_TRUE(ended) << "the setup did not end on Cancel";
        if (!ended) autom::Terminate(*launched);
        CloseHandle(launched->process);
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey)) << "a cancelled setup installed";
    }

    // The silent setup installs the help of language folder `language`.
    void ExpectHelpInstalled(const std::string& language) {
        const std::optional<Finished> finished = RunSetup("/S /D=" + std::string(kChosenFolder));
        ASSERT_TRUE(finished) << "the setup did not run or did not end";
        ASSERT_EQ(finished->exit_code, 0u);
        for (const char* help : {"KDX.hlp", "KDXCH.hlp", "KDX.chm"}) {
            const std::string built = Contents(std::string(TD_HOST_HELP_DIR) + "/" + language + "/" + help);
            ASSERT_FALSE(built.empty()) << help;
            EXPECT_TRUE(Contents(std::string(kChosenFolder) + "\\" + help) == built)
                << help << " is not the " << language << " one";
        }
        EXPECT_TRUE(UninstallQuietly());
    }
};

TEST_F(SetupInTheUsersLanguage, es_MX_SpanishIsProposedAndInstalled) {
    ExpectProposed("Espa\xF1ol", "Idioma de la instalaci\xF3n");
    ExpectHelpInstalled("es");
}

TEST_F(SetupInTheUsersLanguage, de_AT_GermanIsProposedAndInstalled) {
    ExpectProposed("Deutsch", "Sprache des Setups");
    ExpectHelpInstalled("de");
}

TEST_F(SetupInTheUsersLanguage, fr_CA_FrenchIsProposedAndInstalled) {
    // "Fran\xE7" "ais": the escape would take the a as a hexadecimal digit.
    ExpectProposed(
        "Fran\xE7"
        "ais",
        "Langue de l'installation");
    ExpectHelpInstalled("fr");
}

TEST_F(SetupInTheUsersLanguage, it_CH_ItalianIsProposedAndInstalled) {
    ExpectProposed("Italiano", "Lingua dell'installazione");
    ExpectHelpInstalled("it");
}

}  // namespace
}  // namespace td::e2e
