#include "scsi/aspi_library_win32.h"

namespace td {

bool LoadedAspiLibrary::Load() {
    Release();  // a second load must not leave the first reference behind
    module_ = LoadLibraryA("wnaspi32.dll");
    if (module_ == nullptr) return false;
    get_support_info_ = reinterpret_cast<aspi::GetSupportInfoProc>(
        reinterpret_cast<void*>(GetProcAddress(module_, "GetASPI32SupportInfo")));
    send_command_ = reinterpret_cast<aspi::SendCommandProc>(
        reinterpret_cast<void*>(GetProcAddress(module_, "SendASPI32Command")));
    if (get_support_info_ == nullptr || send_command_ == nullptr) {
        Release();
        return false;
    }
    return true;
}

void LoadedAspiLibrary::Release() {
    if (module_ != nullptr) FreeLibrary(module_);
    module_ = nullptr;
    get_support_info_ = nullptr;
    send_command_ = nullptr;
}

std::uint32_t LoadedAspiLibrary::GetSupportInfo() { return get_support_info_ != nullptr ? get_support_info_() : 0; }

std::uint32_t LoadedAspiLibrary::SendCommand(void* srb) { return send_command_ != nullptr ? send_command_(srb) : 0; }

}  // namespace td
