#include "layout_rules.h"

namespace td::layout {
namespace {

int UpperCase(unsigned char c) {
    if (c >= 'a' && c <= 'z') return c - ('a' - 'A');
    // Code page 1252's small accented letters (E0h-FEh, but the division
    // sign F7h) are their capitals' plus 20h.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
    return c;
}

bool Frames(const Control& outer, const Control& inner) {
    return (outer.role == Role::GroupBox || outer.role == Role::Frame) && Contains(outer.box, inner.box);
}

}  // namespace

bool Overlap(const Box& a, const Box& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Contains(const Box& outer, const Box& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

int AccessKeyOf(const std::string& text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return UpperCase(static_cast<unsigned char>(text[i + 1]));
    }
    return 0;
}

std::vector<std::pair<std::size_t, std::size_t>> SharedAccessKeys(const std::vector<std::string>& texts) {
    std::vector<std::pair<std::size_t, std::size_t>> shared;
    for (std::size_t later = 0; later < texts.size(); ++later) {
        const int key = AccessKeyOf(texts[later]);
        if (key == 0) continue;
        for (std::size_t earlier = 0; earlier < later; ++earlier) {
            if (AccessKeyOf(texts[earlier]) == key) {
                shared.emplace_back(earlier, later);
                break;
            }
        }
    }
    return shared;
}

std::vector<std::pair<std::size_t, std::size_t>> Overlaps(const std::vector<Control>& controls) {
    std::vector<std::pair<std::size_t, std::size_t>> found;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            const Control& a = controls[i];
            const Control& b = controls[j];
            if (!Overlap(a.box, b.box) || Frames(a, b) || Frames(b, a)) continue;
            found.emplace_back(i, j);
        }
    }
    return found;
}

std::vector<std::size_t> FieldsWithoutLabel(const std::vector<Control>& controls) {
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].role != Role::Field) continue;
        std::size_t before = i;
        while (before > 0 && controls[before - 1].role == Role::Frame) --before;
        if (before == 0 || controls[before - 1].role != Role::Label) found.push_back(i);
    }
    return found;
}

}  // namespace td::layout
