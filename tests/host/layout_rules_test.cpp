// The whole-dialog check's rules: overlaps, access keys and the order of
// labels and fields, on dialogs laid out as tables.
#include <gtest/gtest.h>

#include "layout_rules.h"

namespace td::layout {
namespace {

using Pairs = std::vector<std::pair<std::size_t, std::size_t>>;

TEST(LayoutRules, AccessKeysAreCountedPerLevelAndAmpersandsAreNotKeys) {
    EXPECT_EQ(AccessKeyOf("&Re-scan SCSI Bus\tF5"), 'R');
    EXPECT_EQ(AccessKeyOf("Device Dia&gnostics..."), 'G');
    EXPECT_EQ(AccessKeyOf("Save && Quit"), 0);
    EXPECT_EQ(AccessKeyOf("A && &B"), 'B');
    EXPECT_EQ(AccessKeyOf("Open..."), 0);
    EXPECT_EQ(AccessKeyOf("Trailing &"), 0);
    EXPECT_EQ(AccessKeyOf("&\xE9tat"), 0xC9) << "code page 1252's small letters fold to capitals";
    // The English Options menu as it was: two items on D.
    EXPECT_EQ(SharedAccessKeys({"&Re-scan", "&Device Properties...", "Device &Diagnostics...", "Wide bus"}),
              (Pairs{{1, 2}}));
    EXPECT_EQ(SharedAccessKeys({"&Re-scan", "&Device Properties...", "Device Dia&gnostics...", "Wide bus"}), Pairs{});
    EXPECT_EQ(SharedAccessKeys({"&a", "&A", "&\xE0", "&\xC0"}), (Pairs{{0, 1}, {2, 3}}));
}

TEST(LayoutRules, OverlapsCountUnlessAFrameHoldsTheWholeControl) {
    const std::vector<Control> page = {
        {-1, Role::GroupBox, {7, 74, 205, 102}},  // 0 "Features"
        {1010, Role::Label, {14, 86, 104, 96}},   // 1 inside it
        {1011, Role::Label, {100, 86, 200, 96}},  // 2 inside it, over 1
        {-1, Role::Frame, {7, 143, 209, 194}},    // 3 a white rectangle
        {1035, Role::Field, {9, 146, 207, 154}},  // 4 inside it
        {-1, Role::Label, {150, 100, 220, 110}},  // 5 across the group box's edge
        {-1, Role::Label, {104, 86, 110, 96}},    // 6 touching 1 at its edge, inside 2
    };
    EXPECT_EQ(Overlaps(page), (Pairs{{0, 5}, {1, 2}, {2, 6}}));
}

TEST(LayoutRules, EveryFieldFollowsItsLabelFramesLeftAside) {
    const Box any{0, 0, 1, 1};
    struct Row {
        std::vector<Role> order;
        std::vector<std::size_t> unlabelled;
    } const rows[] = {
        {{Role::Label, Role::Field, Role::Label, Role::Field}, {}},
        {{Role::Frame, Role::Label, Role::Frame, Role::Field}, {}},   // a picture between
        {{Role::Label, Role::Label, Role::Field, Role::Field}, {3}},  // labels first, fields after
        {{Role::Field, Role::Label}, {0}},                            // nothing before it
        {{Role::Frame, Role::Field}, {1}},                            // only a frame before it
        {{Role::GroupBox, Role::Field}, {1}},                         // a group's title names no field
        {{Role::Label, Role::Field, Role::Field, Role::Label, Role::Field}, {2}},
    };
    for (const Row& row : rows) {
        std::vector<Control> controls;
        for (Role role : row.order) controls.push_back(Control{1, role, any});
        EXPECT_EQ(FieldsWithoutLabel(controls), row.unlabelled) << "dialog of " << row.order.size() << " controls";
    }
}

}  // namespace
}  // namespace td::layout
