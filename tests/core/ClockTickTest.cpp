// The clock tick's decisions on simulated time, tick by tick.
#include <gtest/gtest.h>

#include "core/ClockTick.h"
#include "core/ScheduleSequences.h"
#include "core/TickFixture.h"
#include "schedule/ScheduleFixture.h"

using namespace quillmar;
using quillmar::testing::Schedule;
using quillmar::testing::SimStation;
using quillmar::testing::TickStation;
using quillmar::testing::WithPlay;
using quillmar::testing::WithSlot;

namespace {

const Date kSaturday{2026, 12, 5};
DateTime On(const Date& d, int h, int m, int s, int ms = 0) {
    return DateTime::from(d.year, d.month, d.day, h, m, s, ms);
}
DateTime At(int h, int m, int s, int ms = 0) {
    return On(kSaturday, h, m, s, ms);
}

// SatList.dat holding these schedules as records 1, 2, ...
std::function<void(SimStation&)> ScheduleFile(const std::vector<ScheduleFields>& records) {
    return [records](SimStation& s) {
        std::string file;
        for (const auto& f : records) file += BuildScheduleRecord(f);
        s.write("c:\\satfile\\SatList.dat", file);
    };
}

// The operator deletes schedule n in the editor.
void DeleteInEditor(Station& st, int n) {
    ScheduleEditor ed;
    OpenScheduleEditor(st, ed);
    DeleteSchedule(st, ed, n);
}

}  // namespace

TEST(ClockTick, ShowsTheClockLineOnEveryTick) {
    TickStation t(At(5, 36, 8, 900));
    t.runTo(At(5, 36, 9, 50));
    EXPECT_EQ(t.st().main.lblClock, "Saturday  12/05/2026  Day  339  05:36:09");
}

TEST(EbNoPolling, PollsOncePerMomentAtEveryRate) {
    // Given each rate in turn, when two hours pass tick by tick,
    // then each "mm:12" moment of the rate gives exactly one poll.
    const std::vector<std::vector<std::string>> expected = {
        {},
        {"12:00:12", "13:00:12"},
        {"12:00:12", "12:30:12", "13:00:12", "13:30:12"},
        {"12:00:12", "12:20:12", "12:40:12", "13:00:12", "13:20:12", "13:40:12"},
        {"12:00:12", "12:15:12", "12:30:12", "12:45:12", "13:00:12", "13:15:12", "13:30:12",
         "13:45:12"},
    };
    for (int rate = 0; rate <= 4; ++rate) {
        TickStation t(At(11, 59, 0));
        t.st().Settings.EbNoLogRate = static_cast<std::int16_t>(rate);
        t.runTo(At(13, 59, 59));
        EXPECT_EQ(t.seconds("PollReceiverEbNo"), expected[static_cast<std::size_t>(rate)])
            << "rate " << rate;
    }
}

TEST(EbNoPolling, PollsEveryMinuteAtRateFiveAndNeverAtOtherValues) {
    TickStation every(At(12, 0, 0));
    every.st().Settings.EbNoLogRate = 5;
    every.runTo(At(13, 0, 0));
    ASSERT_EQ(every.count("PollReceiverEbNo"), 60);
    EXPECT_EQ(every.seconds("PollReceiverEbNo")[59], "12:59:12");

    TickStation other(At(12, 0, 0));
    other.st().Settings.EbNoLogRate = 6;
    other.runTo(At(13, 0, 0));
    EXPECT_EQ(other.count("PollReceiverEbNo"), 0);
}

TEST(EbNoPolling, APollJustBeforeTheMomentStandsForIt) {
    // Given the receiver alarm polled at 12:00:05 (the flag is still set at 12:00:12),
    TickStation t(At(12, 0, 0));
    t.st().Settings.EbNoLogRate = 1;
    t.runTo(At(12, 0, 5));
    t.st().tick.EbNoPolledFlag = true;
    // when the moment comes, then it does not poll again; the flag clears after second 13.
    t.runTo(At(12, 0, 20));
    EXPECT_EQ(t.count("PollReceiverEbNo"), 0);
    EXPECT_FALSE(t.st().tick.EbNoPolledFlag);
}

TEST(RecordCountdown, CuesAbout14And4SecondsAheadAndArmsAtTheTime) {
    TickStation t(At(12, 0, 0));
    Station& st = t.st();
    st.next.record.emplace();
    st.next.record->recordNo = 1;
    st.next.record->seconds = 12 * 3600 + 60;
    st.next.record->dateText = "12/05/2026";
    st.recorder.Cued.emplace().start = ScheduleStart::Timed;
    t.onAction = [&](const std::string& name) {
        if (name == "ArmRecording") st.recorder.RecordState = RecordState::WaitingForAudio;
    };
    // TimerCue runs the cue 3 s after it is started: 14.45 s and 4.45 s ahead.
    EXPECT_EQ(t.enabledAt(*st.timers.TimerCue, At(12, 0, 59, 400)),
              (std::vector<std::string>{"12:00:42.550", "12:00:52.550"}));
    EXPECT_EQ(st.main.lblRecTime, "00:01");
    EXPECT_EQ(t.count("ArmRecording"), 0);
    t.runTo(At(12, 1, 30));
    EXPECT_EQ(t.times("ArmRecording"), (std::vector<std::string>{"12:00:59.500"}));
}

TEST(RecordCountdown, ARelayStartedRecordingIsNotArmedByTheClock) {
    TickStation t(At(12, 0, 0));
    Station& st = t.st();
    st.next.record.emplace();
    st.next.record->recordNo = 1;
    st.next.record->seconds = 12 * 3600 + 20;
    st.next.record->dateText = "12/05/2026";
    st.recorder.Cued.emplace().start = ScheduleStart::Manual;
    EXPECT_EQ(t.enabledAt(*st.timers.TimerCue, At(12, 1, 0)).size(), 2u);
    EXPECT_EQ(t.count("ArmRecording"), 0);
}

TEST(RecordCountdown, CountsDaysToTheSlotAndShowsElapsedRecordingTime) {
    TickStation t(At(12, 0, 0));
    Station& st = t.st();
    st.next.record.emplace();
    st.next.record->recordNo = 1;
    st.next.record->seconds = 12 * 3600 + 1;
    st.next.record->dateText = "12/07/2026";
    st.recorder.RecordState = RecordState::Recording;
    st.recorder.Armed.emplace().start = ScheduleStart::Timed;
    st.recorder.RecordStartTime = 11 * 3600 + 59 * 60;
    st.recorder.RecordStopTime = 13 * 3600;
    t.runTo(At(12, 0, 0, 100));
    // Two days and one second ahead: the whole count, as the play countdown shows it.
    EXPECT_EQ(st.main.lblRecTime, " 48:00:01");
    EXPECT_EQ(st.main.lblRecordTimer, "01:00");
}

TEST(RecordCountdown, StopsATimedRecordingAfterItsStopTime) {
    TickStation t(At(12, 0, 0));
    Station& st = t.st();
    st.recorder.RecordState = RecordState::Recording;
    st.recorder.Armed.emplace().start = ScheduleStart::Timed;
    // The next programme, cued meanwhile, starts by relay: this one still stops at its time.
    st.recorder.Cued.emplace().start = ScheduleStart::Manual;
    st.recorder.RecordStartTime = 12 * 3600 - 60;
    st.recorder.RecordStopTime = 12 * 3600 + 10;
    t.onAction = [&](const std::string& name) {
        if (name == "StopRecording") st.recorder.RecordState = RecordState::Idle;
    };
    // No next slot is found while it records: it still stops.
    ASSERT_FALSE(st.next.record);
    t.runTo(At(12, 0, 30));
    EXPECT_EQ(t.times("StopRecording"), (std::vector<std::string>{"12:00:10.050"}));
}

TEST(RecordCountdown, DumpsARecordingThatWaitedPastItsDeadline) {
    TickStation t(At(12, 0, 0));
    Station& st = t.st();
    st.recorder.RecordState = RecordState::WaitingForAudio;
    st.recorder.ArmDeadline = 12 * 3600 + 5;
    t.onAction = [&](const std::string& name) {
        if (name == "DumpRecording") st.recorder.RecordState = RecordState::Idle;
    };
    t.runTo(At(12, 0, 30));
    EXPECT_EQ(t.times("DumpRecording"), (std::vector<std::string>{"12:00:05.050"}));
}

TEST(RecordCountdown, ARecordingRunningPastMidnightStopsAtItsTimeNextDay) {
    // Given a recording that started at 23:50 and lasts 20 minutes (stop time 87000),
    TickStation t(At(23, 50, 0));
    Station& st = t.st();
    st.recorder.RecordState = RecordState::Recording;
    st.recorder.Armed.emplace().start = ScheduleStart::Timed;
    st.recorder.RecordStartTime = 23 * 3600 + 50 * 60;
    st.recorder.RecordStopTime = 23 * 3600 + 50 * 60 + 1200;
    t.onAction = [&](const std::string& name) {
        if (name == "StopRecording") st.recorder.RecordState = RecordState::Idle;
    };
    // when midnight passes, then the elapsed time keeps counting and it stops at 00:10:00.
    t.runTo(On(kSaturday.addDays(1), 0, 5, 0));
    EXPECT_EQ(st.main.lblRecordTimer, "15:00");
    EXPECT_EQ(t.count("StopRecording"), 0);
    t.runTo(On(kSaturday.addDays(1), 0, 20, 0));
    EXPECT_EQ(t.times("StopRecording"), (std::vector<std::string>{"00:10:00.050"}));
}

TEST(RecordCountdown, ADeadlinePastMidnightDumpsAtItsTimeNextDay) {
    TickStation t(At(23, 59, 0));
    Station& st = t.st();
    st.recorder.RecordState = RecordState::WaitingForAudio;
    st.recorder.ArmDeadline = 86400 + 60;
    t.onAction = [&](const std::string& name) {
        if (name == "DumpRecording") st.recorder.RecordState = RecordState::Idle;
    };
    t.runTo(On(kSaturday.addDays(1), 0, 2, 0));
    EXPECT_EQ(t.times("DumpRecording"), (std::vector<std::string>{"00:01:00.050"}));
}

TEST(SwitchCountdown, RunsTheSwitchAtOneAndAtZeroSecondsAndLooksForTheNext) {
    TickStation t(At(12, 0, 0));
    Station& st = t.st();
    st.next.toSwitch.emplace();  // Saturday, today
    st.next.toSwitch->time = "12:00:30";
    st.next.toSwitch->day = 7;
    t.runTo(At(12, 0, 20));
    EXPECT_EQ(st.main.lblSwitchTimer, "    00:10");
    t.runTo(At(12, 0, 29, 900));
    EXPECT_EQ(t.times("RunSwitchOnly"), (std::vector<std::string>{"12:00:28.550", "12:00:29.500"}));
    EXPECT_FALSE(st.timers.TimerGetNextSwitch->isEnabled());
    t.runTo(At(12, 0, 31));
    EXPECT_EQ(t.count("RunSwitchOnly"), 2);
    EXPECT_EQ(st.main.lblSwitchTimer, "167:59:59");
}

TEST(SwitchCountdown, ASlotThreeSecondsPastCountsAWeekAhead) {
    TickStation t(At(12, 0, 3));
    Station& st = t.st();
    st.next.toSwitch.emplace();
    st.next.toSwitch->time = "12:00:00";
    st.next.toSwitch->day = 7;
    ClockTick(st);
    EXPECT_EQ(st.main.lblSwitchTimer, "167:59:57");
    EXPECT_TRUE(st.timers.TimerGetNextSwitch->isEnabled());
    EXPECT_EQ(t.count("RunSwitchOnly"), 0);
}

TEST(SwitchCountdown, CountsAcrossTheWeekAndIgnoresATimeWithoutColon) {
    TickStation t(At(12, 0, 0));
    Station& st = t.st();
    st.next.toSwitch.emplace();  // Monday, two days on
    st.next.toSwitch->time = "06:30:00";
    st.next.toSwitch->day = 2;
    ClockTick(st);
    EXPECT_EQ(st.main.lblSwitchTimer, " 42:30:00");
    st.next.toSwitch.emplace();
    st.next.toSwitch->time = "0630";
    st.main.lblSwitchTimer = "unchanged";
    ClockTick(st);
    EXPECT_EQ(st.main.lblSwitchTimer, "unchanged");
}

TEST(TimedPlay, StartsAtTheExactSecondOnceAndLooksForTheNext) {
    TickStation t(At(12, 0, 0));
    Station& st = t.st();
    st.next.play.emplace();
    st.next.play->recordNo = 3;
    st.next.play->seconds = 12 * 3600 + 10;
    st.next.play->dateText = "12/05/2026";
    st.next.play->date = kSaturday;
    st.next.play->time = "12:00:10";
    t.runTo(At(12, 0, 5));
    EXPECT_EQ(st.main.lblNextPlayTime, "    00:05");
    t.runTo(At(12, 1, 0));
    EXPECT_EQ(t.times("PlayScheduled"), (std::vector<std::string>{"12:00:10.000"}));
    // The finder ran on the empty schedule file: nothing more to play, no stale countdown.
    EXPECT_FALSE(st.next.play);
    EXPECT_EQ(st.main.lblNextTimedPlay, "No programs scheduled to play");
    EXPECT_EQ(st.main.lblNextPlayTime, "");
}

TEST(TimedPlay, WaitsForAPlayoutOnAirUpToAMinute) {
    TickStation t(At(12, 0, 0));
    Station& st = t.st();
    st.next.play.emplace();
    st.next.play->recordNo = 3;
    st.next.play->date = kSaturday;
    st.next.play->time = "12:00:10";
    st.playout.PlayState = PlayState::Playlist;
    st.playout.EomTime = 12 * 3600 + 40;
    t.runTo(At(12, 0, 30));
    EXPECT_EQ(t.count("PlayScheduled"), 0);
    st.playout.PlayState = PlayState::Idle;
    t.runTo(At(12, 0, 31));
    EXPECT_EQ(t.times("PlayScheduled"), (std::vector<std::string>{"12:00:30.050"}));
}

TEST(TimedPlay, AnHHMMTimePlaysOnTheMinuteAndADeletedScheduleNeverPlays) {
    struct Case {
        const char* name;
        std::vector<const char*> times;  // Saturday's play slots
        bool deleted;                    // in the editor at 12:00
        std::vector<std::string> played;
    };
    const std::vector<Case> cases = {
        {"HH:MM, then HH:MM:SS", {"12:30", "12:45:00"}, false, {"12:30:00", "12:45:00"}},
        {"deleted", {"12:30:00"}, true, {}},
    };
    for (const auto& c : cases) {
        ScheduleFields f = Schedule("Timed");
        for (std::size_t i = 0; i < c.times.size(); ++i)
            f = WithPlay(f, 6 * 4 + static_cast<int>(i), c.times[i]);
        TickStation t(At(12, 0, 0), ScheduleFile({f}));
        if (c.deleted) DeleteInEditor(t.st(), 1);
        t.runTo(At(12, 50, 0));
        EXPECT_EQ(t.seconds("PlayScheduled"), c.played) << c.name;
    }
}

TEST(SwitchOnly, ADeletedSwitchNeitherFiresNorLendsItsTimeToTheScheduleInItsSlot) {
    // Given the only switch-only schedule, due today at 13:00
    TickStation t(At(12, 0, 0),
                  ScheduleFile({WithSlot(Schedule("Router", "3"), 6, 7, "13:00:00")}));
    Station& st = t.st();
    ASSERT_EQ(st.main.lblNextSwitch, "Next to Switch:  Router, Port 2 on Saturday   @ 13:00:00");
    // When it is deleted an hour before its time
    DeleteInEditor(st, 1);
    t.runTo(At(12, 0, 1));
    EXPECT_EQ(st.main.lblNextSwitch, "");
    EXPECT_EQ(st.main.lblSwitchTimer, "");
    // and New puts a Monday recording in its slot
    ScheduleEditor ed;
    OpenScheduleEditor(st, ed);
    ASSERT_TRUE(NewSchedule(st.schedule, st.platform.errors, ed));
    ASSERT_EQ(ed.lblScheduleNo, "1");
    ed.txtSatName = "Monday News";
    ed.txtSatLen = "30:00";
    ed.cboSatLang = "ENG";
    ed.cboRec[1] = 2;
    ed.txtRec[1] = "09:00:00";
    ASSERT_TRUE(ApplySchedule(st, ed));
    // Then nothing reaches the receiver at the old switch time
    t.runTo(At(13, 0, 5));
    EXPECT_EQ(t.sim->serial.wire, "");
}

TEST(PlayoutCountdown, AnEomTimePastMidnightWrapsAndPulsesAt0020) {
    TickStation t(At(23, 59, 50));
    Station& st = t.st();
    st.playout.PlayState = PlayState::Timed;
    st.playout.EomTime = 86420;
    t.runTo(At(23, 59, 59, 950));
    EXPECT_EQ(st.playout.EomTime, 86420);
    EXPECT_EQ(st.main.lblPlayTime, "00:20");
    t.runTo(On(kSaturday.addDays(1), 0, 0, 0, 500));
    EXPECT_EQ(st.playout.EomTime, 20);
    t.runTo(On(kSaturday.addDays(1), 0, 0, 20, 500));
    EXPECT_EQ(st.remote.RemoteOutputBits & 1, 0);
    EXPECT_FALSE(st.playout.EomSent);
    t.runTo(On(kSaturday.addDays(1), 0, 0, 20, 550));
    EXPECT_EQ(st.remote.RemoteOutputBits & 1, 1);
    EXPECT_TRUE(st.playout.EomSent);
    EXPECT_EQ(st.main.lblPlayTime, "-00:01");
    // The pulse lasts a second.
    t.runTo(On(kSaturday.addDays(1), 0, 0, 21, 600));
    EXPECT_EQ(st.remote.RemoteOutputBits & 1, 0);
}

TEST(DaylightSavingTrigger, ArmsTheShiftOnlyInItsWindowOnTheChangeDays) {
    for (const Date day : {Date{2026, 3, 8}, Date{2026, 11, 1}}) {
        TickStation t(On(day, 1, 59, 50));
        t.st().Settings.AdjustForTimeChange = 1;
        t.runTo(On(day, 1, 59, 54));
        EXPECT_FALSE(t.st().timers.tmrTimeChange->isEnabled());
        t.runTo(On(day, 1, 59, 54, 50));
        EXPECT_TRUE(t.st().timers.tmrTimeChange->isEnabled());
    }
    TickStation off(On(Date{2026, 3, 8}, 1, 59, 50));
    off.runTo(On(Date{2026, 3, 8}, 2, 0, 0));
    EXPECT_FALSE(off.st().timers.tmrTimeChange->isEnabled());
    TickStation otherDay(On(Date{2026, 3, 9}, 1, 59, 50));
    otherDay.st().Settings.AdjustForTimeChange = 1;
    otherDay.runTo(On(Date{2026, 3, 9}, 2, 0, 0));
    EXPECT_FALSE(otherDay.st().timers.tmrTimeChange->isEnabled());
}

TEST(DailyPurge, RunsOnceAt0030EveryDay) {
    TickStation t(At(23, 0, 0));
    t.runTo(On(kSaturday.addDays(3), 0, 1, 0));
    EXPECT_EQ(t.times("PurgeOldFiles"),
              (std::vector<std::string>{"00:00:30.000", "00:00:30.000", "00:00:30.000"}));
    EXPECT_EQ(t.actions.back().at.date, kSaturday.addDays(3));
    EXPECT_FALSE(t.st().tick.PurgeDone);  // cleared again after 00:00:31
}
