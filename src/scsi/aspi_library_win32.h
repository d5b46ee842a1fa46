// The ASPI for Win32 library loaded at run time ("wnaspi32.dll").
#pragma once

#include <windows.h>

#include "scsi/aspi_layout.h"
#include "scsi/aspi_library.h"

namespace td {

class LoadedAspiLibrary final : public AspiLibrary {
public:
    // Loads the library and looks up both entry points; false (with the
    // library released again) when either is missing.
    bool Load();
    // Releases the library; the entry points are gone afterwards.
    void Release();
    bool loaded() const { return module_ != nullptr; }

    std::uint32_t GetSupportInfo() override;
    std::uint32_t SendCommand(void* srb) override;

private:
    HMODULE module_ = nullptr;
    aspi::GetSupportInfoProc get_support_info_ = nullptr;
    aspi::SendCommandProc send_command_ = nullptr;
};

}  // namespace td
