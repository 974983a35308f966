#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "AudioStation.h"
#include "audio/Playout.h"
#include "audio/SoundFiles.h"
#include "core/PlayoutSequences.h"

using namespace quillmar;
using namespace quillmar::testing;
using ::testing::ElementsAre;
using ::testing::StartsWith;

namespace {

class PlayoutTest : public AudioStation {
  protected:
    explicit PlayoutTest(DateTime start = Monday(12)) : AudioStation(start) {}
    std::vector<std::string> eomOn() const {
        std::vector<std::string> out;
        for (const auto& w : sim.eomWrites)
            if (w.on) out.push_back(w.at);
        return out;
    }
    void list(std::vector<PlaylistEntry> entries) {
        st().main.PlayList = std::move(entries);
        st().main.Label1Visible = st().main.cmdPlayVisible = st().main.cmdStopVisible = true;
    }
};

TEST_F(PlayoutTest, TheTrimMarkEndsPlaybackAtItsMillisecond) {
    sim.makeWave(kWave, 150);
    setMarks(0, 120.5f);
    playScheduled();
    ASSERT_EQ(audio().playStarts().size(), 1u);
    EXPECT_EQ(audio().playStarts()[0].device, st().Settings.ProgramPlayCard);
    sim.runTo(Monday(12, 2, 0, 499));
    EXPECT_EQ(st().playout.PlayState, PlayState::Timed);
    sim.runTo(Monday(12, 2, 0, 501));
    EXPECT_EQ(st().playout.PlayState, PlayState::Idle);
    EXPECT_EQ(sim.count("PlayerFinished"), 1);
    // No EOM mark: due at the file's end, but the trimmed end came first and pulsed it.
    EXPECT_THAT(eomOn(), ElementsAre("12:02:00.5"));
    EXPECT_THAT(sim.log("AL"), ElementsAre("12:00:00  Play " + kName));
}

// The EOM pulses once: at start + length, at the EOM mark, or at Play Stop.
TEST_F(PlayoutTest, TheEomPulsesOnceAtTheMarkTheEndOrTheStop) {
    const struct {
        int minute;  // of the start, after 12:00
        double waveSeconds;
        float eomMark;
        int stopAtSecond;  // 0: no stop
        double eomTime;
        const char* pulse;
    } kRows[] = {{0, 30, 0, 0, 43230, "12:00:30"},
                 {2, 60, 20, 0, 43340, "12:02:20"},
                 {4, 60, 0, 5, 43500, "12:04:05"}};
    for (const auto& r : kRows) {
        SCOPED_TRACE(r.pulse);
        sim.eomWrites.clear();
        sim.runTo(Monday(12, r.minute));
        sim.makeWave(kWave, r.waveSeconds);
        setMarks(r.eomMark, 0);
        playScheduled();
        EXPECT_NEAR(st().playout.EomTime, r.eomTime, 0.001);
        EXPECT_TRUE(st().Audio.PlayMetersVisible);
        EXPECT_EQ(st().Audio.cmdPlayColour, ButtonColour::LightGreen);
        if (r.stopAtSecond) {
            sim.runTo(Monday(12, r.minute, r.stopAtSecond));
            StopPlayout(st());
        }
        sim.runTo(Monday(12, r.minute + 1, 30));
        EXPECT_THAT(eomOn(), ElementsAre(StartsWith(r.pulse)));
        EXPECT_EQ(st().main.lblPlayTime, "     ");
        EXPECT_FALSE(st().Audio.PlayMetersVisible);
        EXPECT_EQ(st().Audio.cmdPlayColour, ButtonColour::AsLaidOut);
    }
}

TEST_F(PlayoutTest, AMissingOrUnopenableFileIsReportedAndNothingIsOnAir) {
    playScheduled();
    sim.write(kWave, std::string(200, 'x'));  // no wave file
    playScheduled();
    sim.makeWave(kWave, 10);
    audio().failPlayerOpen("*");
    playScheduled();
    EXPECT_EQ(st().playout.PlayState, PlayState::Idle);
    EXPECT_TRUE(audio().playStarts().empty());
    EXPECT_THAT(sim.errors.messages,
                ElementsAre(kWave + " does not exist", StartsWith("Cannot play " + kWave + ": "),
                            "Cannot play " + kWave + ": The file cannot be opened"));
}

TEST_F(PlayoutTest, AGarbledMarksFileIsReadAsNoMarks) {
    sim.makeWave(kWave, 10);
    sim.write(kMarks, std::string("\xff\xff\xff\x7f\x00\x00\x80\xbf", 8));  // NaN and -1
    playScheduled();
    EXPECT_EQ(std::make_pair(st().playout.EomMark, st().playout.TrimMark),
              std::make_pair(0.f, 0.f));
    playScheduled();  // a second play while on air does nothing
    EXPECT_EQ(audio().playStarts().size(), 1u);
}

TEST_F(PlayoutTest, TheFirstPlaylistEntryPlaysAndLeavesTheListWhenFinished) {
    sim.makeWave(kWave, 10);
    list({{"11:00:00  NEWS HOUR                ", 7}, {"11:30:00  LATE                     ", 8}});
    PlayFromPlaylist(st());
    EXPECT_EQ(st().playout.PlayState, PlayState::Playlist);
    EXPECT_EQ(st().playout.PlayingEntryRecordNo, 7);
    // The list is built again while it plays, with an earlier programme first.
    st().main.PlayList.insert(st().main.PlayList.begin(),
                              {"10:30:00  EARLY                    ", 9});
    sim.runTo(Monday(12, 0, 11));
    EXPECT_EQ(st().playout.PlayState, PlayState::Idle);
    EXPECT_EQ(st().main.PlayList,
              (std::vector<PlaylistEntry>{{"10:30:00  EARLY                    ", 9},
                                          {"11:30:00  LATE                     ", 8}}));
    EXPECT_TRUE(st().main.Label1Visible);
}

TEST_F(PlayoutTest, AMissingOrTinyPlaylistFileIsDroppedSilently) {
    sim.write(kWave, std::string(99, 'x'));
    list({{"11:00:00  NEWS HOUR                ", 7}, {"11:30:00  OTHER                    ", 9}});
    PlayFromPlaylist(st());
    EXPECT_EQ(st().playout.PlayState, PlayState::Idle);
    EXPECT_FALSE(sim.exists(kWave));
    EXPECT_EQ(st().main.PlayList.size(), 1u);
    EXPECT_EQ(st().main.PlayListIndex, 0);
    EXPECT_TRUE(sim.errors.messages.empty());
}

TEST_F(PlayoutTest, TheLastPlaylistEntryLeavingHidesTheListAndButtons) {
    for (const double waveSeconds : {0.0, 5.0}) {  // 0: a file too short to be a recording
        SCOPED_TRACE(waveSeconds);
        if (waveSeconds > 0)
            sim.makeWave(kWave, waveSeconds);
        else
            sim.write(kWave, std::string(99, 'x'));
        list({{"11:00:00  NEWS HOUR                ", 7}});
        PlayFromPlaylist(st());
        sim.loop.advance(6'000);
        EXPECT_TRUE(st().main.PlayList.empty());
        EXPECT_EQ(st().main.PlayListIndex, -1);
        EXPECT_FALSE(st().main.Label1Visible || st().main.cmdPlayVisible ||
                     st().main.cmdStopVisible);
        EXPECT_EQ(st().main.lblPlayDay,
                  waveSeconds > 0 ? "No Schedules to Play" : "  No Schedules to Play");
    }
}

struct MidnightPlayoutTest : PlayoutTest {
    MidnightPlayoutTest() : PlayoutTest(Monday(23, 59, 50)) {}
};

TEST_F(MidnightPlayoutTest, AnEomTimePastMidnightPulsesInTheNewDayForASecond) {
    const auto tuesday = [](int s, int ms) { return DateTime::from(2026, 12, 8, 0, 0, s, ms); };
    const auto relay = [&] { return st().remote.RemoteOutputBits & 1; };
    sim.makeWave(kWave, 60);
    setMarks(30, 0);
    playScheduled();
    EXPECT_NEAR(st().playout.EomTime, 86420.0, 0.001);
    sim.runTo(tuesday(0, 500));
    EXPECT_NEAR(st().playout.EomTime, 20.0, 0.001);
    sim.runTo(tuesday(20, 500));
    EXPECT_EQ(relay(), 0);
    sim.runTo(tuesday(20, 550));
    EXPECT_EQ(relay(), 1);
    sim.runTo(tuesday(21, 500));
    EXPECT_EQ(relay(), 1);
    sim.runTo(tuesday(21, 600));
    EXPECT_EQ(relay(), 0);
    EXPECT_THAT(eomOn(), ElementsAre("00:00:20.5"));
}

}  // namespace
