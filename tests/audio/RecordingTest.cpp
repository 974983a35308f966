#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "AudioFixture.h"
#include "audio/Recording.h"
#include "audio/SoundFiles.h"
#include "core/ManualControls.h"
#include "core/RecordingSequences.h"

using namespace quillmar;
using namespace quillmar::testing;
using ::testing::ElementsAre;
using ::testing::MatchesRegex;

namespace {

const std::string kName = "NEWS HOUR                ";
const std::string kWave = "C:\\SATFILE\\SFMON007.WAV";
const std::string kMarks = "C:\\SATFILE\\SFMON007.DAT";

class RecordingTest : public AudioTest {
  protected:
    RecordingTest() { put(7, RecordedSchedule()); }
    SoundMarks marks() { return ReadSoundMarks(st().platform.files, kMarks); }
};

TEST(SoundFileNames, FollowTheWeekdayAndRecordNumberInUpperCase) {
    SimStation s;
    s.start();
    s.st().Settings.WaveDriveLetter = "C";
    EXPECT_EQ(SoundFileName(s.st().Settings, 2, 7), "C:\\SATFILE\\SFMON007.WAV");
    EXPECT_EQ(MarksFileName(SoundFileName(s.st().Settings, 2, 7)), "C:\\SATFILE\\SFMON007.DAT");
    EXPECT_EQ(SoundFileName(s.st().Settings, 7, 123, false), "C:\\satfile\\SFSat123.wav");
    EXPECT_EQ(MarksFileName("C:\\satfile\\SFSat123.wav"), "C:\\satfile\\SFSat123.dat");
}

TEST(SoundFileNames, ProgramLengthsReadMinutesAndSeconds) {
    EXPECT_EQ(ProgramLengthSeconds("05:30"), 330);
    EXPECT_EQ(ProgramLengthSeconds("90:00"), 5400);
    EXPECT_EQ(ProgramLengthSeconds("     "), 0);
    EXPECT_EQ(ProgramLengthSeconds("ab:cd"), 0);
    EXPECT_EQ(ProgramLengthSeconds(""), 0);
}

TEST_F(RecordingTest, TheCueRunsTwiceBeforeTheRecordTimeWithItsRelayResets) {
    // Given relay resets on, and schedule 7 on port 3 due at 10:00:00.
    st().Settings.ResetExpansionRelays = 1;
    // When the clock reaches the record time.
    runTo(Monday(9, 59, 59));
    // Then the receiver got the cue about 14 s and 4 s ahead, each with relay 1 reset.
    EXPECT_THAT(sim->serial.commands,
                ElementsAre("SETAUDIO 3 S ENG 0  ", "ER D 1", "SETAUDIO 3 S ENG 0  ", "ER D 1"));
    EXPECT_THAT(
        log("AL"),
        ElementsAre(MatchesRegex("09:59:45  SETAUDIO 3 S ENG 0  "), "09:59:45  Turn off Relay 1",
                    MatchesRegex("09:59:55  SETAUDIO 3 S ENG 0  "), "09:59:55  Turn off Relay 1"));
    ASSERT_TRUE(st().recorder.Cued);
    EXPECT_EQ(st().recorder.Cued->seconds, 330);
    EXPECT_EQ(st().recorder.Cued->file, kWave);
    EXPECT_EQ(st().recorder.Cued->marksFile, kMarks);
    EXPECT_EQ(st().main.lblRecordName, "Cue " + kName);
    EXPECT_TRUE(st().Audio.RecordMetersVisible);
    EXPECT_EQ(st().recorder.RecordState, RecordState::Idle);
}

TEST_F(RecordingTest, ALoudRightChannelAloneStartsTheRecordingWhichStopsAtItsLength) {
    // Given silence until 10:00:20, then a right channel above the threshold until 10:02:00.
    inputAt(Monday(10, 0, 20), {0, 5000});
    inputAt(Monday(10, 2, 0), {0, 0});
    runTo(Monday(10, 0, 1));
    // Then the capture waits for audio.
    EXPECT_EQ(st().recorder.RecordState, RecordState::WaitingForAudio);
    EXPECT_EQ(st().main.lblRecordName, "Waiting for Audio");
    EXPECT_EQ(st().main.cmdRecordCaption, "Ready");
    EXPECT_FALSE(sim->exists(kWave) && ReadWaveInfo(sim->files, kWave).frames > 0);

    runTo(Monday(10, 0, 21));
    EXPECT_EQ(st().recorder.RecordState, RecordState::Recording);
    EXPECT_EQ(st().main.cmdRecordCaption, "Recording");
    EXPECT_EQ(st().main.lblRecordName, "Recording " + kName);
    EXPECT_NEAR(st().recorder.RecordStartTime, 36020.0, 0.05);
    EXPECT_EQ(st().recorder.RecordStopTime, 36350);

    // When the recording runs on past its length.
    runTo(Monday(10, 6, 0));
    // Then it stopped just after 330 s, with both marks at the last loud buffer.
    EXPECT_EQ(st().recorder.RecordState, RecordState::Idle);
    ASSERT_EQ(count("StopRecording"), 1);
    const WaveInfo wave = ReadWaveInfo(sim->files, kWave);
    ASSERT_TRUE(wave.ok);
    EXPECT_EQ(wave.channels, 2);
    EXPECT_NEAR(static_cast<double>(wave.frames) / kSampleRate, 330.0, 1.1);
    // The buffer that crossed the threshold is the first one written: the file's first
    // buffer holds the onset, with the left channel silent.
    ASSERT_EQ(wave.first.size(), 2048u);
    int left = 0, right = 0;
    for (std::size_t k = 0; k < wave.first.size(); k += 2) {
        left = std::max(left, std::abs(static_cast<int>(wave.first[k])));
        right = std::max(right, std::abs(static_cast<int>(wave.first[k + 1])));
    }
    EXPECT_EQ(left, 0);
    EXPECT_EQ(right, 5000);
    EXPECT_NEAR(marks().EomMark, 100.0, 0.05);
    EXPECT_EQ(marks().TrimMark, marks().EomMark);
    EXPECT_THAT(log("AL"), ::testing::Contains("10:00:20  Record " + kName));
    EXPECT_EQ(log("AL").back(), "10:05:50  Stop   " + kName + " 01:40");
    // A silence to the end raises the alarm but logs nothing.
    EXPECT_TRUE(log("ER").empty());
    EXPECT_EQ(count("CheckExport"), 1);
    EXPECT_EQ(st().main.lblRecordName, std::string(40, ' '));
    EXPECT_EQ(st().main.cmdRecordCaption, "Record");
    EXPECT_EQ(st().main.cmdRecordColour, MainWindowModel::ButtonColour::Maroon);  // 128
    EXPECT_FALSE(st().Audio.RecordMetersVisible);
}

TEST_F(RecordingTest, QuietChannelsBelowTheThresholdNeverStartIt) {
    inputAt(Monday(10, 0, 0), {1000, 999});  // at the threshold is not above it
    runTo(Monday(10, 3, 0));
    EXPECT_EQ(st().recorder.RecordState, RecordState::WaitingForAudio);
    EXPECT_EQ(count("StartRecording"), 0);
}

TEST_F(RecordingTest, ARecordingThatNeverHearsAudioIsDumpedAfterItsLength) {
    runTo(Monday(10, 5, 29));
    EXPECT_EQ(st().recorder.RecordState, RecordState::WaitingForAudio);
    runTo(Monday(10, 5, 32));
    EXPECT_EQ(st().recorder.RecordState, RecordState::Idle);
    EXPECT_EQ(count("DumpRecording"), 1);
    EXPECT_EQ(log("AL").back(), "10:05:30  Dump " + kName);
    // Nothing was recorded: no wave file to play in its place, no marks, no export.
    EXPECT_FALSE(sim->exists(kWave));
    EXPECT_FALSE(sim->exists(kMarks));
    EXPECT_EQ(count("CheckExport"), 0);
    EXPECT_EQ(st().main.cmdRecordCaption, "Record");
}

TEST_F(RecordingTest, RouteOneRecordsMono) {
    ScheduleFields f = RecordedSchedule();
    f.Route = ScheduleRoute::Left;
    put(7, f);
    inputAt(Monday(10, 0, 0), {5000, 0});
    runTo(Monday(10, 0, 30));
    StopRecording(st());
    sim->loop.runPending();
    const WaveInfo wave = ReadWaveInfo(sim->files, kWave);
    EXPECT_EQ(wave.channels, 1);
    EXPECT_NEAR(static_cast<double>(wave.frames) / kSampleRate, 30.0, 0.2);
}

TEST_F(RecordingTest, SilenceOfMoreThanFiveSecondsIsLoggedAsThreeLinesWhenAudioReturns) {
    // Given audio from the start, a silence from 10:01:00 to 10:01:30, then audio again.
    inputAt(Monday(10, 0, 0), {5000, 5000});
    inputAt(Monday(10, 1, 0), {0, 0});
    inputAt(Monday(10, 1, 30), {5000, 5000});
    runTo(Monday(10, 1, 20));
    // Then the alarm is raised but not written while the silence lasts.
    EXPECT_TRUE(st().recorder.AudioAlarm);
    EXPECT_THAT(st().recorder.SilenceAlarmTime, MatchesRegex("10:01:0[56]"));
    EXPECT_TRUE(log("ER").empty());
    runTo(Monday(10, 1, 31));
    EXPECT_FALSE(st().recorder.AudioAlarm);
    EXPECT_THAT(log("ER"), ElementsAre(MatchesRegex("10:01:0[56]  NEWS HOUR +Audio Alarm 01:00"),
                                       "10:01:30  " + kName + " End Alarm   01:30", "  "));
}

TEST_F(RecordingTest, AnotherErrorDuringASilenceDoesNotMoveTheAlarmsStartTime) {
    inputAt(Monday(10, 0, 0), {5000, 5000});
    inputAt(Monday(10, 1, 0), {0, 0});
    inputAt(Monday(10, 1, 30), {5000, 5000});
    runTo(Monday(10, 1, 20));
    st().Settings.RemoteControl = 1;
    sim->ports.failure = "No such device";
    runTo(Monday(10, 1, 31));
    const auto lines = log("ER");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_THAT(lines[0], MatchesRegex("10:01:2.  Remote-control port failed: No such device"));
    EXPECT_THAT(lines[1], MatchesRegex("10:01:0[56]  NEWS HOUR +Audio Alarm 01:00"));
}

class MidnightRecordingTest : public AudioTest {
  protected:
    MidnightRecordingTest() : AudioTest(Monday(23, 58, 0)) {
        ScheduleFields f = RecordedSchedule();
        f.RecordTimes[1] = "23:59:00";
        put(7, f);
    }
};

TEST_F(MidnightRecordingTest, ASilenceAcrossMidnightLogsItsTimesFromTheStartOfTheRecording) {
    const auto tuesday = [](int h, int m, int s) { return DateTime::from(2026, 12, 8, h, m, s); };
    inputAt(Monday(23, 59, 0), {5000, 5000});
    inputAt(Monday(23, 59, 30), {0, 0});
    inputAt(tuesday(0, 0, 20), {5000, 5000});
    runTo(tuesday(0, 0, 21));
    EXPECT_THAT(log("ER"), ElementsAre(MatchesRegex("23:59:3[56]  NEWS HOUR +Audio Alarm 00:30"),
                                       "00:00:20  " + kName + " End Alarm   01:20", "  "));
}

TEST_F(RecordingTest, AudioThatEndsTwentySecondsBeforeTheStopLeavesTheMarksAtTheLastLoudBuffer) {
    inputAt(Monday(10, 0, 0), {5000, 5000});
    inputAt(Monday(10, 5, 10), {0, 0});
    runTo(Monday(10, 6, 0));
    EXPECT_EQ(count("StopRecording"), 1);
    EXPECT_NEAR(marks().EomMark, 310.0, 0.05);
    EXPECT_NEAR(marks().TrimMark, 310.0, 0.05);
}

TEST_F(RecordingTest, ABusyLoopOrAStalledDiskDelaysNoTickAndLosesNoAudio) {
    // Given a recording under way.
    inputAt(Monday(10, 0, 0), {5000, 5000});
    runTo(Monday(10, 0, 10));
    // When the loop is busy for 3 s (a slow serial query), then the disk stalls for 20 s.
    sim->loop.stall(3000);
    runTo(Monday(10, 0, 15));
    audio().stallWriter();  // until released
    // Then the clock ticks every 50 ms meanwhile, and the recording time goes on.
    for (int i = 0; i < 300; ++i) {
        const std::int64_t before = st().tick.LastTickAt;
        sim->loop.advance(50);
        ASSERT_EQ(st().tick.LastTickAt - before, 50) << i;
    }
    EXPECT_EQ(st().main.lblRecordTimer, "00:30");
    // A stop waits for the file to be written and closed.
    StopRecording(st());
    runTo(Monday(10, 0, 35));
    EXPECT_EQ(count("CheckExport"), 0);
    EXPECT_FALSE(sim->exists(kMarks));
    audio().releaseWriter();
    sim->loop.runPending();
    EXPECT_EQ(st().recorder.RecordState, RecordState::Idle);
    EXPECT_EQ(count("CheckExport"), 1);
    // And every buffer up to the stop reached the file, none reported lost.
    const WaveInfo wave = ReadWaveInfo(sim->files, kWave);
    EXPECT_NEAR(static_cast<double>(wave.frames) / kSampleRate, 30.0, 0.1);
    EXPECT_NEAR(marks().EomMark, 30.0, 0.1);
    EXPECT_TRUE(log("ER").empty());
}

TEST_F(RecordingTest, OverrunsOfTheCaptureRingAreWrittenToTheErrorLog) {
    audio().setRingBuffers(50);  // about 1.2 s
    inputAt(Monday(10, 0, 0), {5000, 5000});
    runTo(Monday(10, 0, 10));
    audio().stallWriter(3000);
    runTo(Monday(10, 0, 14));
    ASSERT_FALSE(log("ER").empty());
    EXPECT_THAT(
        log("ER")[0],
        MatchesRegex("10:00:1[0-9]  NEWS HOUR +Audio lost: [0-9]+ capture buffers dropped"));
}

TEST_F(RecordingTest, ACardThatVanishesEndsTheRecordingWithAPlayableFileAndItsMarks) {
    inputAt(Monday(10, 0, 0), {5000, 5000});
    runTo(Monday(10, 1, 0));
    audio().vanishInput("device unplugged");
    runTo(Monday(10, 1, 1));
    EXPECT_EQ(st().recorder.RecordState, RecordState::Idle);
    ASSERT_EQ(sim->errors.messages.size(), 1u);
    EXPECT_EQ(sim->errors.messages[0], kName + " Recording ended: device unplugged");
    EXPECT_THAT(log("ER"),
                ElementsAre("10:01:00  " + kName + " Recording ended: device unplugged"));
    EXPECT_NEAR(static_cast<double>(ReadWaveInfo(sim->files, kWave).frames) / kSampleRate, 60.0,
                0.1);
    EXPECT_NEAR(marks().EomMark, 60.0, 0.1);
    EXPECT_EQ(log("AL").back(), "10:01:00  Stop   " + kName + " 01:00");
    // The station goes on to the next event.
    EXPECT_NE(st().next.record->dateText, DateTextSlashed(Monday(10).date));
}

TEST_F(RecordingTest, AFullDiskEndsTheRecordingCleanly) {
    audio().failWritesAfterMs(45'000);
    inputAt(Monday(10, 0, 0), {5000, 5000});
    runTo(Monday(10, 1, 0));
    EXPECT_EQ(st().recorder.RecordState, RecordState::Idle);
    ASSERT_EQ(sim->errors.messages.size(), 1u);
    EXPECT_THAT(sim->errors.messages[0],
                MatchesRegex(".*Recording ended: Cannot write .*No space left on device"));
    EXPECT_NEAR(marks().EomMark, 45.0, 0.1);
    EXPECT_NEAR(static_cast<double>(ReadWaveInfo(sim->files, kWave).frames) / kSampleRate, 45.0,
                0.1);
}

TEST_F(RecordingTest, AMissingCardIsReportedAndTheWaitIsDumped) {
    audio().failCaptureStart("no such device");
    runTo(Monday(10, 0, 1));
    EXPECT_EQ(st().recorder.RecordState, RecordState::Idle);
    ASSERT_EQ(sim->errors.messages.size(), 1u);
    EXPECT_EQ(sim->errors.messages[0], "Cannot record " + kWave + ": no such device");
    // The arm runs at count 0, up to half a second early; it is not retried on every tick.
    EXPECT_EQ(log("AL").back(), "09:59:59  Dump " + kName);
    EXPECT_EQ(count("DumpRecording"), 1);
}

TEST_F(RecordingTest, AWaitEndedWithoutAudioLeavesLastWeeksRecordingWhole) {
    // Given last week's recording and marks of the programme
    std::string error;
    ASSERT_TRUE(WriteSoundMark(st().platform.files, kMarks, 1, 300, &error)) << error;
    ASSERT_TRUE(WriteSoundMark(st().platform.files, kMarks, 2, 310, &error)) << error;
    ASSERT_TRUE(sim->files.writeFile(kWave, "last week's audio", &error)) << error;
    // When Rec Stop is pressed while the recording still waits for audio
    runTo(Monday(10, 0, 10));
    ASSERT_EQ(st().main.lblRecordName, "Waiting for Audio");
    cmdRecStop_Click(st());
    sim->loop.runPending();
    // Then the wait ends as a dump does: nothing exported, the wave file and marks untouched
    EXPECT_EQ(st().recorder.RecordState, RecordState::Idle);
    EXPECT_EQ(count("CheckExport"), 0);
    EXPECT_FLOAT_EQ(marks().EomMark, 300);
    EXPECT_FLOAT_EQ(marks().TrimMark, 310);
    EXPECT_EQ(sim->read(kWave), "last week's audio");
    EXPECT_EQ(log("AL").back(), "10:00:10  Dump " + kName);
}

TEST_F(RecordingTest, StopAndDumpWithNothingArmedDoNothing) {
    StopRecording(st());
    DumpRecording(st());
    EXPECT_FALSE(sim->exists(kMarks));
    EXPECT_TRUE(log("AL").empty());
}

TEST_F(RecordingTest, ARecordPressWhileRecordingDoesNotRestartTheWait) {
    inputAt(Monday(10, 0, 0), {5000, 5000});
    runTo(Monday(10, 0, 30));
    ArmRecording(st());
    EXPECT_EQ(st().recorder.RecordState, RecordState::Recording);
    EXPECT_EQ(st().recorder.RecordStopTime, 36330);
}

TEST_F(RecordingTest, TheNextCueDuringARecordingDoesNotRedirectItsMarks) {
    // Given schedule 8 recorded on Mondays at 10:05:30, right after schedule 7.
    ScheduleFields next = RecordedSchedule();
    next.ProgramName = "LATE SHOW";
    next.ProgramName.resize(25, ' ');
    next.RecordTimes[1] = "10:05:30";
    next.RecordStart = ScheduleStart::Manual;
    put(8, next);
    inputAt(Monday(10, 0, 0), {5000, 5000});
    runTo(Monday(10, 6, 0));
    // Then schedule 7 stopped at its length into its own marks file, under its own name.
    EXPECT_EQ(count("StopRecording"), 1);
    EXPECT_NEAR(marks().EomMark, 330.0, 0.1);
    EXPECT_FALSE(sim->exists("C:\\SATFILE\\SFMON008.DAT"));
    EXPECT_EQ(log("AL").back(), "10:05:30  Stop   " + kName + " 05:30");
}

TEST_F(RecordingTest, ARelayControlledRecordingWritesFromTheRecordInput) {
    ScheduleFields f = RecordedSchedule();
    f.RecordStart = ScheduleStart::Manual;
    put(7, f);
    st().next.record.emplace();
    st().next.record->recordNo = 7;
    st().next.record->slot = 1;
    CueRecording(st());
    ArmRecording(st());
    EXPECT_TRUE(st().recorder.RelayRecordArmed);
    inputAt(Monday(9, 59, 10), {100, 100});  // quiet, below the threshold
    EnableRecordWriter(st().recorder);
    runTo(Monday(9, 59, 20));
    EXPECT_EQ(st().recorder.RecordState, RecordState::WaitingForAudio);
    StopRecording(st());
    sim->loop.runPending();
    EXPECT_NEAR(static_cast<double>(ReadWaveInfo(sim->files, kWave).frames) / kSampleRate, 20.0,
                0.1);
    // Its marks are its own length, though no buffer crossed the threshold.
    EXPECT_NEAR(marks().EomMark, 20.0, 0.1);
}

TEST_F(RecordingTest, ShutdownStopsARunningRecordingAsRecStopDoes) {
    inputAt(Monday(10, 0, 0), {5000, 5000});
    runTo(Monday(10, 0, 40));
    bool ended = false;
    ShutdownRecording(st(), [&] { ended = true; });
    EXPECT_FALSE(ended);
    sim->loop.runPending();
    EXPECT_TRUE(ended);
    EXPECT_EQ(st().recorder.RecordState, RecordState::Idle);
    EXPECT_NEAR(marks().EomMark, 40.0, 0.1);
    EXPECT_EQ(log("AL").back(), "10:00:40  Stop   " + kName + " 00:40");
}

}  // namespace
