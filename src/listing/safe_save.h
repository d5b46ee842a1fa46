// Saving a listing without ever losing the file it replaces.
//
// The new listing is written to a temporary file beside the old one and
// takes the old one's name only once it is whole, so a write that fails
// (a full disk, a network drive gone) leaves the old file as it was. Where
// the system can rename over an existing file in one step (Windows NT and
// its successors) that step replaces it; Windows 95, 98 and Me cannot, and
// there the old file steps aside under a temporary name first and is
// deleted once the new one has its name, or put back if that fails.
#pragma once

#include <cstddef>

namespace td {

// The file operations a save needs, on full paths of at most 260 characters.
class ListingFiles {
public:
    virtual ~ListingFiles() = default;
    // False when `path` exists and may not be written (read-only, in use by
    // another program, not allowed); true when it may be, or does not exist.
    virtual bool MayReplace(const char* path) = 0;
    // Creates a new empty file with a name of its own in `folder` (as
    // FolderOf gives it) and answers its path in `name` (260 characters).
    virtual bool CreateTemporary(const char* folder, char (&name)[260]) = 0;
    // Writes `length` bytes into the existing file `path`, replacing what it
    // holds, and answers true only when all of them reached the disk.
    virtual bool WriteWhole(const char* path, const char* bytes, std::size_t length) = 0;
    // Renames `from` to `to`, replacing `to` in one step. False when that
    // failed or the system cannot do it.
    virtual bool RenameReplacing(const char* from, const char* to) = 0;
    // Renames `from` to `to`, which must not exist.
    virtual bool Rename(const char* from, const char* to) = 0;
    virtual bool Exists(const char* path) = 0;
    virtual bool Remove(const char* path) = 0;
};

enum class SaveOutcome {
    Saved,
    NotCreated,  // the file could not be created or take its name: 50036
    NotWritten,  // writing the text failed: 50037
};

// The folder that `path` names its file in, where the temporary files go:
// the path up to its last separator ("C:\\Listings\\" of
// "C:\\Listings\\a.txt", "C:" of "C:a.txt"), or "." for a bare name.
void FolderOf(const char* path, char (&folder)[260]);

// Writes `length` bytes as the file `path`, replacing any file of that name
// only once the new text is whole. Whatever fails, the file that was there
// stays as it was and no temporary file is left behind.
SaveOutcome SaveReplacing(ListingFiles& files, const char* path, const char* bytes, std::size_t length);

}  // namespace td
