#include <gtest/gtest.h>

#include "core/ExportSequences.h"
#include "export/AddressBook.h"
#include "export/MailOut.h"
#include "platform/Mail.h"
#include "support/SimStation.h"

using namespace quillmar;
using quillmar::testing::SimStation;

namespace {

constexpr int kTuesday = 3;

// "Sometimes" with a window of 08:00:00 to 17:00:00 on Tuesdays.
AddressEntry OfficeHours() {
    AddressEntry e;
    e.InUse = '1';
    e.SendMode = kSendSometimes;
    e.Address = "office@example.org";
    e.DayOn[kTuesday - 1] = '1';
    e.StartSec[kTuesday - 1] = 8 * 3600;
    e.StopSec[kTuesday - 1] = 17 * 3600;
    return e;
}

}  // namespace

// The window's bounds, another day, Always whatever the boxes, Never, not in use, a garbage mode.
TEST(RecipientRule, TheModeTheInUseMarkAndTheDaysWindowWithoutItsBounds) {
    for (auto [inUse, mode, weekday, seconds, mailed] :
         {std::tuple{'1', kSendSometimes, kTuesday, 8 * 3600, false},
          {'1', kSendSometimes, kTuesday, 8 * 3600 + 1, true},
          {'1', kSendSometimes, kTuesday, 17 * 3600, false},
          {'1', kSendSometimes, kTuesday, 17 * 3600 - 1, true},
          {'1', kSendSometimes, kTuesday + 1, 12 * 3600, false},
          {'1', kSendAlways, 1, 0, true},
          {'1', kSendNever, kTuesday, 12 * 3600, false},
          {'0', kSendSometimes, kTuesday, 12 * 3600, false},
          {'1', '7', kTuesday, 12 * 3600, false}}) {
        AddressEntry e = OfficeHours();
        e.InUse = inUse;
        e.SendMode = mode;
        EXPECT_EQ(IsRecipient(e, weekday, seconds), mailed)
            << inUse << mode << " day " << weekday << " at " << seconds;
    }
}

namespace {
// A started station on Tuesday 2026-03-10 whose book holds `entries` from record 1.
struct Book : SimStation {
    explicit Book(std::vector<AddressEntry> entries, int hour = 12)
        : SimStation(DateTime::from(2026, 3, 10, hour, 15, 30)) {
        start();
        st().Export.Account.Facility = "KQMR";
        std::string error;
        for (std::size_t i = 0; i < entries.size(); ++i)
            EXPECT_TRUE(WriteAddressEntry(st().Export, int(i) + 1, entries[i], &error)) << error;
    }
};
AddressEntry With(char mode, const std::string& address, char inUse = '1', const char* name = "") {
    AddressEntry e = OfficeHours();
    e.SendMode = mode;
    e.Address = address;
    e.InUse = inUse;
    e.Name = name;
    return e;
}
using Texts = std::vector<std::string>;
}  // namespace

// One message to the recipients of the moment in file order; none and no complaint without.
TEST(SendMailToAddressBook, MailsTheRecipientsOfTheMomentInFileOrder) {
    Book s({OfficeHours(), With(kSendNever, "never@example.org"),
            With(kSendAlways, "gone@example.org", '0'), With(kSendAlways, "  night@example.org")});
    SendMailToAddressBook(s.st(), "KQMR\r\nBcc: all@example.org Alarm",
                          "Unity 4K Receiver Loss of Signal");
    std::string error;
    ASSERT_TRUE(DeleteAddressEntry(s.st().Export, 4, &error));
    s.clock.set(DateTime::from(2026, 3, 10, 18, 0, 0));
    SendMailToAddressBook(s.st(), "S", "N");
    s.loop.runPending();
    ASSERT_EQ(s.mail.outbox.size(), 1u);
    EXPECT_EQ(s.mail.outbox[0].recipients, (Texts{"office@example.org", "night@example.org"}));
    EXPECT_EQ(s.mail.outbox[0].subject, "KQMR  Bcc: all@example.org Alarm");
    EXPECT_TRUE(s.errors.messages.empty());
}

// A deleted record stays, marked "0"; a test message goes to one entry whatever its mode.
TEST(AddressBook, ListsTheEntriesInUseAndSendsATestMessageToOne) {
    Book s({With(kSendAlways, "ann@example.org", '1', "Ann"),
            With(kSendNever, "bob@example.org   ", '1', "Bob"),
            With(kSendSometimes, "cy@example.org", '1', "Cy")},
           20);
    const auto lines = LoadAddressBook(s.st().Export);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, "Ann              ann@example.org" + std::string(24, ' ') + " Always");
    EXPECT_EQ(lines[1].text.substr(57) + lines[2].text.substr(57), "NeverSometimes");
    EXPECT_EQ(NewAddressRecordNo(s.st().Export), 4);
    EXPECT_TRUE(SendTestMessage(s.st(), 2));
    std::string error;
    ASSERT_TRUE(DeleteAddressEntry(s.st().Export, 1, &error));
    EXPECT_EQ(ReadAddressEntry(s.st().Export, 1).Name, "Ann");
    EXPECT_EQ(LoadAddressBook(s.st().Export)[0].recordNo, 2);
    for (int n : {1, 4, 0}) EXPECT_FALSE(SendTestMessage(s.st(), n)) << n;
    s.loop.runPending();
    ASSERT_EQ(s.mail.outbox.size(), 1u);
    EXPECT_EQ(s.mail.outbox[0].recipients, Texts{"bob@example.org"});
    EXPECT_EQ(s.mail.outbox[0].subject, "KQMR Test Message");
    EXPECT_EQ(s.mail.outbox[0].note, "03/10/2026 20:15:30 This is only a test.");
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

// Written in order for its owner only; a line break in a value would shift the lines after it.
TEST(MailAccountFile, IsWrittenInOrderForItsOwnerOnlyWithoutLineBreaksInAValue) {
    Book s({});
    s.write(kUserFilePath, "old\r\n");
    std::string error;
    ASSERT_TRUE(SaveMailAccount(s.st().Export, s.st().platform.files,
                                {"KQMR, Lakeside", "station", "pa\r\nss"}, &error))
        << error;
    EXPECT_EQ(s.read(kUserFilePath), "KQMR, Lakeside\r\nstation\r\npa  ss\r\n");
    EXPECT_TRUE(s.files.isPrivate(kUserFilePath));
}

// No line break in a header; folded before 78 octets; other than ASCII as encoded words.
TEST(MailText, HeadersFoldedAndEncodedThenTheNoteWithCrLfLines) {
    const std::string fixed =
        "MIME-Version: 1.0\r\n"
        "Content-Type: text/plain; charset=windows-1252\r\n"
        "Content-Transfer-Encoding: 8bit\r\n\r\n";
    const struct {
        MailMessage message;
        std::string text;
    } rows[] = {
        {{{"a@example.org\r\nBcc: x@example.org", " \n", "b@example.org"},
          "KQMR\r\nBcc: y@example.org",
          "one\ntwo\r\nthree\rfour"},
         "To: a@example.org  Bcc: x@example.org, b@example.org\r\nSubject: KQMR  Bcc: "
         "y@example.org\r\n" +
             fixed + "one\r\ntwo\r\nthree\r\nfour\r\n"},
        {{{"a@example.org"}, "Caf\xE9", ""},
         "To: a@example.org\r\nSubject: =?windows-1252?B?Q2Fm6Q==?=\r\n" + fixed},
        {{{"a@example.org"},
          "Caf\xE9 Caf\xE9 Caf\xE9 Caf\xE9 Caf\xE9 Caf\xE9 Caf\xE9 Caf\xE9 ab",
          ""},  // exactly one word's bytes
         "To: a@example.org\r\nSubject: "
         "=?windows-1252?B?Q2Fm6SBDYWbpIENhZukgQ2Fm6SBDYWbpIENhZukgQ2Fm6SBDYWbpIGFi?=\r\n" +
             fixed},
        {{{"first.operator@example.org", "second.operator@example.org", "abcde@example.org",
           "z@example.org"},
          "Caf\xE9 Caf\xE9 Caf\xE9 Caf\xE9 Caf\xE9 Caf\xE9 Caf\xE9 Caf\xE9 Caf\xE9",
          ""},
         "To: first.operator@example.org, second.operator@example.org, abcde@example.org,\r\n"
         " z@example.org\r\nSubject: "
         "=?windows-1252?B?Q2Fm6SBDYWbpIENhZukgQ2Fm6SBDYWbpIENhZukgQ2Fm6SBDYWbpIENh?=\r\n"
         " =?windows-1252?B?Zuk=?=\r\n" +
             fixed},
    };
    for (const auto& r : rows) EXPECT_EQ(FormatMailText(r.message), r.text);
}
