// quillmar --signal-report on a day of logs: a PNG, and CSV rows of the day's polls.
#include <gtest/gtest.h>

#include <ctime>

#include "support/RealStation.h"

using namespace quillmar::testing;
using namespace std::chrono_literals;

TEST(SignalReportEndToEnd, WritesAPngAndTheCsvOfTheLogs) {
    RealStation s(QUILLMAR_BINARY_DIR, "signal-report");
    const std::time_t now = std::time(nullptr);
    std::tm today{};
    localtime_r(&now, &today);
    char key[16], date[16];
    std::strftime(key, sizeof key, "%y%m%d", &today);
    std::strftime(date, sizeof date, "%Y-%m-%d", &today);
    fs::create_directories(s.logs);
    WriteAll(s.logs / ("EB" + std::string(key) + ".log"),
             "00:00:12  10.2 dB\r\n00:01:12  \r\n00:0\r\n00:02:12  Eb/No: 9.75 dB\r\n");
    const auto run = [&](const std::string& output) {
        const pid_t pid = s.startStation({"--signal-report", "1", "--output", output});
        EXPECT_TRUE(WaitFor([&] { return !s.running(pid); }, 30s)) << s.output();
    };
    run((s.home / "today.png").string());
    EXPECT_EQ(ReadAll(s.home / "today.png").substr(1, 3), "PNG") << s.output();
    run("-");
    EXPECT_NE(s.output().find("time,Eb/No (dB)\n" + std::string(date) + " 00:00:12,10.2\n"),
              std::string::npos)
        << s.output();
}
