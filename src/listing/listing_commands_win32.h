// The File menu's Open, Save and Save As commands.
#pragma once

#include <windows.h>

namespace td {

struct Program;

// Open: chooses a listing file and shows it in place of the inventory.
bool OpenListing(Program& program, HWND owner);
// Save: writes the inventory to the file last chosen.
bool SaveListing(Program& program);
// Save As: chooses a file name and writes the inventory to it.
bool SaveListingAs(Program& program, HWND owner);
// The name (without folder) of the file last chosen by Open or Save As.
const char* ListingFileTitle(const Program& program);

}  // namespace td
