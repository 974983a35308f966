#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>

#include "AudioStation.h"
#include "audio/Recording.h"
#include "audio/SoundFiles.h"
#include "core/ManualControls.h"
#include "core/RecordingSequences.h"

using namespace quillmar;
using namespace quillmar::testing;
using ::testing::ElementsAre;
using ::testing::MatchesRegex;

namespace {

TEST(SoundFileNames, FollowTheWeekdayAndRecordNumber) {
    StationSettings settings;
    settings.WaveDriveLetter = "C";
    const struct {
        int weekday, recordNo;
        bool upper;
        std::string wave, marks;
    } kRows[] = {
        {2, 7, true, "C:\\SATFILE\\SFMON007.WAV", "C:\\SATFILE\\SFMON007.DAT"},
        {7, 123, false, "C:\\satfile\\SFSat123.wav", "C:\\satfile\\SFSat123.dat"},
    };
    for (const auto& r : kRows) {
        EXPECT_EQ(SoundFileName(settings, r.weekday, r.recordNo, r.upper), r.wave);
        EXPECT_EQ(MarksFileName(r.wave), r.marks);
    }
    const std::pair<const char*, int> kLengths[] = {
        {"05:30", 330}, {"90:00", 5400}, {"     ", 0}, {"ab:cd", 0}, {"", 0}};
    for (const auto& [text, seconds] : kLengths) EXPECT_EQ(ProgramLengthSeconds(text), seconds);
}

class RecordingTest : public AudioStation {
  protected:
    SoundMarks marks() { return ReadSoundMarks(st().platform.files, kMarks); }
};

TEST_F(RecordingTest, TheCueRunsTwiceBeforeTheRecordTimeWithItsRelayResets) {
    st().Settings.ResetExpansionRelays = 1;
    sim.runTo(Monday(9, 59, 59));
    EXPECT_THAT(sim.serial.commands,
                ElementsAre("SETAUDIO 3 S ENG 0  ", "ER D 1", "SETAUDIO 3 S ENG 0  ", "ER D 1"));
    EXPECT_THAT(
        sim.log("AL"),
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

TEST_F(RecordingTest, TheFirstLoudBufferStartsTheRecordingWhichStopsAtItsLength) {
    // Silence until 10:00:20, then a right channel above the threshold until 10:02:00.
    sim.inputAt(Monday(10, 0, 20), {0, 5000});
    sim.inputAt(Monday(10, 2, 0), {0, 0});
    sim.runTo(Monday(10, 0, 1));
    EXPECT_EQ(st().recorder.RecordState, RecordState::WaitingForAudio);
    EXPECT_EQ(st().main.lblRecordName, "Waiting for Audio");
    EXPECT_EQ(st().main.cmdRecordCaption, "Ready");
    EXPECT_EQ(sim.readWave(kWave).frames(), 0);

    sim.runTo(Monday(10, 0, 21));
    EXPECT_EQ(st().recorder.RecordState, RecordState::Recording);
    EXPECT_EQ(st().main.cmdRecordCaption, "Recording");
    EXPECT_EQ(st().main.lblRecordName, "Recording " + kName);
    EXPECT_NEAR(st().recorder.RecordStartTime, 36020.0, 0.05);
    EXPECT_EQ(st().recorder.RecordStopTime, 36350);

    sim.runTo(Monday(10, 6, 0));
    EXPECT_EQ(st().recorder.RecordState, RecordState::Idle);
    ASSERT_EQ(sim.count("StopRecording"), 1);
    const WaveData wave = sim.readWave(kWave);
    EXPECT_EQ(wave.channels, 2);
    EXPECT_NEAR(static_cast<double>(wave.frames()) / kSampleRate, 330.0, 1.1);
    // The buffer that crossed the threshold is the file's first: left silent, right loud.
    ASSERT_GE(wave.frames(), 1024);
    int left = 0, right = 0;
    for (std::int64_t f = 0; f < 1024; ++f) {
        left = std::max(left, std::abs(static_cast<int>(wave.at(f, 0))));
        right = std::max(right, std::abs(static_cast<int>(wave.at(f, 1))));
    }
    EXPECT_EQ(left, 0);
    EXPECT_EQ(right, 5000);
    // Both marks at the last loud buffer.
    EXPECT_NEAR(marks().EomMark, 100.0, 0.05);
    EXPECT_EQ(marks().TrimMark, marks().EomMark);
    EXPECT_THAT(sim.log("AL"), ::testing::Contains("10:00:20  Record " + kName));
    EXPECT_EQ(sim.log("AL").back(), "10:05:50  Stop   " + kName + " 01:40");
    // A silence to the end raises the alarm but logs nothing.
    EXPECT_TRUE(sim.log("ER").empty());
    EXPECT_EQ(sim.count("CheckExport"), 1);
    EXPECT_EQ(st().main.lblRecordName, std::string(40, ' '));
    EXPECT_EQ(st().main.cmdRecordCaption, "Record");
    EXPECT_EQ(st().main.cmdRecordColour, MainWindowModel::ButtonColour::Maroon);
    EXPECT_FALSE(st().Audio.RecordMetersVisible);
}

// 30 s of input from the record time (a relay recording: from its arm at 09:59), then a stop.
struct Onset {
    const char* name;
    ScheduleRoute route;
    SimTone input;
    bool relay;
    RecordState during;
    int channels;
    double seconds;  // of the wave file and of the EOM mark; 0: neither written
};

class RecordingOnset : public AudioStation, public ::testing::WithParamInterface<Onset> {};

TEST_P(RecordingOnset, WritesFromTheFirstBufferAboveTheThresholdOrTheRecordInput) {
    const Onset& o = GetParam();
    ScheduleFields f = RecordedSchedule();
    f.Route = o.route;
    if (o.relay) f.RecordStart = ScheduleStart::Manual;
    put(7, f);
    DateTime from = Monday(10);
    if (o.relay) {
        st().next.record.emplace();
        st().next.record->recordNo = 7;
        st().next.record->slot = 1;
        CueRecording(st());
        ArmRecording(st());
        EXPECT_TRUE(st().recorder.RelayRecordArmed);
        EnableRecordWriter(st().recorder);
        from = sim.now();
    }
    sim.inputAt(from, o.input);
    sim.runTo(from);
    sim.loop.advance(30'000);
    EXPECT_EQ(st().recorder.RecordState, o.during);
    if (o.during == RecordState::WaitingForAudio) {
        EXPECT_EQ(sim.count("StartRecording"), 0);
    }
    StopRecording(st());
    sim.loop.runPending();
    EXPECT_EQ(st().recorder.RecordState, RecordState::Idle);
    EXPECT_EQ(sim.readWave(kWave).channels, o.channels);
    EXPECT_NEAR(seconds(kWave), o.seconds, 0.2);
    EXPECT_EQ(sim.exists(kMarks), o.seconds > 0);
    if (o.seconds > 0) {
        EXPECT_NEAR(ReadSoundMarks(sim.files, kMarks).EomMark, o.seconds, 0.2);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RecordingOnset,
    ::testing::Values(Onset{"RightAloneAbove",
                            ScheduleRoute::Stereo,
                            {0, 5000},
                            false,
                            RecordState::Recording,
                            2,
                            30},
                      Onset{"AtTheThresholdIsNotAbove",
                            ScheduleRoute::Stereo,
                            {1000, 999},
                            false,
                            RecordState::WaitingForAudio,
                            0,
                            0},
                      Onset{"RouteOneRecordsMono",
                            ScheduleRoute::Left,
                            {5000, 0},
                            false,
                            RecordState::Recording,
                            1,
                            30},
                      // Its marks are its own length, though no buffer crossed the threshold.
                      Onset{"RelayRecordsQuietInput",
                            ScheduleRoute::Stereo,
                            {100, 100},
                            true,
                            RecordState::WaitingForAudio,
                            2,
                            30}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecordingTest, ARecordingThatNeverHearsAudioIsDumpedAfterItsLength) {
    sim.runTo(Monday(10, 5, 29));
    EXPECT_EQ(st().recorder.RecordState, RecordState::WaitingForAudio);
    sim.runTo(Monday(10, 5, 32));
    EXPECT_EQ(st().recorder.RecordState, RecordState::Idle);
    EXPECT_EQ(sim.count("DumpRecording"), 1);
    EXPECT_EQ(sim.log("AL").back(), "10:05:30  Dump " + kName);
    EXPECT_FALSE(sim.exists(kWave));
    EXPECT_FALSE(sim.exists(kMarks));
    EXPECT_EQ(sim.count("CheckExport"), 0);
    EXPECT_EQ(st().main.cmdRecordCaption, "Record");
}

TEST_F(RecordingTest, SilenceOfMoreThanFiveSecondsIsLoggedWhenAudioReturns) {
    sim.inputAt(Monday(10, 0, 0), {5000, 5000});
    sim.inputAt(Monday(10, 1, 0), {0, 0});
    sim.inputAt(Monday(10, 1, 30), {5000, 5000});
    sim.runTo(Monday(10, 1, 20));
    // The alarm is raised but not written while the silence lasts.
    EXPECT_TRUE(st().recorder.AudioAlarm);
    EXPECT_THAT(st().recorder.SilenceAlarmTime, MatchesRegex("10:01:0[56]"));
    EXPECT_TRUE(sim.log("ER").empty());
    // Another error meanwhile does not move the alarm's start.
    st().Settings.RemoteControl = 1;
    sim.ports.failure = "No such device";
    sim.runTo(Monday(10, 1, 31));
    EXPECT_FALSE(st().recorder.AudioAlarm);
    EXPECT_THAT(sim.log("ER"),
                ElementsAre(MatchesRegex("10:01:2.  Remote-control port failed: No such device"),
                            MatchesRegex("10:01:0[56]  NEWS HOUR +Audio Alarm 01:00"),
                            "10:01:30  " + kName + " End Alarm   01:30", "  "));
}

class MidnightRecordingTest : public AudioStation {
  protected:
    MidnightRecordingTest() : AudioStation(Monday(23, 58, 0)) {
        ScheduleFields f = RecordedSchedule();
        f.RecordTimes[1] = "23:59:00";
        put(7, f);
    }
};

TEST_F(MidnightRecordingTest, ASilenceAcrossMidnightLogsItsTimesFromTheStartOfTheRecording) {
    const auto tuesday = [](int h, int m, int s) { return DateTime::from(2026, 12, 8, h, m, s); };
    sim.inputAt(Monday(23, 59, 0), {5000, 5000});
    sim.inputAt(Monday(23, 59, 30), {0, 0});
    sim.inputAt(tuesday(0, 0, 20), {5000, 5000});
    sim.runTo(tuesday(0, 0, 21));
    EXPECT_THAT(sim.log("ER"),
                ElementsAre(MatchesRegex("23:59:3[56]  NEWS HOUR +Audio Alarm 00:30"),
                            "00:00:20  " + kName + " End Alarm   01:20", "  "));
}

TEST_F(RecordingTest, ABusyLoopOrAStalledDiskDelaysNoTickAndLosesNoAudio) {
    sim.inputAt(Monday(10, 0, 0), {5000, 5000});
    sim.runTo(Monday(10, 0, 10));
    // The loop is busy for 3 s (a slow serial query), then the disk stalls until released.
    sim.loop.stall(3000);
    sim.runTo(Monday(10, 0, 15));
    audio().stallWriter();
    for (int i = 0; i < 300; ++i) {
        const std::int64_t before = st().tick.LastTickAt;
        sim.loop.advance(50);
        ASSERT_EQ(st().tick.LastTickAt - before, 50) << i;
    }
    EXPECT_EQ(st().main.lblRecordTimer, "00:30");
    // A stop waits for the file to be written and closed.
    StopRecording(st());
    sim.runTo(Monday(10, 0, 35));
    EXPECT_EQ(sim.count("CheckExport"), 0);
    EXPECT_FALSE(sim.exists(kMarks));
    audio().releaseWriter();
    sim.loop.runPending();
    EXPECT_EQ(st().recorder.RecordState, RecordState::Idle);
    EXPECT_EQ(sim.count("CheckExport"), 1);
    EXPECT_NEAR(seconds(kWave), 30.0, 0.1);
    EXPECT_NEAR(marks().EomMark, 30.0, 0.1);
    EXPECT_TRUE(sim.log("ER").empty());
}

TEST_F(RecordingTest, OverrunsOfTheCaptureRingAreWrittenToTheErrorLog) {
    audio().setRingBuffers(50);  // about 1.2 s
    sim.inputAt(Monday(10, 0, 0), {5000, 5000});
    sim.runTo(Monday(10, 0, 10));
    audio().stallWriter(3000);
    sim.runTo(Monday(10, 0, 14));
    ASSERT_FALSE(sim.log("ER").empty());
    EXPECT_THAT(
        sim.log("ER")[0],
        MatchesRegex("10:00:1[0-9]  NEWS HOUR +Audio lost: [0-9]+ capture buffers dropped"));
}

TEST_F(RecordingTest, AMarksFileThatCannotBeWrittenIsLoggedAndTheStopGoesOn) {
    sim.files.fail(kMarks, EACCES);
    sim.inputAt(Monday(10, 0, 0), {5000, 5000});
    sim.runTo(Monday(10, 0, 20));
    StopRecording(st());
    sim.loop.runPending();
    EXPECT_EQ(st().recorder.RecordState, RecordState::Idle);
    EXPECT_THAT(sim.log("ER"), ElementsAre("10:00:20  Cannot write the marks file " + kMarks +
                                           ": " + std::strerror(EACCES)));
    EXPECT_EQ(sim.log("AL").back(), "10:00:20  Stop   " + kName + " 00:20");
    EXPECT_EQ(sim.count("CheckExport"), 1);
}

TEST_F(RecordingTest, AWaitEndedWithoutAudioLeavesLastWeeksRecordingWhole) {
    std::string error;
    ASSERT_TRUE(WriteSoundMark(st().platform.files, kMarks, 1, 300, &error)) << error;
    ASSERT_TRUE(WriteSoundMark(st().platform.files, kMarks, 2, 310, &error)) << error;
    sim.write(kWave, "last week's audio");
    sim.runTo(Monday(10, 0, 10));
    ASSERT_EQ(st().main.lblRecordName, "Waiting for Audio");
    cmdRecStop_Click(st());
    sim.loop.runPending();
    // The wait ends as a dump does: nothing exported, the wave file and marks untouched.
    EXPECT_EQ(st().recorder.RecordState, RecordState::Idle);
    EXPECT_EQ(sim.count("CheckExport"), 0);
    EXPECT_FLOAT_EQ(marks().EomMark, 300);
    EXPECT_FLOAT_EQ(marks().TrimMark, 310);
    EXPECT_EQ(sim.read(kWave), "last week's audio");
    EXPECT_EQ(sim.log("AL").back(), "10:00:10  Dump " + kName);
}

TEST_F(RecordingTest, StopAndDumpWithNothingArmedDoNothing) {
    StopRecording(st());
    DumpRecording(st());
    EXPECT_FALSE(sim.exists(kMarks));
    EXPECT_TRUE(sim.log("AL").empty());
}

TEST_F(RecordingTest, ARecordPressWhileRecordingDoesNotRestartTheWait) {
    sim.inputAt(Monday(10, 0, 0), {5000, 5000});
    sim.runTo(Monday(10, 0, 30));
    ArmRecording(st());
    EXPECT_EQ(st().recorder.RecordState, RecordState::Recording);
    EXPECT_EQ(st().recorder.RecordStopTime, 36330);
}

TEST_F(RecordingTest, TheNextCueDuringARecordingDoesNotRedirectItsMarks) {
    // Schedule 8 recorded at 10:05:30, right after schedule 7.
    ScheduleFields next = RecordedSchedule();
    next.ProgramName = "LATE SHOW";
    next.ProgramName.resize(25, ' ');
    next.RecordTimes[1] = "10:05:30";
    next.RecordStart = ScheduleStart::Manual;
    put(8, next);
    // Audio ends 20 s before the stop: the marks stay at the last loud buffer.
    sim.inputAt(Monday(10, 0, 0), {5000, 5000});
    sim.inputAt(Monday(10, 5, 10), {0, 0});
    sim.runTo(Monday(10, 6, 0));
    EXPECT_EQ(sim.count("StopRecording"), 1);
    EXPECT_NEAR(marks().EomMark, 310.0, 0.05);
    EXPECT_NEAR(marks().TrimMark, 310.0, 0.05);
    EXPECT_FALSE(sim.exists("C:\\SATFILE\\SFMON008.DAT"));
    EXPECT_EQ(sim.log("AL").back(), "10:05:30  Stop   " + kName + " 05:10");
}

TEST_F(RecordingTest, ShutdownStopsARunningRecordingAsRecStopDoes) {
    sim.inputAt(Monday(10, 0, 0), {5000, 5000});
    sim.runTo(Monday(10, 0, 40));
    bool ended = false;
    ShutdownRecording(st(), [&] { ended = true; });
    EXPECT_FALSE(ended);
    sim.loop.runPending();
    EXPECT_TRUE(ended);
    EXPECT_EQ(st().recorder.RecordState, RecordState::Idle);
    EXPECT_NEAR(marks().EomMark, 40.0, 0.1);
    EXPECT_EQ(sim.log("AL").back(), "10:00:40  Stop   " + kName + " 00:40");
}

}  // namespace
