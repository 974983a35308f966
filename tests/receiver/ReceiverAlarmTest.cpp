// The receiver's loss-of-signal alarm: what is logged, when the mails go, and what a failing
// port, a clock set back or a failing mail system change.
#include <gtest/gtest.h>

#include "export/AddressBook.h"
#include "receiver/RemoteControl.h"
#include "support/Builders.h"
#include "support/Logs.h"
#include "support/SimStation.h"

namespace quillmar {
namespace {

using testing::Monday;
using testing::SimStation;

const std::string kLoss = "KQMR Quillmar Alarm", kEnd = "KQMR Quillmar Alarm End";

// Each row: the Alarm input held for lossMs (after 1 s of it the clock may be set back 10 s,
// and for its last 5 s the port may fail), then released for 3 s; `losses` times over.
TEST(ReceiverAlarm, ALossIsLoggedAndMailedOnlyAfterAMinuteThenItsEndWithTheEbNo) {
    const std::string refused = "Mail \"" + kLoss + "\" not sent: sendmail: connection refused",
                      endRefused = "Mail \"" + kEnd + "\" not sent: sendmail: connection refused",
                      noMail = "Mail \"" + kLoss + "\" not sent: no mail program",
                      endNoMail = "Mail \"" + kEnd + "\" not sent: no mail program";
    const struct {
        const char* what;
        DateTime start;
        int lossMs;
        int losses = 1;
        bool setBack = false, portFails = false;
        std::string sendFailure{}, signOnFailure{};
        std::vector<std::string> mails{}, log{}, errors{};  // log: today's activity log at the end
        int polls = 0;
    } cases[] = {
        {.what = "50 s",
         .start = Monday(10),
         .lossMs = 50'000,
         .log = {"10:00:00  Alarm", "10:00:50  Alarm End"}},
        {.what = "a minute",
         .start = Monday(10),
         .lossMs = 60'000,
         .log = {"10:00:00  Alarm", "10:01:00  Alarm End"}},
        {.what = "twice 2 min",
         .start = Monday(10),
         .lossMs = 120'000,
         .losses = 2,
         .mails = {kLoss, kEnd, kLoss, kEnd},
         .log = {"10:00:00  Alarm", "10:02:00  Alarm End", "10:02:03  Alarm",
                 "10:04:03  Alarm End"},
         .polls = 2},
        {.what = "across midnight",
         .start = Monday(23, 59, 30),
         .lossMs = 50'000,
         .log = {"00:00:20  Alarm End"}},
        {.what = "clock set back",
         .start = Monday(10, 54, 40),
         .lossMs = 63'000,
         .setBack = true,
         .mails = {kLoss, kEnd},
         .log = {"10:54:40  Alarm", "10:55:33  Alarm End"},
         .polls = 1},
        // A port that cannot be read says nothing about the input: the loss goes on.
        {.what = "port fails",
         .start = Monday(10),
         .lossMs = 70'000,
         .portFails = true,
         .mails = {kLoss, kEnd},
         .log = {"10:00:00  Alarm", "10:01:10  Alarm End"},
         .errors = {"Remote-control port failed: gone"},
         .polls = 1},
        {.what = "mail refused",
         .start = Monday(10),
         .lossMs = 70'000,
         .sendFailure = "sendmail: connection refused",
         .log = {"10:00:00  Alarm", "10:01:10  Alarm End"},
         .errors = {refused, endRefused},
         .polls = 1},
        {.what = "no mail system",
         .start = Monday(10),
         .lossMs = 70'000,
         .signOnFailure = "no mail program",
         .log = {"10:00:00  Alarm", "10:01:10  Alarm End"},
         .errors = {noMail, endNoMail},
         .polls = 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SimStation s(c.start);
        s.start();
        Station& st = s.st();
        st.Settings.ActivityLog = 1;
        st.Settings.RemoteControl = 2;
        st.Export.Account.Facility = "KQMR";
        AddressEntry e;
        e.InUse = '1';
        e.SendMode = kSendAlways;
        e.Name = "Engineer";
        e.Address = "engineer@kqmr.example";
        std::string error;
        ASSERT_TRUE(WriteAddressEntry(st.Export, 1, e, &error)) << error;
        s.serial.answer("R C", "\r\n" + std::string(10, '\n') + "Eb/No 7.4 dB\r\n>", 200);
        s.mail.sendFailure = c.sendFailure;
        s.mail.signOnFailure = c.signOnFailure;
        for (int loss = 0; loss < c.losses; ++loss) {
            s.ports.set(kPrairiePortB, kAlarmInput);
            s.loop.advance(1000);
            EXPECT_EQ(st.main.lblPort, "Alarm");
            if (c.setBack) s.clock.setTimeOfDay(10, 54, 31, [](bool, const std::string&) {});
            s.loop.advance(c.lossMs - 1000 - (c.portFails ? 5000 : 0));
            if (c.portFails) s.ports.failure = "gone";
            s.loop.advance(c.portFails ? 5000 : 0);
            s.ports.failure.clear();
            s.ports.set(kPrairiePortB, 0);
            s.loop.advance(3000);
            EXPECT_EQ(st.main.lblPort, "");
        }
        std::vector<std::string> subjects;
        for (const auto& m : s.mail.outbox) {
            subjects.push_back(m.subject);
            EXPECT_EQ(m.note, m.subject == kEnd ? "EbNo: Eb/No 7.4 dB"
                                                : "Unity 4K Receiver Loss of Signal");
            EXPECT_EQ(m.recipients, std::vector<std::string>{"engineer@kqmr.example"});
        }
        EXPECT_EQ(subjects, c.mails);
        EXPECT_EQ(s.log("AL"), c.log);
        EXPECT_EQ(s.errors.messages, c.errors);
        EXPECT_EQ(testing::Unstamped(s.log("ER")), c.errors);
        // The end of a mailed loss polls the Eb/No for its mail.
        EXPECT_EQ(s.serial.commands, std::vector<std::string>(c.polls, "R C"));
        EXPECT_TRUE(st.timers.tmrClock->isEnabled());
    }
}

}  // namespace
}  // namespace quillmar
