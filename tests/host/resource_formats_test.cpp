// The two resource layouts the program reads itself: string-table blocks
// and the version information. (The Windows-side tests hold both against
// the system's own readers over the compiled resources.)
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/string_table_block.h"
#include "infowin/version_resource.h"

namespace td {
namespace {

using Bytes = std::vector<std::uint8_t>;

void PutUnit(Bytes& out, unsigned unit) {
    out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    out.push_back(static_cast<std::uint8_t>(unit >> 8));
}

std::string Ascii(const std::uint8_t* text, int length) {
    std::string out;
    for (int i = 0; i < length; ++i) out += static_cast<char>(text[2 * i]);
    return out;
}

// A block with `texts` as its first entries and the rest absent.
Bytes StringBlock(const std::vector<std::string>& texts) {
    Bytes block;
    for (int entry = 0; entry < 16; ++entry) {
        const std::string text = entry < static_cast<int>(texts.size()) ? texts[entry] : "";
        PutUnit(block, static_cast<unsigned>(text.size()));
        for (char c : text) PutUnit(block, static_cast<unsigned char>(c));
    }
    return block;
}

TEST(StringTableBlock, EntryIdModuloSixteenAndItsBlockName) {
    const Bytes block = StringBlock({"", "Tape", "", "CD-ROM"});
    EXPECT_EQ(StringTableBlockName(50027), 50027 / 16 + 1);
    const ResourceText tape = FindBlockString(block.data(), block.size(), 16 * 7 + 1);
    EXPECT_EQ(Ascii(tape.text, tape.length), "Tape");
    const ResourceText cd = FindBlockString(block.data(), block.size(), 3);
    EXPECT_EQ(Ascii(cd.text, cd.length), "CD-ROM");
    EXPECT_EQ(FindBlockString(block.data(), block.size(), 2).length, 0) << "an absent string";
    EXPECT_EQ(FindBlockString(block.data(), block.size(), 15).length, 0);
}

TEST(StringTableBlock, ADamagedBlockIsReadWithinItsBytes) {
    Bytes block = StringBlock({"Tape", "Scanner"});
    EXPECT_EQ(FindBlockString(block.data(), 4, 1).length, 0) << "the first entry runs past the end";
    const ResourceText cut = FindBlockString(block.data(), 2 + 2 + 2 * 3, 1);
    EXPECT_EQ(cut.length, 0) << "the entry before it is whole, its count is not there";
    const ResourceText last = FindBlockString(block.data(), 2 + 8 + 2 + 2 * 3, 1);
    EXPECT_EQ(Ascii(last.text, last.length), "Sca") << "cut where the block ends";
    EXPECT_EQ(FindBlockString(block.data(), 1, 0).length, 0);
    EXPECT_EQ(FindBlockString(nullptr, 0, 0).length, 0);
}

// A version node: its children are laid out after its value, each at a
// multiple of four from the start of the whole block (`at`).
Bytes Node(std::size_t at, const std::string& key, const std::string& text, bool is_text,
           const std::vector<Bytes (*)(std::size_t)>& children = {}) {
    Bytes node(6, 0);
    for (char c : key) PutUnit(node, static_cast<unsigned char>(c));
    PutUnit(node, 0);
    while ((at + node.size()) % 4 != 0) node.push_back(0);
    const std::size_t value_units = text.empty() ? 0 : text.size() + 1;
    for (char c : text) PutUnit(node, static_cast<unsigned char>(c));
    if (!text.empty()) PutUnit(node, 0);
    for (auto child : children) {
        while ((at + node.size()) % 4 != 0) node.push_back(0);
        const Bytes made = child(at + node.size());
        node.insert(node.end(), made.begin(), made.end());
    }
    node[0] = static_cast<std::uint8_t>(node.size() & 0xFF);
    node[1] = static_cast<std::uint8_t>(node.size() >> 8);
    node[2] = static_cast<std::uint8_t>(value_units);
    node[4] = is_text ? 1 : 0;
    return node;
}

Bytes VersionBlock() {
    return Node(0, "VS_VERSION_INFO", "", false, {[](std::size_t at) {
                    return Node(at, "StringFileInfo", "", true, {[](std::size_t at) {
                                    return Node(
                                        at, "040904E4", "", true,
                                        {[](std::size_t at) { return Node(at, "CompanyName", "Harrowgate", true); },
                                         [](std::size_t at) { return Node(at, "LegalCopyright", "(C)", true); }});
                                }});
                }});
}

TEST(VersionResource, KeysAreFoundWithoutRegardToCase) {
    const Bytes block = VersionBlock();
    const ResourceText company = FindVersionText(block.data(), block.size(), "\\StringFileInfo\\040904E4\\CompanyName");
    EXPECT_EQ(Ascii(company.text, company.length), "Harrowgate");
    const ResourceText copyright = FindVersionText(block.data(), block.size(),
                                                   "StringFileInfo\\040904e4\\LegalCopyRight");
    EXPECT_EQ(Ascii(copyright.text, copyright.length), "(C)");
    EXPECT_EQ(FindVersionText(block.data(), block.size(), "\\StringFileInfo\\040904E4\\OSVERSION").length, 0);
    EXPECT_EQ(FindVersionText(block.data(), block.size(), "\\StringFileInfo\\040904E4\\Company").length, 0);
    EXPECT_EQ(FindVersionText(block.data(), block.size(), "\\StringFileInfo\\040904E4").length, 0) << "no text";
}

TEST(VersionResource, ADamagedBlockIsReadWithinItsBytes) {
    const Bytes whole = VersionBlock();
    const char path[] = "\\StringFileInfo\\040904E4\\LegalCopyright";
    for (std::size_t size = 0; size < whole.size(); ++size) {
        // Every shorter copy: the root's length then runs past the end.
        const Bytes cut(whole.begin(), whole.begin() + static_cast<long>(size));
        EXPECT_EQ(FindVersionText(cut.data(), cut.size(), path).length, 0) << size;
    }
    // The root's key "VS_VERSION_INFO" ends at 38, its first child starts
    // at 40: a child longer than its parent is not followed.
    Bytes damaged = whole;
    ASSERT_EQ(damaged[42], 0u) << "StringFileInfo's value length";
    damaged[40] = 0xFF;
    damaged[41] = 0x7F;
    EXPECT_EQ(FindVersionText(damaged.data(), damaged.size(), path).length, 0);
}

}  // namespace
}  // namespace td
