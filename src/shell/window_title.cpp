#include "shell/window_title.h"

#include <cstring>

#include "common/fixed_text.h"

namespace td {

void FormatListingTitle(const char* caption, const char* file_title, char (&title)[kTitleBufferSize]) {
    CopyText(title, caption);
    AppendText(title, " - [");
    const std::size_t room = kTitleBufferSize - 1 - std::strlen(title) - 1;  // keep one for "]"
    const std::size_t length = std::strlen(file_title);
    if (length <= room) {
        AppendText(title, file_title);
    } else {
        char shortened[kTitleBufferSize];
        CopyText(shortened, file_title, room - 3);
        AppendText(shortened, "...");
        AppendText(title, shortened);
    }
    AppendText(title, "]");
}

}  // namespace td
