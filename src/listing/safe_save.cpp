#include "listing/safe_save.h"

namespace td {
namespace {

// The stepwise replacement for systems that cannot rename over a file: the
// old file moves to a free name of its own, the new one takes its name, and
// the old one goes. If the new one cannot take the name, the old one is put
// back.
bool ReplaceStepwise(ListingFiles& files, const char* temporary, const char* path) {
    if (!files.Exists(path)) return files.Rename(temporary, path);
    char aside[260] = "";
    if (!files.CreateTemporary(path, aside)) return false;
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

SaveOutcome SaveReplacing(ListingFiles& files, const char* path, const char* bytes, std::size_t length) {
    if (!files.MayReplace(path)) return SaveOutcome::NotCreated;
    char temporary[260] = "";
    if (!files.CreateTemporary(path, temporary)) return SaveOutcome::NotCreated;
    if (!files.WriteWhole(temporary, bytes, length)) {
        files.Remove(temporary);
        return SaveOutcome::NotWritten;
    }
    if (files.RenameReplacing(temporary, path) || ReplaceStepwise(files, temporary, path)) return SaveOutcome::Saved;
    files.Remove(temporary);
    return SaveOutcome::NotCreated;
}

}  // namespace td
