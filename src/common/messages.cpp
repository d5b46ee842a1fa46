#include "common/messages.h"

namespace td {

int ShowMessage(Messages& messages, WindowRef owner, int id, unsigned flags) {
    char text[kMessageTextSize];
    if (messages.LoadText(id, text, sizeof text) == 0) return 0;
    char caption[64];
    if (messages.LoadText(kStatusCaptionId, caption, sizeof caption) == 0) caption[0] = '\0';
    return messages.Box(owner, text, caption, flags);
}

}  // namespace td
