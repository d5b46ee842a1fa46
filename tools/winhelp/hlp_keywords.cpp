#include "hlp_keywords.h"

namespace td::hlp {

std::vector<Keyword> ReadKeywords(const HelpFile& file) {
    const Bytes* tree = file.Find("|KWBTREE");
    const Bytes* data = file.Find("|KWDATA");
    std::vector<Keyword> keywords;
    if (tree == nullptr || data == nullptr) return keywords;
    ForEachLeafEntry(*tree, [&](std::size_t at) {
        Keyword keyword;
        keyword.text = CString(*tree, at);
        const std::size_t fields = at + keyword.text.size() + 1;
        const std::size_t count = U16(*tree, fields);
        const std::size_t list = U32(*tree, fields + 2);
        for (std::size_t i = 0; i < count; ++i) keyword.topics.push_back(U32(*data, list + 4 * i));
        const std::size_t size = keyword.text.size() + 1 + 2 + 4;
        keywords.push_back(std::move(keyword));
        return size;
    });
    return keywords;
}

}  // namespace td::hlp
