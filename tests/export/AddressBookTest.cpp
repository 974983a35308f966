#include <gtest/gtest.h>

#include "export/AddressBook.h"
#include "support/SimStation.h"

using namespace quillmar;
using quillmar::testing::SimStation;

namespace {

AddressEntry Entry(const std::string& name, const std::string& address, char mode) {
    AddressEntry e;
    e.InUse = '1';
    e.SendMode = mode;
    e.Name = name;
    e.Address = address;
    return e;
}

void Put(SimStation& s, int n, const AddressEntry& e) {
    std::string error;
    ASSERT_TRUE(WriteAddressEntry(s.st().Export, n, e, &error)) << error;
}

}  // namespace

TEST(AddressEntryLayout, FieldsSitAtTheirOffsetsLittleEndian) {
    AddressEntry e = Entry("Ann", "ann@example.org", kSendSometimes);
    e.DayOn[1] = '1';
    e.StartSec[1] = 28800;  // 08:00:00
    e.StopSec[6] = -2;
    const std::string r = FormatAddressEntry(e);
    ASSERT_EQ(r.size(), 120u);
    EXPECT_EQ(r.substr(0, 2), "12");
    EXPECT_EQ(r.substr(2, 16), "Ann             ");
    EXPECT_EQ(r.substr(18, 39), "ann@example.org" + std::string(24, ' '));
    EXPECT_EQ(r.substr(57, 7), "0100000");
    EXPECT_EQ(r.substr(64 + 4, 4), std::string("\x80\x70\x00\x00", 4));
    EXPECT_EQ(r.substr(92 + 24, 4), std::string("\xFE\xFF\xFF\xFF", 4));
    EXPECT_EQ(ParseAddressEntry(r), e);
}

TEST(AddressEntryLayout, LongTextIsCutAndShortOrEmptyRecordsReadAsFree) {
    AddressEntry e = Entry("A name longer than sixteen", std::string(50, 'x'), kSendAlways);
    const AddressEntry back = ParseAddressEntry(FormatAddressEntry(e));
    EXPECT_EQ(back.Name, "A name longer th");
    EXPECT_EQ(back.Address, std::string(39, 'x'));
    // A record of zero bytes, or cut short, is a never-used slot and does not crash.
    EXPECT_FALSE(ParseAddressEntry(std::string(120, '\0')).inUse());
    const AddressEntry cut = ParseAddressEntry("1");
    EXPECT_TRUE(cut.inUse());
    EXPECT_EQ(cut.Name, "");
    EXPECT_EQ(cut.StartSec[0], 0);
}

TEST(AddressBookList, ShowsEntriesInUseInFileOrderAndNewReusesADeletedSlot) {
    SimStation s;
    s.start();
    Put(s, 1, Entry("Ann", "ann@example.org", kSendAlways));
    Put(s, 2, Entry("Bob", "bob@example.org", kSendNever));
    Put(s, 3, Entry("Cy", "cy@example.org", kSendSometimes));
    auto lines = LoadAddressBook(s.st().Export);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, "Ann              ann@example.org" + std::string(24, ' ') + " Always");
    EXPECT_EQ(lines[1].text.substr(57), "Never");
    EXPECT_EQ(lines[2].text.substr(57), "Sometimes");
    EXPECT_EQ(lines[2].recordNo, 3);
    EXPECT_EQ(NewAddressRecordNo(s.st().Export), 4);

    // When Bob is deleted his record stays, marked "0", and New hands out his slot.
    std::string error;
    ASSERT_TRUE(DeleteAddressEntry(s.st().Export, 2, &error)) << error;
    EXPECT_EQ(s.st().Export.AddressBookFile.recordCount(), 3);
    const AddressEntry bob = ReadAddressEntry(s.st().Export, 2);
    EXPECT_EQ(bob.InUse, '0');
    EXPECT_EQ(bob.Name, "Bob");
    lines = LoadAddressBook(s.st().Export);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].recordNo, 3);
    EXPECT_EQ(NewAddressRecordNo(s.st().Export), 2);
}

TEST(AddressBookList, AnEmptyBookOffersRecordOne) {
    SimStation s;
    s.start();
    EXPECT_TRUE(LoadAddressBook(s.st().Export).empty());
    EXPECT_EQ(NewAddressRecordNo(s.st().Export), 1);
}

TEST(TimeOfDayText, ParsesTheTimesTheWindowTakes) {
    std::int32_t t = -1;
    EXPECT_TRUE(ParseTimeOfDay("08:00:00", &t));
    EXPECT_EQ(t, 28800);
    EXPECT_TRUE(ParseTimeOfDay("17:30", &t));
    EXPECT_EQ(t, 63000);
    EXPECT_TRUE(ParseTimeOfDay(" 9:05:07 ", &t));
    EXPECT_EQ(t, 32707);
    EXPECT_TRUE(ParseTimeOfDay("", &t));
    EXPECT_EQ(t, 0);
    for (const char* bad : {"24:00:00", "12:60:00", "noon", "12", "1:2:3:4", "12::00", "-1:00"})
        EXPECT_FALSE(ParseTimeOfDay(bad, &t)) << bad;
    EXPECT_EQ(TimeOfDayText(63000), "17:30:00");
    EXPECT_EQ(TimeOfDayText(-5), "00:00:00");  // garbage in a record shows as midnight
}

TEST(MailAccountFile, IsWrittenInOrderForItsOwnerOnlyAndReadsBackWhole) {
    SimStation s;
    s.start();
    std::string error;
    ASSERT_TRUE(SaveMailAccount(s.st().Export, s.st().platform.files,
                                {"KQMR, Lakeside", "station", "pa\r\nss"}, &error))
        << error;
    // A line break inside a value would shift the lines after it.
    EXPECT_EQ(s.read(kUserFilePath), "KQMR, Lakeside\r\nstation\r\npa  ss\r\n");
    EXPECT_TRUE(s.files.isPrivate(kUserFilePath));

    // A second station on the same files reads the facility back whole, comma and all.
    SimStation again;
    again.write(kUserFilePath, s.read(kUserFilePath));
    again.start();
    EXPECT_EQ(again.st().Export.Account.Facility, "KQMR, Lakeside");
    EXPECT_EQ(again.st().Export.Account.Password, "pa  ss");
}

TEST(MailAccountFile, AnOpenFileWithWiderPermissionsIsReplacedByAPrivateOne) {
    SimStation s;
    s.start();
    s.write(kUserFilePath, "old\r\n");
    ASSERT_FALSE(s.files.isPrivate(kUserFilePath));
    std::string error;
    ASSERT_TRUE(SaveMailAccount(s.st().Export, s.st().platform.files, {"F", "U", "P"}, &error))
        << error;
    EXPECT_TRUE(s.files.isPrivate(kUserFilePath));
    EXPECT_EQ(s.read(kUserFilePath), "F\r\nU\r\nP\r\n");
}
