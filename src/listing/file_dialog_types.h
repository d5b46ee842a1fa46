// The file types the Open and Save As dialogs offer, and the extension a
// name typed without one gets.
#pragma once

#include <cstddef>

namespace td {

class Messages;

// The listings this program writes and reads: the .txt files it saves and
// the .LOG files it always proposed.
constexpr char kListingPatterns[] = "*.txt;*.log";
constexpr char kAllFilesPatterns[] = "*.*";

// A name typed without extension gets this one. Windows 95 to XP append
// the dialog's default extension itself, three characters at most, after a
// dot; Wine appends the chosen file type's first extension, which is the
// same.
constexpr char kListingDefaultExtension[] = "txt";

// A file type's name as shown, terminator included, at most.
constexpr std::size_t kFileTypeNameSize = 64;

// "name\0patterns\0" pairs, listing files first and then all files, their
// names in the interface language, ending in an empty name: the dialogs'
// filter list.
struct FileDialogTypes {
    char list[kFileTypeNameSize + sizeof kListingPatterns + kFileTypeNameSize + sizeof kAllFilesPatterns + 1];
};

FileDialogTypes ListingFileTypes(Messages& messages);

}  // namespace td
