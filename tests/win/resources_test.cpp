// The resources compiled into the program carry exactly the texts and menus
// the program uses, in every language it ships.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "support/rc_strings.h"

namespace td {
namespace {

struct Language {
    const char* folder;
    LANGID id;
};
const Language kLanguages[] = {{"en", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)}};

// LoadStringA follows the thread's UI language; this loads the string of
// one given language straight from the resource.
std::string LoadStringIn(LANGID language, int id) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC block = FindResourceExA(module, RT_STRING, MAKEINTRESOURCEA((id >> 4) + 1), language);
    if (block == nullptr) return "<missing block>";
    const WCHAR* p = static_cast<const WCHAR*>(LockResource(LoadResource(module, block)));
    for (int i = 0; i < (id & 15); ++i) p += 1 + *p;
    if (*p == 0) return "<missing>";
    std::wstring wide(p + 1, p + 1 + *p);
    char text[4096];
    const int n = WideCharToMultiByte(1252, 0, wide.c_str(), static_cast<int>(wide.size()), text,
                                      sizeof text, nullptr, nullptr);
    return std::string(text, text + n);
}

TEST(Resources, EveryStringOfEachLanguageIsCompiledAsWritten) {
    for (const Language& language : kLanguages) {
        const test::StringTable& table = test::LoadStringTable(language.folder);
        ASSERT_GT(table.size(), 100u);
        for (const auto& [id, text] : table) {
            EXPECT_EQ(LoadStringIn(language.id, id), text) << language.folder << " string " << id;
        }
    }
}

TEST(Resources, EveryLanguageHasTheSameStringIds) {
    const test::StringTable& english = test::LoadStringTable("en");
    for (const Language& language : kLanguages) {
        const test::StringTable& table = test::LoadStringTable(language.folder);
        for (const auto& entry : english) EXPECT_TRUE(table.count(entry.first)) << language.folder << " lacks " << entry.first;
        EXPECT_EQ(table.size(), english.size()) << language.folder;
    }
}

struct MenuItemView {
    UINT id;
    UINT state;
};

std::vector<MenuItemView> CommandItems(HMENU menu) {
    std::vector<MenuItemView> items;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (HMENU sub = GetSubMenu(menu, i)) {
            auto inner = CommandItems(sub);
            items.insert(items.end(), inner.begin(), inner.end());
        } else {
            const UINT id = GetMenuItemID(menu, i);
            if (id != 0) items.push_back({id, GetMenuState(menu, i, MF_BYPOSITION)});
        }
    }
    return items;
}

TEST(Resources, MainMenuCommandsAndStartingStates) {
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), "APP_UI_MENU");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemCount(menu), 4);
    std::vector<UINT> ids;
    for (const MenuItemView& item : CommandItems(menu)) {
        ids.push_back(item.id);
        EXPECT_EQ(item.state & MF_CHECKED, 0u) << "no item starts checked: " << item.id;
        EXPECT_EQ((item.state & MF_GRAYED) != 0, item.id == IDM_FILE_SAVE) << item.id;
    }
    const std::vector<UINT> expected = {IDM_FILE_OPEN, IDM_FILE_SAVE, IDM_FILE_SAVE_AS, IDM_FILE_EXIT,
                                        IDM_RESCAN, IDM_DEVICE_PROPERTIES, IDM_DEVICE_DIAGNOSTICS,
                                        IDM_WIDE_BUS,
                                        IDM_VIEW_LARGE_ICONS, IDM_VIEW_SMALL_ICONS, IDM_VIEW_LIST,
                                        IDM_VIEW_DETAILS, IDM_HELP_CONTENTS, IDM_HELP_ABOUT};
    EXPECT_EQ(ids, expected);
    DestroyMenu(menu);
}

TEST(Resources, DeviceContextMenuHasOnlyProperties) {
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), "DEVICEPOPUPMENU");
    ASSERT_NE(menu, nullptr);
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), 1);
    EXPECT_EQ(GetMenuItemID(popup, 0), static_cast<UINT>(IDM_DEVICE_PROPERTIES));
    DestroyMenu(menu);
}

}  // namespace
}  // namespace td
