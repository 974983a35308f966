#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "AudioStation.h"
#include "audio/AudioState.h"
#include "audio/Audition.h"
#include "audio/Playout.h"
#include "audio/SoundFiles.h"
#include "core/PlayoutSequences.h"

using namespace quillmar;
using namespace quillmar::testing;
using ::testing::ElementsAre;

namespace {

class AuditionTest : public AudioStation {
  protected:
    AuditionTest() : AudioStation(Monday(12)) {
        ScheduleFields deleted = RecordedSchedule();
        deleted.InUse = ScheduleSlot::Deleted;
        put(3, deleted);
        st().Settings.AuditionPlayCard = 1;
        audition = OpenAudition(st());
    }
    // Monday's programme 7, a wave of `seconds`, playing.
    void play(double seconds) {
        sim.makeWave(kWave, seconds);
        audition->lstDay_Click(1);
        audition->lstSchedule_Click(0);
        audition->cmdPlay_Click();
    }
    std::unique_ptr<Audition> audition;
};

TEST_F(AuditionTest, PlayAsksForAProgrammeThenADayThenAFile) {
    ASSERT_EQ(audition->lstSchedule.size(), 1u);  // not the deleted programme
    audition->cmdPlay_Click();
    audition->lstSchedule_Click(0);
    audition->cmdPlay_Click();
    audition->lstDay_Click(1);
    audition->lstDay_Click(-1);  // days off the list leave Monday chosen
    audition->lstDay_Click(7);
    sim.write(kWave, "");
    audition->cmdPlay_Click();
    EXPECT_THAT(sim.errors.messages,
                ElementsAre("Select a Program", "Select a Day", "File does not exist"));
    EXPECT_FALSE(sim.exists(kWave));  // the empty file is removed
}

// 150 s played for 95.2 s (then stopped, in stopped rows); a trim pulls a later EOM back, stops.
TEST_F(AuditionTest, EachMarkButtonActsOnlyInItsState) {
    const struct {
        bool stopped;
        void (Audition::*button)();
        float eomBefore, trimBefore, eomAfter, trimAfter;
        bool playingAfter;
    } kRows[] = {{false, &Audition::cmdEOM_Click, 60, 0, 95.2f, 0, true},
                 {false, &Audition::cmdEOM_RightRelease, 60, 0, 60, 0, true},
                 {false, &Audition::cmdTrim_Click, 120, 0, 95.2f, 95.2f, false},
                 {false, &Audition::cmdTrim_Click, 60, 0, 60, 95.2f, false},
                 {true, &Audition::cmdEOM_Click, 60, 0, 60, 0, false},
                 {true, &Audition::cmdEOM_RightRelease, 60, 0, 150, 0, false},
                 {true, &Audition::cmdTrim_Click, 60, 90, 150, 150, false}};
    for (const auto& r : kRows) {
        SCOPED_TRACE(&r - kRows);
        setMarks(r.eomBefore, r.trimBefore);
        play(150);
        sim.loop.advance(95'200);
        if (r.stopped) audition->cmdStopPlay_Click();
        (audition.get()->*r.button)();
        EXPECT_NEAR(marks().EomMark, r.eomAfter, 0.01);
        EXPECT_NEAR(marks().TrimMark, r.trimAfter, 0.01);
        EXPECT_EQ(st().playout.AuditionPlaying, r.playingAfter);
        EXPECT_EQ(audition->focus, r.playingAfter ? Audition::Focus::Stop : Audition::Focus::Play);
    }
}

TEST_F(AuditionTest, MarksSetWhileStoppedTakeTheLengthOfTheirOwnFile) {
    const std::string tuesdayMarks = "C:\\SATFILE\\SFTUE007.DAT";
    sim.makeWave("C:\\SATFILE\\SFTUE007.WAV", 60);
    play(150);
    audition->cmdStopPlay_Click();
    audition->lstDay_Click(2);  // Files, Export takes Tuesday's recording without playing it
    EXPECT_EQ(audition->ExportFile(), "C:\\satfile\\SFTue007.wav");
    audition->cmdTrim_Click();
    const SoundMarks m = ReadSoundMarks(sim.files, tuesdayMarks);
    EXPECT_EQ(std::make_pair(m.EomMark, m.TrimMark), std::make_pair(60.f, 60.f));
    sim.files.fail(tuesdayMarks, EACCES);
    audition->cmdEOM_RightRelease();
    EXPECT_THAT(sim.errors.messages,
                ElementsAre(std::string("Cannot write the marks file C:\\satfile\\SFTue007.dat: ") +
                            std::strerror(EACCES)));
}

TEST_F(AuditionTest, PauseHoldsThePlaceTheCountdownRunsToTheEomAndTheSliderSeeksWhenReleased) {
    play(90);
    EXPECT_EQ(audio().playStarts().back().device, 1);
    EXPECT_EQ(audition->cmdPlayColour, ButtonColour::LightGreen);
    sim.loop.advance(5'000);
    audition->cmdPause_Click();
    EXPECT_EQ(std::make_pair(audition->cmdPauseColour, audition->cmdPlayColour),
              std::make_pair(ButtonColour::Yellow, ButtonColour::Green));
    sim.loop.advance(5'000);
    audition->cmdPlay_Click();
    EXPECT_EQ(audition->cmdPauseColour, ButtonColour::PaleYellow);
    sim.loop.advance(25'050);
    // With no EOM mark the countdown runs to the end of the file.
    EXPECT_EQ(audition->lblTime + " " + audition->lblDown, "00:30 01:00");
    audition->TrackBar_Pressed();  // not moved while held
    sim.loop.advance(1'000);
    EXPECT_EQ(audition->TrackBarValue / 100, 300);
    audition->TrackBar_Released(60'000);
    audition->cmdEOM_Click();
    sim.loop.advance(1'000);
    EXPECT_NEAR(static_cast<double>(audition->TrackBarValue), 61'000, 150);
    EXPECT_EQ(audition->cmdEOMColour, ButtonColour::Cyan);  // past the EOM
    sim.loop.advance(30'000);
    EXPECT_FALSE(st().playout.AuditionPlaying);  // ended at the file's end
    EXPECT_EQ(audition->cmdEOMColour, ButtonColour::Blue);
    EXPECT_EQ(audition->lblTime, "    ");
    audition->cmdPause_Click();  // does nothing once stopped
    EXPECT_EQ(audition->cmdPauseColour, ButtonColour::PaleYellow);
    audition->cmdPlay_Click();
    audition.reset();  // closing stops the player
    EXPECT_EQ(audio().playingPlayers(), 0);
}

TEST_F(AuditionTest, TheProgrammeCardAndTheAuditionCardShareOnlyWhenTheyAreTheSame) {
    st().Settings.AuditionPlayCard = st().Settings.ProgramPlayCard;
    play(90);
    playScheduled();  // refused while the audition plays on the same card
    EXPECT_EQ(st().playout.PlayState, PlayState::Idle);
    audition->cmdStopPlay_Click();
    playScheduled();
    audition->cmdPlay_Click();  // refused while the playout runs
    EXPECT_FALSE(st().playout.AuditionPlaying);
    EXPECT_THAT(sim.errors.messages, ElementsAre(kAlreadyPlaying, kAlreadyPlaying));
    StopPlayout(st());  // on cards of their own both go ahead
    st().Settings.AuditionPlayCard = st().Settings.ProgramPlayCard + 1;
    audition->cmdPlay_Click();
    playScheduled();
    EXPECT_EQ(std::make_pair(st().playout.AuditionPlaying, st().playout.PlayState),
              std::make_pair(true, PlayState::Timed));
}

}  // namespace
