#include "support/rc_strings.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace td::test {
namespace {

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "rc_strings: %s\n", what.c_str());
    std::abort();
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::map<std::string, int> ParseIds() {
    std::map<std::string, int> ids;
    std::istringstream lines(ReadFile(std::string(TD_SOURCE_DIR) + "/src/resources/resource_ids.h"));
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string directive, name, value;
        if (!(words >> directive >> name >> value) || directive != "#define") continue;
        if (value.empty() || !(std::isdigit(static_cast<unsigned char>(value[0])))) continue;
        ids[name] = std::atoi(value.c_str());
    }
    return ids;
}

// Reads a quoted resource string starting at text[at] == '"'.
std::string ParseQuoted(const std::string& text, std::size_t& at) {
    std::string out;
    ++at;
    while (at < text.size()) {
        const char c = text[at++];
        if (c == '"') {
            if (at < text.size() && text[at] == '"') {  // "" is a quote
                out += '"';
                ++at;
                continue;
            }
            return out;
        }
        if (c == '\\' && at < text.size()) {
            const char e = text[at++];
            switch (e) {
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case '\\':
                    out += '\\';
                    break;
                case '"':
                    out += '"';
                    break;
                default:
                    out += '\\';
                    out += e;
                    break;
            }
            continue;
        }
        out += c;
    }
    Fail("unterminated string");
}

// Skips blanks and comments; answers false at the end of the text.
bool SkipSpace(const std::string& text, std::size_t& at) {
    while (at < text.size()) {
        if (std::isspace(static_cast<unsigned char>(text[at])) || text[at] == ',') {
            ++at;
        } else if (text.compare(at, 2, "/*") == 0) {
            const std::size_t close = text.find("*/", at + 2);
            at = close == std::string::npos ? text.size() : close + 2;
        } else if (text.compare(at, 2, "//") == 0) {
            const std::size_t close = text.find('\n', at);
            at = close == std::string::npos ? text.size() : close;
        } else {
            return true;
        }
    }
    return false;
}

StringTable ParseTable(const std::string& language) {
    const auto& ids = ResourceIds();
    const std::string path = std::string(TD_SOURCE_DIR) + "/src/resources/lang/" + language + "/strings.rc";
    const std::string text = ReadFile(path);
    StringTable table;
    std::size_t block = text.find("STRINGTABLE");
    if (block == std::string::npos) Fail(path + " has no STRINGTABLE");
    while (block != std::string::npos) {
        std::size_t at = text.find("BEGIN", block);
        if (at == std::string::npos) Fail(path + ": STRINGTABLE without BEGIN");
        at += 5;
        while (SkipSpace(text, at)) {
            std::size_t word_end = at;
            while (word_end < text.size() &&
                   (std::isalnum(static_cast<unsigned char>(text[word_end])) || text[word_end] == '_'))
                ++word_end;
            const std::string word = text.substr(at, word_end - at);
            if (word == "END") {
                at = word_end;
                break;
            }
            if (word.empty()) Fail(path + ": unexpected character near " + text.substr(at, 20));
            int id = 0;
            if (std::isdigit(static_cast<unsigned char>(word[0]))) {
                id = std::atoi(word.c_str());
            } else {
                const auto found = ids.find(word);
                if (found == ids.end()) Fail(path + ": unknown id " + word);
                id = found->second;
            }
            at = word_end;
            if (!SkipSpace(text, at) || text[at] != '"') Fail(path + ": " + word + " has no text");
            const std::string value = ParseQuoted(text, at);
            if (!table.emplace(id, value).second) Fail(path + ": " + word + " twice");
        }
        block = text.find("STRINGTABLE", at);
    }
    return table;
}

}  // namespace

const std::map<std::string, int>& ResourceIds() {
    static const std::map<std::string, int> ids = ParseIds();
    return ids;
}

const StringTable& LoadStringTable(const std::string& language) {
    static std::map<std::string, StringTable> tables;
    auto found = tables.find(language);
    if (found == tables.end()) found = tables.emplace(language, ParseTable(language)).first;
    return found->second;
}

}  // namespace td::test
