// Reading a listing back: the counts and their messages, the field rules,
// device counting and ties, round trips, and files that are not what they
// claim to be.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/fixed_text.h"
#include "common/shared_texts.h"
#include "common/win_codes.h"
#include "listing/listing_format.h"
#include "listing/listing_parse.h"
#include "support/recording_views.h"
#include "support/sample_inventory.h"
#include "support/scripted_messages.h"

namespace td {
namespace {

// Everything ParseListing works with, in the English interface. The file's
// bytes are handed over in a block of exactly their size, so the sanitizer
// build catches any read past them.
class ListingReader {
public:
    explicit ListingReader(const std::string& interface_language = "en") : messages(interface_language) {
        EXPECT_TRUE(LoadSharedTexts(messages, texts));
        inventory.max_target_id = kMaxTargetIdNarrow;
    }

    int Read(const std::string& file) {
        std::unique_ptr<char[]> bytes(new char[file.size()]);
        std::memcpy(bytes.get(), file.data(), file.size());
        return ParseListing(bytes.get(), file.size(), inventory, texts, messages, views);
    }

    // The only message box shown, or an empty box when there was none or more.
    test::ShownBox OnlyBox() const { return messages.boxes().size() == 1 ? messages.boxes()[0] : test::ShownBox{}; }

    test::ScriptedMessages messages;
    SharedTexts texts{};
    test::RecordingViews views{&texts};
    Inventory inventory{};
};

int Calls(const test::RecordingViews& views, const std::string& call) {
    return static_cast<int>(std::count(views.calls.begin(), views.calls.end(), call));
}

std::vector<int> SlotsOfAdapter(const Inventory& inventory, int adapter_index) {
    std::vector<int> slots;
    const int number = inventory.adapters[adapter_index].adapter_number;
    for (int i = NextSlotOfAdapter(inventory, number, 0); i >= 0; i = NextSlotOfAdapter(inventory, number, i + 1))
        slots.push_back(i);
    return slots;
}

// A slot with values of its own, to see which fields a line replaces.
void FillEarlierValues(DeviceSlot& slot) {
    slot.target_id = 99;
    CopyText(slot.type_name, "earlier type");
    CopyText(slot.vendor, "earlier");
    CopyText(slot.product, "earlier product");
    CopyText(slot.revision, "earl");
    CopyText(slot.adapter_identifier, "earlier adapter");
    slot.scsi_version = 9;
}

// ---- Counts ----------------------------------------------------------------

TEST(ListingCounts, AdapterCountOutsideOneToEightIsRejected) {
    for (const char* first_line : {"0", "9", "-1", "abc", "", "   ", "4294967298"}) {
        ListingReader reader;
        reader.inventory.adapter_count = 2;  // a live inventory before the Open
        reader.inventory.slot_count = 16;
        EXPECT_EQ(reader.Read(std::string(first_line) + "\nAHA\n1\n0,Tape,HP,X,1,AHA,2\n"), 0) << first_line;
        const test::ShownBox box = reader.OnlyBox();
        EXPECT_EQ(box.text, reader.messages.Text(50024)) << first_line;
        EXPECT_EQ(box.caption, "Tessaline Diagnostics status:");
        EXPECT_EQ(box.owner, 0u);
        EXPECT_EQ(box.flags, win::kMbOk);
        EXPECT_EQ(reader.inventory.adapter_count, 0);
        EXPECT_EQ(reader.inventory.slot_count, 0);
        EXPECT_EQ(reader.views.calls, std::vector<std::string>{"Reset"}) << "the views are emptied, nothing inserted";
    }
}

TEST(ListingCounts, DeviceCountOutsideOneToSixtyFourKeepsTheAdapters) {
    for (const char* count_line : {"0", "65", "-1", "x"}) {
        ListingReader reader;
        EXPECT_EQ(reader.Read(std::string("2\nAHA-2940UW\nBT-958\n") + count_line + "\n0,Tape,HP,X,1,BT-958,2\n"), 0);
        EXPECT_EQ(reader.OnlyBox().text, reader.messages.Text(50025)) << count_line;
        EXPECT_EQ(reader.OnlyBox().flags, win::kMbOk);
        EXPECT_EQ(reader.OnlyBox().owner, 0u);
        EXPECT_EQ(reader.inventory.adapter_count, 2);
        EXPECT_EQ(reader.inventory.slot_count, 0);
        ASSERT_EQ(reader.views.tree.size(), 2u);
        EXPECT_EQ(reader.views.tree[0].text, "BT-958");
        EXPECT_EQ(reader.views.tree[1].text, "AHA-2940UW");
        EXPECT_EQ(reader.inventory.adapters[0].device_count, 0);
        EXPECT_EQ(reader.inventory.adapters[1].device_count, 0);
        EXPECT_EQ(Calls(reader.views, "AssignDeviceImage"), 0);
    }
}

TEST(ListingCounts, BoundsAndTheWordRule) {
    ListingReader reader;
    std::string file = " 8 adapters follow\n";
    for (int i = 0; i < 8; ++i) file += "A" + std::to_string(i) + "\n";
    file += "+64x\n";
    EXPECT_EQ(reader.Read(file), 1);
    EXPECT_TRUE(reader.messages.boxes().empty());
    EXPECT_EQ(reader.inventory.adapter_count, 8);
    EXPECT_EQ(reader.inventory.slot_count, 64) << "the lines a file lacks read as empty lines";
    EXPECT_EQ(Calls(reader.views, "AssignDeviceImage"), 64);

    ListingReader one;
    EXPECT_EQ(one.Read("1\nA\n1\n0,Tape,HP,X,1,A,2"), 1);
    EXPECT_EQ(one.inventory.adapter_count, 1);
    EXPECT_EQ(one.inventory.slot_count, 1);
}

// ---- What Open does to the views and records ----------------------------------

TEST(ListingOpen, ResetFirstThenAdaptersInFileOrderAndNothingSelected) {
    ListingReader reader;
    reader.views.fail_insert_index = 1;
    EXPECT_EQ(reader.Read("3\nfirst\nsecond\nthird\n1\n0,Tape,HP,X,1,third,2\n"), 1);
    EXPECT_EQ(reader.views.calls, (std::vector<std::string>{"Reset", "InsertAdapterItem", "InsertAdapterItem",
                                                            "InsertAdapterItem", "AssignDeviceImage"}))
        << "no expansion and no selection after Open";
    ASSERT_EQ(reader.views.tree.size(), 2u);
    EXPECT_EQ(reader.views.tree[0].text, "third") << "the file's last adapter is on top";
    EXPECT_EQ(reader.views.tree[0].index, 2);
    EXPECT_EQ(reader.inventory.adapters[2].tree_item, reader.views.tree[0].handle);
    EXPECT_EQ(reader.inventory.adapters[0].tree_item, reader.views.tree[1].handle);
    EXPECT_EQ(reader.inventory.adapters[1].tree_item, 0u) << "a failed insertion leaves no item";
    EXPECT_EQ(reader.inventory.adapter_count, 3);
}

TEST(ListingOpen, NothingOfTheLiveInventoryPassesForTheFiles) {
    ListingReader reader;
    reader.inventory = test::TwoAdapterScan(reader.texts, kPlatformNt);
    EXPECT_EQ(reader.Read("2\nmydrv\nother\n3\n"
                          "0,Hard Disk,IBM,DDRS,S97B,mydrv,2\n"
                          "5,Host Adapter,Adaptec,mydrv,N/A,mydrv,0\n"
                          "2,Tape,HP,C1537A,L708,other,2\n"),
              1);
    for (int i = 0; i < 2; ++i) {
        const HostAdapterRecord& record = reader.inventory.adapters[i];
        EXPECT_EQ(record.adapter_number, i);
        EXPECT_STREQ(record.description, record.identifier) << "the status bar names the adapter as the tree does";
        EXPECT_STREQ(record.manager_name, "");
        EXPECT_STREQ(record.manufacturer, "");
        EXPECT_STREQ(record.hw_revision, "");
        EXPECT_EQ(record.bus_count, 0);
    }
    EXPECT_EQ(reader.inventory.adapters[0].own_scsi_id, 5) << "from its Host Adapter line";
    EXPECT_EQ(reader.inventory.adapters[1].own_scsi_id, 0) << "no Host Adapter line";
    for (int j = 0; j < 3; ++j) {
        const DeviceSlot& slot = reader.inventory.slots[j];
        EXPECT_STREQ(slot.device_path, "") << "no NT device name of the live machine";
        EXPECT_EQ(slot.access_mode, 0u);
        EXPECT_EQ(slot.share_mode, 0u);
        EXPECT_EQ(slot.synchronous + slot.removable + slot.wide16 + slot.wide32 + slot.lun + slot.bus_number, 0);
    }
    EXPECT_STREQ(reader.inventory.slots[3].device_path, "E:") << "slots past the file's are not touched";
}

// ---- Field rules -------------------------------------------------------------

TEST(ListingFields, AnAdapterLineIsTheWholeIdentifierBlanksIncluded) {
    ListingReader reader;
    Inventory& inventory = reader.inventory;
    inventory.adapter_count = 1;
    inventory.slot_count = 1;
    CopyText(inventory.adapters[0].identifier, " Adaptec 2940  ");  // as an ASPI manager may pad it
    CopyText(inventory.slots[0].adapter_identifier, " Adaptec 2940  ");
    CopyText(inventory.slots[0].type_name, "Tape");
    const ListingText listing = FormatListing(inventory, reader.messages);
    const std::string file(listing.data(), listing.length());
    EXPECT_EQ(file.substr(0, 18), "1\n Adaptec 2940  \n");

    ASSERT_EQ(reader.Read(file), 1);
    EXPECT_STREQ(inventory.adapters[0].identifier, " Adaptec 2940  ");
    EXPECT_EQ(reader.views.tree[0].text, " Adaptec 2940  ");
    EXPECT_EQ(inventory.slots[0].adapter_number, 0) << "the device is still its adapter's";
    EXPECT_EQ(inventory.adapters[0].device_count, 1);

    ListingReader windows_editor;
    ASSERT_EQ(windows_editor.Read("1\r\nBL2940U\r\n1\r\n0,Tape,HP,C1537A,L708,BL2940U,2\r\n"), 1);
    EXPECT_STREQ(windows_editor.inventory.adapters[0].identifier, "BL2940U") << "a carriage return is no part of it";
    EXPECT_EQ(windows_editor.inventory.adapters[0].device_count, 1);
    EXPECT_EQ(windows_editor.inventory.slots[0].scsi_version, 2);

    // An adapter line left empty still names the adapter in the tree.
    ListingReader unnamed;
    ASSERT_EQ(unnamed.Read("2\nBL2940U\n\n1\n0,Tape,HP,C1537A,L708,,2\n"), 1);
    EXPECT_EQ(unnamed.views.tree[0].text, "Host Adapter 1") << "the last adapter on top";
    EXPECT_STREQ(unnamed.inventory.adapters[1].identifier, "") << "the file's own text is kept";
    EXPECT_EQ(unnamed.inventory.slots[0].adapter_number, 1);
}

TEST(ListingFields, EmptyTextFieldsReadAsEmptyAndApostrophesAsWritten) {
    ListingReader reader;
    reader.inventory = test::TwoAdapterScan(reader.texts, kPlatformWin95);  // the live machine's slots
    ASSERT_EQ(reader.Read("1\nOTHER\n3\n"
                          "0,No Device,,No Device,,OTHER,0\n"
                          "1,,,,,,0\n"
                          "5,Scanner,O'NEIL,Flat'bed,1.0',OTHER,2\n"),
              1);
    const DeviceSlot& no_device = reader.inventory.slots[0];
    EXPECT_EQ(no_device.target_id, 0);
    EXPECT_STREQ(no_device.type_name, "No Device");
    EXPECT_STREQ(no_device.vendor, "") << "not the live disk's maker";
    EXPECT_STREQ(no_device.product, "No Device");
    EXPECT_STREQ(no_device.revision, "");
    EXPECT_STREQ(no_device.adapter_identifier, "OTHER");
    EXPECT_EQ(no_device.adapter_number, 0);
    const DeviceSlot& all_empty = reader.inventory.slots[1];
    EXPECT_STREQ(all_empty.type_name, "");
    EXPECT_STREQ(all_empty.product, "");
    EXPECT_STREQ(all_empty.adapter_identifier, "");
    EXPECT_EQ(all_empty.adapter_number, kNoAdapterNumber);
    const DeviceSlot& apostrophes = reader.inventory.slots[2];
    EXPECT_STREQ(apostrophes.vendor, "O'NEIL");
    EXPECT_STREQ(apostrophes.product, "Flat'bed");
    EXPECT_STREQ(apostrophes.revision, "1.0'");
    EXPECT_EQ(apostrophes.scsi_version, 2);
    EXPECT_EQ(reader.inventory.adapters[0].device_count, 1) << "the scanner; the No Device line is none";
    EXPECT_EQ(SlotsOfAdapter(reader.inventory, 0), (std::vector<int>{0, 2}));
}

TEST(ListingFields, AMalformedLineStopsThereAndKeepsTheSlotsEarlierValues) {
    ListingReader reader;
    for (DeviceSlot& slot : reader.inventory.slots) FillEarlierValues(slot);
    ASSERT_EQ(reader.Read("1\naha\n4\n"
                          "3,CD-ROM\n"
                          "4,Tape,HP,C1537A,L708,aha,2\n"
                          ",Tape,HP,C1537A,L708,aha,2\n"
                          "6,Disk,V,P,R,aha,two\n"),
              1);
    const DeviceSlot& short_line = reader.inventory.slots[0];
    EXPECT_EQ(short_line.target_id, 3);
    EXPECT_STREQ(short_line.type_name, "CD-ROM") << "the line ends there, the next one is not read into it";
    EXPECT_STREQ(short_line.vendor, "earlier");
    EXPECT_STREQ(short_line.adapter_identifier, "earlier adapter");
    EXPECT_EQ(short_line.scsi_version, 9);
    EXPECT_EQ(reader.inventory.slots[1].target_id, 4);
    EXPECT_STREQ(reader.inventory.slots[1].adapter_identifier, "aha");
    const DeviceSlot& no_id = reader.inventory.slots[2];
    EXPECT_EQ(no_id.target_id, 99) << "an empty SCSI ID stops the scan at once";
    EXPECT_STREQ(no_id.type_name, "earlier type");
    const DeviceSlot& bad_version = reader.inventory.slots[3];
    EXPECT_STREQ(bad_version.adapter_identifier, "aha");
    EXPECT_EQ(bad_version.scsi_version, 9) << "\"two\" is no number";
    EXPECT_EQ(reader.inventory.adapters[0].device_count, 2) << "the tape and the disk";
}

TEST(ListingFields, AHandWrittenCommaInAFieldShiftsTheRest) {
    ListingReader reader;
    ASSERT_EQ(reader.Read("1\naha\n1\n3,CD-ROM,TOSHIBA,CD-ROM, 4x,3136,aha,2\n"), 1);
    const DeviceSlot& comma = reader.inventory.slots[0];
    EXPECT_STREQ(comma.product, "CD-ROM");
    EXPECT_STREQ(comma.revision, " 4x");
    EXPECT_STREQ(comma.adapter_identifier, "3136");
    EXPECT_EQ(comma.adapter_number, kNoAdapterNumber);
}

TEST(ListingFields, LongWordsAndFieldsAreCutAndTheRestStaysInPlace) {
    ListingReader reader;
    const std::string long_name(1000, 'N');
    const std::string file = "1\n" + long_name + " tail\n1\n" + "5," + std::string(1000, 'T') + "," +
                             std::string(1000, 'V') + "," + std::string(1000, 'P') + "," + std::string(1000, 'R') +
                             "," + long_name + "," + std::string(1000, '3') + "\n";
    ASSERT_EQ(reader.Read(file), 1);
    const HostAdapterRecord& record = reader.inventory.adapters[0];
    const DeviceSlot& slot = reader.inventory.slots[0];
    EXPECT_EQ(std::string(record.identifier), std::string(31, 'N'));
    EXPECT_EQ(reader.views.tree[0].text, std::string(31, 'N'));
    EXPECT_EQ(slot.target_id, 5);
    EXPECT_EQ(std::string(slot.type_name), std::string(31, 'T'));
    EXPECT_EQ(std::string(slot.vendor), std::string(7, 'V'));
    EXPECT_EQ(std::string(slot.product), std::string(31, 'P'));
    EXPECT_EQ(std::string(slot.revision), std::string(24, 'R'));
    EXPECT_EQ(std::string(slot.adapter_identifier), std::string(31, 'N'));
    EXPECT_EQ(slot.scsi_version, INT_MAX) << "a 1000-digit number stops at the limit";
    EXPECT_EQ(slot.adapter_number, 0) << "both names cut the same way still match";
    EXPECT_EQ(record.device_count, 1);
}

// ---- Device counting and ties --------------------------------------------------

TEST(ListingDevices, CountedByAdapterIdentifierExceptNoDeviceAndHostAdapter) {
    ListingReader reader;
    ASSERT_EQ(reader.Read("3\nalpha\nbeta\nalpha\n9\n"
                          "0,Hard Disk,IBM,DDRS,S97B,alpha,2\n"
                          "1,No Device, ,No Device, ,alpha,0\n"
                          "7,Host Adapter,Adaptec,alpha,03,alpha,0\n"
                          "2,Printer,HP,LaserJet,1.0,alpha,2\n"
                          "3,CD-ROM,TOSHIBA,XM-5701,3136,beta,2\n"
                          "4,Tape,HP,C1537A,L708,BETA,2\n"
                          "5,Scanner,HP,C6270A,3.01,gamma,2\n"
                          "6,no device, ,No Device, ,beta,0\n"
                          "0,UnKnown,X,Y,Z,beta,1\n"),
              1);
    const Inventory& inventory = reader.inventory;
    EXPECT_EQ(inventory.adapters[0].device_count, 2) << "disk and printer";
    EXPECT_EQ(inventory.adapters[1].device_count, 3) << "CD-ROM, \"no device\" (case counts) and UnKnown";
    EXPECT_EQ(inventory.adapters[2].device_count, 0) << "the first adapter of a name takes its devices";
    EXPECT_EQ(SlotsOfAdapter(inventory, 0), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(SlotsOfAdapter(inventory, 1), (std::vector<int>{4, 7, 8}));
    EXPECT_EQ(inventory.slots[5].adapter_number, kNoAdapterNumber) << "BETA is not beta";
    EXPECT_EQ(inventory.slots[6].adapter_number, kNoAdapterNumber) << "no adapter gamma";
    // The listed slots and the counted ones agree: every listed slot that
    // is a device is counted for the adapter that lists it.
    for (int a = 0; a < 2; ++a) {
        int devices = 0;
        for (int j : SlotsOfAdapter(inventory, a)) {
            const char* type = inventory.slots[j].type_name;
            if (std::strcmp(type, "No Device") != 0 && std::strcmp(type, "Host Adapter") != 0) ++devices;
        }
        EXPECT_EQ(devices, inventory.adapters[a].device_count) << "adapter " << a;
    }
}

// A listing saved under any of the five languages, opened under any of
// them: its words stay as written, its slots are what they were.
TEST(ListingDevices, AListingOfAnyLanguageOpensWithItsPicturesAndCounts) {
    for (const char* interface : {"en", "de", "es", "fr", "it"})
        for (const char* folder : {"de", "es", "fr", "it", "en"}) {
            SCOPED_TRACE(std::string(interface) + " interface");
            const test::StringTable& written = test::LoadStringTable(folder);
            const auto name = [&](int id) { return written.at(id); };
            ListingReader reader(interface);
            for (DeviceSlot& slot : reader.inventory.slots) slot.image_index = -7;
            const std::string file = "1\naic78xx\n5\n0," + name(50026) + ",IBM,DDRS,S97B,aic78xx,2\n1," + name(50010) +
                                     ", ," + name(50010) + ", ,aic78xx,0\n7," + name(50011) +
                                     ",Adaptec,aic78xx,N/A,aic78xx,0\n3," + name(50032) +
                                     ",HP,C6270A,3.01,aic78xx,2\n4," + name(50071) + ",HP,LaserJet,1.0,aic78xx,2\n";
            ASSERT_EQ(reader.Read(file), 1) << folder;
            const Inventory& inventory = reader.inventory;
            EXPECT_STREQ(inventory.slots[0].type_name, name(50026).c_str()) << folder << ": written words are kept";
            EXPECT_EQ(inventory.slots[0].image_index, 1) << folder << " hard disk";
            EXPECT_EQ(inventory.slots[1].image_index, 10) << folder << " empty ID";
            EXPECT_EQ(inventory.slots[2].image_index, 8) << folder << " host adapter";
            EXPECT_EQ(inventory.slots[3].image_index, 5) << folder << " scanner";
            EXPECT_EQ(reader.views.pictures_found, 4) << folder << ": the printer has no row of its own";
            EXPECT_EQ(inventory.adapters[0].device_count, 3) << folder << ": disk, scanner, printer";
            EXPECT_EQ(inventory.adapters[0].own_scsi_id, 7) << folder;
        }
}

// ---- Round trips -----------------------------------------------------------------

void ExpectSameCarriedFields(const Inventory& read, const Inventory& written) {
    ASSERT_EQ(read.adapter_count, written.adapter_count);
    ASSERT_EQ(read.slot_count, written.slot_count);
    for (int i = 0; i < written.adapter_count; ++i) {
        EXPECT_STREQ(read.adapters[i].identifier, written.adapters[i].identifier);
        EXPECT_EQ(read.adapters[i].device_count, written.adapters[i].device_count) << "adapter " << i;
        EXPECT_EQ(read.adapters[i].adapter_number, written.adapters[i].adapter_number);
        EXPECT_EQ(read.adapters[i].own_scsi_id, written.adapters[i].own_scsi_id);
    }
    for (int j = 0; j < written.slot_count; ++j) {
        const DeviceSlot& a = read.slots[j];
        const DeviceSlot& b = written.slots[j];
        EXPECT_EQ(a.target_id, b.target_id) << "slot " << j;
        EXPECT_STREQ(a.type_name, b.type_name) << "slot " << j;
        EXPECT_STREQ(a.vendor, b.vendor) << "slot " << j;
        EXPECT_STREQ(a.product, b.product) << "slot " << j;
        EXPECT_STREQ(a.revision, b.revision) << "slot " << j;
        EXPECT_STREQ(a.adapter_identifier, b.adapter_identifier) << "slot " << j;
        EXPECT_EQ(a.scsi_version, b.scsi_version) << "slot " << j;
        EXPECT_EQ(a.adapter_number, b.adapter_number) << "slot " << j;
    }
}

std::string Listing(const Inventory& inventory, Messages& messages) {
    const ListingText text = FormatListing(inventory, messages);
    return std::string(text.data(), text.length());
}

TEST(ListingRoundTrip, SaveThenOpenInTheSameSession) {
    for (bool wide : {false, true}) {
        ListingReader reader;
        reader.inventory = test::TwoAdapterScan(reader.texts, kPlatformWin95, wide);
        const Inventory scanned = reader.inventory;
        ASSERT_EQ(reader.Read(Listing(scanned, reader.messages)), 1);
        ExpectSameCarriedFields(reader.inventory, scanned);
        EXPECT_TRUE(reader.messages.boxes().empty());
        EXPECT_EQ(SlotsOfAdapter(reader.inventory, 1).size(), wide ? 16u : 8u);
    }
}

TEST(ListingRoundTrip, AnNtListingOpensWholeInAnEmptyInventory) {
    ListingReader writer;
    const Inventory scanned = test::TwoAdapterScan(writer.texts, kPlatformNt);
    ListingReader reader;
    ASSERT_EQ(reader.Read(Listing(scanned, writer.messages)), 1);
    ExpectSameCarriedFields(reader.inventory, scanned);
    EXPECT_EQ(reader.views.pictures_found, 16) << "NT's English texts are this interface's";
}

TEST(ListingRoundTrip, EmptyFieldsOfWindows95ReadBackEmptyInAnEmptyInventory) {
    // Empty IDs found through ASPI have no vendor or revision text.
    ListingReader writer;
    const Inventory scanned = test::TwoAdapterScan(writer.texts, kPlatformWin95);
    ListingReader reader;
    ASSERT_EQ(reader.Read(Listing(scanned, writer.messages)), 1);
    ExpectSameCarriedFields(reader.inventory, scanned);
    EXPECT_EQ(SlotsOfAdapter(reader.inventory, 0), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
}

// Every printable character in every text field, and the characters a
// device may send that the format cannot carry: a comma reads back as a
// semicolon, a control character as a blank.
TEST(ListingRoundTrip, EveryCharacterInEveryTextField) {
    std::string printable;
    for (char c = 0x20; c < 0x7F; ++c) printable += c;
    std::string others;
    for (int c = 1; c < 0x20; ++c) others += static_cast<char>(c);
    others += "\x7F\xE4\xFF";
    const std::string all = printable + others;
    std::string expected = all;
    for (char& c : expected) {
        if (c == ',') c = ';';
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7F') c = ' ';
    }

    // Each text in pieces as wide as its field, one slot per piece.
    ListingReader writer;
    Inventory inventory{};
    inventory.adapter_count = 1;
    const std::size_t pieces = all.size() / 7 + 1;
    inventory.slot_count = static_cast<std::int32_t>(pieces);
    ASSERT_LE(pieces, static_cast<std::size_t>(kMaxSlots));
    const auto piece = [](const std::string& text, std::size_t j, std::size_t width) {
        return j * width < text.size() ? text.substr(j * width, width) : std::string();
    };
    for (std::size_t j = 0; j < pieces; ++j) {
        DeviceSlot& slot = inventory.slots[j];
        slot.target_id = static_cast<std::int32_t>(j);
        CopyText(slot.type_name, piece(all, j, 31).c_str());
        CopyText(slot.vendor, piece(all, j, 7).c_str());
        CopyText(slot.product, piece(all, j, 31).c_str());
        CopyText(slot.revision, piece(all, j, 24).c_str());
        CopyText(slot.adapter_identifier, piece(all, j, 31).c_str());
        slot.scsi_version = 2;
    }
    CopyText(inventory.adapters[0].identifier, piece(all, 1, 31).c_str());

    ListingReader reader;
    ASSERT_EQ(reader.Read(Listing(inventory, writer.messages)), 1);
    ASSERT_EQ(reader.inventory.slot_count, inventory.slot_count);
    EXPECT_EQ(std::string(reader.inventory.adapters[0].identifier), piece(expected, 1, 31));
    for (std::size_t j = 0; j < pieces; ++j) {
        const DeviceSlot& slot = reader.inventory.slots[j];
        EXPECT_EQ(slot.target_id, static_cast<std::int32_t>(j));
        EXPECT_EQ(std::string(slot.type_name), piece(expected, j, 31)) << "slot " << j;
        EXPECT_EQ(std::string(slot.vendor), piece(expected, j, 7)) << "slot " << j;
        EXPECT_EQ(std::string(slot.product), piece(expected, j, 31)) << "slot " << j;
        EXPECT_EQ(std::string(slot.revision), piece(expected, j, 24)) << "slot " << j;
        EXPECT_EQ(std::string(slot.adapter_identifier), piece(expected, j, 31)) << "slot " << j;
        EXPECT_EQ(slot.scsi_version, 2) << "slot " << j;
    }
    EXPECT_EQ(reader.inventory.slots[1].adapter_number, 0) << "the adapter and its device still match";
}

// ---- Files that are not what they claim ------------------------------------------

TEST(ListingHostile, EveryTruncationOfARealListing) {
    ListingReader writer;
    const std::string file = Listing(test::TwoAdapterScan(writer.texts, kPlatformNt, true), writer.messages);
    for (std::size_t size = 0; size <= file.size(); ++size) {
        ListingReader reader;
        const int result = reader.Read(file.substr(0, size));
        const Inventory& inventory = reader.inventory;
        ASSERT_GE(inventory.adapter_count, 0);
        ASSERT_LE(inventory.adapter_count, kMaxAdapters);
        ASSERT_GE(inventory.slot_count, 0);
        ASSERT_LE(inventory.slot_count, kMaxSlots);
        ASSERT_EQ(result == 1, inventory.slot_count > 0) << size;
        ASSERT_EQ(reader.messages.boxes().size(), result == 1 ? 0u : 1u) << size;
    }
}

TEST(ListingHostile, AFileEndingBeforeItsLinesReadsThemAsEmpty) {
    ListingReader reader;
    EXPECT_EQ(reader.Read("3\nalpha\n4\n0,Tape,HP,C1537A,L708,alpha,2"), 0);
    EXPECT_STREQ(reader.inventory.adapters[0].identifier, "alpha");
    EXPECT_STREQ(reader.inventory.adapters[1].identifier, "4") << "the lines shift; this is what the file says";
    EXPECT_STREQ(reader.inventory.adapters[2].identifier, "0,Tape,HP,C1537A,L708,alpha,2");
    EXPECT_EQ(reader.inventory.adapter_count, 3);
    EXPECT_EQ(reader.inventory.slot_count, 0) << "the device count line is missing: 0";
    EXPECT_EQ(reader.OnlyBox().text, reader.messages.Text(50025));

    ListingReader short_devices;
    FillEarlierValues(short_devices.inventory.slots[1]);
    ASSERT_EQ(short_devices.Read("1\nalpha\n3\n0,Tape,HP,C1537A,L708,alpha,2"), 1);
    EXPECT_EQ(short_devices.inventory.slot_count, 3);
    EXPECT_EQ(short_devices.inventory.slots[0].scsi_version, 2) << "a last line without its line feed";
    EXPECT_EQ(short_devices.inventory.slots[1].target_id, 99) << "a missing line changes no carried field";
    EXPECT_EQ(short_devices.inventory.adapters[0].device_count, 1);
}

TEST(ListingHostile, NulBytesEndTheTextOfALineOnly) {
    ListingReader reader;
    const std::string file(
        "2\0xx\nalpha\0beta\nbeta\n2\n0,Ta\0pe,HP,C1537A,L708,alpha,2\n1,Tape,HP,C1537A,L708,beta,2\n", 81);
    ASSERT_EQ(reader.Read(file), 1);
    EXPECT_EQ(reader.inventory.adapter_count, 2);
    EXPECT_STREQ(reader.inventory.adapters[0].identifier, "alpha");
    EXPECT_STREQ(reader.inventory.adapters[1].identifier, "beta");
    EXPECT_STREQ(reader.inventory.slots[0].type_name, "Ta");
    EXPECT_EQ(reader.inventory.slots[1].target_id, 1);
    EXPECT_STREQ(reader.inventory.slots[1].adapter_identifier, "beta");
    EXPECT_EQ(reader.inventory.adapters[1].device_count, 1);
}

TEST(ListingHostile, HundredKilobyteLines) {
    ListingReader reader;
    const std::string huge(100 * 1024, 'x');
    const std::string commas(100 * 1024, ',');
    const std::string file = "2\n" + huge + "\nbeta\n3\n" + huge + "\n" + commas + "\n" + "1,Tape,HP," + huge +
                             ",L708,beta,2\n";
    ASSERT_EQ(reader.Read(file), 1);
    EXPECT_EQ(std::string(reader.inventory.adapters[0].identifier), std::string(31, 'x'));
    EXPECT_STREQ(reader.inventory.adapters[1].identifier, "beta");
    const DeviceSlot& last = reader.inventory.slots[2];
    EXPECT_EQ(last.target_id, 1);
    EXPECT_EQ(std::string(last.product), std::string(31, 'x'));
    EXPECT_STREQ(last.revision, "L708");
    EXPECT_STREQ(last.adapter_identifier, "beta");
    EXPECT_EQ(reader.inventory.adapters[1].device_count, 1);
}

TEST(ListingHostile, NoBytesAtAll) {
    ListingReader reader;
    EXPECT_EQ(ParseListing(nullptr, 0, reader.inventory, reader.texts, reader.messages, reader.views), 0);
    EXPECT_EQ(reader.OnlyBox().text, reader.messages.Text(50024));
}

}  // namespace
}  // namespace td
