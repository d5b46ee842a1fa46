// The file operations of a save, through kernel32 as Windows 95 and NT 4.0
// have it.
#pragma once

#include "listing/safe_save.h"

namespace td {

ListingFiles& SystemListingFiles();

}  // namespace td
