#include "listing/listing_files_win32.h"

#include <windows.h>

#include "common/file_exists_win32.h"

namespace td {
namespace {

class Win32ListingFiles final : public ListingFiles {
public:
    bool MayReplace(const char* path) override {
        const DWORD attributes = GetFileAttributesA(path);
        if (attributes == INVALID_FILE_ATTRIBUTES) return true;
        if ((attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) return false;
        // Opened for writing, not changed: refused when another program
        // holds it or the user may not write it.
        HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        CloseHandle(file);
        return true;
    }

    // GetTempFileNameA creates the file, so its name stays taken.
    bool CreateTemporary(const char* folder, char (&name)[260]) override {
        return GetTempFileNameA(folder, "tdl", 0, name) != 0;
    }

    bool WriteWhole(const char* path, const char* bytes, std::size_t length) override {
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        DWORD written = 0;
        const BOOL wrote = WriteFile(file, bytes, static_cast<DWORD>(length), &written, nullptr);
        // The new text must be on the disk before it takes the old one's name.
        const BOOL flushed = FlushFileBuffers(file);
        const BOOL closed = CloseHandle(file);
        return wrote && flushed && closed && written == length;
    }

    // MoveFileExA answers ERROR_CALL_NOT_IMPLEMENTED on Windows 95, 98 and Me.
    bool RenameReplacing(const char* from, const char* to) override {
        return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
    }

    bool Rename(const char* from, const char* to) override { return MoveFileA(from, to) != 0; }

    bool Exists(const char* path) override { return FileExists(path); }

    bool Remove(const char* path) override { return DeleteFileA(path) != 0; }
};

}  // namespace

ListingFiles& SystemListingFiles() {
    static Win32ListingFiles files;
    return files;
}

}  // namespace td
