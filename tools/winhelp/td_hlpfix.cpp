// td-hlpfix: makes a help file written by Halibut findable by name and by
// number in the WinHelp viewer.
//
// Halibut sorts the |CONTEXT B-tree by the unsigned value of each name's
// hash where the viewer searches it by the signed value, so every name whose
// hash has the top bit set is lost (links lead to blank pages), and it
// writes an empty |CTXOMAP, so no topic can be asked for by number. This
// step re-sorts |CONTEXT, writes |CTXOMAP from a map file, and marks the
// text as ANSI (code page 1252, the only one Halibut writes), so accented
// letters are shown as written whatever the reader's default code page.
//
// The map file, like the [MAP] section of a help project, holds one topic
// per line: its context name, then its number, written as a decimal number
// or as the name of a resource id of the program (resource_ids.h). A '#'
// starts a comment. One topic may carry several numbers.
//
// Halibut also names the viewer's two buttons of its own in English,
// "&About" and "&Up", in a manual of any language: given the manual's
// Halibut settings file, whose \cfg{td-winhelp-buttons}{About}{Up} (UTF-8)
// names them in its language, this step puts those names in their place.
//
// usage: td-hlpfix map-file input.hlp output.hlp [settings.but]
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "hlp_container.h"
#include "hlp_context.h"
#include "hlp_system.h"
#include "support/rc_strings.h"

namespace {

using td::hlp::Bytes;

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "td-hlpfix: %s\n", what.c_str());
    std::exit(1);
}

Bytes ReadImage(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail(path + " cannot be read");
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteImage(const std::string& path, const Bytes& image) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    if (!out) Fail(path + " cannot be written");
}

std::int32_t MapNumber(const std::string& word, const std::string& where) {
    if (!word.empty() && std::isdigit(static_cast<unsigned char>(word[0]))) return std::atoi(word.c_str());
    const auto& ids = td::test::ResourceIds();
    const auto found = ids.find(word);
    if (found == ids.end()) Fail(where + ": " + word + " is neither a number nor a resource id");
    return found->second;
}

// Every (number, topic offset) of the map file, each name looked up in the
// re-sorted |CONTEXT the way the viewer looks it up.
std::vector<td::hlp::MapEntry> ReadMap(const std::string& path, const Bytes& context) {
    std::ifstream in(path);
    if (!in) Fail(path + " cannot be read");
    std::vector<td::hlp::MapEntry> entries;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::string where = path + ":" + std::to_string(number);
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string name, id;
        if (!(words >> name)) continue;
        if (!(words >> id)) Fail(where + ": " + name + " has no number");
        const auto offset = td::hlp::FindContext(context, td::hlp::ContextHash(name));
        if (!offset) Fail(where + ": the help file has no topic named " + name);
        entries.push_back({MapNumber(id, where), *offset});
    }
    return entries;
}

// UTF-8 text of Latin-1's range as code page 1252's bytes, which the help
// file's text is.
std::string ToAnsi(const std::string& utf8, const std::string& where) {
    std::string ansi;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x80) {
            ansi += static_cast<char>(byte);
        } else if ((byte & 0xE0) == 0xC0 && byte >= 0xC2 && byte <= 0xC3 && i + 1 < utf8.size()) {
            ansi += static_cast<char>(((byte & 0x1F) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
        } else {
            Fail(where + ": a button name holds a character outside Latin-1");
        }
    }
    return ansi;
}

// The two button names of \cfg{td-winhelp-buttons}{About}{Up}, or none.
std::vector<std::string> ReadButtonNames(const std::string& path) {
    std::ifstream in(path);
    if (!in) Fail(path + " cannot be read");
    const std::string settings((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string key = "\\cfg{td-winhelp-buttons}";
    std::size_t at = settings.find(key);
    std::vector<std::string> names;
    if (at == std::string::npos) return names;
    at += key.size();
    while (names.size() < 2 && at < settings.size() && settings[at] == '{') {
        const std::size_t end = settings.find('}', at);
        if (end == std::string::npos) break;
        names.push_back(ToAnsi(settings.substr(at + 1, end - at - 1), path));
        at = end + 1;
    }
    if (names.size() != 2) Fail(path + ": td-winhelp-buttons names two buttons, About and Up");
    return names;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) Fail("usage: td-hlpfix map-file input.hlp output.hlp [settings.but]");
    try {
        td::hlp::HelpFile help = td::hlp::HelpFile::Parse(ReadImage(argv[2]));
        Bytes* context = help.Find("|CONTEXT");
        Bytes* map = help.Find("|CTXOMAP");
        Bytes* system = help.Find("|SYSTEM");
        if (context == nullptr || map == nullptr || system == nullptr)
            Fail(std::string(argv[2]) + " lacks |CONTEXT, |CTXOMAP or |SYSTEM");

        *context = td::hlp::BuildContextTree(td::hlp::ReadContextEntries(*context), *context);
        *map = td::hlp::BuildContextMap(ReadMap(argv[1], *context));
        *system = td::hlp::WithCharset(*system, 0);  // ANSI_CHARSET
        if (argc == 5) {
            const std::vector<std::string> names = ReadButtonNames(argv[4]);
            if (names.size() == 2) {
                *system = td::hlp::WithMacroText(*system, "\"&About\"", "\"" + names[0] + "\"");
                *system = td::hlp::WithMacroText(*system, "\"&Up\"", "\"" + names[1] + "\"");
            }
        }
        WriteImage(argv[3], help.Serialize());
    } catch (const td::hlp::FormatError& error) {
        Fail(std::string(argv[2]) + ": " + error.what());
    }
    return 0;
}
