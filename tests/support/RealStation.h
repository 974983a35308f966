#pragma once
// The real programs in a throwaway home, with files standing in for devices.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>

#include "support/Builders.h"

namespace quillmar::testing {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p);
void WriteAll(const fs::path& p, const std::string& bytes);
// Polls until done() or the limit; the last answer of done().
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit,
             std::chrono::milliseconds step = std::chrono::milliseconds(100));

// Seconds in a 16-bit stereo 44.1 kHz wave file, by its header and by its bytes.
struct WaveFacts {
    bool riff = false;
    double headerSeconds = -1;
    double bytesSeconds = -1;
};
WaveFacts ReadWave(const fs::path& p);
// The logs of a kind ("AL", "ER") in a logs folder, every day's file in name order.
std::string LogsNamed(const fs::path& logs, const std::string& prefix);
// Record n (from 1) of a marks file: a 4-byte float; -1 when the file is shorter.
float MarkAt(const std::string& marks, std::size_t record);
struct LocalTime {
    int weekday = 0;  // 0 Sunday
    int hour = 0, minute = 0, second = 0;
    std::string hms() const;
};
LocalTime LocalIn(int seconds);  // the local time `seconds` from now

class RealStation {
  public:
    RealStation(const fs::path& binaryDir, const std::string& tag);
    ~RealStation();  // stops what is still running and removes the home
    RealStation(const RealStation&) = delete;

    fs::path home, root, satfile, logs;
    fs::path receiverLog;  // one line per command the simulator received
    std::vector<std::string> env;

    // The receiver simulator linked at devices/com1; waits for the link.
    pid_t startReceiver(const std::vector<std::string>& extraArgs = {});
    // fileSizeLimit: bytes, as `ulimit -f` sets it for the station (0: none).
    pid_t startStation(const std::vector<std::string>& args = {}, long fileSizeLimit = 0);
    // The wait status, or -1 when the process had to be killed.
    int stop(pid_t pid, int signal, std::chrono::seconds limit = std::chrono::seconds(10));

    // A file of 0x400 zero bytes as devices/ioport, byte N = I/O port N.
    fs::path makePortFile();
    static void SetPortByte(const fs::path& device, long address, unsigned char value);

    // The number the settings give the built-in device, from quillmar --audio-devices.
    int audioDevice(bool record, const std::string& name);

    std::string activityLog() const { return LogsNamed(logs, "AL"); }
    std::string errorLog() const { return LogsNamed(logs, "ER"); }
    std::string output() const;  // what the station printed
    bool running(pid_t pid);

  private:
    fs::path binary(const std::string& name) const;
    pid_t spawn(const std::vector<std::string>& args, const fs::path& output,
                long fileSizeLimit = 0);

    fs::path binaryDir_;
    std::vector<pid_t> children_;
};

}  // namespace quillmar::testing
