// The rules a whole dialog keeps, apart from the text measurement itself:
// no two visible controls overlap, each access key is used once within a
// dialog or menu level, and every value field follows its label in tab
// order, so that a screen reader names the field by its label.
//
// Portable: the Win32 checker (td_layout_check.cpp) reads the controls from
// the dialogs it builds and hands them over in tab order.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace td::layout {

struct Box {
    int left, top, right, bottom;
};

enum class Role {
    Label,     // a text of its own (a static label, a check box, a button)
    Field,     // a value the program fills in: needs a label before it
    Frame,     // draws around others and shows no text (a rectangle, a picture)
    GroupBox,  // frames others under a title
};

struct Control {
    int id;
    Role role;
    Box box;  // in the dialog's client coordinates
};

bool Overlap(const Box& a, const Box& b);
bool Contains(const Box& outer, const Box& inner);

// The access key of a menu or control text: the character after a single
// '&' ("&&" is an ampersand), upper case, letters of code page 1252
// included; 0 when the text has none.
int AccessKeyOf(const std::string& text);

// Pairs (earlier, later) of texts of one dialog or menu level that share an
// access key.
std::vector<std::pair<std::size_t, std::size_t>> SharedAccessKeys(const std::vector<std::string>& texts);

// Pairs of controls that overlap. A group box or a frame and a control that
// lies wholly inside it are not an overlap: that is what they are for.
std::vector<std::pair<std::size_t, std::size_t>> Overlaps(const std::vector<Control>& controls);

// Fields whose nearest control before them in tab order, frames left
// aside, is not a label (another field, a group box, or none at all).
std::vector<std::size_t> FieldsWithoutLabel(const std::vector<Control>& controls);

}  // namespace td::layout
