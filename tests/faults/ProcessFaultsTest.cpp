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
    // One recording of `seconds` from 18 s on, maybe played later; `remote` 1: parallel port.
    void configure(int seconds, int remote = 0, int playAfter = 0) {
        const int tone = s.audioDevice(true, "Test tone");
        const int silent = s.audioDevice(false, "Silent output");
        // clang-format off
        WriteAll(s.satfile / "MyComp.ini",
                 SettingsFile({{Rec::ProgramPlayCard, silent}, {Rec::AuditionPlayCard, silent},
                               {Rec::Threshold, 1000}, {Rec::ActivityLog, 1},
                               {Rec::RemoteControl, remote}, {Rec::WaveDrive, 3},
                               {Rec::SerialPort, 1}, {Rec::BaudSelect, 1}, {Rec::RecordCard, tone}}));
        // clang-format on
        record = LocalIn(18);
        WriteAll(s.satfile / "SatList.dat",
                 TimedRecording("Fault Programme", record, seconds,
                                playAfter ? std::optional(LocalIn(18 + playAfter)) : std::nullopt));
    }
    bool logged(const std::string& text, std::chrono::seconds limit) {
        return WaitFor([&] { return s.activityLog().find(text) != std::string::npos; }, limit);
    }
    // The wave file's header is current with what reached the disk, to within `slack` s.
    WaveFacts wave(double slack) {
        const WaveFacts w = ReadWave(s.satfile / WaveName(record.weekday, 1));
        EXPECT_TRUE(w.riff);
        EXPECT_LE(w.headerSeconds, w.bytesSeconds);
        EXPECT_LT(w.bytesSeconds - w.headerSeconds, slack);
        return w;
    }
    RealStation s{QUILLMAR_BINARY_DIR, "faults"};
    LocalTime record;
};

TEST_F(ProcessFaults, KilledMidRecordingTheWaveFilePlaysUpToItsLastSecond) {
    configure(120);
    s.startReceiver();
    const pid_t station = s.startStation();
    ASSERT_TRUE(logged("Record Fault Programme", 40s)) << s.activityLog() << s.output();
    const auto started = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(5s);
    s.stop(station, SIGKILL);
    const std::chrono::duration<double> ran = std::chrono::steady_clock::now() - started;
    EXPECT_GT(wave(1.0).headerSeconds, ran.count() - 1.5);
}

// A full disk (a file-size limit) with the receiver's and the I/O port gone: each is reported
// once, the file stays playable and the station plays what it got.
TEST_F(ProcessFaults, AFullDiskAndMissingDevicesAreReportedAndTheStationGoesOn) {
    configure(30, 1, 30 + 6);
    fs::create_symlink(s.home / "no-such-serial-device", s.root / "devices/com1");
    fs::create_symlink(s.home / "no-such-port-device", s.root / "devices/ioport");
    const pid_t station = s.startStation({}, 1'000'000);  // about 5.7 s of stereo
    ASSERT_TRUE(logged("Stop   Fault Programme", 45s)) << s.errorLog() << s.output();
    EXPECT_GT(wave(0.1).headerSeconds, 4.0);
    ASSERT_TRUE(logged("Play Fault Programme", 50s)) << s.activityLog() << s.errorLog();
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
