// Faults only the real program on a real machine can show: the process killed in the middle
// of a recording, a file-size limit reached while writing, device files that are
// missing. Each runs the station on the wall clock with the built-in test tone as its input.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <thread>

#include "support/LiveSchedule.h"

using namespace quillmar::testing;
using namespace std::chrono_literals;

namespace {

constexpr long kParallelStatus = 0x379;

class ProcessFaults : public ::testing::Test {
  protected:
    void SetUp() override {
        if (NearMidnight(90)) GTEST_SKIP() << "too close to midnight for today's schedule";
    }

    // Settings for a recording from the test tone with an activity log; `remote` 1 puts the
    // remote control on the parallel port.
    void configure(int remote = 0) {
        const int tone = s.audioDevice(true, "Test tone");
        const int silent = s.audioDevice(false, "Silent output");
        // clang-format off
        WriteAll(s.satfile / "MyComp.ini",
                 SettingsFile({{Rec::ProgramPlayCard, silent}, {Rec::AuditionPlayCard, silent},
                               {Rec::Threshold, 1000}, {Rec::ActivityLog, 1},
                               {Rec::RemoteControl, remote}, {Rec::WaveDrive, 3},
                               {Rec::SerialPort, 1}, {Rec::BaudSelect, 1}, {Rec::RecordCard, tone}}));
        // clang-format on
    }
    // One recording of `seconds` starting `lead` seconds from now, optionally played later.
    LocalTime schedule(int lead, int seconds, int playAfter = 0) {
        const LocalTime at = LocalIn(lead);
        std::optional<LocalTime> play;
        if (playAfter > 0) play = LocalIn(lead + playAfter);
        WriteAll(s.satfile / "SatList.dat", TimedRecording("Fault Programme", at, seconds, play));
        return at;
    }
    bool logged(const std::string& text, std::chrono::seconds limit) {
        return WaitFor([&] { return s.activityLog().find(text) != std::string::npos; }, limit);
    }

    RealStation s{QUILLMAR_BINARY_DIR, "faults"};
    LocalTime record;
};

TEST_F(ProcessFaults, KilledMidRecordingTheWaveFilePlaysUpToItsLastSecond) {
    configure();
    record = schedule(18, 120);
    s.startReceiver();
    const pid_t station = s.startStation();
    ASSERT_TRUE(logged("Record Fault Programme", 40s)) << s.activityLog() << s.output();
    const auto started = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(5s);

    ASSERT_NE(::kill(station, SIGKILL), -1);
    const auto killed = std::chrono::steady_clock::now();
    s.stop(station, SIGKILL);

    // No marks and no stop line: nothing ran after the kill. The header was kept current, so a
    // player sees every whole second that reached the disk.
    const double ran = std::chrono::duration<double>(killed - started).count();
    const WaveFacts w = ReadWave(s.satfile / WaveName(record.weekday, 1));
    ASSERT_TRUE(w.riff);
    EXPECT_GT(w.headerSeconds, ran - 1.5);
    EXPECT_LE(w.headerSeconds, w.bytesSeconds);
    EXPECT_LT(w.bytesSeconds - w.headerSeconds, 1.0);
    EXPECT_EQ(s.activityLog().find("Stop   "), std::string::npos);
}

// The disk fills (a file-size limit stands in for it) while the receiver's port and the I/O
// port are both gone: each fault is reported, the recording ends with a playable file, and the
// station goes on to play what it got at the play time.
TEST_F(ProcessFaults, AFullDiskAndMissingDevicesAreReportedAndTheStationGoesOn) {
    configure(1);
    fs::create_symlink(s.home / "no-such-serial-device", s.root / "devices/com1");
    fs::create_symlink(s.home / "no-such-port-device", s.root / "devices/ioport");
    record = schedule(18, 30, 30 + 6);
    constexpr long kLimit = 1'000'000;  // about 5.7 s of stereo
    const pid_t station = s.startStation({}, kLimit);

    ASSERT_TRUE(
        WaitFor([&] { return s.errorLog().find("Recording ended") != std::string::npos; }, 40s))
        << s.errorLog() << s.output();
    ASSERT_TRUE(logged("Stop   Fault Programme", 5s)) << s.activityLog();
    const WaveFacts w = ReadWave(s.satfile / WaveName(record.weekday, 1));
    ASSERT_TRUE(w.riff);
    EXPECT_GT(w.headerSeconds, 4.0);
    EXPECT_LE(w.headerSeconds, w.bytesSeconds);
    EXPECT_LT(w.bytesSeconds - w.headerSeconds, 0.1);
    const std::string marks = ReadAll(s.satfile / WaveName(record.weekday, 1, "DAT"));
    ASSERT_EQ(marks.size(), 8u);
    EXPECT_NEAR(MarkAt(marks, 1), w.headerSeconds, 0.25);

    ASSERT_TRUE(logged("Play Fault Programme", 50s)) << s.activityLog() << s.errorLog();
    EXPECT_TRUE(s.running(station));
    const std::string errors = s.errorLog();
    EXPECT_NE(errors.find("File too large"), std::string::npos) << errors;
    EXPECT_NE(errors.find("Remote-control port failed"), std::string::npos) << errors;
    // Reported once, not at every tick.
    EXPECT_EQ(errors.find("Remote-control port failed"),
              errors.rfind("Remote-control port failed"));
    // The receiver set-up failed at each cue and said so; the recording was made regardless.
    EXPECT_NE(s.output().find("No such file or directory.  Check serial port settings"),
              std::string::npos)
        << s.output();
    EXPECT_EQ(s.stop(station, SIGTERM), 0);
}

}  // namespace
