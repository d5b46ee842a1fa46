// Whether a file (not a folder) of a name exists.
#pragma once

namespace td {

bool FileExists(const char* path);

}  // namespace td
