// The receiver's loss-of-signal alarm: what is logged, when the mails go, and what a failing
// port, a clock set back or a failing mail system change.
#include <gtest/gtest.h>

#include "export/AddressBook.h"
#include "receiver/RemoteControl.h"
#include "support/Builders.h"
#include "support/SimStation.h"

namespace quillmar {
namespace {

using testing::Monday;
using Lines = std::vector<std::string>;

const std::string kLoss = "KQMR Quillmar Alarm", kEnd = "KQMR Quillmar Alarm End";

Lines Loss(const char* from, const char* to) {
    return {std::string(from) + "  Alarm", std::string(to) + "  Alarm End"};
}

Lines NotSent(const std::string& why) {
    return {"Mail \"" + kLoss + "\" not sent: " + why, "Mail \"" + kEnd + "\" not sent: " + why};
}

// Each row: the Alarm input held for lossMs (after 1 s of it the clock may be set back 10 s,
// and for its last 5 s the port may fail), then released for 3 s; `losses` times over.
TEST(ReceiverAlarm, ALossIsLoggedAndMailedOnlyAfterAMinuteThenItsEndWithTheEbNo) {
    const std::string refused = "sendmail: connection refused", noMail = "no mail program";
    const Lines mailed = {kLoss, kEnd}, seventy = Loss("10:00:00", "10:01:10"),
                gone = {"Remote-control port failed: gone"};
    Lines twoLosses = Loss("10:00:00", "10:02:00");
    for (const auto& line : Loss("10:02:03", "10:04:03")) twoLosses.push_back(line);
    // A port that cannot be read says nothing about the input: the loss goes on. The mail
    // system may refuse, or not sign on.
    enum Fault { Fine, SetBack, PortFails, Refuses, NoSignOn };
    const struct {
        DateTime start;
        int lossMs, losses;
        Fault fault;
        Lines mails, log, errors;
        int polls;  // the end of a mailed loss polls the Eb/No for its mail
    } cases[] = {
        {Monday(10), 60'000, 1, Fine, {}, Loss("10:00:00", "10:01:00"), {}, 0},
        {Monday(10), 120'000, 2, Fine, {kLoss, kEnd, kLoss, kEnd}, twoLosses, {}, 2},
        {Monday(23, 59, 30), 50'000, 1, Fine, {}, {"00:00:20  Alarm End"}, {}, 0},
        {Monday(10, 54, 40), 63'000, 1, SetBack, mailed, Loss("10:54:40", "10:55:33"), {}, 1},
        {Monday(10), 70'000, 1, PortFails, mailed, seventy, gone, 1},
        {Monday(10), 70'000, 1, Refuses, {}, seventy, NotSent(refused), 1},
        {Monday(10), 70'000, 1, NoSignOn, {}, seventy, NotSent(noMail), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        testing::SimStation s(c.start);
        s.start();
        Station& st = s.st();
        st.Settings.ActivityLog = 1;
        st.Settings.RemoteControl = 2;
        st.Export.Account.Facility = "KQMR";
        AddressEntry e{
            .InUse = '1', .SendMode = kSendAlways, .Name = "", .Address = "engineer@kqmr.example"};
        std::string error;
        ASSERT_TRUE(WriteAddressEntry(st.Export, 1, e, &error)) << error;
        s.serial.answer("R C", "\r\n" + std::string(10, '\n') + "Eb/No 7.4 dB\r\n>", 200);
        s.mail.sendFailure = c.fault == Refuses ? refused : "";
        s.mail.signOnFailure = c.fault == NoSignOn ? noMail : "";
        const int failMs = c.fault == PortFails ? 5000 : 0;
        for (int loss = 0; loss < c.losses; ++loss) {
            s.ports.set(kPrairiePortB, kAlarmInput);
            s.loop.advance(1000);
            EXPECT_EQ(st.main.lblPort, "Alarm");
            if (c.fault == SetBack)
                s.clock.setTimeOfDay(10, 54, 31, [](bool, const std::string&) {});
            s.loop.advance(c.lossMs - 1000 - failMs);
            if (failMs) s.ports.failure = "gone";
            s.loop.advance(failMs);
            s.ports.failure.clear();
            s.ports.set(kPrairiePortB, 0);
            s.loop.advance(3000);
            EXPECT_EQ(st.main.lblPort, "");
        }
        Lines subjects;  // the mail texts are checked end to end
        for (const auto& m : s.mail.outbox) subjects.push_back(m.subject);
        EXPECT_EQ(subjects, c.mails);
        EXPECT_EQ(s.log("AL"), c.log);
        EXPECT_EQ(s.errors.messages, c.errors);
        EXPECT_EQ(s.serial.commands, Lines(c.polls, "R C"));
    }
}

}  // namespace
}  // namespace quillmar
