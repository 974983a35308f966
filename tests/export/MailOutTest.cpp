#include <gtest/gtest.h>

#include "core/ExportSequences.h"
#include "export/AddressBook.h"
#include "export/MailOut.h"
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

TEST(RecipientRule, TheModeTheInUseMarkAndTheDaysWindowWithoutItsBounds) {
    const struct {
        char inUse, mode;
        bool dayBoxes;
        int weekday, seconds;
        bool mailed;
    } rows[] = {
        {'1', kSendSometimes, true, kTuesday, 12 * 3600, true},
        {'1', kSendSometimes, true, kTuesday, 8 * 3600, false},
        {'1', kSendSometimes, true, kTuesday, 8 * 3600 + 1, true},
        {'1', kSendSometimes, true, kTuesday, 17 * 3600, false},
        {'1', kSendSometimes, true, kTuesday, 17 * 3600 - 1, true},
        {'1', kSendSometimes, true, kTuesday + 1, 12 * 3600, false},  // another day's box
        {'1', kSendAlways, false, 1, 0, true},                        // no day box set
        {'1', kSendNever, true, kTuesday, 12 * 3600, false},
        {'0', kSendSometimes, true, kTuesday, 12 * 3600, false},
        {' ', kSendSometimes, true, kTuesday, 12 * 3600, false},
        {'1', '7', true, kTuesday, 12 * 3600, false},  // garbage mode
    };
    for (const auto& r : rows) {
        AddressEntry e = OfficeHours();
        e.InUse = r.inUse;
        e.SendMode = r.mode;
        if (!r.dayBoxes) e.DayOn.fill('0');
        EXPECT_EQ(IsRecipient(e, r.weekday, r.seconds), r.mailed)
            << r.inUse << r.mode << " day " << r.weekday << " at " << r.seconds;
    }
}

TEST(SendMailToAddressBook, MailsTheRecipientsOfTheMomentInFileOrder) {
    // Given Tuesday 2026-03-10 at 12:00:00 and a book of five entries
    SimStation s(DateTime::from(2026, 3, 10, 12, 0, 0));
    s.start();
    std::string error;
    AddressEntry always = OfficeHours();
    always.SendMode = kSendAlways;
    always.Address = "  night@example.org";
    AddressEntry never = always;
    never.SendMode = kSendNever;
    never.Address = "never@example.org";
    AddressEntry deleted = always;
    deleted.InUse = '0';
    deleted.Address = "gone@example.org";
    ASSERT_TRUE(WriteAddressEntry(s.st().Export, 1, OfficeHours(), &error));
    ASSERT_TRUE(WriteAddressEntry(s.st().Export, 2, never, &error));
    ASSERT_TRUE(WriteAddressEntry(s.st().Export, 3, deleted, &error));
    ASSERT_TRUE(WriteAddressEntry(s.st().Export, 5, always, &error));  // record 4 never used
    // when the station mails
    SendMailToAddressBook(s.st(), "KQMR\r\nBcc: all@example.org Alarm",
                          "Unity 4K Receiver Loss of Signal");
    s.loop.runPending();
    // then one message reaches the two recipients, blanks trimmed, no line break in the subject
    ASSERT_EQ(s.mail.outbox.size(), 1u);
    EXPECT_EQ(s.mail.outbox[0].recipients,
              (std::vector<std::string>{"office@example.org", "night@example.org"}));
    EXPECT_EQ(s.mail.outbox[0].subject, "KQMR  Bcc: all@example.org Alarm");
    EXPECT_EQ(s.mail.outbox[0].note, "Unity 4K Receiver Loss of Signal");

    // At exactly 17:00:00 only the "Always" entry remains
    s.clock.set(DateTime::from(2026, 3, 10, 17, 0, 0));
    EXPECT_EQ(AddressBookRecipients(s.st().Export, s.clock.now()),
              (std::vector<std::string>{"night@example.org"}));
    s.clock.set(DateTime::from(2026, 3, 10, 8, 0, 0));
    EXPECT_EQ(AddressBookRecipients(s.st().Export, s.clock.now()),
              (std::vector<std::string>{"night@example.org"}));

    // No recipients: no message and no complaint.
    ASSERT_TRUE(DeleteAddressEntry(s.st().Export, 5, &error));
    SendMailToAddressBook(s.st(), "S", "N");
    s.loop.runPending();
    EXPECT_EQ(s.mail.outbox.size(), 1u);
    EXPECT_TRUE(s.errors.messages.empty());
}

TEST(SendTestMessage, GoesToTheChosenEntryAloneWhateverItsMode) {
    SimStation s(DateTime::from(2026, 3, 10, 20, 15, 30));
    s.start();
    s.st().Export.Account.Facility = "KQMR";
    std::string error;
    AddressEntry never = OfficeHours();
    never.SendMode = kSendNever;
    never.Address = "never@example.org   ";
    ASSERT_TRUE(WriteAddressEntry(s.st().Export, 1, OfficeHours(), &error));
    ASSERT_TRUE(WriteAddressEntry(s.st().Export, 2, never, &error));
    EXPECT_TRUE(SendTestMessage(s.st(), 2));
    s.loop.runPending();
    ASSERT_EQ(s.mail.outbox.size(), 1u);
    EXPECT_EQ(s.mail.outbox[0].recipients, (std::vector<std::string>{"never@example.org"}));
    EXPECT_EQ(s.mail.outbox[0].subject, "KQMR Test Message");
    EXPECT_EQ(s.mail.outbox[0].note, "03/10/2026 20:15:30 This is only a test.");
    // A deleted or missing record sends nothing.
    ASSERT_TRUE(DeleteAddressEntry(s.st().Export, 1, &error));
    EXPECT_FALSE(SendTestMessage(s.st(), 1));
    EXPECT_FALSE(SendTestMessage(s.st(), 9));
    EXPECT_FALSE(SendTestMessage(s.st(), 0));
    s.loop.runPending();
    EXPECT_EQ(s.mail.outbox.size(), 1u);
}

TEST(SendTestMessage, AMailThatHangsAndTimesOutIsReportedLater) {
    SimStation s;
    s.start();
    s.st().Export.Account.Facility = "KQMR";
    std::string error;
    AddressEntry e = OfficeHours();
    ASSERT_TRUE(WriteAddressEntry(s.st().Export, 1, e, &error));
    s.mail.hang = true;
    EXPECT_TRUE(SendTestMessage(s.st(), 1));
    s.loop.advance(1000);
    EXPECT_TRUE(s.errors.messages.empty());
    s.mail.failPending("the mail program did not finish within 60 s");
    EXPECT_EQ(
        s.errors.messages,
        (std::vector<std::string>{
            "Mail \"KQMR Test Message\" not sent: the mail program did not finish within 60 s"}));
}
