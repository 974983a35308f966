// The manual playlist, its Delete key and the transport buttons.
#include <gtest/gtest.h>

#include "core/ManualControls.h"
#include "core/Playlist.h"
#include "core/TickFixture.h"
#include "schedule/ScheduleRecord.h"
#include "support/Builders.h"

using namespace quillmar;
using quillmar::testing::SettingsFile;
using quillmar::testing::SimStation;
using quillmar::testing::TickStation;

namespace {

// Weekday rows: 0 Sunday .. 6 Saturday.
std::string Manual(const std::string& name, int row, std::initializer_list<const char*> times,
                   const char* playStart = "M") {
    ScheduleFields f;
    f.InUse = ScheduleSlot::InUse;
    f.ProgramName = name;
    f.PlayStart = StateOf<ScheduleStart>(playStart);
    f.Action = ScheduleAction::Record;
    int slot = 0;
    for (const char* t : times) f.PlayTimes[static_cast<std::size_t>(row * 4 + slot++)] = t;
    return BuildScheduleRecord(f);
}

std::function<void(SimStation&)> Schedules(std::vector<std::string> records) {
    return [records](SimStation& s) {
        std::string file;
        for (const auto& r : records) file += r;
        s.write("c:\\satfile\\SatList.dat", file);
    };
}

std::vector<std::string> Texts(const Station& st) {
    std::vector<std::string> out;
    for (const auto& e : st.main.PlayList)
        out.push_back(e.text.substr(0, 8) + " " + e.text.substr(10, 6));
    return out;
}

const DateTime kSaturday1400 = DateTime::from(2026, 12, 5, 14, 0, 0);

}  // namespace

TEST(Playlist, StartUpListsOnlyWhatIsStillToComeAndTheMenuListsTheWholeDay) {
    // "09:00" as typed in the editor: listed as 09:00:00.
    TickStation t(kSaturday1400, Schedules({Manual("Swap Shop", 6, {"09:00", "16:00:00"})}));
    Station& st = t.st();
    EXPECT_EQ(Texts(st), (std::vector<std::string>{"16:00:00 Swap S"}));
    EXPECT_EQ(st.main.PlayList[0].recordNo, 1);
    EXPECT_TRUE(st.main.Label1Visible);

    mnuLoadPlayList_Click(st);
    EXPECT_EQ(Texts(st), (std::vector<std::string>{"09:00:00 Swap S", "16:00:00 Swap S"}));
    EXPECT_FALSE(st.tick.PlaylistUpcomingOnly);
}

TEST(Playlist, KeepsTimeOrderAndOrdersEqualTimesByNameWithoutRegardToCase) {
    TickStation t(kSaturday1400, Schedules({Manual("Zoo News", 6, {"18:00:00"}),
                                            Manual("Ag Report", 6, {"18:00:00"}),
                                            Manual("alarm Clock", 6, {"18:00:00"}),
                                            Manual("Timed One", 6, {"15:00:00"}, "T"),
                                            Manual("Early Bird", 6, {"15:30:00", "14:00:00"})}));
    // The timed schedule is played by the clock; a play time equal to the second now is past.
    // Names are in list-box order, without regard to case.
    EXPECT_EQ(Texts(t.st()), (std::vector<std::string>{"15:30:00 Early ", "18:00:00 Ag Rep",
                                                       "18:00:00 alarm ", "18:00:00 Zoo Ne"}));
}

TEST(Playlist, AnEmptyDayHidesTheListAndItsButtons) {
    TickStation t(kSaturday1400, [](SimStation& s) {
        s.write("c:\\satfile\\MyComp.ini", std::string("\0\0\0\0\0\0\x01\x00\x01\x00", 10));
        s.write("c:\\satfile\\SatList.dat", Manual("Sunday Only", 0, {"10:00:00"}));
    });
    const auto& main = t.st().main;
    EXPECT_TRUE(main.PlayList.empty());
    EXPECT_FALSE(main.Label1Visible);
    EXPECT_EQ(main.lblPlayDay, "No Manual Start Schedules");
    EXPECT_FALSE(main.cmdPlayVisible);
    EXPECT_FALSE(main.cmdStopVisible);
}

TEST(Playlist, ListingEntriesShowsTheButtonsTheSettingsAllow) {
    TickStation t(kSaturday1400, [](SimStation& s) {
        s.write("c:\\satfile\\MyComp.ini", std::string("\0\0\0\0\0\0\x01\x00\x02\x00", 10));
        s.write("c:\\satfile\\SatList.dat", Manual("Evening", 6, {"20:00:00"}));
    });
    Station& st = t.st();
    st.main.cmdPlayVisible = false;
    st.main.cmdStopVisible = false;
    st.main.lblPlayDay = "No Manual Start Schedules";
    mnuLoadPlayList_Click(st);
    EXPECT_TRUE(st.main.cmdPlayVisible);   // PlayVisible 1
    EXPECT_FALSE(st.main.cmdStopVisible);  // StopVisible 2 leaves it as it was
    EXPECT_EQ(st.main.lblPlayDay, "");
}

TEST(Playlist, TheEntryOnAirStaysListedWhenTheListIsRebuilt) {
    TickStation t(kSaturday1400, Schedules({Manual("Later", 6, {"16:00:00"})}));
    Station& st = t.st();
    st.playout.PlayState = PlayState::Playlist;
    st.playout.PlayingEntryText = "13:30:00  Lunch Hour               ";
    st.playout.PlayingEntryRecordNo = 7;
    st.main.PlayList.clear();
    st.tick.PlaylistUpcomingOnly = true;
    LoadManualPlaylist(st);
    ASSERT_EQ(st.main.PlayList.size(), 2u);
    EXPECT_EQ(st.main.PlayList[0], (PlaylistEntry{st.playout.PlayingEntryText, 7}));
    // A timed playout on air is not a playlist entry.
    st.playout.PlayState = PlayState::Timed;
    st.main.PlayList.clear();
    LoadManualPlaylist(st);
    EXPECT_EQ(st.main.PlayList.size(), 1u);
}

TEST(Playlist, DamagedTimesAndInactiveSchedulesAreNotOffered) {
    std::string damaged = Manual("Torn", 6, {"18:00:00"});
    damaged.replace(damaged.find("18:00:00"), 8, std::string("1\0:0\0:00", 8));
    TickStation t(kSaturday1400, Schedules({damaged, Manual("Kept", 6, {"19:00:00"})}));
    Station& st = t.st();
    EXPECT_EQ(Texts(st), (std::vector<std::string>{"19:00:00 Kept  "}));
    st.schedule.ScheduleActive[2] = 0;
    mnuLoadPlayList_Click(st);
    EXPECT_TRUE(st.main.PlayList.empty());
}

TEST(PlaylistDeleteKey, RemovesTheSelectedEntryAndHidesPlayWhenEmpty) {
    TickStation t(kSaturday1400, Schedules({Manual("Two", 6, {"15:00:00", "16:00:00"})}));
    Station& st = t.st();
    st.main.cmdStopVisible = true;
    PlayList_KeyDown(st, kDeleteKey);  // nothing selected
    PlayList_KeyDown(st, 65);          // another key
    ASSERT_EQ(st.main.PlayList.size(), 2u);
    st.main.PlayListIndex = 1;
    PlayList_KeyDown(st, kDeleteKey);
    EXPECT_EQ(Texts(st), (std::vector<std::string>{"15:00:00 Two   "}));
    EXPECT_EQ(st.main.PlayListIndex, -1);
    st.main.PlayListIndex = 0;
    PlayList_KeyDown(st, kDeleteKey);
    EXPECT_TRUE(st.main.PlayList.empty());
    EXPECT_FALSE(st.main.Label1Visible);
    EXPECT_EQ(st.main.lblPlayDay, "  No Schedules to Play");
    EXPECT_FALSE(st.main.cmdPlayVisible);
    EXPECT_TRUE(st.main.cmdStopVisible);  // Play Stop stays as it was
}

TEST(TransportButtons, RecordSaysNothingIsScheduledOrShowsWhatTheRecorderDoes) {
    TickStation t(kSaturday1400, [](SimStation& s) {
        s.write("c:\\satfile\\MyComp.ini", SettingsFile({{12, 3}}));  // sound files on C
        s.write("c:\\satfile\\SatList.dat", Manual("Recorded", 6, {}));
    });
    Station& st = t.st();
    cmdRecord_Click(st);
    EXPECT_EQ(t.sim->errors.messages,
              (std::vector<std::string>{"No Schedule has been set up for recording"}));
    EXPECT_EQ(st.main.cmdRecordCaption, "Record");
    EXPECT_TRUE(t.actions.empty());

    st.next.record.emplace();
    st.next.record->recordNo = 1;
    st.actionObserver = [&](const std::string& name) { t.actions.push_back({name, t.now()}); };
    cmdRecord_Click(st);
    ASSERT_GE(t.actions.size(), 2u);
    EXPECT_EQ(t.actions[0].name, "CueRecording");
    EXPECT_EQ(t.actions[1].name, "ArmRecording");
    EXPECT_EQ(st.main.cmdRecordCaption, "Ready");
    EXPECT_EQ(st.main.cmdRecordColour, MainWindowModel::ButtonColour::Yellow);

    // An arm that cannot open the capture is dumped: nothing is ready, the capture is stopped.
    cmdRecStop_Click(st);
    t.sim->loop.runPending();
    st.next.record.emplace();
    st.next.record->recordNo = 1;
    t.sim->audio.failCaptureStart("no such device");
    cmdRecord_Click(st);
    t.sim->loop.runPending();
    EXPECT_EQ(st.recorder.RecordState, RecordState::Idle);
    EXPECT_EQ(st.main.cmdRecordCaption, "Record");
    EXPECT_EQ(st.main.cmdRecordColour, MainWindowModel::ButtonColour::Maroon);
}

TEST(TransportButtons, PlayStopAndRecStopReachTheEngines) {
    TickStation t(kSaturday1400);
    Station& st = t.st();
    cmdPlay_Click(st);
    cmdStop_Click(st);
    cmdRecStop_Click(st);
    EXPECT_EQ(t.count("PlayFromPlaylist"), 1);
    EXPECT_EQ(t.count("StopPlayout"), 1);
    EXPECT_EQ(t.count("StopRecording"), 1);
}

TEST(PlaylistRefresh, AtSaturday235955TheListIsRebuiltFromSundaysTimes) {
    TickStation t(
        DateTime::from(2026, 12, 5, 23, 59, 0),
        Schedules({Manual("Late Sat", 6, {"23:59:30"}), Manual("Sun Morning", 0, {"07:00:00"})}));
    Station& st = t.st();
    EXPECT_EQ(Texts(st), (std::vector<std::string>{"23:59:30 Late S"}));
    t.runTo(DateTime::from(2026, 12, 5, 23, 59, 55, 50));
    EXPECT_EQ(Texts(st), (std::vector<std::string>{"07:00:00 Sun Mo"}));
    EXPECT_TRUE(st.tick.PlaylistRefreshed);
    t.runTo(DateTime::from(2026, 12, 5, 23, 59, 58));
    EXPECT_FALSE(st.tick.PlaylistRefreshed);
    EXPECT_EQ(Texts(st), (std::vector<std::string>{"07:00:00 Sun Mo"}));
}
