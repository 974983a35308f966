#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "AudioStation.h"
#include "audio/Recording.h"
#include "audio/SoundFiles.h"
#include "core/ManualControls.h"
#include "core/ReceiverSequences.h"
#include "core/RecordingSequences.h"

using namespace quillmar;
using namespace quillmar::testing;
using ::testing::_;
using ::testing::ElementsAre;
using ::testing::MatchesRegex;

namespace {

TEST(SoundFiles, NamesFollowTheWeekdayAndLengthsReadMinutesAndSeconds) {
    StationSettings settings;
    settings.WaveDriveLetter = "C";
    EXPECT_EQ(SoundFileName(settings, 7, 123, false), "C:\\satfile\\SFSat123.wav");
    for (const auto& [text, seconds] :
         {std::pair{"05:30", 330}, {"90:00", 5400}, {"ab:cd", 0}, {"", 0}})
        EXPECT_EQ(ProgramLengthSeconds(text), seconds) << text;
}

class RecordingTest : public AudioStation {
  protected:
    explicit RecordingTest(DateTime start = Monday(9, 59, 0)) : AudioStation(start) {}
    void loudFrom(DateTime at) { sim.inputAt(at, {5000, 5000}); }
    void recordFor(int seconds) {  // of loud input from the record time
        loudFrom(Monday(10));
        sim.runTo(Monday(10, 0, seconds));
    }
};

TEST_F(RecordingTest, TheCueRunsTwiceThenTheFirstLoudBufferStartsARecordingOfItsLength) {
    StopRecording(st());  // nothing armed yet: neither does anything
    DumpRecording(st());
    sim.inputAt(Monday(10, 0, 20), {0, 5000});
    sim.inputAt(Monday(10, 2, 0), {0, 0});
    sim.runTo(Monday(9, 59, 59));
    EXPECT_THAT(sim.log("AL"), ElementsAre(MatchesRegex("09:59:45  SETAUDIO 3 S ENG 0  "),
                                           MatchesRegex("09:59:55  SETAUDIO 3 S ENG 0  ")));
    EXPECT_EQ(st().main.lblRecordName, "Cue " + kName);
    EXPECT_TRUE(st().Audio.RecordMetersVisible);
    sim.runTo(Monday(10, 0, 1));
    EXPECT_EQ(st().main.lblRecordName, "Waiting for Audio");
    sim.runTo(Monday(10, 0, 21));
    EXPECT_EQ(st().main.cmdRecordCaption + " " + st().main.lblRecordName,
              "Recording Recording " + kName);
    sim.runTo(Monday(10, 6, 0));
    const WaveData wave = sim.readWave(kWave);
    ASSERT_NEAR(static_cast<double>(wave.frames()) / kSampleRate, 330.0, 1.1);
    // The buffer that crossed the threshold is the file's first.
    AudioBuffer first{{wave.samples.begin(), wave.samples.begin() + 2048}, 2};
    MeasurePeaks(first);
    EXPECT_EQ(std::vector<int>({first.peakLeft, first.peakRight}), std::vector<int>({0, 5000}));
    EXPECT_NEAR(marks().EomMark, 100.0, 0.05);  // at the last loud buffer
    EXPECT_THAT(sim.log("AL"), ElementsAre(_, _, "10:00:20  Record " + kName,
                                           "10:05:50  Stop   " + kName + " 01:40"));
    EXPECT_TRUE(sim.log("ER").empty());  // a silence to the end is not logged
    EXPECT_EQ(st().main.lblRecordName, std::string(40, ' '));
    EXPECT_FALSE(st().Audio.RecordMetersVisible);
}

// Its marks are its own length, though no buffer crossed the threshold; one whose file cannot be
// opened is dumped and leaves last week's recording whole.
TEST_F(RecordingTest, ARelayRecordingWritesFromItsRecordInput) {
    ScheduleFields f = RecordedSchedule();
    f.RecordStart = ScheduleStart::Manual;
    put(7, f);
    const auto arm = [&] {
        st().next.record.emplace().recordNo = 7;
        st().next.record->slot = 1;
        CueRecording(st());
        ArmRecording(st());
        EnableRecordWriter(st().recorder);
    };
    sim.write(kWave, "last week's audio");
    sim.files.fail(kWave, EACCES);
    arm();
    sim.loop.advance(1000);
    EXPECT_EQ(sim.log("AL").back(), "09:59:00  Dump " + kName);
    EXPECT_FALSE(sim.exists(kMarks));
    sim.files.clearFailures();
    EXPECT_EQ(sim.read(kWave), "last week's audio");
    arm();
    sim.inputAt(sim.now(), {100, 100});
    sim.loop.advance(30'000);
    EXPECT_EQ(st().recorder.RecordState, RecordState::WaitingForAudio);
    StopRecording(st());
    sim.loop.runPending();
    EXPECT_NEAR(seconds(kWave), 30, 0.2);
    EXPECT_NEAR(marks().EomMark, 30, 0.2);
}

// Audio at the threshold is not loud; the dump leaves last week's recording whole.
TEST_F(RecordingTest, AWaitWithoutAudioEndedByRecStopIsDumped) {
    setMarks(300, 310);
    sim.write(kWave, "last week's audio");
    sim.inputAt(Monday(10), {1000, 999});
    sim.runTo(Monday(10, 0, 10));
    cmdRecStop_Click(st());
    sim.loop.runPending();
    EXPECT_EQ(sim.log("AL").back(), "10:00:10  Dump " + kName);
    EXPECT_EQ(sim.count("CheckExport"), 0);
    EXPECT_EQ(std::make_pair(marks().EomMark, marks().TrimMark), std::make_pair(300.f, 310.f));
    EXPECT_EQ(sim.read(kWave), "last week's audio");
}

struct MidnightRecording : RecordingTest {
    MidnightRecording() : RecordingTest(Monday(23, 58, 0)) {
        put(7, WithSlot(RecordedSchedule(), 1, 2, "23:59:00"));
    }
};

// Times from the recording's start, across midnight; another error does not move the alarm's.
TEST_F(MidnightRecording, ASilenceOfMoreThanFiveSecondsIsLoggedWhenAudioReturns) {
    const auto tuesday = [](int s) { return DateTime::from(2026, 12, 8, 0, 0, s); };
    loudFrom(Monday(23, 59, 0));
    sim.inputAt(Monday(23, 59, 30), {0, 0});
    loudFrom(tuesday(20));
    sim.runTo(Monday(23, 59, 50));
    EXPECT_TRUE(sim.log("ER").empty());  // not written while the silence lasts
    sim.runTo(tuesday(5));
    st().Settings.RemoteControl = 1;
    sim.ports.failure = "No such device";
    sim.runTo(tuesday(21));
    EXPECT_THAT(sim.log("ER"),
                ElementsAre(MatchesRegex("00:00:0.  Remote-control port failed: No such device"),
                            MatchesRegex("23:59:3[56]  NEWS HOUR +Audio Alarm 00:30"),
                            "00:00:20  " + kName + " End Alarm   01:20", "  "));
}

TEST_F(RecordingTest, ABusyLoopAStalledDiskOrASilentReceiverDelaysNoTickAndLosesNoAudio) {
    recordFor(10);
    sim.loop.stall(3000);  // a slow serial query
    sim.runTo(Monday(10, 0, 15));
    audio().stallWriter();
    bool shown = false;  // a status view whose receiver stays silent until its time-out
    QueryReceiverStatus(ReceiverLinkOf(st()), sim.serial.create(), "RT C", 700,
                        [&](const ExchangeResult&) { shown = true; });
    for (int i = 0; i < 300; ++i) {
        const std::int64_t before = st().tick.LastTickAt;
        sim.loop.advance(50);
        ASSERT_EQ(st().tick.LastTickAt - before, 50) << i;
    }
    EXPECT_TRUE(shown);
    // A stop waits for the file to be written and closed.
    StopRecording(st());
    sim.runTo(Monday(10, 0, 35));
    EXPECT_FALSE(sim.exists(kMarks));
    audio().releaseWriter();
    sim.loop.runPending();
    EXPECT_NEAR(marks().EomMark, 30.0, 0.1);  // the file's length
    EXPECT_TRUE(sim.log("ER").empty());
}

TEST_F(RecordingTest, OverrunsOfTheCaptureRingAreWrittenToTheErrorLog) {
    audio().setRingBuffers(50);  // about 1.2 s
    recordFor(10);
    audio().stallWriter(3000);
    sim.runTo(Monday(10, 0, 14));
    EXPECT_THAT(sim.log("ER"),
                ::testing::Contains(MatchesRegex(
                    "10:00:1[0-9]  NEWS HOUR +Audio lost: [0-9]+ capture buffers dropped")));
}

TEST_F(RecordingTest, TheNextCueDuringARecordingDoesNotRedirectItsMarks) {
    ScheduleFields next = RecordedSchedule();  // recorded right after schedule 7
    next.ProgramName = "LATE SHOW";
    next.RecordTimes[1] = "10:05:30";
    next.RecordStart = ScheduleStart::Manual;
    put(8, next);
    loudFrom(Monday(10, 0, 0));
    sim.inputAt(Monday(10, 5, 10), {0, 0});
    sim.runTo(Monday(10, 6, 0));
    EXPECT_NEAR(marks().TrimMark, 310.0, 0.05);
    EXPECT_EQ(sim.log("AL").back(), "10:05:30  Stop   " + kName + " 05:10");
}

// As Rec Stop does; an unwritable marks file is logged; route 1 records the left channel alone.
TEST_F(RecordingTest, ShutdownStopsARunningRecording) {
    ScheduleFields f = RecordedSchedule();
    f.Route = ScheduleRoute::Left;
    put(7, f);
    sim.files.fail(kMarks, EACCES);
    recordFor(30);
    ArmRecording(st());  // a Record press while recording does not restart the wait
    sim.runTo(Monday(10, 0, 40));
    bool ended = false;
    ShutdownRecording(st(), [&] { ended = true; });
    EXPECT_FALSE(ended);
    sim.loop.runPending();
    EXPECT_TRUE(ended);
    EXPECT_THAT(sim.log("ER"), ElementsAre("10:00:40  Cannot write the marks file " + kMarks +
                                           ": " + std::strerror(EACCES)));
    EXPECT_EQ(sim.log("AL").back(), "10:00:40  Stop   " + kName + " 00:40");
    EXPECT_EQ(sim.count("CheckExport"), 1);
    EXPECT_EQ(sim.readWave(kWave).channels, 1);
}

}  // namespace
