// The About box created for real, in-process, over the test program's own
// version information (the test program carries the program's resources),
// and the version information itself in every language.
#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/program_resources_win32.h"
#include "infowin/about_box_win32.h"
#include "infowin/about_text.h"
#include "resources/resource_ids.h"
#include "shell/program_win32.h"

namespace td {
namespace {

std::string TextOf(HWND window) {
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ItemText(HWND dialog, int id) { return TextOf(GetDlgItem(dialog, id)); }

const char kDescription[] = "Tessaline Diagnostics runs tests and lists the devices of the SCSI system.";

class AboutBox : public ::testing::Test {
protected:
    void SetUp() override {
        // An owner in the middle of the screen, so the box can sit centred on it.
        const int width = GetSystemMetrics(SM_CXSCREEN);
        const int height = GetSystemMetrics(SM_CYSCREEN);
        owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, width / 2 - 250, height / 2 - 200, 500,
                                400, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(owner, nullptr);
    }
    void TearDown() override {
        if (box != nullptr && IsWindow(box)) DestroyWindow(box);
        DestroyWindow(owner);
    }

    void Open() {
        box = CreateDialogParamA(GetModuleHandleA(nullptr), "ABOUTBOX", owner, AboutDialogProc, 0);
        ASSERT_NE(box, nullptr);
    }

    HWND owner = nullptr;
    HWND box = nullptr;
};

TEST_F(AboutBox, ShowsTheVersionInformationAndTheSystemCentredOverItsOwner) {
    Open();
    EXPECT_TRUE(IsWindowVisible(box));
    EXPECT_EQ(TextOf(box), "About Tessaline Utilities");
    EXPECT_EQ(ItemText(box, IDC_ABOUT_COMPANY), "Harrowgate Technology");
    EXPECT_EQ(ItemText(box, IDC_ABOUT_DESCRIPTION), kDescription);
    EXPECT_EQ(ItemText(box, IDC_ABOUT_VERSION), "1.02");
    // The template asks for "LegalCopyRight", the resource holds
    // "LegalCopyright": key names are matched without regard to case.
    EXPECT_EQ(ItemText(box, IDC_ABOUT_COPYRIGHT), "Copyright (C) 1997 Harrowgate Technology");
    EXPECT_EQ(ItemText(box, IDC_ABOUT_TRADEMARKS), "Tessaline Diagnostics is a Harrowgate trademark");
    EXPECT_EQ(ItemText(box, IDC_ABOUT_RUNNING_ON), "Running On:");

    char line[kAboutTextSize];
    FormatOsLine(GetVersion(), line, sizeof line);
    EXPECT_EQ(ItemText(box, IDC_ABOUT_OS), line) << "the OS line replaces the missing key's error";
    EXPECT_EQ(ItemText(box, IDC_ABOUT_OS).rfind("Microsoft W", 0), 0u);

    RECT outer, dialog;
    GetWindowRect(owner, &outer);
    GetWindowRect(box, &dialog);
    EXPECT_NEAR((dialog.left + dialog.right) / 2, (outer.left + outer.right) / 2, 1);
    EXPECT_NEAR((dialog.top + dialog.bottom) / 2, (outer.top + outer.bottom) / 2, 1);
}

// In another language set the title's "About" and the description are
// that set's; the product's name stays as it is.
TEST_F(AboutBox, TheTitleAndDescriptionFollowTheLanguageSetInUse) {
    const InterfaceLanguage before = ProgramLanguage();
    UseProgramLanguage(InterfaceLanguage::Spanish);
    Open();
    UseProgramLanguage(before);
    EXPECT_EQ(TextOf(box), "Acerca de Tessaline Utilities");
    EXPECT_EQ(ItemText(box, IDC_ABOUT_DESCRIPTION),
              "Tessaline Diagnostics realiza pruebas y enumera los dispositivos del sistema SCSI.");
    EXPECT_EQ(ItemText(box, IDC_ABOUT_VERSION), "1.02");
}

TEST_F(AboutBox, TwoFontsTheLargeOneOnRunningOn) {
    Open();
    const AboutFonts fonts = AboutBoxFonts(box);
    ASSERT_NE(fonts.large, nullptr);
    ASSERT_NE(fonts.small, nullptr);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendDlgItemMessageA(box, IDC_ABOUT_RUNNING_ON, WM_GETFONT, 0, 0)), fonts.large);
    const struct {
        HFONT font;
        LONG height;
    } expected[] = {{fonts.large, 14}, {fonts.small, 11}};
    for (const auto& e : expected) {
        LOGFONTA log{};
        ASSERT_EQ(GetObjectA(e.font, sizeof log, &log), static_cast<int>(sizeof log));
        EXPECT_EQ(log.lfHeight, e.height);
        EXPECT_EQ(log.lfWeight, FW_DONTCARE);
        EXPECT_EQ(log.lfCharSet, ANSI_CHARSET);
        EXPECT_EQ(log.lfPitchAndFamily, 0x22);
        EXPECT_STREQ(log.lfFaceName, "");
    }
}

TEST_F(AboutBox, OkAndEscapeBothCloseAndDeleteTheFonts) {
    for (int command : {IDOK, IDCANCEL}) {
        Open();
        const AboutFonts fonts = AboutBoxFonts(box);
        SendMessageA(box, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
        EXPECT_FALSE(IsWindowVisible(box)) << command;
        EXPECT_EQ(GetObjectType(fonts.large), 0u) << command;
        EXPECT_EQ(GetObjectType(fonts.small), 0u) << command;
        EXPECT_EQ(SendDlgItemMessageA(box, IDC_ABOUT_RUNNING_ON, WM_GETFONT, 0, 0), 0)
            << "the control keeps no deleted font";
        DestroyWindow(box);
        box = nullptr;
    }
}

TEST_F(AboutBox, DestroyedWithoutOkKeepsNoFont) {
    Open();
    const AboutFonts fonts = AboutBoxFonts(box);
    DestroyWindow(box);
    box = nullptr;
    EXPECT_EQ(GetObjectType(fonts.large), 0u);
    EXPECT_EQ(GetObjectType(fonts.small), 0u);
}

// The picture its template's bitmap control loaded goes with the box.
TEST_F(AboutBox, ItsPictureGoesWithIt) {
    Open();
    const auto picture = reinterpret_cast<HBITMAP>(
        SendDlgItemMessageA(box, IDC_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(GetObjectType(picture), static_cast<DWORD>(OBJ_BITMAP));
    DestroyWindow(box);
    box = nullptr;
    EXPECT_EQ(GetObjectType(picture), 0u) << "the box left its picture behind";
}

// The modal box as the Help menu runs it, closed with Escape from the
// keyboard once it is up.
std::vector<std::string> g_seen;
void CALLBACK PressEscape(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = FindWindowA(nullptr, "About Tessaline Utilities");
    if (box == nullptr || !IsWindowVisible(box)) return;
    KillTimer(nullptr, timer);
    g_seen.push_back(TextOf(GetDlgItem(box, IDC_ABOUT_VERSION)));
    PostMessageA(box, WM_KEYDOWN, VK_ESCAPE, 0);
}

TEST_F(AboutBox, ModalBoxEndsWithOneOnEscape) {
    auto program = std::make_unique<Program>();
    g_seen.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, PressEscape);
    const INT_PTR result = ShowAboutBox(*program, owner);
    KillTimer(nullptr, timer);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(g_seen, std::vector<std::string>{"1.02"});
    EXPECT_EQ(FindWindowA(nullptr, "About Tessaline Utilities"), nullptr);
}

// ---- The version information ---------------------------------------------

struct Language {
    const char* name;
    LANGID id;
};
const Language kLanguages[] = {{"en", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)}};

// One language's version resource, in a block with room for the
// conversions VerQueryValue makes.
std::vector<char> VersionResource(LANGID language) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceExA(module, MAKEINTRESOURCEA(16), MAKEINTRESOURCEA(1), language);
    if (found == nullptr) return {};
    const DWORD size = SizeofResource(module, found);
    const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
    std::vector<char> block(size * 3, 0);
    std::copy(data, data + size, block.begin());
    return block;
}

std::wstring Value(std::vector<char>& block, const wchar_t* key) {
    std::wstring path = L"\\StringFileInfo\\040904E4\\";
    path += key;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || value == nullptr) return L"<missing>";
    return static_cast<const wchar_t*>(value);
}

TEST(VersionInformation, EveryLanguageHasTheKeysTheFixedPartAndTheTranslation) {
    for (const Language& language : kLanguages) {
        SCOPED_TRACE(language.name);
        std::vector<char> block = VersionResource(language.id);
        ASSERT_FALSE(block.empty());
        EXPECT_EQ(Value(block, L"CompanyName"), L"Harrowgate Technology");
        EXPECT_NE(Value(block, L"FileDescription"), L"<missing>");
        EXPECT_NE(Value(block, L"FileDescription").find(L"Tessaline Diagnostics"), std::wstring::npos);
        EXPECT_EQ(Value(block, L"FileVersion"), L"1.02");
        EXPECT_EQ(Value(block, L"InternalName"), L"KDX");
        EXPECT_NE(Value(block, L"LegalCopyright"), L"<missing>");
        EXPECT_NE(Value(block, L"LegalTrademarks").find(L"Tessaline Diagnostics"), std::wstring::npos);
        EXPECT_EQ(Value(block, L"OriginalFilename"), L"Tessaline Diagnostics.exe");
        EXPECT_EQ(Value(block, L"ProductName"), L"Tessaline Utilities");
        EXPECT_EQ(Value(block, L"ProductVersion"), L"1.02");
        EXPECT_NE(Value(block, L"Comments"), L"<missing>");

        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
        EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
        EXPECT_EQ(fixed->dwFileVersionLS, 0x00000002u);
        EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
        EXPECT_EQ(fixed->dwProductVersionLS, 0x00000002u);

        WORD* translation = nullptr;
        ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                                   &length));
        ASSERT_EQ(length, 4u);
        EXPECT_EQ(translation[0], 0x0409);
        EXPECT_EQ(translation[1], 0x04E4);
    }
}

}  // namespace
}  // namespace td
