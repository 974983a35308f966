#include <gtest/gtest.h>

#include "export/AddressBook.h"
#include "logs/ActivityLog.h"
#include "receiver/RemoteControl.h"
#include "support/SimStation.h"

using namespace quillmar;
using quillmar::testing::SimStation;

namespace {

// The carrier report: the Eb/No stands on the twelfth line.
std::string CarrierReport(const std::string& ebno) {
    std::string text = "\r\n";
    for (int i = 1; i <= 10; ++i) text += "Carrier line " + std::to_string(i) + "\r\n";
    return text + "Eb/No " + ebno + "\r\n>";
}

// A started station on the card's inputs, with one "Always" address and its facility named.
struct AlarmStation {
    explicit AlarmStation(DateTime start = DateTime::from(2026, 3, 10, 10, 0, 0)) : s(start) {
        s.start();
        st().Settings.ActivityLog = 1;
        st().Settings.RemoteControl = 2;
        st().Export.Account.Facility = "KQMR";
        AddressEntry e;
        e.InUse = '1';
        e.SendMode = kSendAlways;
        e.Name = "Engineer";
        e.Address = "engineer@kqmr.example";
        std::string error;
        EXPECT_TRUE(WriteAddressEntry(st().Export, 1, e, &error)) << error;
        s.serial.answer("R C", CarrierReport("7.4 dB"), 200);
    }
    Station& st() { return s.st(); }
    void alarm(bool on) { s.ports.set(kPrairiePortB, on ? kAlarmInput : 0); }
    std::string activityLog() {
        const auto path = DailyLogPath("AL", s.clock.now().date);
        return s.exists(path) ? s.read(path) : std::string();
    }
    SimStation s;
};

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

}  // namespace

TEST(ReceiverAlarm, ALossOfFiftySecondsIsLoggedButNotMailed) {
    AlarmStation a;
    a.alarm(true);
    a.s.loop.advance(100);
    EXPECT_EQ(a.st().main.lblPort, "Alarm");
    a.s.loop.advance(50'000);
    a.alarm(false);
    a.s.loop.advance(2000);
    EXPECT_EQ(Count(a.activityLog(), "  Alarm\r\n"), 1);
    EXPECT_EQ(Count(a.activityLog(), ":50  Alarm End\r\n"), 1);
    EXPECT_TRUE(a.s.mail.outbox.empty());
    EXPECT_TRUE(a.s.serial.commands.empty());  // no end mail, so no poll either
    EXPECT_EQ(a.st().main.lblPort, "");
}

TEST(ReceiverAlarm, ALossOfTwoMinutesSendsOneAlarmMailAndOneEndMailWithTheEbNo) {
    // Given a loss of signal from 10:00:00
    AlarmStation a;
    a.alarm(true);
    // nothing is mailed within the first minute
    a.s.loop.advance(59'900);
    EXPECT_TRUE(a.s.mail.outbox.empty());
    // one alarm mail goes once it has lasted more than a minute
    a.s.loop.advance(60'100);
    ASSERT_EQ(a.s.mail.outbox.size(), 1u);
    EXPECT_EQ(a.s.mail.outbox[0].subject, "KQMR Quillmar Alarm");
    EXPECT_EQ(a.s.mail.outbox[0].note, "Unity 4K Receiver Loss of Signal");
    EXPECT_EQ(a.s.mail.outbox[0].recipients, (std::vector<std::string>{"engineer@kqmr.example"}));
    // When the signal returns, the Eb/No is polled and mailed once
    a.alarm(false);
    a.s.loop.advance(3000);
    ASSERT_EQ(a.s.mail.outbox.size(), 2u);
    EXPECT_EQ(a.s.mail.outbox[1].subject, "KQMR Quillmar Alarm End");
    EXPECT_EQ(a.s.mail.outbox[1].note, "EbNo: Eb/No 7.4 dB");
    EXPECT_EQ(a.s.serial.commands, (std::vector<std::string>{"R C"}));
    EXPECT_EQ(Count(a.activityLog(), "  Alarm\r\n"), 1);
    EXPECT_TRUE(a.s.errors.messages.empty());
    // A new loss starts a new count and a new mail.
    a.alarm(true);
    a.s.loop.advance(62'000);
    EXPECT_EQ(a.s.mail.outbox.size(), 3u);
    EXPECT_EQ(Count(a.activityLog(), "  Alarm\r\n"), 2);
}

TEST(ReceiverAlarm, APortThatCannotBeReadDoesNotEndTheAlarm) {
    AlarmStation a;
    a.alarm(true);
    a.s.loop.advance(62'000);
    ASSERT_EQ(a.s.mail.outbox.size(), 1u);
    a.s.ports.failure = "gone";
    a.s.loop.advance(5'000);
    EXPECT_EQ(a.s.mail.outbox.size(), 1u);
    EXPECT_EQ(a.st().main.lblPort, "Alarm");
    EXPECT_TRUE(a.s.serial.commands.empty());
    // The loss that goes on is still one alarm, ended once when the signal returns.
    a.s.ports.failure.clear();
    a.s.loop.advance(1'000);
    a.alarm(false);
    a.s.loop.advance(3'000);
    ASSERT_EQ(a.s.mail.outbox.size(), 2u);
    EXPECT_EQ(a.s.mail.outbox[1].subject, "KQMR Quillmar Alarm End");
    EXPECT_EQ(Count(a.activityLog(), "  Alarm\r\n"), 1);
}

TEST(ReceiverAlarm, ALossAcrossMidnightIsTimedOnTheClockNotTheTimeOfDay) {
    AlarmStation a(DateTime::from(2026, 3, 10, 23, 59, 30));
    a.alarm(true);
    a.s.loop.advance(50'000);  // to 00:00:20 the next day
    a.alarm(false);
    a.s.loop.advance(1000);
    EXPECT_TRUE(a.s.mail.outbox.empty());
}

TEST(ReceiverAlarm, AClockSetBackDuringALossDoesNotMailAtOnce) {
    AlarmStation a(DateTime::from(2026, 3, 10, 10, 54, 40));
    a.alarm(true);
    a.s.loop.advance(1000);
    a.s.clock.setTimeOfDay(10, 54, 30, [](bool, const std::string&) {});  // another input's pulse
    a.s.loop.advance(30'000);
    EXPECT_TRUE(a.s.mail.outbox.empty());
    a.s.loop.advance(32'000);
    EXPECT_EQ(a.s.mail.outbox.size(), 1u);
}

TEST(ReceiverAlarm, AMailThatCannotBeSentIsReportedAndTheStationCarriesOn) {
    AlarmStation a;
    a.st().Settings.ActivityLog = 1;
    a.s.mail.sendFailure = "sendmail: connection refused";
    a.alarm(true);
    a.s.loop.advance(62'000);
    ASSERT_EQ(a.s.errors.messages.size(), 1u);
    EXPECT_EQ(a.s.errors.messages[0],
              "Mail \"KQMR Quillmar Alarm\" not sent: sendmail: connection refused");
    const auto er = a.s.read(DailyLogPath("ER", a.s.clock.now().date));
    EXPECT_NE(er.find("  Mail \"KQMR Quillmar Alarm\" not sent: sendmail: connection refused\r\n"),
              std::string::npos);
    // Not retried on every tick; the end is still mailed (and fails, reported once more).
    a.alarm(false);
    a.s.loop.advance(3000);
    EXPECT_EQ(a.s.errors.messages.size(), 2u);
    EXPECT_TRUE(a.st().timers.tmrClock->isEnabled());
}

TEST(ReceiverAlarm, NoMailSystemIsReportedAtSignOn) {
    AlarmStation a;
    a.s.mail.signOnFailure = "no mail program";
    a.alarm(true);
    a.s.loop.advance(62'000);
    EXPECT_EQ(a.s.errors.messages,
              (std::vector<std::string>{"Mail \"KQMR Quillmar Alarm\" not sent: no mail program"}));
    EXPECT_TRUE(a.s.mail.outbox.empty());
}
