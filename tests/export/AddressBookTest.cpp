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

TEST(AddressBookList, ShowsEntriesInUseInFileOrderAndNewReusesADeletedSlot) {
    SimStation s;
    s.start();
    Put(s, 1, Entry("Ann", "ann@example.org", kSendAlways));
    Put(s, 2, Entry("Bob", "bob@example.org", kSendNever));
    Put(s, 3, Entry("Cy", "cy@example.org", kSendSometimes));
    auto lines = LoadAddressBook(s.st().Export);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, "Ann              ann@example.org" + std::string(24, ' ') + " Always");
    EXPECT_EQ(lines[1].text.substr(57) + lines[2].text.substr(57), "NeverSometimes");
    EXPECT_EQ(NewAddressRecordNo(s.st().Export), 4);

    // When Bob is deleted his record stays, marked "0", and New hands out his slot.
    std::string error;
    ASSERT_TRUE(DeleteAddressEntry(s.st().Export, 2, &error)) << error;
    EXPECT_EQ(ReadAddressEntry(s.st().Export, 2).Name, "Bob");
    EXPECT_EQ(LoadAddressBook(s.st().Export)[1].recordNo, 3);
}

TEST(TimeOfDayText, ParsesTheTimesTheWindowTakesAndShowsTheStoredOnes) {
    // clang-format off
    const std::pair<const char*, std::int32_t> rows[] = {
        {"08:00:00", 28800}, {"17:30", 63000}, {" 9:05:07 ", 32707}, {"", 0},
        {"24:00:00", -1}, {"12:60:00", -1}, {"12:00:60", -1}, {"noon", -1}, {"12", -1},
        {"1:2:3:4", -1}, {"12::00", -1}, {"-1:00", -1}};
    // clang-format on
    for (const auto& [text, seconds] : rows) {
        std::int32_t t = -7;
        EXPECT_EQ(ParseTimeOfDay(text, &t) ? t : -1, seconds) << text;
    }
    EXPECT_EQ(TimeOfDayText(63000), "17:30:00");
    EXPECT_EQ(TimeOfDayText(-5), "00:00:00");  // garbage in a record shows as midnight
    EXPECT_EQ(SendModeWord('x'), "Never");
}

// Written in order for its owner only, replacing an open file; a line break inside a value
// would shift the lines after it.
TEST(MailAccountFile, IsWrittenInOrderForItsOwnerOnlyWithoutLineBreaksInAValue) {
    SimStation s;
    s.start();
    s.write(kUserFilePath, "old\r\n");
    std::string error;
    ASSERT_TRUE(SaveMailAccount(s.st().Export, s.st().platform.files,
                                {"KQMR, Lakeside", "station", "pa\r\nss"}, &error))
        << error;
    EXPECT_EQ(s.read(kUserFilePath), "KQMR, Lakeside\r\nstation\r\npa  ss\r\n");
    EXPECT_TRUE(s.files.isPrivate(kUserFilePath));
}
