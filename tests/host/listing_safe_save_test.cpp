// Saving over a listing: the old file is replaced only by a whole new one,
// on systems that rename over a file in one step and on Windows 95, 98 and
// Me, which cannot, and whatever fails leaves it as it was and nothing else.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "common/fixed_text.h"
#include "listing/safe_save.h"

namespace td {
namespace {

// A folder in memory. Files can be made read-only, a write can run out of
// room, and renames can be refused from a given one on.
class FakeFiles final : public ListingFiles {
public:
    bool MayReplace(const char* path) override { return read_only.count(path) == 0; }
    bool CreateTemporary(const char* folder, char (&name)[260]) override {
        const std::string made = std::string(folder) + "tdl" + std::to_string(++made_count) + ".tmp";
        CopyText(name, made.c_str());
        files[made] = "";
        return true;
    }
    bool WriteWhole(const char* path, const char* bytes, std::size_t length) override {
        if (disk_full) {
            files[path] = std::string(bytes, length / 2);  // what got there before the room ran out
            return false;
        }
        files[path] = std::string(bytes, length);
        return true;
    }
    bool RenameReplacing(const char* from, const char* to) override {
        if (!renames_over_files) return false;
        return Move(from, to, true);
    }
    bool Rename(const char* from, const char* to) override { return Move(from, to, false); }
    bool Exists(const char* path) override { return files.count(path) != 0; }
    bool Remove(const char* path) override { return files.erase(path) != 0; }

    std::map<std::string, std::string> files;
    std::set<std::string> read_only;
    bool renames_over_files = true;  // false: Windows 95, 98 and Me
    bool disk_full = false;
    int failing_rename = 0;  // the n-th rename fails, counted from 1; 0 none, -1 every one

private:
    bool Move(const std::string& from, const std::string& to, bool replacing) {
        ++renames;
        if (failing_rename == -1 || failing_rename == renames || files.count(from) == 0) return false;
        if (!replacing && files.count(to) != 0) return false;
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    int made_count = 0;
    int renames = 0;
};

constexpr char kPath[] = "C:\\Listings\\inventory.txt";
const std::string kNew = "2\nBL2940U\nBL1540\n";

SaveOutcome Save(FakeFiles& files) { return SaveReplacing(files, kPath, kNew.data(), kNew.size()); }

using Folder = std::map<std::string, std::string>;

TEST(SafeSave, ANewOrAnOldFileEndsUpHoldingTheWholeListingAndNothingElse) {
    for (bool renames_over_files : {true, false}) {
        SCOPED_TRACE(renames_over_files ? "one-step rename" : "Windows 95");
        FakeFiles fresh;
        fresh.renames_over_files = renames_over_files;
        EXPECT_EQ(Save(fresh), SaveOutcome::Saved);
        EXPECT_EQ(fresh.files, (Folder{{kPath, kNew}}));

        FakeFiles existing;
        existing.renames_over_files = renames_over_files;
        existing.files[kPath] = "the listing the user keeps";
        existing.files["C:\\Listings\\other.txt"] = "another";
        EXPECT_EQ(Save(existing), SaveOutcome::Saved);
        EXPECT_EQ(existing.files, (Folder{{kPath, kNew}, {"C:\\Listings\\other.txt", "another"}}));
    }
}

TEST(SafeSave, WhateverFailsTheOldFileStaysAndNoTemporaryFileIsLeft) {
    const Folder before{{kPath, "the listing the user keeps"}};
    for (bool renames_over_files : {true, false}) {
        SCOPED_TRACE(renames_over_files ? "one-step rename" : "Windows 95");
        FakeFiles full;
        full.renames_over_files = renames_over_files;
        full.files = before;
        full.disk_full = true;
        EXPECT_EQ(Save(full), SaveOutcome::NotWritten);
        EXPECT_EQ(full.files, before);

        FakeFiles read_only;
        read_only.renames_over_files = renames_over_files;
        read_only.files = before;
        read_only.read_only.insert(kPath);
        EXPECT_EQ(Save(read_only), SaveOutcome::NotCreated);
        EXPECT_EQ(read_only.files, before);

        // The new file cannot take the name: on Windows 95 the old one has
        // to step aside first, and is put back.
        for (int failing : renames_over_files ? std::set<int>{-1} : std::set<int>{1, 2}) {
            FakeFiles refused;
            refused.renames_over_files = renames_over_files;
            refused.files = before;
            refused.failing_rename = failing;
            EXPECT_EQ(Save(refused), SaveOutcome::NotCreated) << "rename " << failing << " fails";
            EXPECT_EQ(refused.files, before) << "rename " << failing << " fails";
        }
    }
}

// The temporary files go beside the listing, so that the last step is a
// rename within one folder (and one drive) and never a copy.
TEST(SafeSave, TemporaryFilesGoIntoTheListingsFolder) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Listings\\a.txt", "C:\\Listings\\"},       {"C:\\a.txt", "C:\\"}, {"C:a.txt", "C:"},
        {"\\\\host\\share\\a.txt", "\\\\host\\share\\"}, {"sub/a.txt", "sub/"}, {"a.txt", "."},
    };
    for (const auto& [path, folder] : cases) {
        char found[260];
        FolderOf(path, found);
        EXPECT_STREQ(found, folder) << path;
    }
}

}  // namespace
}  // namespace td
