// The real program records a scheduled programme from the built-in test tone, plays it back at
// its play time on the built-in silent output and pulses EOM on a file standing in for the
// parallel port, with the receiver simulator on a pseudo-terminal.

#include <gtest/gtest.h>
#include <signal.h>

#include <cstdint>
#include <cstring>
#include <ctime>
#include <sstream>
#include <thread>
#include <vector>

#include "schedule/ScheduleRecord.h"
#include "support/RealStation.h"

using namespace quillmar;
using namespace quillmar::testing;
using namespace std::chrono_literals;

namespace {

constexpr long kParallelData = 0x378;
constexpr long kParallelStatus = 0x379;
constexpr int kLengthSeconds = 8;

std::string Hms(const std::tm& t) {
    char b[16];
    std::snprintf(b, sizeof b, "%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
    return b;
}

std::tm LocalIn(int seconds) {
    const std::time_t at = std::time(nullptr) + seconds;
    std::tm t{};
    localtime_r(&at, &t);
    return t;
}

// One schedule recording today at `record` for kLengthSeconds, played (timed) at `play`.
std::string Schedule(const std::tm& record, const std::tm& play) {
    ScheduleFields f = ParseScheduleRecord(std::string(kScheduleRecordLength, ' '));
    f.InUse = "1";
    f.ProgramName = "E2E Programme";
    f.ProgramLength = "00:0" + std::to_string(kLengthSeconds);
    f.SourceCode = "ENG";
    f.UnityPort = "1";
    f.Route = "S";
    f.Attenuation = "3";
    f.RecordStart = "T";
    f.PlayStart = "T";
    f.Action = "1";
    const auto row = static_cast<std::size_t>(record.tm_wday);
    f.RecordDays[row] = record.tm_wday + 1;
    f.RecordTimes[row] = Hms(record);
    f.PlayTimes[row * 4] = Hms(play);
    return BuildScheduleRecord(f);
}

// Seconds of 16-bit stereo audio the wave file's header and size say it holds.
struct WaveFacts {
    bool riff = false;
    double headerSeconds = -1;
    double bytesSeconds = -1;
};

WaveFacts ReadWave(const fs::path& p) {
    const std::string bytes = ReadAll(p);
    WaveFacts w;
    if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        return w;
    w.riff = true;
    // Walk the chunks to "data"; its size field is what a player believes.
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        std::uint32_t size = 0;
        std::memcpy(&size, bytes.data() + at + 4, 4);
        if (bytes.compare(at, 4, "data") == 0) {
            w.headerSeconds = size / 4.0 / 44100.0;
            w.bytesSeconds = static_cast<double>(bytes.size() - at - 8) / 4.0 / 44100.0;
            break;
        }
        at += 8 + size + (size & 1);
    }
    return w;
}

float MarkAt(const std::string& marks, std::size_t record) {
    float value = -1;
    if (marks.size() >= record * 4) std::memcpy(&value, marks.data() + (record - 1) * 4, 4);
    return value;
}

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
    const std::tm now = LocalIn(0);
    if (now.tm_hour == 23 && now.tm_min >= 57) GTEST_SKIP() << "too close to midnight";

    RealStation s(QUILLMAR_BINARY_DIR, "record-play-e2e");
    const int tone = s.audioDevice(true, "Test tone");
    const int silent = s.audioDevice(false, "Silent output");
    // Parallel-port remote control, status inputs idle (active low), all four buttons, an
    // activity log, wave files on C:, the receiver on port 1.
    const fs::path ioport = s.makePortFile({{kParallelStatus, 0x7F}});
    WriteAll(s.satfile / "MyComp.ini",
             SettingsFile({{1, silent}, {2, silent}, {3, 1000}, {4, 1}, {5, 1}, {10, 1}, {11, 1},
                           {12, 3}, {13, 1}, {14, 1}, {18, tone}, {19, 1}, {20, 1}}));
    // The cue runs 14 s before the record time, so leave room for the start-up before it.
    const std::tm record = LocalIn(30);
    const std::tm play = LocalIn(30 + kLengthSeconds + 8);
    WriteAll(s.satfile / "SatList.dat", Schedule(record, play));
    s.startReceiver();
    const pid_t station = s.startStation();

    // The recording is cued (twice), made and stopped at its length.
    const char* days[] = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};
    const fs::path wave = s.satfile / (std::string("SF") + days[record.tm_wday] + "001.WAV");
    const fs::path marks = s.satfile / (std::string("SF") + days[record.tm_wday] + "001.DAT");
    ASSERT_TRUE(WaitFor([&] { return s.activityLog().find("Stop   ") != std::string::npos; },
                        60s))
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
