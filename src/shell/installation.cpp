#include "shell/installation.h"

#include <cstring>

#include "common/fixed_text.h"

namespace td {

static_assert(sizeof kHelpFileName <= sizeof kContextHelpFileName &&
                  sizeof kHtmlHelpFileName <= sizeof kContextHelpFileName,
              "the length check below takes the context help file's name as the longest");

int CheckInstallation(Registry& registry, HelpFiles& files) {
    bool created = false;
    const RegistryKey key = registry.CreateKey(RegistryRoot::LocalMachine, kInstallationKeyPath,
                                               RegistryAccess::AllAccess, &created);
    if (key == 0) return 50003;
    if (created) {
        const bool deleted = registry.DeleteKey(RegistryRoot::LocalMachine, kInstallationKeyPath);
        registry.CloseKey(key);
        return deleted ? 50004 : 50003;
    }
    char help_path[kHelpPathSize];
    const bool read = ReadTextValue(registry, key, kHelpPathValueName, help_path, sizeof help_path);
    registry.CloseKey(key);
    // The longest of the names must fit with its terminator; a folder cut
    // to fit would send the help viewer to a folder that does not exist.
    if (!read || std::strlen(help_path) + std::strlen(kContextHelpFileName) >= kHelpPathSize) {
        return 50005;
    }
    CopyText(files.help_file, help_path);
    AppendText(files.help_file, kHelpFileName);
    CopyText(files.context_help_file, help_path);
    AppendText(files.context_help_file, kContextHelpFileName);
    CopyText(files.html_help_file, help_path);
    AppendText(files.html_help_file, kHtmlHelpFileName);
    return 0;
}

}  // namespace td
