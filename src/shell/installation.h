// The installation entry the program insists on.
//
// The setup program creates the key "Tessaline Diagnostics.EXE" under
// HKEY_LOCAL_MACHINE's App Paths with the value "HelpPath", the folder of
// the help files. Without the key the program was
// not installed and refuses to run; from "HelpPath" it derives the two help
// files it hands to the help viewer.
#pragma once

#include "common/registry.h"

namespace td {

constexpr char kInstallationKeyPath[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Tessaline Diagnostics.EXE";
constexpr char kHelpPathValueName[] = "HelpPath";
constexpr char kHelpFileName[] = "\\KDX.hlp";
constexpr char kContextHelpFileName[] = "\\KDXCH.hlp";
constexpr char kHtmlHelpFileName[] = "\\KDX.chm";
constexpr int kHelpPathSize = 260;

struct HelpFiles {
    char help_file[kHelpPathSize];          // HelpPath + "\KDX.hlp": the contents
    char context_help_file[kHelpPathSize];  // HelpPath + "\KDXCH.hlp": context popups
    char html_help_file[kHelpPathSize];     // HelpPath + "\KDX.chm": the contents as HTML Help
};

// Checks the installation entry and derives the help files. Answers 0 when
// the program may go on, else the message to show before it exits:
//   50003 the key can neither be opened nor created, or a key this check
//         had to create cannot be deleted again;
//   50004 the key did not exist (it is deleted again, leaving no trace);
//   50005 "HelpPath" cannot be read, or names a folder so long that the
//         help file names would not fit their 260 characters.
int CheckInstallation(Registry& registry, HelpFiles& files);

}  // namespace td
