#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "AudioFixture.h"
#include "audio/AudioState.h"
#include "audio/Audition.h"
#include "audio/Playout.h"
#include "audio/SoundFiles.h"
#include "core/PlayoutSequences.h"

using namespace quillmar;
using namespace quillmar::testing;
using ::testing::ElementsAre;

namespace {

const std::string kWave = "C:\\SATFILE\\SFMON007.WAV";
const std::string kMarks = "C:\\SATFILE\\SFMON007.DAT";

class AuditionTest : public AudioTest {
  protected:
    AuditionTest() : AudioTest(Monday(12)) {
        ScheduleFields deleted = RecordedSchedule();
        deleted.InUse = ScheduleSlot::Deleted;
        put(3, deleted);
        put(7, RecordedSchedule());
        st().Settings.AuditionPlayCard = 1;
        audition = OpenAudition(st());
    }
    void marks(float eom, float trim) {
        std::string error;
        ASSERT_TRUE(WriteSoundMark(st().platform.files, kMarks, 1, eom, &error)) << error;
        ASSERT_TRUE(WriteSoundMark(st().platform.files, kMarks, 2, trim, &error)) << error;
    }
    void selectMonday7() {
        audition->lstDay_Click(1);
        audition->lstSchedule_Click(0);
    }
    void advance(std::int64_t ms) { sim->loop.advance(ms); }

    std::unique_ptr<Audition> audition;
};

TEST_F(AuditionTest, ListsTheProgrammesInUseWithTheirNumbers) {
    ASSERT_EQ(audition->lstSchedule.size(), 1u);
    EXPECT_EQ(audition->lstSchedule[0].recordNo, 7);
    EXPECT_EQ(audition->cmdPauseColour, ButtonColour::PaleYellow);
    selectMonday7();
    EXPECT_EQ(audition->lblNumber, "7");
    EXPECT_EQ(audition->lblWave, std::string(11, ' '));
}

TEST_F(AuditionTest, PlayAsksForAProgrammeThenADayThenAFile) {
    audition->cmdPlay_Click();
    audition->lstSchedule_Click(0);
    audition->cmdPlay_Click();
    audition->lstDay_Click(1);
    sim->write(kWave, "");
    audition->cmdPlay_Click();
    EXPECT_THAT(sim->errors.messages,
                ElementsAre("Select a Program", "Select a Day", "File does not exist"));
    EXPECT_FALSE(sim->exists(kWave));  // the empty file is removed
    EXPECT_FALSE(st().playout.AuditionPlaying);
}

TEST_F(AuditionTest, TrimWhilePlayingPullsAnEomBeyondItBackAndStops) {
    makeWave(kWave, 150);
    marks(120, 0);
    selectMonday7();
    audition->cmdPlay_Click();
    EXPECT_TRUE(st().playout.AuditionPlaying);
    EXPECT_EQ(audio().playStarts().back().device, 1);
    EXPECT_EQ(audition->cmdPlayColour, ButtonColour::LightGreen);
    EXPECT_EQ(audition->TrackBarMax, 150'000);
    advance(95'200);
    audition->cmdTrim_Click();
    EXPECT_FLOAT_EQ(audition->AuditionTrim, 95.2f);
    EXPECT_FLOAT_EQ(audition->AuditionEom, 95.2f);
    EXPECT_FALSE(st().playout.AuditionPlaying);
    EXPECT_EQ(audition->focus, Audition::Focus::Play);
    const SoundMarks m = ReadSoundMarks(st().platform.files, kMarks);
    EXPECT_FLOAT_EQ(m.EomMark, 95.2f);
    EXPECT_FLOAT_EQ(m.TrimMark, 95.2f);
}

TEST_F(AuditionTest, TrimWhileStoppedPutsBothMarksBackAtTheEnd) {
    makeWave(kWave, 150);
    marks(60, 90);
    selectMonday7();
    audition->cmdPlay_Click();
    audition->cmdStopPlay_Click();
    audition->cmdTrim_Click();
    const SoundMarks m = ReadSoundMarks(st().platform.files, kMarks);
    EXPECT_FLOAT_EQ(m.EomMark, 150.0f);
    EXPECT_FLOAT_EQ(m.TrimMark, 150.0f);
}

TEST_F(AuditionTest, MarksSetWhileStoppedTakeTheLengthOfTheirOwnFile) {
    const std::string tuesdayWave = "C:\\SATFILE\\SFTUE007.WAV";
    const std::string tuesdayMarks = "C:\\SATFILE\\SFTUE007.DAT";
    makeWave(kWave, 150);
    makeWave(tuesdayWave, 60);
    selectMonday7();
    audition->cmdPlay_Click();
    audition->cmdStopPlay_Click();
    // Files, Export takes Tuesday's recording without playing it.
    audition->lstDay_Click(2);
    EXPECT_FALSE(audition->ExportFile().empty());
    audition->cmdEOM_RightRelease();
    EXPECT_FLOAT_EQ(ReadSoundMarks(st().platform.files, tuesdayMarks).EomMark, 60.0f);
    audition->cmdTrim_Click();
    EXPECT_FLOAT_EQ(ReadSoundMarks(st().platform.files, tuesdayMarks).TrimMark, 60.0f);
}

TEST_F(AuditionTest, EomButtonsActOnlyInTheirState) {
    makeWave(kWave, 150);
    marks(60, 0);
    selectMonday7();
    audition->cmdPlay_Click();
    advance(10'000);
    audition->cmdEOM_RightRelease();  // right while playing: nothing
    EXPECT_FLOAT_EQ(ReadSoundMarks(st().platform.files, kMarks).EomMark, 60.0f);
    audition->cmdEOM_Click();
    EXPECT_NEAR(ReadSoundMarks(st().platform.files, kMarks).EomMark, 10.0f, 0.01);
    audition->cmdStopPlay_Click();
    audition->cmdEOM_Click();  // left while stopped: nothing
    EXPECT_NEAR(ReadSoundMarks(st().platform.files, kMarks).EomMark, 10.0f, 0.01);
    audition->cmdEOM_RightRelease();
    EXPECT_FLOAT_EQ(ReadSoundMarks(st().platform.files, kMarks).EomMark, 150.0f);
}

TEST_F(AuditionTest, WithNoEomMarkTheCountdownRunsToTheEndOfTheFile) {
    makeWave(kWave, 90);
    selectMonday7();
    audition->cmdPlay_Click();
    advance(30'050);
    EXPECT_EQ(audition->lblTime, "00:30");
    EXPECT_EQ(audition->lblDown, "01:00");
    EXPECT_EQ(audition->TrackBarValue / 100, 300);
    advance(61'000);
    // Playback ended at the file's end.
    EXPECT_FALSE(st().playout.AuditionPlaying);
    EXPECT_EQ(audition->cmdEOMColour, ButtonColour::Blue);
    EXPECT_EQ(audition->lblTime, "    ");
}

TEST_F(AuditionTest, TheSliderSeeksWhenReleasedAndIsNotMovedWhileHeld) {
    makeWave(kWave, 90);
    selectMonday7();
    audition->cmdPlay_Click();
    audition->TrackBar_Pressed();
    advance(1'000);
    EXPECT_EQ(audition->TrackBarValue, 0);
    audition->TrackBar_Released(60'000);
    advance(1'000);
    EXPECT_NEAR(static_cast<double>(audition->TrackBarValue), 61'000, 150);
    EXPECT_EQ(audition->cmdEOMColour, ButtonColour::Blue);
}

TEST_F(AuditionTest, PauseAndResume) {
    makeWave(kWave, 90);
    selectMonday7();
    audition->cmdPlay_Click();
    advance(5'000);
    audition->cmdPause_Click();
    EXPECT_EQ(audition->cmdPauseColour, ButtonColour::Yellow);
    EXPECT_EQ(audition->cmdPlayColour, ButtonColour::Green);
    advance(5'000);
    audition->cmdPlay_Click();
    EXPECT_EQ(audition->cmdPauseColour, ButtonColour::PaleYellow);
    advance(1'000);
    EXPECT_NEAR(static_cast<double>(audition->TrackBarValue), 6'000, 150);
}

TEST_F(AuditionTest, TheProgrammeCardAndTheAuditionCardShareOnlyWhenTheyAreTheSame) {
    makeWave(kWave, 90);
    st().Settings.AuditionPlayCard = st().Settings.ProgramPlayCard;
    selectMonday7();
    audition->cmdPlay_Click();
    // A playout on the same card is refused while the audition plays.
    st().next.play.emplace();
    st().next.play->recordNo = 7;
    PlayScheduled(st());
    EXPECT_EQ(st().playout.PlayState, PlayState::Idle);
    audition->cmdStopPlay_Click();
    PlayScheduled(st());
    EXPECT_EQ(st().playout.PlayState, PlayState::Timed);
    // And the audition is refused while the playout runs.
    audition->cmdPlay_Click();
    EXPECT_FALSE(st().playout.AuditionPlaying);
    EXPECT_THAT(sim->errors.messages, ElementsAre(kAlreadyPlaying, kAlreadyPlaying));
}

TEST_F(AuditionTest, ClosingStopsThePlayer) {
    makeWave(kWave, 90);
    selectMonday7();
    audition->cmdPlay_Click();
    audition.reset();
    EXPECT_FALSE(st().playout.AuditionPlaying);
    EXPECT_EQ(audio().playingPlayers(), 0);
}

}  // namespace
