// The one-command demo, headless with short timings: the script sets up a throwaway data root,
// the receiver simulator, the port file and the built-in sound devices, and the real station
// cues, records and plays the demo programme on air from its schedule.

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/RealStation.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using quillmar::testing::ReadAll;

namespace {

// Runs the demo script in its own process group, so a run that overstays its limit is ended
// with everything it started. The wait status, or -1 when it had to be killed.
int RunDemo(const std::vector<std::string>& options, const fs::path& output,
            std::chrono::seconds limit) {
    std::vector<std::string> args = {"/bin/bash",
                                     std::string(QUILLMAR_SOURCE_DIR) + "/demo/run-demo.sh"};
    args.insert(args.end(), options.begin(), options.end());
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setpgid(0, 0);
        if (!std::freopen(output.c_str(), "w", stdout)) ::_exit(126);
        ::dup2(STDOUT_FILENO, STDERR_FILENO);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (pid < 0) return -1;
    const auto end = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (std::chrono::steady_clock::now() < end) {
        if (::waitpid(pid, &status, WNOHANG) == pid) return status;
        std::this_thread::sleep_for(200ms);
    }
    ::kill(-pid, SIGTERM);
    std::this_thread::sleep_for(3s);
    ::kill(-pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return -1;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
    }
    return out;
}

// The index of the first line matching the pattern at or after `from`, or -1.
long FirstMatch(const std::vector<std::string>& lines, const std::string& pattern, long from) {
    const std::regex re(pattern);
    for (long i = from < 0 ? 0 : from; i < static_cast<long>(lines.size()); ++i)
        if (std::regex_match(lines[static_cast<std::size_t>(i)], re)) return i;
    return -1;
}

std::string ActivityLog(const fs::path& logs) {
    std::vector<fs::path> files;
    if (fs::exists(logs))
        for (const auto& e : fs::directory_iterator(logs))
            if (e.path().filename().string().rfind("AL", 0) == 0) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    std::string all;
    for (const auto& f : files) all += ReadAll(f);
    return all;
}

class DemoEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "quillmar-demo-e2e-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        home = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(home, ignored);
    }
    fs::path home;
};

}  // namespace

TEST_F(DemoEndToEnd, CuesRecordsAndPlaysTheDemoProgrammeOnAir) {
    const fs::path output = home.parent_path() / (home.filename().string() + ".out");
    // Record 20 s after launch for 8 s, play 8 s after the end; stop once the playout is over.
    const int status =
        RunDemo({"--build", QUILLMAR_BINARY_DIR, "--root", home.string(), "--headless", "--lead",
                 "20", "--length", "8", "--gap", "8", "--duration", "48"},
                output, 150s);
    const std::string printed = ReadAll(output);
    fs::remove(output);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status << "\n"
                                                               << printed;

    const fs::path satfile = home / "quillmar/drives/c/satfile";
    const std::string log = ActivityLog(satfile / "logs");
    const auto lines = Lines(log);
    const std::string at = R"(\d\d:\d\d:\d\d  )";
    const std::string name = "Demo Programme           ";  // padded to its 25 characters
    const long cue = FirstMatch(lines, at + "SETAUDIO 1 S ENG 0  ", 0);
    const long record = FirstMatch(lines, at + "Record " + name, cue);
    const long stop = FirstMatch(lines, at + "Stop   " + name + " 00:0[789]", record);
    const long play = FirstMatch(lines, at + "Play " + name, stop);
    EXPECT_GE(cue, 0) << log << printed;
    EXPECT_GT(record, cue) << log;
    EXPECT_GT(stop, record) << log;
    EXPECT_GT(play, stop) << log;

    // The receiver was sent the cue.
    EXPECT_NE(ReadAll(home / "receiver.log").find("\tSETAUDIO 1 S ENG 0  \n"), std::string::npos)
        << ReadAll(home / "receiver.log");

    // The recording is the first schedule's file of today, with more than a header in it.
    static const char* const kDays[] = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    const fs::path wave = satfile / (std::string("SF") + kDays[local.tm_wday] + "001.WAV");
    ASSERT_TRUE(fs::exists(wave)) << printed;
    EXPECT_GT(fs::file_size(wave), 44u + 8u * 1000u);

    // The end of the playout closed the EOM contact on the port file, and the script said so.
    EXPECT_NE(printed.find("EOM contact closed"), std::string::npos) << printed;
}
