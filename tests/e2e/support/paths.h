// Where things are, as the Windows side sees them.
#pragma once

#include <string>

namespace td::e2e {

// The folder of the built programs (this test program lies there too),
// with a trailing backslash.
std::string ProgramFolder();

// A Linux path as the prefix's drive Z: shows it: "Z:" and backslashes.
std::string WindowsPathOf(const std::string& unix_path);

// A scenario file of tests/e2e/scenarios/, as a Windows path.
std::string ScenarioPath(const std::string& file_name);

// Where a failing test leaves its screenshot (created when needed).
std::string FailureFolder();

}  // namespace td::e2e
