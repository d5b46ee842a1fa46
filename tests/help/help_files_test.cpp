// The built help files, read the way the WinHelp viewer reads them: a name
// is looked up in |CONTEXT by the viewer's signed walk down the B-tree, a
// number in |CTXOMAP, and a topic's text and offset come from |TOPIC as the
// viewer computes them.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

#include "hlp_container.h"
#include "hlp_context.h"
#include "hlp_keywords.h"
#include "hlp_system.h"
#include "hlp_topics.h"
#include "support/rc_strings.h"

namespace {

using namespace td::hlp;

const char* const kFiles[] = {"KDX.hlp", "KDXCH.hlp"};

// The languages the build makes help files in, as the build lists them.
std::vector<std::string> Languages() {
    std::vector<std::string> languages;
    std::istringstream words(TD_HELP_LANGUAGES);
    for (std::string word; words >> word;) languages.push_back(word);
    return languages;
}

HelpFile Load(const std::string& language, const std::string& name) {
    const std::string path = std::string(TD_HELP_DIR) + "/" + language + "/" + name;
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(path + " was not built");
    return HelpFile::Parse(Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}

// The string table's UTF-8 text as the 8-bit Windows code page 1252 that
// help files hold; '?' for a character that code page lacks.
std::string ToCodePage1252(const std::string& utf8) {
    static const char32_t kHighHalf[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                           0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        const int length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        char32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (int k = 1; k < length && i + k < utf8.size(); ++k) code = code << 6 | (utf8[i + k] & 0x3F);
        i += length;
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            out += static_cast<char>(code);
            continue;
        }
        const auto* found = std::find(std::begin(kHighHalf), std::end(kHighHalf), code);
        out += found != std::end(kHighHalf) ? static_cast<char>(0x80 + (found - kHighHalf)) : '?';
    }
    return out;
}

const Topic* TopicAt(const std::vector<Topic>& topics, std::uint32_t offset) {
    for (const Topic& topic : topics) {
        if (topic.offset == offset) return &topic;
    }
    return nullptr;
}

std::uint32_t MappedOffset(const HelpFile& file, std::int32_t id) {
    for (const MapEntry& entry : ReadContextMap(*file.Find("|CTXOMAP"))) {
        if (entry.id == id) return entry.topic_offset;
    }
    return kNoTopic;
}

// The name resource_ids.h gives the number `id`.
std::string IdName(int id) {
    for (const auto& [name, value] : td::test::ResourceIds()) {
        if (value == id) return name;
    }
    return "";
}

// Each field and box of the properties pages, by its help context id and by
// the id's name, shows the same text as the program's own help popup: the
// string of that number.
TEST(ContextHelpFile, EveryHelpIdOpensTheControlsTextInEveryLanguage) {
    std::vector<int> ids;
    for (int id = 20000; id <= 20012; ++id) ids.push_back(id);
    for (int id = 20100; id <= 20104; ++id) ids.push_back(id);
    ASSERT_FALSE(Languages().empty());
    for (const std::string& language : Languages()) {
        const HelpFile file = Load(language, "KDXCH.hlp");
        const std::vector<Topic> topics = ReadTopics(file);
        const td::test::StringTable& strings = td::test::LoadStringTable(language);
        for (int id : ids) {
            SCOPED_TRACE(language + " id " + std::to_string(id));
            const Topic* topic = TopicAt(topics, MappedOffset(file, id));
            ASSERT_NE(topic, nullptr) << "no topic for the id";
            EXPECT_EQ(FindContext(*file.Find("|CONTEXT"), ContextHash(IdName(id))), std::optional(topic->offset));
            ASSERT_EQ(strings.count(id), 1u);
            EXPECT_EQ(topic->ScrollingText(), ToCodePage1252(strings.at(id)));
            EXPECT_FALSE(topic->title.empty());
        }
    }
}

// Every name in |CONTEXT is found by the viewer's search, at a topic's
// start, and every topic has a name, so no link leads to a blank page. The
// names' hashes lie on both sides of zero, where unsigned and signed order
// differ; the numbers of |CTXOMAP are sorted and lead to topics.
TEST(HelpFiles, EveryNameAndNumberLeadsToATopic) {
    for (const std::string& language : Languages()) {
        for (const char* name : kFiles) {
            SCOPED_TRACE(language + "/" + name);
            const HelpFile file = Load(language, name);
            const std::vector<Topic> topics = ReadTopics(file);
            const Bytes& context = *file.Find("|CONTEXT");
            const std::vector<ContextEntry> entries = ReadContextEntries(context);
            ASSERT_FALSE(entries.empty());
            EXPECT_LT(entries.front().hash, 0);
            EXPECT_GE(entries.back().hash, 0);
            std::set<std::uint32_t> named;
            for (std::size_t i = 0; i < entries.size(); ++i) {
                if (i > 0) {
                    EXPECT_LT(entries[i - 1].hash, entries[i].hash) << "at entry " << i;
                }
                EXPECT_EQ(FindContext(context, entries[i].hash), std::optional(entries[i].topic_offset));
                EXPECT_NE(TopicAt(topics, entries[i].topic_offset), nullptr) << "hash " << entries[i].hash;
                named.insert(entries[i].topic_offset);
            }
            for (const Topic& topic : topics) EXPECT_EQ(named.count(topic.offset), 1u) << topic.title;

            const std::vector<MapEntry> map = ReadContextMap(*file.Find("|CTXOMAP"));
            EXPECT_FALSE(map.empty());
            for (std::size_t i = 0; i < map.size(); ++i) {
                if (i > 0) {
                    EXPECT_LT(map[i - 1].id, map[i].id);
                }
                EXPECT_NE(TopicAt(topics, map[i].topic_offset), nullptr) << "id " << map[i].id;
            }
            EXPECT_EQ(SystemCharset(*file.Find("|SYSTEM")), 0) << "not marked as ANSI text";
        }
    }
}

// The manual opens on its contents topic, by HELP_CONTENTS (the first
// topic) and by number 1; the browse sequence leads from it through every
// topic once, back links mirroring it; every index keyword leads to topics.
TEST(ManualFile, HasContentsBrowseSequenceAndIndex) {
    for (const std::string& language : Languages()) {
        SCOPED_TRACE(language);
        const HelpFile file = Load(language, "KDX.hlp");
        const std::vector<Topic> topics = ReadTopics(file);
        ASSERT_GT(topics.size(), 10u);
        EXPECT_EQ(MappedOffset(file, 1), topics.front().offset);
        ASSERT_FALSE(topics.front().paragraphs.empty());
        EXPECT_EQ(topics.front().paragraphs.front().text, SystemTitle(*file.Find("|SYSTEM")));

        std::uint32_t previous = kNoTopic;
        std::uint32_t at = topics.front().offset;
        std::set<std::uint32_t> visited;
        while (at != kNoTopic) {
            const Topic* topic = TopicAt(topics, at);
            ASSERT_NE(topic, nullptr) << "the browse sequence leads to no topic";
            ASSERT_TRUE(visited.insert(at).second) << "the browse sequence returns to " << topic->title;
            EXPECT_EQ(topic->browse_back, previous) << topic->title;
            previous = at;
            at = topic->browse_forward;
        }
        EXPECT_EQ(visited.size(), topics.size());

        const std::vector<Keyword> keywords = ReadKeywords(file);
        EXPECT_GT(keywords.size(), 20u);
        for (const Keyword& keyword : keywords) {
            ASSERT_FALSE(keyword.topics.empty()) << keyword.text;
            for (std::uint32_t offset : keyword.topics) EXPECT_NE(TopicAt(topics, offset), nullptr) << keyword.text;
        }
    }
}

// The viewer's hash, worked out by hand from its published description:
// character values 1-9 -> 1-9, 0 -> 10, '.' -> 12, '_' -> 13, a-z -> 17-42
// (upper case the same), h = h * 43 + value, only the low 32 bits kept and
// read as a signed number. So I=25, D=20, H=24, S=35, C=19, W=39, E=21, and
//   "idh"   = 25*43^2 + 20*43 + 24 = 46225 + 860 + 24 = 47109
//   "a.0_z" = 17*43^4 + 12*43^3 + 10*43^2 + 13*43 + 42
//           = 58119617 + 954084 + 18490 + 559 + 42 = 59092792
// and, with the wrap, (computed with bc, mod 2^32, minus 2^32 when >= 2^31)
//   "IDH_SCSI_ID" (25 20 24 13 35 19 35 25 13 25 20) = -2146406622
//   "IDH_WIDE16"  (25 20 24 13 39 25 20 21 1 6)      = -641165916
TEST(ContextHash, MatchesValuesWorkedOutByHand) {
    EXPECT_EQ(ContextHash("idh"), 47109);
    EXPECT_EQ(ContextHash("a.0_z"), 59092792);
    EXPECT_EQ(ContextHash("IDH_SCSI_ID"), -2146406622);
    EXPECT_EQ(ContextHash("idh_scsi_id"), -2146406622);
    EXPECT_EQ(ContextHash("IDH_WIDE16"), -641165916);
}

// The context tree is rebuilt with index pages once it outgrows one leaf;
// the viewer's search must still find every name, negative hashes first.
TEST(ContextTree, ManyNamesSpreadOverIndexPagesAreAllFound) {
    const HelpFile model_file = Load("en", "KDXCH.hlp");
    const Bytes& model = *model_file.Find("|CONTEXT");
    std::vector<ContextEntry> entries;
    for (int i = 0; i < 3000; ++i) {
        const std::string name = "topic_" + std::to_string(i);
        entries.push_back({ContextHash(name), static_cast<std::uint32_t>(i * 16)});
    }
    const Bytes tree = BuildContextTree(entries, model);
    const BTreeHeader header = ReadBTreeHeader(tree);
    EXPECT_GE(header.levels, 2);
    EXPECT_EQ(header.entries, 3000);

    const std::vector<ContextEntry> stored = ReadContextEntries(tree);
    ASSERT_EQ(stored.size(), entries.size());
    EXPECT_TRUE(std::is_sorted(stored.begin(), stored.end(),
                               [](const ContextEntry& a, const ContextEntry& b) { return a.hash < b.hash; }));
    EXPECT_LT(stored.front().hash, 0);
    for (const ContextEntry& entry : entries)
        ASSERT_EQ(FindContext(tree, entry.hash), std::optional(entry.topic_offset)) << entry.hash;
    EXPECT_EQ(FindContext(tree, ContextHash("not_a_topic_at_all")), std::nullopt);

    entries.push_back({entries.front().hash, 0});
    EXPECT_THROW(BuildContextTree(entries, model), FormatError);
}

}  // namespace
