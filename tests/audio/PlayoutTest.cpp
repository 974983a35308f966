#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "AudioStation.h"
#include "audio/Playout.h"
#include "audio/SoundFiles.h"
#include "core/PlayoutSequences.h"

using namespace quillmar;
using namespace quillmar::testing;
using ::testing::ElementsAre;

namespace {

class PlayoutTest : public AudioStation {
  protected:
    explicit PlayoutTest(DateTime start = Monday(12)) : AudioStation(start) {}
    void list(std::vector<PlaylistEntry> entries) {
        st().main.PlayList = std::move(entries);
        st().main.Label1Visible = st().main.cmdPlayVisible = st().main.cmdStopVisible = true;
    }
};

// The EOM pulses once: at start + length, at the EOM mark, or at the trim end or Play Stop.
TEST_F(PlayoutTest, TheEomPulsesOnceAtTheMarkTheEndOrTheStop) {
    const struct {
        int minute;  // of the start, after 12:00
        double waveSeconds;
        float eomMark, trimMark;
        int stopAtSecond;  // 0: no stop
        double eomTime;
        const char* pulse;
    } kRows[] = {{0, 150, 0, 120.5f, 0, 43350, "12:02:00.5"},
                 {3, 30, 0, 0, 0, 43410, "12:03:30.0"},
                 {6, 60, 20, 0, 0, 43580, "12:06:20.5"},
                 {9, 60, 0, 0, 5, 43800, "12:09:05.0"}};
    for (const auto& r : kRows) {
        SCOPED_TRACE(r.pulse);
        sim.eomWrites.clear();
        sim.runTo(Monday(12, r.minute));
        sim.makeWave(kWave, r.waveSeconds);
        setMarks(r.eomMark, r.trimMark);
        playScheduled();
        EXPECT_NEAR(st().playout.EomTime, r.eomTime, 0.001);
        EXPECT_EQ(std::make_pair(st().Audio.PlayMetersVisible, st().Audio.cmdPlayColour),
                  std::make_pair(true, ButtonColour::LightGreen));
        if (r.stopAtSecond) {
            sim.runTo(Monday(12, r.minute, r.stopAtSecond));
            StopPlayout(st());
        }
        sim.runTo(Monday(12, r.minute + 3));
        EXPECT_EQ(std::ranges::count(sim.eomWrites, true, &SimStation::EomWrite::on), 1);
        EXPECT_EQ(sim.eomWrites.at(0).at, r.pulse);
        EXPECT_EQ(st().main.lblPlayTime, "     ");
        EXPECT_EQ(std::make_pair(st().Audio.PlayMetersVisible, st().Audio.cmdPlayColour),
                  std::make_pair(false, ButtonColour::AsLaidOut));
    }
    EXPECT_EQ(audio().playStarts().at(0).device, st().Settings.ProgramPlayCard);
    EXPECT_EQ(sim.count("PlayerFinished"), 4);
    EXPECT_EQ(sim.log("AL").front(), "12:00:00  Play " + kName);
}

TEST_F(PlayoutTest, AMissingOrUnopenableFileIsReportedAndGarbledMarksAreNone) {
    playScheduled();
    sim.write(kWave, std::string(200, 'x'));  // no wave file
    playScheduled();
    sim.makeWave(kWave, 10);
    audio().failPlayerOpen("*");
    playScheduled();
    EXPECT_THAT(
        sim.errors.messages,
        ElementsAre(kWave + " does not exist", ::testing::StartsWith("Cannot play " + kWave + ": "),
                    "Cannot play " + kWave + ": The file cannot be opened"));
    audio().clearPlayerFailures();
    sim.write(kMarks, std::string("\xff\xff\xff\x7f\x00\x00\x80\xbf", 8));  // NaN and -1
    playScheduled();
    EXPECT_EQ(std::make_pair(st().playout.EomMark, st().playout.TrimMark),
              std::make_pair(0.f, 0.f));
    playScheduled();  // a second play while on air does nothing
    EXPECT_EQ(audio().playStarts().size(), 1u);
}

// The list is built again while its first entry plays, with an earlier programme first.
TEST_F(PlayoutTest, ThePlaylistEntryThatPlayedLeavesTheListWhereverItIs) {
    sim.makeWave(kWave, 10);
    list({{"11:00:00  NEWS HOUR                ", 7}, {"11:30:00  LATE                     ", 8}});
    PlayFromPlaylist(st());
    st().main.PlayList.insert(st().main.PlayList.begin(),
                              {"10:30:00  EARLY                    ", 9});
    sim.runTo(Monday(12, 0, 11));
    EXPECT_EQ(st().main.PlayList,
              (std::vector<PlaylistEntry>{{"10:30:00  EARLY                    ", 9},
                                          {"11:30:00  LATE                     ", 8}}));
    EXPECT_TRUE(st().main.Label1Visible);
}

// 0 s: a file too short to be a recording (99 bytes, then none), dropped without a word.
TEST_F(PlayoutTest, APlaylistEntryLeavesWhenPlayedOrTooShortAndTheLastHidesTheList) {
    const struct {
        double waveSeconds;
        std::size_t entries;
        int index;
        const char* notice;
    } kRows[] = {
        {0, 2, 0, ""}, {0, 1, -1, "  No Schedules to Play"}, {5, 1, -1, "No Schedules to Play"}};
    for (const auto& r : kRows) {
        SCOPED_TRACE(r.notice);
        if (r.waveSeconds > 0)
            sim.makeWave(kWave, r.waveSeconds);
        else
            sim.write(kWave, std::string(r.entries == 2 ? 99 : 0, 'x'));
        list({{"11:00:00  NEWS HOUR                ", 7},
              {"11:30:00  OTHER                    ", 9}});
        st().main.PlayList.resize(r.entries);
        st().main.lblPlayDay.clear();
        PlayFromPlaylist(st());
        sim.loop.advance(6'000);
        EXPECT_EQ(st().main.PlayList.size(), r.entries - 1);
        EXPECT_EQ(st().main.PlayListIndex, r.index);
        EXPECT_EQ(st().main.Label1Visible || st().main.cmdPlayVisible || st().main.cmdStopVisible,
                  r.entries > 1);
        EXPECT_EQ(st().main.lblPlayDay, r.notice);
        EXPECT_EQ(sim.exists(kWave), r.waveSeconds > 0);
    }
    EXPECT_TRUE(sim.errors.messages.empty());
}

}  // namespace
