#include <gtest/gtest.h>

#include "core/ManualControls.h"
#include "core/Playlist.h"
#include "core/Startup.h"
#include "support/Builders.h"
#include "support/SimStation.h"

using namespace quillmar;
using namespace quillmar::testing;

namespace {

// Play times of weekday row `row` (0 Sunday .. 6 Saturday), started by hand unless "T".
ScheduleFields Manual(const std::string& name, int row, std::initializer_list<const char*> times,
                      const char* playStart = "M") {
    ScheduleFields f = Schedule(name);
    f.PlayStart = StateOf<ScheduleStart>(playStart);
    int slot = row * 4;
    for (const char* t : times) f = WithPlay(f, slot++, t);
    return f;
}

// Saturday 14:00, started with these settings and schedules.
std::unique_ptr<SimStation> Started(const std::vector<ScheduleFields>& schedules,
                                    const std::map<int, int>& settings = {},
                                    const std::string& satList = "") {
    auto s = std::make_unique<SimStation>(DateTime::from(2026, 12, 5, 14, 0, 0));
    if (!settings.empty()) s->settings(settings);
    s->write(kScheduleFilePath, ScheduleFile(schedules) + satList);
    s->start();
    return s;
}

// Each entry's time and the first six letters of its name.
std::vector<std::string> Texts(const Station& st) {
    std::vector<std::string> out;
    for (const auto& e : st.main.PlayList)
        out.push_back(e.text.substr(0, 8) + " " + e.text.substr(10, 6));
    return out;
}

}  // namespace

TEST(Playlist, KeepsTimeOrderAndOrdersEqualTimesByNameWithoutRegardToCase) {
    auto s =
        Started({Manual("Zoo News", 6, {"18:00:00"}), Manual("Ag Report", 6, {"18:00:00"}),
                 Manual("alarm Clock", 6, {"18:00:00"}), Manual("Timed One", 6, {"15:00:00"}, "T"),
                 Manual("Early Bird", 6, {"15:30", "14:00:00"})});
    // The timed schedule is played by the clock; a play time equal to the second now is past;
    // "15:30" as typed in the editor.
    EXPECT_EQ(Texts(s->st()), (std::vector<std::string>{"15:30:00 Early ", "18:00:00 Ag Rep",
                                                        "18:00:00 alarm ", "18:00:00 Zoo Ne"}));
    EXPECT_EQ(s->st().main.PlayList[0].recordNo, 5);
}

TEST(Playlist, TheEntryOnAirStaysListedWhenTheListIsRebuilt) {
    auto s = Started({Manual("Later", 6, {"16:00:00"})});
    Station& st = s->st();
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
    std::string damaged = ScheduleFile({Manual("Torn", 6, {"18:00:00"})});
    damaged.replace(damaged.find("18:00:00"), 8, std::string("1\0:0\0:00", 8));
    auto s = Started({}, {}, damaged + ScheduleFile({Manual("Kept", 6, {"19:00:00"})}));
    Station& st = s->st();
    EXPECT_EQ(Texts(st), (std::vector<std::string>{"19:00:00 Kept  "}));
    st.schedule.ScheduleActive[2] = 0;
    mnuLoadPlayList_Click(st);
    EXPECT_TRUE(st.main.PlayList.empty());
}

TEST(PlaylistDeleteKey, TakesOnlyTheSelectedEntryAndHidesPlayWhenEmpty) {
    auto s = Started({Manual("One", 6, {"15:00:00"})});
    Station& st = s->st();
    st.main.cmdStopVisible = true;
    PlayList_KeyDown(st, kDeleteKey);  // nothing selected
    st.main.PlayListIndex = 0;
    PlayList_KeyDown(st, 65);  // another key
    ASSERT_EQ(st.main.PlayList.size(), 1u);
    PlayList_KeyDown(st, kDeleteKey);
    EXPECT_TRUE(st.main.PlayList.empty());
    EXPECT_EQ(st.main.PlayListIndex, -1);
    EXPECT_EQ(st.main.lblPlayDay, "  No Schedules to Play");
    EXPECT_FALSE(st.main.Label1Visible || st.main.cmdPlayVisible);
    EXPECT_TRUE(st.main.cmdStopVisible);  // Play Stop stays as it was
}

// PlayVisible and StopVisible show (1) or hide (0) their button; any other value leaves it.
TEST(PlayButtons, FollowTheSettingsWhenTheListIsLoadedOrTheWindowActivated) {
    struct Case {
        const char* name;
        int play, stop;
        std::vector<ScheduleFields> schedules;
        void (*event)(Station&);  // none: the start itself
        bool playBefore, stopBefore;
        bool playAfter, stopAfter, label1;
        const char* playDay;
        int forwards;
    };
    const auto sundayOnly = Manual("Sunday Only", 0, {"10:00:00"});
    const auto evening = Manual("Evening", 6, {"20:00:00"});
    const char* none = "No Manual Start Schedules";
    // clang-format off
    const std::vector<Case> cases = {
        {"an empty day at start", 1, 1, {sundayOnly}, nullptr, true, true, false, false, false, none, 0},
        {"loading entries", 1, 2, {evening}, mnuLoadPlayList_Click, false, false, true, false, true, "", 0},
        {"activated, play 2", 2, 1, {}, MainWindowActivated, false, false, false, true, false, none, 1},
        {"activated, play 2 shown, stop 0", 2, 0, {}, MainWindowActivated, true, true, true, false, false, none, 1},
    };
    // clang-format on
    for (const auto& c : cases) {
        auto s = Started(c.schedules, {{Rec::PlayVisible, c.play}, {Rec::StopVisible, c.stop}});
        MainWindowModel& main = s->st().main;
        if (c.event) {
            main.cmdPlayVisible = c.playBefore;
            main.cmdStopVisible = c.stopBefore;
            c.event(s->st());
        }
        // A message on screen comes back into view with the window (`forwards`).
        EXPECT_EQ(
            std::tie(main.cmdPlayVisible, main.cmdStopVisible, main.Label1Visible, main.lblPlayDay,
                     s->errors.forwards),
            std::make_tuple(c.playAfter, c.stopAfter, c.label1, std::string(c.playDay), c.forwards))
            << c.name;
    }
}

TEST(RecordButton, SaysNothingIsScheduledAndDoesNothingElse) {
    auto s = Started({});
    s->noteActions();
    cmdRecord_Click(s->st());
    EXPECT_EQ(s->errors.messages,
              (std::vector<std::string>{"No Schedule has been set up for recording"}));
    EXPECT_EQ(s->st().main.cmdRecordCaption, "Record");
    EXPECT_TRUE(s->actions.empty());
}
