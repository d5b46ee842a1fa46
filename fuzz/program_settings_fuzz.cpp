// Fuzzing the program's own registry entries as it reads them at start-up:
// the installation key's "HelpPath" and the user's "WindowPos", both values
// a user or another program may have left with any type and length.
//
// Input, in this order:
//   1 byte    bit 0: the installation key exists; bit 1: "HelpPath" exists;
//             bit 2: the settings key exists; bit 3: "WindowPos" exists
//   counted   the "HelpPath" bytes as stored
//   2 x 2     the screen's width and height (little-endian, at least 1)
//   the rest  the "WindowPos" bytes as stored
//
// Checked on every input:
// - the installation check answers 0, 50003, 50004 or 50005; on 0 both help
//   file paths are the HelpPath text followed by "\KDX.hlp" and
//   "\KDXCH.hlp", whole and terminated;
// - the placement the window is created from names the present screen and
//   is exactly the 28 bytes "WindowPos" holds afterwards;
// - every key opened is closed again.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_checks.h"
#include "fuzz_input.h"
#include "shell/installation.h"
#include "shell/window_placement.h"
#include "support/memory_registry.h"

namespace {

using namespace td;
using fuzz::InputReader;
using fuzz::Require;
using fuzz::RequireTerminated;

void CheckInstallationKey(std::uint8_t settings, const std::vector<std::uint8_t>& help_path) {
    test::MemoryRegistry registry;
    if ((settings & 0x01) != 0) registry.AddKey(RegistryRoot::LocalMachine, kInstallationKeyPath);
    if ((settings & 0x03) == 0x03) {
        registry.SetBytes(RegistryRoot::LocalMachine, kInstallationKeyPath, kHelpPathValueName, help_path);
    }
    HelpFiles files;
    std::memset(&files, 'h', sizeof files);
    const int answer = CheckInstallation(registry, files);
    Require(registry.OpenKeyCount() == 0, "the installation key left open");
    Require(answer == 0 || answer == 50003 || answer == 50004 || answer == 50005,
            "an installation check answer of no message");
    if (answer != 0) return;
    Require((settings & 0x03) == 0x03, "an installation found without its HelpPath");
    RequireTerminated(files.help_file, "the help file path lost its terminator");
    RequireTerminated(files.context_help_file, "the context help file path lost its terminator");
    std::string folder;
    for (std::uint8_t byte : help_path) {
        if (byte == 0) break;
        folder += static_cast<char>(byte);
    }
    Require(folder + kHelpFileName == files.help_file && folder + kContextHelpFileName == files.context_help_file,
            "a help file path that is not the HelpPath folder and the file's name");
}

void CheckWindowPos(std::uint8_t settings, std::int32_t width, std::int32_t height,
                    const std::vector<std::uint8_t>& stored) {
    test::MemoryRegistry registry;
    if ((settings & 0x04) != 0) registry.AddKey(RegistryRoot::CurrentUser, kSettingsKeyPath);
    if ((settings & 0x0C) == 0x0C) {
        registry.SetBytes(RegistryRoot::CurrentUser, kSettingsKeyPath, kWindowPosValueName, stored);
    }
    const WindowPlacementRecord record = LoadWindowPlacement(registry, width, height);
    Require(registry.OpenKeyCount() == 0, "the settings key left open");
    Require(record.screen_width == width && record.screen_height == height,
            "a placement for another screen than the present one");
    const std::int64_t right = static_cast<std::int64_t>(record.left) + record.width;
    const std::int64_t bottom = static_cast<std::int64_t>(record.top) + record.height;
    Require(record.left >= 0 && record.top >= 0 && right <= width && bottom <= height,
            "a window placed where the user cannot reach it");
    std::vector<std::uint8_t> after;
    Require(registry.GetBytes(RegistryRoot::CurrentUser, kSettingsKeyPath, kWindowPosValueName, &after),
            "no WindowPos after the start");
    Require(after.size() == sizeof record && std::memcmp(after.data(), &record, sizeof record) == 0,
            "a window created from another placement than the one stored");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InputReader input(data, size);
    const std::uint8_t settings = input.Byte();
    const std::vector<std::uint8_t> help_path = input.Counted();
    const std::int32_t width = 1 + (input.Byte() | input.Byte() << 8);
    const std::int32_t height = 1 + (input.Byte() | input.Byte() << 8);
    const std::vector<std::uint8_t> stored = input.Rest();
    CheckInstallationKey(settings, help_path);
    CheckWindowPos(settings, width, height, stored);
    return 0;
}
