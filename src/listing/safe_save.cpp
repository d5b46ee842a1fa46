#include "listing/safe_save.h"

#include "common/fixed_text.h"

namespace td {
namespace {

// The stepwise replacement for systems that cannot rename over a file: the
// old file moves to a free name of its own, the new one takes its name, and
// the old one goes. If the new one cannot take the name, the old one is put
// back.
bool ReplaceStepwise(ListingFiles& files, const char* folder, const char* temporary, const char* path) {
    if (!files.Exists(path)) return files.Rename(temporary, path);
    char aside[260] = "";
    if (!files.CreateTemporary(folder, aside)) return false;
    files.Remove(aside);  // only its name was wanted; Rename needs it free
    if (!files.Rename(path, aside)) return false;
    if (!files.Rename(temporary, path)) {
        files.Rename(aside, path);
        return false;
    }
    files.Remove(aside);
    return true;
}

}  // namespace

void FolderOf(const char* path, char (&folder)[260]) {
    CopyText(folder, path);
    char* after_last_separator = folder;
    for (char* at = folder; *at != '\0'; ++at) {
        if (*at == '\\' || *at == '/' || *at == ':') after_last_separator = at + 1;
    }
    *after_last_separator = '\0';
    if (folder[0] == '\0') CopyText(folder, ".");
}

SaveOutcome SaveReplacing(ListingFiles& files, const char* path, const char* bytes, std::size_t length) {
    if (!files.MayReplace(path)) return SaveOutcome::NotCreated;
    char folder[260];
    FolderOf(path, folder);
    char temporary[260] = "";
    if (!files.CreateTemporary(folder, temporary)) return SaveOutcome::NotCreated;
    if (!files.WriteWhole(temporary, bytes, length)) {
        files.Remove(temporary);
        return SaveOutcome::NotWritten;
    }
    if (files.RenameReplacing(temporary, path) || ReplaceStepwise(files, folder, temporary, path))
        return SaveOutcome::Saved;
    files.Remove(temporary);
    return SaveOutcome::NotCreated;
}

}  // namespace td
