// Faults only the real program can show, on the wall clock with the test tone as its input.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <thread>

#include "support/LiveSchedule.h"

using namespace quillmar::testing;
using namespace std::chrono_literals;

namespace {

class ProcessFaults : public ::testing::Test {
  protected:
    void SetUp() override {
        if (NearMidnight(90)) GTEST_SKIP() << "too close to midnight for today's schedule";
    }

    // `remote` 1 puts the remote control on the parallel port.
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
    void schedule(int lead, int seconds, int playAfter = 0) {
        record = LocalIn(lead);
        WriteAll(
            s.satfile / "SatList.dat",
            TimedRecording("Fault Programme", record, seconds,
                           playAfter ? std::optional(LocalIn(lead + playAfter)) : std::nullopt));
    }
    WaveFacts wave() const { return ReadWave(s.satfile / WaveName(record.weekday, 1)); }
    bool logged(const std::string& text, std::chrono::seconds limit) {
        return WaitFor([&] { return s.activityLog().find(text) != std::string::npos; }, limit);
    }

    RealStation s{QUILLMAR_BINARY_DIR, "faults"};
    LocalTime record;
};

TEST_F(ProcessFaults, KilledMidRecordingTheWaveFilePlaysUpToItsLastSecond) {
    configure();
    schedule(18, 120);
    s.startReceiver();
    const pid_t station = s.startStation();
    ASSERT_TRUE(logged("Record Fault Programme", 40s)) << s.activityLog() << s.output();
    const auto started = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(5s);

    s.stop(station, SIGKILL);
    // Nothing ran after the kill; the header was kept current, so a player sees every whole
    // second that reached the disk.
    const double ran =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const WaveFacts w = wave();
    ASSERT_TRUE(w.riff);
    EXPECT_GT(w.headerSeconds, ran - 1.5);
    EXPECT_LE(w.headerSeconds, w.bytesSeconds);
    EXPECT_LT(w.bytesSeconds - w.headerSeconds, 1.0);
    EXPECT_EQ(s.activityLog().find("Stop   "), std::string::npos);
}

// A full disk (a file-size limit) with the receiver's and the I/O port gone: each is reported
// once, the file stays playable and the station plays what it got.
TEST_F(ProcessFaults, AFullDiskAndMissingDevicesAreReportedAndTheStationGoesOn) {
    configure(1);
    fs::create_symlink(s.home / "no-such-serial-device", s.root / "devices/com1");
    fs::create_symlink(s.home / "no-such-port-device", s.root / "devices/ioport");
    schedule(18, 30, 30 + 6);
    constexpr long kLimit = 1'000'000;  // about 5.7 s of stereo
    const pid_t station = s.startStation({}, kLimit);

    ASSERT_TRUE(
        WaitFor([&] { return s.errorLog().find("Recording ended") != std::string::npos; }, 40s))
        << s.errorLog() << s.output();
    ASSERT_TRUE(logged("Stop   Fault Programme", 5s)) << s.activityLog();
    const WaveFacts w = wave();
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
    const auto port = errors.find("Remote-control port failed");
    EXPECT_TRUE(port != std::string::npos && port == errors.rfind("Remote-control port failed"));
    EXPECT_NE(s.output().find("No such file or directory.  Check serial port settings"),
              std::string::npos)
        << s.output();
    EXPECT_EQ(s.stop(station, SIGTERM), 0);
}

}  // namespace
