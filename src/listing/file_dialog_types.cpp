#include "listing/file_dialog_types.h"

#include <cstring>
#include <initializer_list>

#include "common/messages.h"
#include "resources/resource_ids.h"

namespace td {

FileDialogTypes ListingFileTypes(Messages& messages) {
    struct Type {
        int name;
        const char* patterns;
    };
    const Type types[] = {{IDS_FILTER_LISTING_FILES, kListingPatterns}, {IDS_FILTER_ALL_FILES, kAllFilesPatterns}};
    FileDialogTypes result{};
    std::size_t at = 0;
    for (const Type& type : types) {
        char name[kFileTypeNameSize] = "";
        messages.LoadText(type.name, name, sizeof name);
        for (const char* part : {static_cast<const char*>(name), type.patterns}) {
            const std::size_t length = std::strlen(part);
            std::memcpy(result.list + at, part, length + 1);
            at += length + 1;
        }
    }
    result.list[at] = '\0';
    return result;
}

}  // namespace td
