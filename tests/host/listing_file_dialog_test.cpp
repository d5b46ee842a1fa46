// Every error a common file dialog can report has its explanation; both
// dialogs offer the listing files first, in the interface language.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "listing/file_dialog_errors.h"
#include "listing/file_dialog_types.h"
#include "resources/resource_ids.h"
#include "support/scripted_messages.h"

namespace td {
namespace {

TEST(FileDialogErrors, CancelShowsNothingEveryCodeItsTextUnknownCodesOneText) {
    EXPECT_EQ(FileDialogErrorTextId(0), 0);
    const std::pair<std::uint32_t, const char*> known[] = {
        {0xFFFF, "Creation of CD failed on call to DialogBox()"},
        {0x0002, "Failure initializing CD.  Possibly\n\r do to insufficient memory."},
        {0x000B, "No hook function passed to CD but ENABLEHOOK\n\r was passed as a flag"},
        {0x100B, "Printer not found"},
        {0x2001, "No fonts exist"},
        {0x3003, "Buffer passed to CD too small to accomodate string"},
    };
    test::ScriptedMessages messages;
    for (const auto& [code, text] : known) EXPECT_EQ(messages.Text(FileDialogErrorTextId(code)), text) << code;
    // Every code of the library, 1 to 11, 0x1001 to 0x100B, 0x2001, 0x3001 to 0x3003, has a text of its own.
    std::set<int> ids;
    for (std::uint32_t code = 1; code <= 11; ++code) ids.insert(FileDialogErrorTextId(code));
    for (std::uint32_t code = 0x1001; code <= 0x100B; ++code) ids.insert(FileDialogErrorTextId(code));
    for (std::uint32_t code : {0x2001u, 0x3001u, 0x3002u, 0x3003u, 0xFFFFu}) ids.insert(FileDialogErrorTextId(code));
    EXPECT_EQ(ids.size(), 27u);
    EXPECT_EQ(ids.count(48), 0u);
    for (std::uint32_t code : {12u, 0x1000u, 0x100Cu, 0x2002u, 0x3004u, 0x4001u})
        EXPECT_EQ(messages.Text(FileDialogErrorTextId(code)), "Unknown error.") << code;
}

// The list is pairs of NUL-terminated texts and ends in an empty name: a
// missing terminator would run the dialog into the next bytes.
TEST(FileDialogTypes, ListingFilesThenAllFilesNamedInTheInterfaceLanguage) {
    for (const char* language : {"en", "de"}) {
        test::ScriptedMessages messages(language);
        const std::string expected = messages.Text(IDS_FILTER_LISTING_FILES) + '\0' + "*.txt;*.log" + '\0' +
                                     messages.Text(IDS_FILTER_ALL_FILES) + '\0' + "*.*" + '\0' + '\0';
        const FileDialogTypes types = ListingFileTypes(messages);
        ASSERT_LE(expected.size(), sizeof types.list);
        EXPECT_EQ(std::string(types.list, expected.size()), expected) << language;
    }
}

}  // namespace
}  // namespace td
