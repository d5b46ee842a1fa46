// td-helpsrc: writes the Halibut source of a help file in one language,
// quoting the program's own texts from its resources.
//
// The help sources under help/ name the program's texts instead of copying
// them, so the help always says what the program shows in that language:
//
//   @IDS_NO_ADAPTER@                 a string-table text (any resource id name)
//   @MENU:IDM_RESCAN@                a menu item, without its & marks and
//                                    without the "..." that only says a
//                                    dialog follows
//   @POPUP:2@                        the second menu of the menu bar
//   @DIALOG:IDD_DIAGNOSTICS@         a dialog's title (also @DIALOG:ABOUTBOX@)
//   @CONTROL:IDD_DEVICE_PAGE:IDC_SYNCHRONOUS@   a control's own text
//   @LABEL:IDD_DEVICE_PAGE:IDC_SCSI_ID@         the label beside a control
//
// A control's label is the static text the user reads beside it, found from
// the dialog template's coordinates: the nearest one on the same row to its
// left, or else the nearest one above it that shares some of its width. A
// label that cannot be told (none, two at the same distance, one that runs
// into the control, or another control in between) stops the tool with a
// message.
//
// These give the text on one line: line breaks and tabs become blanks and
// runs of blanks one blank. Two forms keep the lines instead:
//
//   @PARAS:IDH_SCSI_ID@    one paragraph per line (the help topic of a control)
//   @LINES:IDS_WARNING_SHARED@   a code paragraph, line for line, as laid out
//
// A '~' before the closing '@' drops a trailing colon ("SCSI ID:" becomes
// "SCSI ID", and French "ID SCSI :" with its no-break space "ID SCSI").
// Every quoted text is escaped for Halibut. The resources are read from
// src/resources (resource_ids.h and lang/<language>/*.rc).
//
// usage: td-helpsrc language template.but output.but
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/rc_strings.h"

namespace {

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "td-helpsrc: %s\n", what.c_str());
    std::exit(1);
}

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail(path.string() + " cannot be read");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A quoted resource text ("" is a quote, \n \r \t \\ \" escapes), given the
// text between the quotes.
std::string Unquote(const std::string& quoted) {
    std::string text;
    for (std::size_t i = 0; i < quoted.size(); ++i) {
        if (quoted[i] == '"' && i + 1 < quoted.size() && quoted[i + 1] == '"') {
            text += '"';
            ++i;
        } else if (quoted[i] == '\\' && i + 1 < quoted.size()) {
            const char e = quoted[++i];
            text += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
        } else {
            text += quoted[i];
        }
    }
    return text;
}

// A menu or dialog text as the user reads it: without the & that marks the
// access key ("&&" is a real &) and without the accelerator after a tab.
std::string WithoutAccessKeys(const std::string& text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\t') break;
        if (text[i] == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&') plain += '&', ++i;
            continue;
        }
        plain += text[i];
    }
    return plain;
}

// A control's place in dialog units, as its template states it.
struct Box {
    int left = 0, top = 0, width = 0, height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
};

struct Control {
    std::string id;  // the id as written: a name, or -1
    std::string text;
    Box box;
    bool static_text = false;  // a static control that shows its text
};

struct Dialog {
    std::string caption;
    std::vector<Control> controls;
};

struct Resources {
    const td::test::StringTable* strings = nullptr;
    std::map<std::string, std::string> menu_items;  // IDM_ name -> text
    std::vector<std::string> menu_bar;              // APP_UI_MENU's menus in order
    std::map<std::string, Dialog> dialogs;          // IDD_ name or resource name -> dialog
};

const std::regex kResourceStart(R"re(^\s*(\w+)\s+(MENU|DIALOG|DIALOGEX)\b)re");
const std::regex kPopup(R"re(^\s*POPUP\s+"((?:[^"]|"")*)")re");
const std::regex kMenuItem(R"re(^\s*MENUITEM\s+"((?:[^"]|"")*)"\s*,\s*(\w+))re");
const std::regex kCaption(R"re(^\s*CAPTION\s+"((?:[^"]|"")*)")re");
const std::regex kControl(R"re(^\s*([A-Z]+)\s+"((?:[^"]|"")*)"\s*,\s*(-?\w+)\s*,(.*)$)re");
const std::regex kBegin(R"re(^\s*BEGIN\b)re");
const std::regex kEnd(R"re(^\s*END\b)re");

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// One control statement: "LTEXT text, id, x, y, width, height[, style]" and
// the like, or "CONTROL text, id, class, style, x, y, width, height".
Control ReadControl(const std::string& keyword, const std::string& text, const std::string& id, const std::string& rest,
                    const std::string& where) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(rest);
    while (std::getline(in, field, ',')) fields.push_back(Trimmed(field));
    std::size_t at = 0;
    std::string style;
    bool static_class = keyword == "LTEXT" || keyword == "CTEXT" || keyword == "RTEXT";
    if (keyword == "CONTROL") {
        if (fields.size() < 6) Fail(where + ": a CONTROL needs class, style and place");
        static_class = fields[0] == "\"Static\"";
        style = fields[1];
        at = 2;
    }
    if (fields.size() < at + 4) Fail(where + ": no place x, y, width, height");
    Box box;
    int* const parts[] = {&box.left, &box.top, &box.width, &box.height};
    for (int* part : parts) {
        const std::string& number = fields[at++];
        if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) {
            std::string message = where;
            message.append(": \"").append(number).append("\" is no coordinate");
            Fail(message);
        }
        *part = std::atoi(number.c_str());
    }
    // Pictures, frames and rectangles are statics that show no text.
    const bool shows_text = static_class && style.find("SS_BITMAP") == std::string::npos &&
                            style.find("SS_ICON") == std::string::npos && style.find("RECT") == std::string::npos &&
                            style.find("FRAME") == std::string::npos && style.find("SS_ETCHED") == std::string::npos;
    return Control{id, WithoutAccessKeys(Unquote(text)), box, shows_text};
}

void ReadResourceScript(const std::string& text, Resources& resources) {
    std::istringstream lines(text);
    std::string line, resource, kind;
    int depth = 0;
    std::smatch match;
    while (std::getline(lines, line)) {
        if (std::regex_search(line, match, kResourceStart)) {
            resource = match[1];
            kind = match[2];
            depth = 0;
            if (kind != "MENU") resources.dialogs[resource] = Dialog{};
            continue;
        }
        if (resource.empty()) continue;
        if (std::regex_search(line, match, kBegin)) {
            ++depth;
        } else if (std::regex_search(line, match, kEnd)) {
            if (--depth == 0) resource.clear();
        } else if (kind == "MENU") {
            if (std::regex_search(line, match, kPopup)) {
                if (resource == "APP_UI_MENU" && depth == 1)
                    resources.menu_bar.push_back(WithoutAccessKeys(Unquote(match[1])));
            } else if (std::regex_search(line, match, kMenuItem)) {
                resources.menu_items.emplace(match[2], WithoutAccessKeys(Unquote(match[1])));
            }
        } else if (depth == 0 && std::regex_search(line, match, kCaption)) {
            resources.dialogs[resource].caption = Unquote(match[1]);
        } else if (depth > 0 && std::regex_search(line, match, kControl)) {
            std::string where = resource;
            where.append(": ").append(line);
            resources.dialogs[resource].controls.push_back(ReadControl(match[1], match[2], match[3], match[4], where));
        }
    }
}

Resources ReadResources(const std::string& language) {
    Resources resources;
    resources.strings = &td::test::LoadStringTable(language);
    const std::filesystem::path folder = std::filesystem::path(TD_SOURCE_DIR) / "src/resources/lang" / language;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name == "menus.rc" || name.rfind("dialog_", 0) == 0) ReadResourceScript(ReadText(entry.path()), resources);
    }
    return resources;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) parts.push_back(part);
    return parts;
}

std::string OneLine(const std::string& text) {
    std::string line;
    for (char c : text) {
        const bool blank = c == ' ' || c == '\n' || c == '\r' || c == '\t';
        if (blank) {
            if (!line.empty() && line.back() != ' ') line += ' ';
        } else {
            line += c;
        }
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
}

std::string Escaped(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        if (c == '\\' || c == '{' || c == '}') escaped += '\\';
        escaped += c;
    }
    return escaped;
}

// Drops a trailing colon and the blanks before it, a no-break space (UTF-8
// C2 A0, as French puts before a colon) included.
std::string WithoutColon(std::string text) {
    for (;;) {
        if (!text.empty() && (text.back() == ' ' || text.back() == ':')) {
            text.pop_back();
        } else if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\xC2\xA0") == 0) {
            text.resize(text.size() - 2);
        } else {
            return text;
        }
    }
}

// A message box lays its text out line by line; a code paragraph keeps
// those lines and their indents (tabs to the next multiple of eight).
// Halibut takes a code paragraph literally, so nothing is escaped.
std::string CodeLines(const std::string& text) {
    std::string out;
    std::string cleaned;
    for (char c : text) {
        if (c != '\r') cleaned += c;
    }
    while (!cleaned.empty() && cleaned.front() == '\n') cleaned.erase(0, 1);
    for (const std::string& line : Split(cleaned, '\n')) {
        std::string expanded;
        for (char c : line) {
            if (c == '\t') {
                do expanded += ' ';
                while (expanded.size() % 8 != 0);
            } else {
                expanded += c;
            }
        }
        out += "\\c " + expanded + "\n";
    }
    return out;
}

std::string StringText(const Resources& resources, const std::string& name, const std::string& where) {
    const auto& ids = td::test::ResourceIds();
    const auto id = ids.find(name);
    if (id == ids.end()) Fail(where + ": no resource id " + name);
    const auto text = resources.strings->find(id->second);
    if (text == resources.strings->end()) Fail(where + ": the string table has no text " + name);
    return text->second;
}

const Dialog& FindDialog(const Resources& resources, const std::string& name, const std::string& where) {
    const auto dialog = resources.dialogs.find(name);
    if (dialog == resources.dialogs.end()) Fail(where + ": no dialog " + name);
    return dialog->second;
}

bool IsLabel(const Control& control) { return control.static_text && control.id == "-1" && !control.text.empty(); }

// The label the user reads beside `control`: the nearest static text on its
// row (the two overlap in height) that ends left of it; failing that, the
// nearest one above it that overlaps it in width. Two at the same distance,
// a text that runs into the control, or none at all cannot be told apart
// from a layout mistake, so the tool stops there.
std::string LabelOf(const Dialog& dialog, const Control& control, const std::string& where) {
    const Box& c = control.box;
    const Control* left = nullptr;
    const Control* above = nullptr;
    bool left_tie = false, above_tie = false;
    for (const Control& label : dialog.controls) {
        if (!IsLabel(label) || &label == &control) continue;
        const Box& b = label.box;
        const bool same_row = b.top < c.bottom() && c.top < b.bottom();
        const bool same_column = b.left < c.right() && c.left < b.right();
        if (same_row && b.left < c.left) {
            if (b.right() > c.left)
                Fail(where + ": the label \"" + label.text +
                     "\" runs into the control, so which text is its label "
                     "cannot be told");
            if (left == nullptr || b.right() > left->box.right()) {
                left = &label;
                left_tie = false;
            } else if (b.right() == left->box.right()) {
                left_tie = true;
            }
        } else if (same_column && b.bottom() <= c.top) {
            if (above == nullptr || b.bottom() > above->box.bottom()) {
                above = &label;
                above_tie = false;
            } else if (b.bottom() == above->box.bottom()) {
                above_tie = true;
            }
        }
    }
    // Another control standing between the text and this one is what the
    // text labels, if anything.
    const auto nothing_between = [&](const Control& label, bool row) {
        const Box& b = label.box;
        for (const Control& other : dialog.controls) {
            if (&other == &label || &other == &control) continue;
            const Box& o = other.box;
            const bool between = row ? o.top < c.bottom() && c.top < o.bottom() && o.left >= b.right() &&
                                           o.right() <= c.left
                                     : o.left < c.right() && c.left < o.right() && o.top >= b.bottom() &&
                                           o.bottom() <= c.top;
            if (between) Fail(where + ": a control stands between it and \"" + label.text + "\"");
        }
    };
    if (left != nullptr) {
        if (left_tie) Fail(where + ": two texts stand at the same distance to the left of the control");
        nothing_between(*left, true);
        return left->text;
    }
    if (above != nullptr) {
        if (above_tie) Fail(where + ": two texts stand at the same distance above the control");
        nothing_between(*above, false);
        return above->text;
    }
    Fail(where + ": no static text stands to the left of the control or above it");
}

// The text a placeholder stands for, escaped for Halibut.
std::string Expand(const Resources& resources, std::string placeholder, const std::string& where) {
    const bool bare = !placeholder.empty() && placeholder.back() == '~';
    if (bare) placeholder.pop_back();
    const std::vector<std::string> parts = Split(placeholder, ':');
    const std::string& kind = parts.front();
    std::string text;
    if (parts.size() == 1) {
        text = OneLine(StringText(resources, kind, where));
    } else if (kind == "PARAS" && parts.size() == 2) {
        std::string paragraphs;
        for (const std::string& line : Split(StringText(resources, parts[1], where), '\n')) {
            if (!paragraphs.empty()) paragraphs += "\n\n";
            paragraphs += Escaped(line);
        }
        return paragraphs;
    } else if (kind == "LINES" && parts.size() == 2) {
        return CodeLines(StringText(resources, parts[1], where));
    } else if (kind == "MENU" && parts.size() == 2) {
        const auto item = resources.menu_items.find(parts[1]);
        if (item == resources.menu_items.end()) Fail(where + ": no menu item " + parts[1]);
        text = item->second;
        if (text.size() > 3 && text.compare(text.size() - 3, 3, "...") == 0) text.resize(text.size() - 3);
    } else if (kind == "POPUP" && parts.size() == 2) {
        const std::size_t index = static_cast<std::size_t>(std::atoi(parts[1].c_str()));
        if (index < 1 || index > resources.menu_bar.size()) Fail(where + ": no menu " + parts[1]);
        text = resources.menu_bar[index - 1];
    } else if (kind == "DIALOG" && parts.size() == 2) {
        text = FindDialog(resources, parts[1], where).caption;
    } else if ((kind == "CONTROL" || kind == "LABEL") && parts.size() == 3) {
        const Dialog& dialog = FindDialog(resources, parts[1], where);
        const Control* control = nullptr;
        for (const Control& candidate : dialog.controls) {
            if (candidate.id == parts[2]) control = &candidate;
        }
        if (control == nullptr) Fail(where + ": dialog " + parts[1] + " has no control " + parts[2]);
        text = kind == "CONTROL" ? control->text : LabelOf(dialog, *control, where + ": " + placeholder);
        if (text.empty()) Fail(where + ": " + placeholder + " has no text");
    } else {
        Fail(where + ": unknown placeholder @" + placeholder + "@");
    }
    if (bare) text = WithoutColon(text);
    return Escaped(OneLine(text));
}

bool IsPlaceholderCharacter(char c) {
    return std::isupper(static_cast<unsigned char>(c)) || std::isdigit(static_cast<unsigned char>(c)) || c == '_' ||
           c == ':' || c == '~';
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) Fail("usage: td-helpsrc language template.but output.but");
    const Resources resources = ReadResources(argv[1]);
    const std::string source = ReadText(argv[2]);

    std::string output;
    int line = 1;
    for (std::size_t at = 0; at < source.size(); ++at) {
        if (source[at] == '\n') ++line;
        if (source[at] != '@') {
            output += source[at];
            continue;
        }
        std::size_t end = at + 1;
        while (end < source.size() && IsPlaceholderCharacter(source[end])) ++end;
        if (end == at + 1 || end >= source.size() || source[end] != '@') {
            output += source[at];  // an @ of the text itself
            continue;
        }
        output += Expand(resources, source.substr(at + 1, end - at - 1),
                         std::string(argv[2]) + ":" + std::to_string(line));
        at = end;
    }

    std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
    out << output;
    if (!out) Fail(std::string(argv[3]) + " cannot be written");
    return 0;
}
