// The built help files, read the way the WinHelp viewer reads them: a name
// is looked up in |CONTEXT by the viewer's signed walk down the B-tree, a
// number in |CTXOMAP, and a topic's text and offset come from |TOPIC as the
// viewer computes them. The HTML Help manual is unpacked with libmspack and
// held against the WinHelp one.
#include <gtest/gtest.h>
#include <mspack.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
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

            // The viewer's two buttons of the help compiler's own, named in
            // the file's language.
            std::string macros;
            for (const std::string& macro : SystemMacros(*file.Find("|SYSTEM"))) macros += macro + "\n";
            EXPECT_NE(macros.find("CB(\"btn_about\",\""), std::string::npos) << macros;
            EXPECT_NE(macros.find("CB(\"btn_up\",\""), std::string::npos) << macros;
            const bool english = language == "en";
            EXPECT_EQ(macros.find("\"&About\"") != std::string::npos, english) << macros;
            EXPECT_EQ(macros.find("\"&Up\"") != std::string::npos, english) << macros;
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

// ---- The manual as HTML Help ------------------------------------------------------------

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every file inside an HTML Help file ("/contents.hhc", "/#SYSTEM" ...) with
// its contents, unpacked as the viewer unpacks them.
std::map<std::string, std::string> ReadChm(const std::string& path) {
    mschm_decompressor* reader = mspack_create_chm_decompressor(nullptr);
    if (reader == nullptr) throw std::runtime_error("libmspack has no CHM reader");
    mschmd_header* chm = reader->open(reader, path.c_str());
    if (chm == nullptr) {
        mspack_destroy_chm_decompressor(reader);
        throw std::runtime_error(path + " was not built or is no HTML Help file");
    }
    const std::filesystem::path scratch = std::filesystem::temp_directory_path() /
                                          ("td-chm-" + std::to_string(getpid()));
    std::map<std::string, std::string> files;
    std::string failed;
    for (mschmd_file* file = chm->files; file != nullptr; file = file->next) {
        if (reader->extract(reader, file, scratch.c_str()) != MSPACK_ERR_OK)
            failed += " " + std::string(file->filename);
        files[file->filename] = ReadAll(scratch);
    }
    std::filesystem::remove(scratch);
    reader->close(reader, chm);
    mspack_destroy_chm_decompressor(reader);
    if (!failed.empty()) throw std::runtime_error(path + ": cannot unpack" + failed);
    return files;
}

// An attribute value of the contents or index file, with HTML's escapes
// undone, in code page 1252 like the WinHelp file's texts.
std::string Unescape(const std::string& value) {
    static const std::regex kEscape("&(#[0-9]+|amp|lt|gt|quot);");
    std::string out;
    std::size_t at = 0;
    for (auto match = std::sregex_iterator(value.begin(), value.end(), kEscape); match != std::sregex_iterator();
         ++match) {
        out += value.substr(at, match->position() - at);
        const std::string name = (*match)[1];
        if (name[0] == '#') {
            const unsigned long code = std::stoul(name.substr(1));
            std::string utf8;
            if (code < 0x80) {
                utf8 += static_cast<char>(code);
            } else if (code < 0x800) {
                utf8 += static_cast<char>(0xC0 | code >> 6), utf8 += static_cast<char>(0x80 | (code & 0x3F));
            } else {
                utf8 += static_cast<char>(0xE0 | code >> 12), utf8 += static_cast<char>(0x80 | (code >> 6 & 0x3F));
                utf8 += static_cast<char>(0x80 | (code & 0x3F));
            }
            out += ToCodePage1252(utf8);
        } else {
            out += name == "amp" ? "&" : name == "lt" ? "<" : name == "gt" ? ">" : "\"";
        }
        at = match->position() + match->length();
    }
    return out + value.substr(at);
}

// An entry of the contents (.hhc) or index (.hhk) file: its text and pages.
struct SitemapEntry {
    std::string name;
    std::vector<std::string> pages;
};

std::vector<SitemapEntry> ReadSitemap(const std::string& text) {
    static const std::regex kObject(R"(<OBJECT TYPE="text/sitemap">([\s\S]*?)</OBJECT>)", std::regex::icase);
    static const std::regex kParam(R"re(<PARAM NAME="(Name|Local)" VALUE="([^"]*)">)re", std::regex::icase);
    std::vector<SitemapEntry> entries;
    for (auto object = std::sregex_iterator(text.begin(), text.end(), kObject); object != std::sregex_iterator();
         ++object) {
        SitemapEntry entry;
        const std::string body = (*object)[1];
        for (auto param = std::sregex_iterator(body.begin(), body.end(), kParam); param != std::sregex_iterator();
             ++param) {
            if ((*param)[1] == "Name") {
                entry.name = Unescape((*param)[2]);
            } else {
                entry.pages.push_back((*param)[2]);
            }
        }
        entries.push_back(entry);
    }
    return entries;
}

// The manual's topic names, as help/kdx.map lists them.
std::set<std::string> ManualTopicNames() {
    std::ifstream map(std::string(TD_SOURCE_DIR) + "/help/kdx.map");
    std::set<std::string> names;
    for (std::string line; std::getline(map, line);) {
        std::istringstream words(line);
        std::string name;
        if (words >> name && name[0] != '#') names.insert(name);
    }
    return names;
}

// A topic's title as the HTML Help contents give it: without the chapter or
// section number ("Section 2.5: ") that the WinHelp file puts before it.
std::string Unnumbered(const std::string& title) {
    static const std::regex kNumber("^[^ ]+ [0-9]+(\\.[0-9]+)*: ");
    return std::regex_replace(title, kNumber, "", std::regex_constants::format_first_only);
}

// One record of the #SYSTEM file (2: the first page, 3: the title, 4: the
// language, whose ANSI code page the viewer reads the texts in).
std::string SystemRecord(const std::string& system, int code) {
    for (std::size_t at = 4; at + 4 <= system.size();) {
        const int record = static_cast<unsigned char>(system[at]) | static_cast<unsigned char>(system[at + 1]) << 8;
        const std::size_t size = static_cast<unsigned char>(system[at + 2]) | static_cast<unsigned char>(system[at + 3])
                                                                                  << 8;
        if (record == code) return system.substr(at + 4, size);
        at += 4 + size;
    }
    return "";
}

// KDX.chm holds the manual of KDX.hlp: a page for every topic, named after
// it and titled as it is (less its number; the contents page with the
// manual's title); the contents list every page once, in the order
// the WinHelp file browses the topics; the index has the same keywords
// leading to the same topics; the file opens on the contents page, carries
// the manual's title and is written in code page 1252, which its language
// reads it in, so accented titles read as they do in KDX.hlp.
TEST(ManualChm, HoldsEveryTopicOfTheWinHelpManualWithItsTitleContentsAndIndex) {
    const std::set<std::string> names = ManualTopicNames();
    ASSERT_GT(names.size(), 30u);
    for (const std::string& language : Languages()) {
        SCOPED_TRACE(language);
        const HelpFile hlp = Load(language, "KDX.hlp");
        const std::vector<Topic> topics = ReadTopics(hlp);
        // The contents page is titled with the manual's title, the others as
        // in KDX.hlp without their numbers.
        const std::string manual_title = SystemTitle(*hlp.Find("|SYSTEM"));
        const auto title_in_chm = [&](const Topic& topic) {
            return topic.offset == topics.front().offset ? manual_title : Unnumbered(topic.title);
        };
        const std::map<std::string, std::string> chm = ReadChm(std::string(TD_HELP_DIR) + "/" + language + "/KDX.chm");
        ASSERT_EQ(chm.count("/contents.hhc"), 1u);
        ASSERT_EQ(chm.count("/index.hhk"), 1u);
        ASSERT_EQ(chm.count("/#SYSTEM"), 1u);
        for (const char* file : {"/contents.hhc", "/index.hhk"})
            EXPECT_NE(chm.at(file).find("charset=windows-1252"), std::string::npos) << file;

        // The contents: one entry per topic, in the browse order, each
        // page there and titled as its entry.
        const std::vector<SitemapEntry> contents = ReadSitemap(chm.at("/contents.hhc"));
        ASSERT_EQ(contents.size(), topics.size());
        std::map<std::string, std::string> title_of_page;
        for (std::size_t i = 0; i < contents.size(); ++i) {
            ASSERT_EQ(contents[i].pages.size(), 1u) << contents[i].name;
            const std::string& page = contents[i].pages[0];
            EXPECT_EQ(contents[i].name, title_in_chm(topics[i])) << page;
            ASSERT_EQ(chm.count("/" + page), 1u) << "no page " << page;
            std::smatch title;
            const std::string& html = chm.at("/" + page);
            ASSERT_TRUE(std::regex_search(html, title, std::regex("<title>([^<]*)</title>"))) << page;
            EXPECT_EQ(Unescape(title[1]), contents[i].name) << page;
            EXPECT_NE(html.find("charset=windows-1252"), std::string::npos) << page;
            title_of_page[page] = contents[i].name;
        }
        std::size_t pages = 0;
        for (const auto& file : chm) pages += file.first.ends_with(".html") ? 1 : 0;
        EXPECT_EQ(pages, contents.size()) << "pages that the contents do not list";

        // Each topic name's page is the topic that name opens in KDX.hlp.
        for (const std::string& name : names) {
            const std::optional<std::uint32_t> offset = FindContext(*hlp.Find("|CONTEXT"), ContextHash(name));
            ASSERT_TRUE(offset) << name;
            ASSERT_EQ(title_of_page.count(name + ".html"), 1u) << "no page for the topic " << name;
            EXPECT_EQ(title_of_page[name + ".html"], title_in_chm(*TopicAt(topics, *offset))) << name;
        }

        // The index: the same keywords, leading to the same topics.
        std::map<std::string, std::set<std::string>> hlp_index, chm_index;
        for (const Keyword& keyword : ReadKeywords(hlp))
            for (std::uint32_t offset : keyword.topics)
                hlp_index[keyword.text].insert(title_in_chm(*TopicAt(topics, offset)));
        for (const SitemapEntry& keyword : ReadSitemap(chm.at("/index.hhk")))
            for (const std::string& page : keyword.pages) chm_index[keyword.name].insert(title_of_page[page]);
        EXPECT_EQ(chm_index, hlp_index);

        const std::string& system = chm.at("/#SYSTEM");
        EXPECT_EQ(SystemRecord(system, 2).c_str(), std::string("Top.html"));
        EXPECT_EQ(SystemRecord(system, 3).c_str(), manual_title);
        const std::string lcid = SystemRecord(system, 4);
        ASSERT_GE(lcid.size(), 4u);
        const int primary_language = static_cast<unsigned char>(lcid[0]) | (static_cast<unsigned char>(lcid[1]) & 3)
                                                                               << 8;
        // German, English, Spanish, French, Italian: code page 1252.
        EXPECT_TRUE(std::set<int>({0x07, 0x09, 0x0A, 0x0C, 0x10}).count(primary_language)) << primary_language;
    }
}

}  // namespace
