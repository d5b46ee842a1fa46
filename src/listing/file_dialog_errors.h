// Which text explains a common file dialog's extended error code.
#pragma once

#include <cstdint>

namespace td {

// The string id of the explanation of CommDlgExtendedError's `code`; 0 for
// code 0 (the user cancelled: nothing to explain); 48 "Unknown error." for
// a code the common dialog library does not define.
int FileDialogErrorTextId(std::uint32_t code);

}  // namespace td
