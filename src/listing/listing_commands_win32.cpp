#include "listing/listing_commands_win32.h"

#include <commdlg.h>

#include <cstddef>

#include "common/file_exists_win32.h"
#include "common/fixed_text.h"
#include "common/program_resources_win32.h"
#include "common/win_codes.h"
#include "listing/file_dialog_errors.h"
#include "listing/file_dialog_types.h"
#include "listing/listing_files_win32.h"
#include "listing/listing_format.h"
#include "listing/listing_parse.h"
#include "listing/safe_save.h"
#include "resources/resource_ids.h"
#include "shell/discovery_win32.h"
#include "shell/program_win32.h"

namespace td {
namespace {

// Windows 95 and NT 4.0 know OPENFILENAMEA only up to lpTemplateName and
// answer any larger size with CDERR_STRUCTSIZE; later systems accept the
// short form too. The headers' struct carries the Windows 2000 tail.
constexpr DWORD kOpenFileNameSize = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);
static_assert(sizeof(void*) != 4 || kOpenFileNameSize == 76, "OPENFILENAME_SIZE_VERSION_400A");

OPENFILENAMEA DialogSetup(Program& program, HWND owner, const char* title, DWORD flags, const FileDialogTypes& types) {
    ListingFileNames& names = program.listing_file;
    names.path[0] = '\0';
    names.title[0] = '\0';
    OPENFILENAMEA dialog{};
    dialog.lStructSize = kOpenFileNameSize;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = types.list;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = names.path;
    dialog.nMaxFile = sizeof names.path;
    dialog.lpstrFileTitle = names.title;
    dialog.nMaxFileTitle = sizeof names.title;
    dialog.lpstrInitialDir = nullptr;
    dialog.lpstrTitle = title;
    dialog.Flags = flags;
    dialog.lpstrDefExt = kListingDefaultExtension;
    return dialog;
}

void ReportFileDialogError(DWORD code, HWND owner) {
    const int text_id = FileDialogErrorTextId(code);
    if (text_id == 0) return;
    char text[260] = "";
    LoadProgramText(text_id, text, sizeof text);
    MessageBoxA(owner, text, nullptr, MB_OK);
}

int Fail(Program& program, HWND owner, int text_id) {
    ShowMessage(program.messages, ToRef(owner), text_id, win::kMbOk);
    return 0;
}

// Reads the whole file and hands its bytes to the listing reader.
int ReadListingFile(Program& program, HWND main_window) {
    HANDLE file = CreateFileA(program.listing_file.path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Fail(program, main_window, IDS_FILE_OPEN_FAILED);
    const DWORD size = GetFileSize(file, nullptr);
    if (size == INVALID_FILE_SIZE) {
        CloseHandle(file);
        return Fail(program, main_window, IDS_FILE_SIZE_FAILED);
    }
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, size == 0 ? 1 : size);
    if (block == nullptr) {
        CloseHandle(file);
        return Fail(program, nullptr, IDS_NO_MEMORY);
    }
    char* bytes = static_cast<char*>(block);
    DWORD read = 0;
    if (!ReadFile(file, bytes, size, &read, nullptr) || read == 0) {
        GlobalFree(block);
        CloseHandle(file);
        return Fail(program, nullptr, IDS_FILE_EMPTY);
    }
    CloseHandle(file);
    program.records_from_listing = true;
    const int result = ParseListing(bytes, read, program.inventory, program.texts, program.messages, program.views);
    GlobalFree(block);
    return result;
}

}  // namespace

// A name typed without extension is the listing of that name with the
// extension .txt. Wine's dialog appends the extension only after it has
// looked for the file as typed, and with OFN_FILEMUSTEXIST refuses the name
// at that first look; so the dialog is not asked to insist on an existing
// file, the program checks that the file exists itself, and a name that
// names none is reported and goes back to the dialog to be corrected.
bool OpenListing(Program& program, HWND owner) {
    const FileDialogTypes types = ListingFileTypes(program.messages);
    char typed[260] = "";
    for (;;) {
        OPENFILENAMEA dialog = DialogSetup(program, owner, program.texts.open_title,
                                           OFN_PATHMUSTEXIST | OFN_SHOWHELP | OFN_HIDEREADONLY, types);
        CopyText(program.listing_file.path, typed);
        if (!GetOpenFileNameA(&dialog)) {
            program.listing_file = ListingFileNames{};
            ReportFileDialogError(CommDlgExtendedError(), owner);
            return false;
        }
        if (FileExists(program.listing_file.path)) break;
        ShowMessage(program.messages, ToRef(owner), IDS_FILE_NOT_FOUND, win::kMbOk);
        CopyText(typed, program.listing_file.path);
    }
    // The listing replaces the inventory: a device scan still running
    // must not go on writing into it.
    StopDeviceScan(program);
    return ReadListingFile(program, owner) == 1;
}

// The system's own question before an existing file is replaced: No goes
// back to the dialog.
bool SaveListingAs(Program& program, HWND owner) {
    const FileDialogTypes types = ListingFileTypes(program.messages);
    OPENFILENAMEA dialog = DialogSetup(program, owner, program.texts.save_title, OFN_OVERWRITEPROMPT, types);
    if (!GetSaveFileNameA(&dialog)) {
        ReportFileDialogError(CommDlgExtendedError(), owner);
        return false;
    }
    return SaveListing(program);
}

bool SaveListing(Program& program) {
    const ListingText text = FormatListing(program.inventory, program.messages);
    if (!text) return Fail(program, nullptr, IDS_FORMAT_FAILED) == 1;
    switch (SaveReplacing(SystemListingFiles(), program.listing_file.path, text.data(), text.length())) {
        case SaveOutcome::Saved:
            return true;
        case SaveOutcome::NotCreated:
            return Fail(program, nullptr, IDS_FILE_CREATE_FAILED) == 1;
        case SaveOutcome::NotWritten:
            return Fail(program, nullptr, IDS_FILE_WRITE_FAILED) == 1;
    }
    return false;
}

const char* ListingFileTitle(const Program& program) { return program.listing_file.title; }

}  // namespace td
