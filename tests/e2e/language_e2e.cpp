// The program in its user's language: in every country of the five
// languages (Austria, Mexico, Canada, Switzerland, Spain's modern sort ...)
// the program speaks that language, and English to everybody else, on the
// Windows 95, NT 4.0 and Windows 10 paths. One country of each language
// then walks through the main window, the properties sheet, the
// diagnostics dialog, the About box and a message box.
//
// Wine takes a process's locale from its Unix locale, and a program started
// from a Windows program inherits its starter's. So each test of this suite
// runs e2e_tests.exe under the locale its name begins with (e2e.cmake sets
// LC_ALL for "Locale.<xx_YY>..."; scripts/wine-env.sh compiles the
// locales), and checks first that it really runs under it.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "support/device_windows.h"
#include "support/paths.h"
#include "support/program_test.h"
#include "support/user_steps.h"

namespace td::e2e {
namespace {

namespace dw = device_windows;

constexpr LANGID kGerman = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);
constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr LANGID kSpanish = MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH);
constexpr LANGID kFrench = MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH);
constexpr LANGID kItalian = MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN);

// A Unix locale, the LANGID Wine makes of it, and the set whose resources
// the user must see.
struct Country {
    const char* locale;
    LANGID user;
    LANGID shown;
};

const Country kCountries[] = {
    {"de_DE", 0x0407, kGerman},  {"de_AT", 0x0C07, kGerman},  {"de_CH", 0x0807, kGerman},  {"de_LU", 0x1007, kGerman},
    {"es_ES", 0x0C0A, kSpanish}, {"es_MX", 0x080A, kSpanish}, {"es_AR", 0x2C0A, kSpanish}, {"es_CO", 0x240A, kSpanish},
    {"es_US", 0x540A, kSpanish}, {"fr_FR", 0x040C, kFrench},  {"fr_CA", 0x0C0C, kFrench},  {"fr_BE", 0x080C, kFrench},
    {"fr_CH", 0x100C, kFrench},  {"it_IT", 0x0410, kItalian}, {"it_CH", 0x0810, kItalian}, {"en_US", 0x0409, kEnglish},
    {"en_GB", 0x0809, kEnglish}, {"ja_JP", 0x0411, kEnglish}, {"pt_BR", 0x0416, kEnglish}, {"nl_NL", 0x0413, kEnglish},
};

// ---- Damaged copies of a program file ----------------------------------------------

// The program file's bytes, with its resource directory (the root, one
// level per type, name and language; each entry an id and an offset, the
// top bit of the offset marking a directory) reachable for changes in place.
class ProgramImage {
public:
    explicit ProgramImage(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (bytes_.size() < sizeof(IMAGE_DOS_HEADER)) return;
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes_.data());
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(bytes_.data() + dos->e_lfanew);
        const DWORD rva = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE].VirtualAddress;
        const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
            if (rva >= section->VirtualAddress && rva < section->VirtualAddress + section->Misc.VirtualSize)
                resources_ = section->PointerToRawData + (rva - section->VirtualAddress);
        }
    }

    bool ok() const { return resources_ != 0; }

    // Every entry of the directory at `directory` (relative to the resource
    // section), each given as a reference to its id and its offset.
    template <typename Visit>
    void ForEachEntry(DWORD directory, Visit visit) {
        auto* header = reinterpret_cast<IMAGE_RESOURCE_DIRECTORY*>(bytes_.data() + resources_ + directory);
        auto* entry = reinterpret_cast<IMAGE_RESOURCE_DIRECTORY_ENTRY*>(header + 1);
        const int count = header->NumberOfNamedEntries + header->NumberOfIdEntries;
        for (int i = 0; i < count; ++i, ++entry) visit(entry->Name, entry->OffsetToData & 0x7FFFFFFFu);
    }

    // The language entries of the string tables, menus and dialogs.
    template <typename Visit>
    void ForEachTextLanguage(Visit visit) {
        ForEachEntry(0, [&](DWORD& type, DWORD types) {
            if (type != 4 && type != 5 && type != 6) return;  // RT_MENU, RT_DIALOG, RT_STRING
            ForEachEntry(types, [&](DWORD&, DWORD names) { ForEachEntry(names, visit); });
        });
    }

    bool Write(const std::string& path) const {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes_.data(), static_cast<std::streamsize>(bytes_.size()));
        return static_cast<bool>(out);
    }

private:
    std::vector<char> bytes_;
    DWORD resources_ = 0;
};

// A copy of `exe` whose string tables, menus and dialogs tagged English
// (1033) are tagged Greek (1032) instead: English is missing, four other
// sets remain, the directory stays in order.
testing::AssertionResult CopyWithoutEnglish(const std::string& exe, const std::string& copy) {
    ProgramImage image(exe);
    if (!image.ok()) return testing::AssertionFailure() << "no resources in " << exe;
    int changed = 0;
    image.ForEachTextLanguage([&](DWORD& language, DWORD) {
        if (language == 0x0409) language = 0x0408, ++changed;
    });
    if (changed == 0) return testing::AssertionFailure() << "no English set in " << exe;
    return image.Write(copy) ? testing::AssertionSuccess() : testing::AssertionFailure() << "cannot write " << copy;
}

// A copy of `exe` without any string table: type 6 becomes type 7, which
// the program never asks for (the directory stays in order).
testing::AssertionResult CopyWithoutTexts(const std::string& exe, const std::string& copy) {
    ProgramImage image(exe);
    if (!image.ok()) return testing::AssertionFailure() << "no resources in " << exe;
    bool changed = false;
    image.ForEachEntry(0, [&](DWORD& type, DWORD) {
        if (type == 6) type = 7, changed = true;
    });
    if (!changed) return testing::AssertionFailure() << "no string tables in " << exe;
    return image.Write(copy) ? testing::AssertionSuccess() : testing::AssertionFailure() << "cannot write " << copy;
}

class Locale : public ProgramTest {
protected:
    // The country of this test's name, once this process is seen to run
    // under its locale; the session then expects that country's language.
    void SetUp() override {
        ProgramTest::SetUp();
        const std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        for (const Country& candidate : kCountries) {
            if (name.rfind(candidate.locale, 0) == 0) country_ = &candidate;
        }
        ASSERT_NE(country_, nullptr) << name << " names no country of the table";
        ASSERT_EQ(GetUserDefaultLangID(), country_->user)
            << "this test runs under LANGID " << std::hex << GetUserDefaultLangID() << ", not under "
            << country_->locale << ": was it started with LC_ALL=" << country_->locale
            << ".UTF-8 and LOCPATH naming the compiled locales?";
        program.ExpectLanguage(country_->shown);
    }

    // The menu bar and the tree's root in the language expected, then
    // File > Exit.
    void ExpectTheLanguageOnTheMainWindow(const char* path) {
        SCOPED_TRACE(std::string(country_->locale) + " on " + path);
        const std::optional<autom::Menu> menu = program.MenuBar();
        ASSERT_TRUE(menu) << program.probe()->last_error();
        EXPECT_EQ(menu->Titles(), program.texts().MenuTitles("APP_UI_MENU"));
        const std::vector<autom::TreeItem> tree = program.AdapterTree();
        ASSERT_FALSE(tree.empty());
        EXPECT_EQ(tree[0].text, program.Text(IDS_TREE_ROOT));
    }

    void ExitWithZero() {
        ASSERT_TRUE(program.Choose(IDM_FILE_EXIT));
        EXPECT_EQ(program.WaitForExit(), 0u);
    }

    void OnWindows95() {
        ASSERT_TRUE(user::StartAndWaitForTheScan(program, 16));
        ExpectTheLanguageOnTheMainWindow("Windows 95");
        ExitWithZero();
    }

    // NT discovery names the adapter's own ID and the empty IDs in fixed
    // English: they show their pictures whatever the interface language.
    void OnNt(Platform platform, const char* path) {
        program.UseEdition(Edition::NtSimulator);
        program.OnPlatform(platform);
        program.Install();
        ASSERT_TRUE(program.Start());
        ASSERT_NE(program.WaitForMainWindow(), nullptr);
        ExpectTheLanguageOnTheMainWindow(path);
        const std::vector<std::vector<std::string>> rows = program.DeviceList();
        const std::vector<int> images = autom::ListItemImages(program.Control(IDC_DEVICE_LIST));
        ASSERT_EQ(rows.size(), 16u);
        ASSERT_EQ(images.size(), rows.size());
        int empty_ids = 0;
        for (size_t row = 0; row < rows.size(); ++row) {
            if (rows[row][1] == "No Device") {
                ++empty_ids;
                EXPECT_EQ(images[row], 10) << path << " ID " << rows[row][0];
            }
            if (rows[row][1] == "Host Adapter") {
                EXPECT_EQ(images[row], 8) << path << " ID " << rows[row][0];
            }
        }
        EXPECT_EQ(empty_ids, 13) << path << ": the built-in machine's first adapter";
        ExitWithZero();
    }

    void OnEveryPath() {
        OnWindows95();
        OnNt(Platform::WindowsNt, "Windows NT 4.0");
        OnNt(Platform::Windows10, "Windows 10");
    }

    // The main window, the properties sheet of the disk, the diagnostics
    // dialog for it, the About box and the re-scan question, on Windows 95.
    void WalkThroughEveryWindow() {
        ASSERT_TRUE(user::StartAndWaitForTheScan(program, 16));
        ExpectTheLanguageOnTheMainWindow("Windows 95");
        const std::vector<std::string> status = program.StatusBar();
        ASSERT_EQ(status.size(), 2u);
        EXPECT_EQ(status[0].rfind(program.Text(IDS_STATUS_SELECTED), 0), 0u) << status[0];
        std::printf("The main window: %s\n", dw::SavePicture(program, std::string("main-") + country_->locale).c_str());

        ASSERT_TRUE(dw::ClickDevice(program, "0"));
        ASSERT_TRUE(program.Choose(IDM_DEVICE_PROPERTIES));
        HWND sheet = dw::WaitForPropertySheet(program);
        ASSERT_NE(sheet, nullptr) << "no properties sheet";
        EXPECT_EQ(dw::TabTitles(sheet),
                  (std::vector<std::string>{program.Text(IDS_PAGE_DEVICE), program.Text(IDS_PAGE_ADAPTER),
                                            program.Text(IDS_PAGE_DETAILS)}));
        Sleep(300);  // the picture only: a sheet just shown may not be painted whole yet
        std::printf("The properties: %s\n", dw::SavePicture(program, std::string("sheet-") + country_->locale).c_str());
        ASSERT_TRUE(user::CloseDialog(sheet));

        ASSERT_TRUE(program.Choose(IDM_DEVICE_DIAGNOSTICS));
        HWND diagnostics = dw::WaitForDialog(program, program.texts().DialogCaption(MAKEINTRESOURCEA(IDD_DIAGNOSTICS)));
        ASSERT_NE(diagnostics, nullptr) << "no dialog titled "
                                        << program.texts().DialogCaption(MAKEINTRESOURCEA(IDD_DIAGNOSTICS));
        EXPECT_EQ(dw::TextOf(diagnostics, IDOK), program.Text(IDS_BEGIN_TESTS));
        std::printf("The diagnostics: %s\n",
                    dw::SavePicture(program, std::string("diagnostics-") + country_->locale).c_str());
        ASSERT_TRUE(user::CloseDialog(diagnostics));

        ASSERT_TRUE(program.Choose(IDM_HELP_ABOUT));
        const std::string about_title = program.Text(IDS_ABOUT_TITLE) + "Tessaline Utilities";
        HWND about = dw::WaitForDialog(program, about_title);
        ASSERT_NE(about, nullptr) << "no box titled \"" << about_title << "\"";
        std::printf("The About box: %s\n", dw::SavePicture(program, std::string("about-") + country_->locale).c_str());
        ASSERT_TRUE(user::CloseDialog(about));

        ASSERT_TRUE(program.Choose(IDM_RESCAN));
        std::optional<Message> question = program.WaitForMessage(5000);
        ASSERT_TRUE(question) << "no question before the re-scan";
        EXPECT_EQ(question->text, program.Text(IDS_RESCAN_QUESTION));
        EXPECT_EQ(question->caption, program.Text(IDS_STATUS_CAPTION));
        ASSERT_TRUE(program.Answer(*question, IDCANCEL));
        ExitWithZero();
    }

    const Country* country_ = nullptr;
};

// ---- Every country on the three paths ------------------------------------------

TEST_F(Locale, de_DE) { OnEveryPath(); }
TEST_F(Locale, de_AT) { OnEveryPath(); }
TEST_F(Locale, de_CH) { OnEveryPath(); }
TEST_F(Locale, de_LU) { OnEveryPath(); }
TEST_F(Locale, es_ES) { OnEveryPath(); }
TEST_F(Locale, es_MX) { OnEveryPath(); }
TEST_F(Locale, es_AR) { OnEveryPath(); }
TEST_F(Locale, es_CO) { OnEveryPath(); }
TEST_F(Locale, es_US) { OnEveryPath(); }
TEST_F(Locale, fr_FR) { OnEveryPath(); }
TEST_F(Locale, fr_CA) { OnEveryPath(); }
TEST_F(Locale, fr_BE) { OnEveryPath(); }
TEST_F(Locale, fr_CH) { OnEveryPath(); }
TEST_F(Locale, it_IT) { OnEveryPath(); }
TEST_F(Locale, it_CH) { OnEveryPath(); }
TEST_F(Locale, en_US) { OnEveryPath(); }
TEST_F(Locale, en_GB) { OnEveryPath(); }
TEST_F(Locale, ja_JP) { OnEveryPath(); }
TEST_F(Locale, pt_BR) { OnEveryPath(); }
TEST_F(Locale, nl_NL) { OnEveryPath(); }

// ---- Every window, one country of each language --------------------------------

TEST_F(Locale, de_AT_EveryWindow) { WalkThroughEveryWindow(); }

// A sentence of the string table with its places %1 and %2 filled in.
std::string Filled(std::string sentence, const std::string& first, const std::string& second = "") {
    const std::string values[] = {first, second};
    for (int place = 0; place < 2; ++place) {
        const std::string mark = "%" + std::to_string(place + 1);
        const std::size_t at = sentence.find(mark);
        if (at != std::string::npos) sentence.replace(at, mark.size(), values[place]);
    }
    return sentence;
}

// The Details page in German, its numbers in the German format, on both
// paths: the disk and the CD-ROM without a disc.
TEST_F(Locale, de_DE_TheDetailsPageInGermanWithGermanNumbers) {
    const std::string capacity = Filled(program.Text(IDS_CAPACITY_SIZE), Filled(program.Text(IDS_SIZE_GB), "4,00"),
                                        "4.294.967.296") +
                                 "\r\n" + Filled(program.Text(IDS_CAPACITY_BLOCKS), "8.388.608", "512");
    for (const bool nt : {false, true}) {
        SCOPED_TRACE(nt ? "NT" : "Windows 95");
        if (nt) {
            program.UseEdition(Edition::NtSimulator);
            program.OnPlatform(Platform::WindowsNt);
        }
        ASSERT_TRUE(user::StartAndWaitForTheScan(program, 16));
        const char adapter[] = "Harrowgate Brightlane BL-2940U PCI SCSI Host Adapter";
        HWND sheet = dw::OpenDetails(program, adapter, "0");
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(dw::DetailsFields(program, sheet),
                  (std::vector<std::string>{capacity, "KD21S0042917", "naa.5000C5A012B3C4D5"}));
        if (!nt) std::printf("The Details page: %s\n", dw::SavePicture(program, "details-de_DE").c_str());
        ASSERT_TRUE(user::CloseDialog(sheet));
        sheet = dw::OpenDetails(program, adapter, "4");
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(dw::DetailsFields(program, sheet)[0], program.Text(IDS_DETAILS_NO_MEDIUM));
        ASSERT_TRUE(user::CloseDialog(sheet));
        ExitWithZero();
    }
}
TEST_F(Locale, es_MX_EveryWindow) { WalkThroughEveryWindow(); }
TEST_F(Locale, fr_CA_EveryWindow) { WalkThroughEveryWindow(); }
TEST_F(Locale, it_CH_EveryWindow) { WalkThroughEveryWindow(); }
TEST_F(Locale, en_GB_EveryWindow) { WalkThroughEveryWindow(); }

// ---- A damaged program file ---------------------------------------------------------

// Without the set of the user's language and without English, the program
// takes a set its file still holds; without any text, it ends at once with
// exit code 0, as when its texts do not load.
TEST_F(Locale, en_US_AProgramFileWithoutTheSetsItLooksFor) {
    program.UseEdition(Edition::NtSimulator);
    program.OnPlatform(Platform::WindowsNt);
    const std::string built = ProgramFolder() + program.exe_name();
    // Each copy in a folder of its own: the session reads the texts of the
    // program it runs, which keeps that file open.
    const std::string without_english = ProgramFolder() + "without-english\\";
    const std::string without_texts = ProgramFolder() + "without-texts\\";
    for (const std::string& folder : {without_english, without_texts}) CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyWithoutEnglish(built, without_english + program.exe_name()));
    ASSERT_TRUE(CopyWithoutTexts(built, without_texts + program.exe_name()));

    program.RunFrom(without_english);
    ASSERT_TRUE(program.Start());
    ASSERT_NE(program.WaitForMainWindow(), nullptr);
    const std::optional<autom::Menu> menu = program.MenuBar();
    ASSERT_TRUE(menu);
    ASSERT_EQ(menu->Titles().size(), 4u);
    EXPECT_NE(menu->Titles()[0], "&File");
    EXPECT_FALSE(menu->Titles()[0].empty());
    ExitWithZero();

    // A box would wait for an answer: the program ends without one.
    program.RunFrom(without_texts);
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(program.WaitForExit(), 0u);
    program.RunFrom("");
}

}  // namespace
}  // namespace td::e2e
