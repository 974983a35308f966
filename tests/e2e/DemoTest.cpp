// The one-command demo, headless with short timings: the real station cues, records and plays
// the demo programme on air from its schedule.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <regex>
#include <thread>

#include "support/Logs.h"
#include "support/RealStation.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace quillmar::testing;

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
    int status = -1;
    if (pid < 0 || WaitFor([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, limit, 200ms))
        return status;
    ::kill(-pid, SIGTERM);
    std::this_thread::sleep_for(3s);
    ::kill(-pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return -1;
}

class DemoEndToEnd : public ::testing::Test {
  protected:
    void TearDown() override { fs::remove_all(home); }
    std::string pattern = (fs::temp_directory_path() / "quillmar-demo-e2e-XXXXXX").string();
    fs::path home = ::mkdtemp(pattern.data());
};

}  // namespace

TEST_F(DemoEndToEnd, CuesRecordsAndPlaysTheDemoProgrammeOnAir) {
    const fs::path output = home.parent_path() / (home.filename().string() + ".out");
    // Record 30 s after launch (cued at 17 s and 7 s before) for 8 s, play 8 s after the end;
    // the script stops the station with SIGTERM once the playout is over.
    const int status =
        RunDemo({"--build", QUILLMAR_BINARY_DIR, "--root", home.string(), "--headless", "--lead",
                 "30", "--length", "8", "--gap", "8", "--duration", "58"},
                output, 150s);
    const std::string printed = ReadAll(output);
    fs::remove(output);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status << "\n"
                                                               << printed;

    const fs::path satfile = home / "quillmar/drives/c/satfile";
    const std::string log = LogsNamed(satfile / "logs", "AL");
    const std::string name = "Demo Programme           ";  // padded to its 25 characters
    const std::string cue = "SETAUDIO 1 S ENG 0  ";
    std::string steps;  // cued twice, recorded, stopped at its length, played, in that order
    for (const std::string& step :
         {cue, cue, "Record " + name, "Stop   " + name + " 00:0[789]", "Play " + name})
        steps += R"([\s\S]*(^|\n)\d\d:\d\d:\d\d  )" + step + R"((?=\r?\n|$))";
    EXPECT_TRUE(std::regex_search(log, std::regex(steps))) << log << printed;
    EXPECT_EQ(LogsNamed(satfile / "logs", "ER"), "");
    // Today's first recording: its header matches its bytes, and EOM and trim mark its length.
    const LocalTime today = LocalIn(0);
    const WaveFacts w = ReadWave(satfile / WaveName(today.weekday, 1));
    ASSERT_TRUE(w.riff) << printed;
    EXPECT_NEAR(w.headerSeconds, 8, 1.0);
    EXPECT_DOUBLE_EQ(w.headerSeconds, w.bytesSeconds);
    const std::string marks = ReadAll(satfile / WaveName(today.weekday, 1, "DAT"));
    ASSERT_EQ(marks.size(), 8u);
    EXPECT_NEAR(MarkAt(marks, 1), w.headerSeconds, 0.25);
    EXPECT_NEAR(MarkAt(marks, 2), w.headerSeconds, 0.25);
    EXPECT_NE(printed.find("EOM contact closed"), std::string::npos) << printed;
}
