#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "AudioFixture.h"
#include "audio/Playout.h"
#include "audio/SoundFiles.h"
#include "core/PlayoutSequences.h"

using namespace quillmar;
using namespace quillmar::testing;
using ::testing::ElementsAre;

namespace {

const std::string kWave = "C:\\SATFILE\\SFMON007.WAV";
const std::string kMarks = "C:\\SATFILE\\SFMON007.DAT";

class PlayoutTest : public AudioTest {
  protected:
    explicit PlayoutTest(DateTime start = Monday(12)) : AudioTest(start) {
        put(7, RecordedSchedule());
    }
    void marks(float eom, float trim) {
        std::string error;
        ASSERT_TRUE(WriteSoundMark(st().platform.files, kMarks, 1, eom, &error)) << error;
        ASSERT_TRUE(WriteSoundMark(st().platform.files, kMarks, 2, trim, &error)) << error;
    }
    void playScheduled() {
        st().next.play.emplace();
        st().next.play->recordNo = 7;
        PlayScheduled(st());
    }
    std::vector<std::string> eomOn() const {
        std::vector<std::string> out;
        for (const auto& w : eomWrites)
            if (w.on) out.push_back(w.at);
        return out;
    }
};

TEST_F(PlayoutTest, TheTrimMarkEndsPlaybackAtItsMillisecond) {
    makeWave(kWave, 150);
    marks(0, 120.5f);
    playScheduled();
    ASSERT_EQ(st().playout.PlayState, PlayState::Timed);
    ASSERT_EQ(audio().playStarts().size(), 1u);
    EXPECT_EQ(audio().playStarts()[0].device, st().Settings.ProgramPlayCard);
    EXPECT_EQ(st().recorder.Chains.WavePlayer->lengthMs(), 150'000);
    runTo(Monday(12, 2, 0, 499));
    EXPECT_EQ(st().playout.PlayState, PlayState::Timed);
    runTo(Monday(12, 2, 0, 501));
    EXPECT_EQ(st().playout.PlayState, PlayState::Idle);
    EXPECT_EQ(count("PlayerFinished"), 1);
    // No EOM mark: due at the file's end, but the trimmed end came first and pulsed it.
    EXPECT_THAT(eomOn(), ElementsAre("12:02:00.5"));
    EXPECT_THAT(log("AL"), ElementsAre("12:00:00  Play NEWS HOUR                "));
}

TEST_F(PlayoutTest, WithoutMarksTheEomPulsesOnceAtStartPlusLength) {
    makeWave(kWave, 30);
    playScheduled();
    EXPECT_NEAR(st().playout.EomTime, 43230.0, 0.001);
    runTo(Monday(12, 1, 0));
    // The tick pulses after start + length; the finished event that follows sends no second.
    ASSERT_EQ(eomOn().size(), 1u);
    EXPECT_THAT(eomOn()[0], ::testing::StartsWith("12:00:30"));
    EXPECT_EQ(st().playout.PlayState, PlayState::Idle);
    EXPECT_EQ(st().remote.RemoteOutputBits & 1, 0);  // the one-second pulse is over
    EXPECT_EQ(st().main.lblPlayTime, "     ");
    EXPECT_FALSE(st().Audio.PlayMetersVisible);
    EXPECT_EQ(st().Audio.cmdPlayColour,
              ButtonColour::AsLaidOut);  // not green once the playout is over
}

TEST_F(PlayoutTest, AnEomMarkPulsesBeforeTheEnd) {
    makeWave(kWave, 60);
    marks(20, 0);
    playScheduled();
    EXPECT_TRUE(st().Audio.PlayMetersVisible);
    EXPECT_EQ(st().Audio.cmdPlayColour, ButtonColour::LightGreen);
    runTo(Monday(12, 0, 40));
    EXPECT_THAT(eomOn(), ElementsAre(::testing::StartsWith("12:00:20")));
    runTo(Monday(12, 1, 10));
    EXPECT_EQ(eomOn().size(), 1u);
}

TEST_F(PlayoutTest, AMissingFileForATimedPlayIsNamed) {
    playScheduled();
    EXPECT_EQ(st().playout.PlayState, PlayState::Idle);
    EXPECT_THAT(sim->errors.messages, ElementsAre(kWave + " does not exist"));
    EXPECT_TRUE(audio().playStarts().empty());
}

TEST_F(PlayoutTest, AGarbledMarksFileIsReadAsNoMarks) {
    makeWave(kWave, 10);
    sim->write(kMarks, std::string("\xff\xff\xff\x7f\x00\x00\x80\xbf", 8));  // NaN and -1
    playScheduled();
    EXPECT_EQ(st().playout.EomMark, 0.0f);
    EXPECT_EQ(st().playout.TrimMark, 0.0f);
    EXPECT_EQ(st().playout.PlayState, PlayState::Timed);
}

TEST_F(PlayoutTest, AFileThePlayerCannotOpenIsReportedAndNothingIsOnAir) {
    makeWave(kWave, 10);
    audio().failPlayerOpen("*");
    playScheduled();
    EXPECT_EQ(st().playout.PlayState, PlayState::Idle);
    ASSERT_EQ(sim->errors.messages.size(), 1u);
    EXPECT_THAT(sim->errors.messages[0], ::testing::StartsWith("Cannot play " + kWave));
}

TEST_F(PlayoutTest, NothingStartsOverAnAuditionOnTheSameCard) {
    makeWave(kWave, 10);
    st().playout.AuditionPlaying = true;
    playScheduled();
    EXPECT_THAT(sim->errors.messages, ElementsAre(kAlreadyPlaying));
    EXPECT_EQ(st().playout.PlayState, PlayState::Idle);
    // On another card the playout goes ahead.
    st().Settings.AuditionPlayCard = 1;
    playScheduled();
    EXPECT_EQ(st().playout.PlayState, PlayState::Timed);
}

TEST_F(PlayoutTest, ASecondPlayWhileOnAirDoesNothing) {
    makeWave(kWave, 10);
    playScheduled();
    playScheduled();
    EXPECT_EQ(audio().playStarts().size(), 1u);
}

TEST_F(PlayoutTest, PlayStopEndsThePlayoutAsTheFinishedEventDoes) {
    makeWave(kWave, 60);
    playScheduled();
    runTo(Monday(12, 0, 5));
    StopPlayout(st());
    EXPECT_EQ(st().playout.PlayState, PlayState::Idle);
    EXPECT_THAT(eomOn(), ElementsAre(::testing::StartsWith("12:00:05")));
    runTo(Monday(12, 2, 0));
    EXPECT_EQ(eomOn().size(), 1u);
}

class PlaylistPlayoutTest : public PlayoutTest {
  protected:
    void list(std::vector<PlaylistEntry> entries) {
        st().main.PlayList = std::move(entries);
        st().main.Label1Visible = true;
        st().main.cmdPlayVisible = st().main.cmdStopVisible = true;
    }
};

TEST_F(PlaylistPlayoutTest, TheFirstEntryPlaysAndLeavesTheListWhenFinished) {
    makeWave(kWave, 10);
    makeWave("C:\\SATFILE\\SFMON008.WAV", 10);
    list({{"11:00:00  NEWS HOUR                ", 7}, {"11:30:00  LATE                     ", 8}});
    PlayFromPlaylist(st());
    EXPECT_EQ(st().playout.PlayState, PlayState::Playlist);
    EXPECT_EQ(st().playout.PlayingEntryRecordNo, 7);
    EXPECT_EQ(st().main.PlayListIndex, 0);
    runTo(Monday(12, 0, 11));
    EXPECT_EQ(st().playout.PlayState, PlayState::Idle);
    ASSERT_EQ(st().main.PlayList.size(), 1u);
    EXPECT_EQ(st().main.PlayList[0].recordNo, 8);
    EXPECT_TRUE(st().main.Label1Visible);
}

TEST_F(PlaylistPlayoutTest, TheEntryThatPlayedLeavesEvenWhenTheListChangedMeanwhile) {
    makeWave(kWave, 10);
    list({{"11:00:00  NEWS HOUR                ", 7}, {"11:30:00  LATE                     ", 8}});
    PlayFromPlaylist(st());
    // The list is built again while it plays, with an earlier programme first.
    st().main.PlayList.insert(st().main.PlayList.begin(),
                              {"10:30:00  EARLY                    ", 9});
    runTo(Monday(12, 0, 11));
    EXPECT_EQ(st().playout.PlayState, PlayState::Idle);
    EXPECT_EQ(st().main.PlayList,
              (std::vector<PlaylistEntry>{{"10:30:00  EARLY                    ", 9},
                                          {"11:30:00  LATE                     ", 8}}));
}

TEST_F(PlaylistPlayoutTest, AMissingOrTinyFileIsDroppedSilently) {
    sim->write(kWave, std::string(99, 'x'));
    list({{"11:00:00  NEWS HOUR                ", 7}, {"11:30:00  OTHER                    ", 9}});
    PlayFromPlaylist(st());
    EXPECT_EQ(st().playout.PlayState, PlayState::Idle);
    EXPECT_FALSE(sim->exists(kWave));
    ASSERT_EQ(st().main.PlayList.size(), 1u);
    EXPECT_EQ(st().main.PlayListIndex, 0);
    EXPECT_TRUE(sim->errors.messages.empty());
    // The last entry going hides the list and both buttons.
    PlayFromPlaylist(st());
    EXPECT_TRUE(st().main.PlayList.empty());
    EXPECT_FALSE(st().main.Label1Visible);
    EXPECT_FALSE(st().main.cmdPlayVisible);
    EXPECT_FALSE(st().main.cmdStopVisible);
    EXPECT_EQ(st().main.lblPlayDay, "  No Schedules to Play");
    EXPECT_TRUE(sim->errors.messages.empty());
}

TEST_F(PlaylistPlayoutTest, TheLastEntryFinishingHidesTheListAndButtons) {
    makeWave(kWave, 5);
    list({{"11:00:00  NEWS HOUR                ", 7}});
    PlayFromPlaylist(st());
    runTo(Monday(12, 0, 6));
    EXPECT_TRUE(st().main.PlayList.empty());
    EXPECT_FALSE(st().main.Label1Visible);
    EXPECT_FALSE(st().main.cmdPlayVisible);
    EXPECT_FALSE(st().main.cmdStopVisible);
    EXPECT_EQ(st().main.lblPlayDay, "No Schedules to Play");
}

class MidnightPlayoutTest : public PlayoutTest {
  protected:
    MidnightPlayoutTest() : PlayoutTest(Monday(23, 59, 50)) {}
};

TEST_F(MidnightPlayoutTest, AnEomTimePastMidnightPulsesInTheNewDay) {
    makeWave(kWave, 60);
    marks(30, 0);
    playScheduled();
    EXPECT_NEAR(st().playout.EomTime, 86420.0, 0.001);
    runTo(DateTime::from(2026, 12, 8, 0, 0, 1));
    EXPECT_NEAR(st().playout.EomTime, 20.0, 0.001);
    runTo(DateTime::from(2026, 12, 8, 0, 0, 30));
    EXPECT_THAT(eomOn(), ElementsAre(::testing::StartsWith("00:00:20")));
}

}  // namespace
