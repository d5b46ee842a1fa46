#include "support/program_texts.h"

namespace td::e2e {

ProgramTexts::ProgramTexts(const std::string& exe_path)
    : module_(LoadLibraryExA(exe_path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)), exe_path_(exe_path) {}

ProgramTexts::~ProgramTexts() {
    if (module_ != nullptr) FreeLibrary(module_);
}

std::string ProgramTexts::operator()(int id) const {
    if (module_ == nullptr) return "<" + exe_path_ + " could not be read>";
    char text[2048] = "";
    const int length = LoadStringA(module_, static_cast<UINT>(id), text, sizeof text);
    if (length <= 0) return "<no string " + std::to_string(id) + " in the program>";
    return std::string(text, static_cast<size_t>(length));
}

}  // namespace td::e2e
