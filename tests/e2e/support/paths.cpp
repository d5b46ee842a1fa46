#include "support/paths.h"

#include <windows.h>

namespace td::e2e {

std::string ProgramFolder() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

std::string WindowsPathOf(const std::string& unix_path) {
    std::string path = "Z:" + unix_path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string ScenarioPath(const std::string& file_name) {
    return WindowsPathOf(std::string(TD_SOURCE_DIR) + "/tests/e2e/scenarios/" + file_name);
}

std::string FailureFolder() {
    const std::string folder = WindowsPathOf(TD_E2E_FAILURE_DIR);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\";
}

}  // namespace td::e2e
