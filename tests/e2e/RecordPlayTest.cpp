// The real program records a scheduled programme from the built-in test tone, plays it back at
// its play time on the built-in silent output and pulses EOM on a file standing in for the
// parallel port, with the receiver simulator on a pseudo-terminal.

#include <gtest/gtest.h>
#include <signal.h>

#include <sstream>
#include <thread>
#include <vector>

#include "support/LiveSchedule.h"

using namespace quillmar;
using namespace quillmar::testing;
using namespace std::chrono_literals;

namespace {

constexpr long kParallelData = 0x378;
constexpr long kParallelStatus = 0x379;
constexpr int kLengthSeconds = 8;

std::vector<std::string> LinesWith(const std::string& log, const std::vector<std::string>& keys) {
    std::vector<std::string> found;
    std::istringstream in(log);
    for (std::string line; std::getline(in, line);)
        for (const auto& k : keys)
            if (line.find(k) != std::string::npos) found.push_back(k);
    return found;
}

}  // namespace

TEST(RecordPlayEndToEnd, ARecordingFromTheScheduleIsPlayedAtItsTimeAndEndsWithEom) {
    // The schedule works on today's local times; a run across midnight would need tomorrow's.
    if (NearMidnight(60)) GTEST_SKIP() << "too close to midnight";

    RealStation s(QUILLMAR_BINARY_DIR, "record-play-e2e");
    const int tone = s.audioDevice(true, "Test tone");
    const int silent = s.audioDevice(false, "Silent output");
    // Parallel-port remote control, status inputs idle (active low), all four buttons, an
    // activity log, wave files on C:, the receiver on port 1.
    const fs::path ioport = s.makePortFile({{kParallelStatus, 0x7F}});
    WriteAll(s.satfile / "MyComp.ini", SettingsFile({{1, silent},
                                                     {2, silent},
                                                     {3, 1000},
                                                     {4, 1},
                                                     {5, 1},
                                                     {10, 1},
                                                     {11, 1},
                                                     {12, 3},
                                                     {13, 1},
                                                     {14, 1},
                                                     {18, tone},
                                                     {19, 1},
                                                     {20, 1}}));
    // The cue runs 14 s before the record time, so leave room for the start-up before it.
    const LocalTime record = LocalIn(30);
    const LocalTime play = LocalIn(30 + kLengthSeconds + 8);
    WriteAll(s.satfile / "SatList.dat",
             TimedRecording("E2E Programme", record, kLengthSeconds, play));
    s.startReceiver();
    const pid_t station = s.startStation();

    // The recording is cued (twice), made and stopped at its length.
    const fs::path wave = s.satfile / WaveName(record.weekday, 1);
    const fs::path marks = s.satfile / WaveName(record.weekday, 1, "DAT");
    ASSERT_TRUE(WaitFor([&] { return s.activityLog().find("Stop   ") != std::string::npos; }, 60s))
        << s.activityLog() << s.output();

    // A wave file of the programme's length whose header matches what was written,
    const WaveFacts w = ReadWave(wave);
    ASSERT_TRUE(w.riff) << wave;
    EXPECT_NEAR(w.headerSeconds, kLengthSeconds, 1.0);
    EXPECT_DOUBLE_EQ(w.headerSeconds, w.bytesSeconds);
    // and marks (EOM, trim) at the recorded length.
    const std::string markBytes = ReadAll(marks);
    ASSERT_EQ(markBytes.size(), 8u);
    EXPECT_NEAR(MarkAt(markBytes, 1), w.headerSeconds, 0.25);
    EXPECT_NEAR(MarkAt(markBytes, 2), w.headerSeconds, 0.25);

    // At the play time the recording plays; when it ends EOM closes for a moment.
    bool eomSeen = false;
    ASSERT_TRUE(WaitFor([&] { return s.activityLog().find("Play ") != std::string::npos; }, 30s))
        << s.activityLog() << s.output();
    const auto played = std::chrono::steady_clock::now();
    EXPECT_TRUE(WaitFor(
        [&] {
            eomSeen = eomSeen || (ReadAll(ioport).at(kParallelData) & 1) != 0;
            return eomSeen;
        },
        std::chrono::seconds(kLengthSeconds + 5), 20ms));
    const auto eomAfter = std::chrono::steady_clock::now() - played;
    EXPECT_GT(eomAfter, std::chrono::seconds(kLengthSeconds - 2));
    EXPECT_TRUE(WaitFor([&] { return (ReadAll(ioport).at(kParallelData) & 1) == 0; }, 5s, 20ms))
        << "EOM stays closed";

    EXPECT_EQ(s.stop(station, SIGTERM), 0);

    // The receiver got the set-up twice, with its trailing blank.
    std::istringstream commands(ReadAll(s.receiverLog));
    int cues = 0;
    for (std::string line; std::getline(commands, line);)
        if (line.size() > 24 && line.substr(24) == "SETAUDIO 1 S ENG 3  ") ++cues;
    EXPECT_EQ(cues, 2) << ReadAll(s.receiverLog);

    // The activity log tells the story in order.
    const std::vector<std::string> story = {"SETAUDIO 1 S ENG 3", "SETAUDIO 1 S ENG 3",
                                            "Record E2E Programme", "Stop   E2E Programme",
                                            "Play E2E Programme"};
    EXPECT_EQ(LinesWith(s.activityLog(), {"SETAUDIO", "Record ", "Stop   ", "Play "}),
              std::vector<std::string>({"SETAUDIO", "SETAUDIO", "Record ", "Stop   ", "Play "}))
        << s.activityLog();
    for (const auto& line : story)
        EXPECT_NE(s.activityLog().find(line), std::string::npos) << line << "\n" << s.activityLog();
    EXPECT_EQ(s.errorLog(), "");
}
