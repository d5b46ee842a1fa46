// Start-up decisions: platform, shared texts, installation, window placement.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "common/shared_texts.h"
#include "common/win_codes.h"
#include "shell/installation.h"
#include "shell/platform.h"
#include "shell/window_placement.h"
#include "support/memory_registry.h"
#include "support/scripted_messages.h"

namespace td {
namespace {

using test::MemoryRegistry;

TEST(Platform, DecidedFromTheVersionValue) {
    EXPECT_EQ(DecidePlatform(0x05650004u), PlatformDecision::WindowsNt);  // NT 4.0 build 1381
    EXPECT_EQ(DecidePlatform(0x00000003u), PlatformDecision::WindowsNt);  // NT 3.x is not told apart
    EXPECT_EQ(DecidePlatform(0xC0000004u), PlatformDecision::Windows95);
    EXPECT_EQ(DecidePlatform(0xC0000A04u), PlatformDecision::Windows95);  // 4.10
    EXPECT_EQ(DecidePlatform(0x80000A03u), PlatformDecision::Win32s);     // 3.10 with the top bit
}

// The systems that have WinHelp keep it; from Vista on (NT 6.0) HTML Help,
// also where Windows reports 6.2 to a program without a manifest for it.
TEST(Platform, TheHelpViewerIsTheOneTheSystemHas) {
    for (std::uint32_t version : {0xC0000004u, 0xC0000A04u, 0xC0005A04u, 0x05650004u, 0x08930005u, 0x0A280105u})
        EXPECT_EQ(DecideHelpViewer(version), HelpViewerKind::WinHelp) << std::hex << version;
    for (std::uint32_t version : {0x17700006u, 0x1DB10106u, 0x23F00206u, 0x4A61000Au, 0x6580000Au})
        EXPECT_EQ(DecideHelpViewer(version), HelpViewerKind::HtmlHelp) << std::hex << version;
}

TEST(SharedTextsLoading, AllThirtyNineLoadAndTheFirstMissingStops) {
    test::ScriptedMessages messages;
    SharedTexts texts{};
    ASSERT_TRUE(LoadSharedTexts(messages, texts));
    EXPECT_STREQ(texts.status_caption, "Tessaline Diagnostics status:");
    EXPECT_STREQ(texts.printer, "Printer");
    EXPECT_STREQ(texts.not_tested, "Not Tested");
    EXPECT_EQ(std::string(texts.warning_shared), messages.Text(50044));
    EXPECT_EQ(std::string(texts.no_device_refusal), messages.Text(50042)) << "fits its 92 characters";

    // A text nobody reads still stops the start-up when it is missing.
    test::ScriptedMessages broken;
    broken.Remove(50060);
    SharedTexts partial{};
    EXPECT_FALSE(LoadSharedTexts(broken, partial));
    EXPECT_STREQ(partial.continue_question, "\n\nContinue with Diagnostics Test?");
    EXPECT_STREQ(partial.tests_successful, "") << "nothing after the missing text is loaded";
}

class Installation : public ::testing::Test {
protected:
    MemoryRegistry registry;
    HelpFiles files{};
};

TEST_F(Installation, MissingKeyIsRefusedAndLeavesNoKeyBehind) {
    EXPECT_EQ(CheckInstallation(registry, files), 50004);
    EXPECT_FALSE(registry.HasKey(RegistryRoot::LocalMachine, kInstallationKeyPath));
    EXPECT_EQ(registry.OpenKeyCount(), 0);
}

TEST_F(Installation, KeyThatCannotBeDeletedAgainIsARegistryFailure) {
    registry.fail_delete = true;
    EXPECT_EQ(CheckInstallation(registry, files), 50003);
}

TEST_F(Installation, InaccessibleRegistry) {
    registry.fail_create = true;
    EXPECT_EQ(CheckInstallation(registry, files), 50003);
}

TEST_F(Installation, KeyWithoutHelpPath) {
    registry.AddKey(RegistryRoot::LocalMachine, kInstallationKeyPath);
    EXPECT_EQ(CheckInstallation(registry, files), 50005);
    EXPECT_TRUE(registry.HasKey(RegistryRoot::LocalMachine, kInstallationKeyPath));
    EXPECT_EQ(registry.OpenKeyCount(), 0);
}

TEST_F(Installation, HelpFilesFollowTheHelpPath) {
    registry.SetText(RegistryRoot::LocalMachine, kInstallationKeyPath, "HelpPath", "C:\\TD\\HELP");
    EXPECT_EQ(CheckInstallation(registry, files), 0);
    EXPECT_STREQ(files.help_file, "C:\\TD\\HELP\\KDX.hlp");
    EXPECT_STREQ(files.context_help_file, "C:\\TD\\HELP\\KDXCH.hlp");
    EXPECT_STREQ(files.html_help_file, "C:\\TD\\HELP\\KDX.chm");
}

TEST_F(Installation, HelpPathWithoutTerminatorIsStillRead) {
    registry.SetText(RegistryRoot::LocalMachine, kInstallationKeyPath, "HelpPath", "D:\\H", false);
    EXPECT_EQ(CheckInstallation(registry, files), 0);
    EXPECT_STREQ(files.help_file, "D:\\H\\KDX.hlp");
}

TEST_F(Installation, HelpPathTooLongForTheHelpFileNamesIsRefused) {
    const std::string longest_fitting(259 - 10, 'p');  // + "\KDXCH.hlp" = 259 characters
    registry.SetText(RegistryRoot::LocalMachine, kInstallationKeyPath, "HelpPath", longest_fitting);
    EXPECT_EQ(CheckInstallation(registry, files), 0);
    EXPECT_EQ(std::string(files.context_help_file).size(), 259u);

    registry.SetText(RegistryRoot::LocalMachine, kInstallationKeyPath, "HelpPath", longest_fitting + "p");
    EXPECT_EQ(CheckInstallation(registry, files), 50005);
    registry.SetText(RegistryRoot::LocalMachine, kInstallationKeyPath, "HelpPath", std::string(400, 'q'));
    EXPECT_EQ(CheckInstallation(registry, files), 50005);
}

WindowPlacementRecord Record(std::int32_t l, std::int32_t t, std::int32_t w, std::int32_t h, std::int32_t view,
                             std::int32_t sw, std::int32_t sh) {
    return WindowPlacementRecord{l, t, w, h, view, sw, sh};
}

void ExpectRecord(const WindowPlacementRecord& r, const WindowPlacementRecord& e) {
    EXPECT_EQ(r.left, e.left);
    EXPECT_EQ(r.top, e.top);
    EXPECT_EQ(r.width, e.width);
    EXPECT_EQ(r.height, e.height);
    EXPECT_EQ(r.view_mode, e.view_mode);
    EXPECT_EQ(r.screen_width, e.screen_width);
    EXPECT_EQ(r.screen_height, e.screen_height);
}

WindowPlacementRecord Stored(const MemoryRegistry& registry) {
    std::vector<unsigned char> bytes;
    EXPECT_TRUE(registry.GetBytes(RegistryRoot::CurrentUser, kSettingsKeyPath, "WindowPos", &bytes));
    EXPECT_EQ(bytes.size(), 28u);
    WindowPlacementRecord record{};
    std::memcpy(&record, bytes.data(), std::min<std::size_t>(bytes.size(), sizeof record));
    return record;
}

void StoreBytes(MemoryRegistry& registry, const WindowPlacementRecord& record, std::size_t size) {
    const auto* p = reinterpret_cast<const unsigned char*>(&record);
    registry.SetBytes(RegistryRoot::CurrentUser, kSettingsKeyPath, "WindowPos",
                      std::vector<unsigned char>(p, p + size));
}

TEST(WindowPlacement, FirstRunWritesTheDefaultRectangle) {
    MemoryRegistry registry;
    const WindowPlacementRecord record = LoadWindowPlacement(registry, 1024, 768);
    ExpectRecord(record, Record(204, 153, 612, 459, 0, 1024, 768));
    ExpectRecord(Stored(registry), record);
}

TEST(WindowPlacement, RecordOfTheSameScreenIsUsedAsItIs) {
    MemoryRegistry registry;
    StoreBytes(registry, Record(10, 20, 300, 200, 3, 1024, 768), 28);
    ExpectRecord(LoadWindowPlacement(registry, 1024, 768), Record(10, 20, 300, 200, 3, 1024, 768));
}

TEST(WindowPlacement, RecordOfAnotherScreenIsRescaledInTenths) {
    // 640 x 480 to 800 x 600: kx = 8000/640 = 12, ky = 6000/480 = 12.
    MemoryRegistry registry;
    StoreBytes(registry, Record(100, 50, 333, 201, 1, 640, 480), 28);
    const WindowPlacementRecord record = LoadWindowPlacement(registry, 800, 600);
    ExpectRecord(record, Record(120, 60, 399, 241, 1, 800, 600));
    ExpectRecord(Stored(registry), record);

    // 800 x 600 to 1024 x 768: 10240/800 = 12.8 and 7680/600 = 12.8, both truncated to 12.
    WindowPlacementRecord display = Record(100, 100, 500, 400, 2, 800, 600);
    RescalePlacement(display, 1024, 768);
    ExpectRecord(display, Record(120, 120, 600, 480, 2, 1024, 768));
}

TEST(WindowPlacement, ShortOrZeroSizedRecordsAreResetNeverDividedBy) {
    for (std::size_t size : {std::size_t{0}, std::size_t{12}, std::size_t{27}}) {
        MemoryRegistry registry;
        StoreBytes(registry, Record(1, 2, 3, 4, 1, 640, 480), size);
        ExpectRecord(LoadWindowPlacement(registry, 800, 600), Record(160, 120, 480, 360, 0, 800, 600));
        ExpectRecord(Stored(registry), Record(160, 120, 480, 360, 0, 800, 600));
    }
    for (auto screen : {std::pair{0, 480}, std::pair{640, 0}, std::pair{-5, 480}}) {
        MemoryRegistry registry;
        StoreBytes(registry, Record(1, 2, 3, 4, 1, screen.first, screen.second), 28);
        ExpectRecord(LoadWindowPlacement(registry, 800, 600), Record(160, 120, 480, 360, 0, 800, 600));
    }
    WindowPlacementRecord zero = Record(5, 5, 5, 5, 3, 0, 0);
    RescalePlacement(zero, 640, 480);
    ExpectRecord(zero, Record(128, 96, 384, 288, 0, 640, 480));
}

TEST(WindowPlacement, LongerValueIsTreatedAsMissing) {
    MemoryRegistry registry;
    registry.SetBytes(RegistryRoot::CurrentUser, kSettingsKeyPath, "WindowPos", std::vector<unsigned char>(40, 1));
    ExpectRecord(LoadWindowPlacement(registry, 640, 480), Record(128, 96, 384, 288, 0, 640, 480));
    ExpectRecord(Stored(registry), Record(128, 96, 384, 288, 0, 640, 480));
}

// Records the window could not be reached from, on a 1024 x 768 primary
// screen alone (the virtual screen's metrics answer 0) and beside a second
// monitor of 1280 x 1024 on its left.
TEST(WindowPlacement, AWindowThatCannotBeReachedIsBroughtOntoTheScreen) {
    const ScreenArea primary_only{0, 0, 0, 0};
    const ScreenArea two_monitors{-1280, 0, 2304, 1024};
    const WindowPlacementRecord default_place = Record(204, 153, 612, 459, 3, 1024, 768);
    const struct {
        const char* what;
        WindowPlacementRecord stored;
        ScreenArea screen;
        WindowPlacementRecord opens;
    } cases[] = {
        {"closed minimized on Windows", Record(-32000, -32000, 160, 31, 3, 1024, 768), primary_only, default_place},
        {"closed minimized under Wine", Record(0, 744, 160, 27, 3, 1024, 768), primary_only, default_place},
        {"too small to use", Record(300, 200, 199, 400, 3, 1024, 768), primary_only, default_place},
        {"closed maximized", Record(-4, -4, 1032, 776, 3, 1024, 768), primary_only,
         Record(0, 0, 1024, 768, 3, 1024, 768)},
        {"past the right and bottom edges", Record(900, 700, 600, 400, 3, 1024, 768), primary_only,
         Record(424, 368, 600, 400, 3, 1024, 768)},
        {"wholly off the screen", Record(-32000, -32000, 600, 400, 3, 1024, 768), primary_only,
         Record(0, 0, 600, 400, 3, 1024, 768)},
        {"on the left monitor", Record(-1000, 300, 800, 600, 3, 1024, 768), two_monitors,
         Record(-1000, 300, 800, 600, 3, 1024, 768)},
        {"on a left monitor gone", Record(-1000, 300, 800, 600, 3, 1024, 768), primary_only,
         Record(0, 168, 800, 600, 3, 1024, 768)},
        {"below both monitors", Record(100, 900, 600, 400, 3, 1024, 768), two_monitors,
         Record(100, 624, 600, 400, 3, 1024, 768)},
    };
    for (const auto& c : cases) {
        MemoryRegistry registry;
        StoreBytes(registry, c.stored, 28);
        SCOPED_TRACE(c.what);
        ExpectRecord(LoadWindowPlacement(registry, 1024, 768, c.screen), c.opens);
        ExpectRecord(Stored(registry), c.opens);
    }

    // A window the user can reach is left where it is, partly covered or not.
    WindowPlacementRecord reachable = Record(0, 0, 200, 150, 1, 1024, 768);
    EXPECT_FALSE(BringOntoScreen(reachable, primary_only, 1024, 768));
    ExpectRecord(reachable, Record(0, 0, 200, 150, 1, 1024, 768));

    // Rescaled from another screen first, then brought onto this one.
    MemoryRegistry registry;
    StoreBytes(registry, Record(1800, 100, 600, 500, 2, 1920, 1080), 28);  // x by 5/10, y by 7/10
    ExpectRecord(LoadWindowPlacement(registry, 1024, 768, primary_only), Record(724, 70, 300, 350, 2, 1024, 768));
}

TEST(WindowPlacement, SavingNeedsAnExistingSettingsKey) {
    MemoryRegistry registry;
    SaveWindowPlacement(registry, Record(1, 2, 3, 4, 1, 800, 600));
    EXPECT_FALSE(registry.HasKey(RegistryRoot::CurrentUser, kSettingsKeyPath));
    registry.AddKey(RegistryRoot::CurrentUser, kSettingsKeyPath);
    SaveWindowPlacement(registry, Record(1, 2, 3, 4, 1, 800, 600));
    ExpectRecord(Stored(registry), Record(1, 2, 3, 4, 1, 800, 600));
}

TEST(Messages, ShownOnlyWhenTheTextLoadsWithTheStatusCaption) {
    test::ScriptedMessages messages;
    EXPECT_EQ(ShowMessage(messages, 7, 50008, win::kMbIconError), win::kIdOk);
    ASSERT_EQ(messages.boxes().size(), 1u);
    EXPECT_EQ(messages.boxes()[0].caption, "Tessaline Diagnostics status:");
    EXPECT_EQ(messages.boxes()[0].owner, 7u);
    EXPECT_EQ(messages.boxes()[0].flags, win::kMbIconError);
    messages.Remove(50008);
    EXPECT_EQ(ShowMessage(messages, 0, 50008, 0), 0);
    EXPECT_EQ(messages.boxes().size(), 1u);
}

}  // namespace
}  // namespace td
