#include <gtest/gtest.h>

#include <cerrno>

#include "logs/ActivityLog.h"
#include "support/Builders.h"
#include "support/SimStation.h"

using namespace quillmar;
using quillmar::testing::SimStation;

namespace {

struct LoggingStation : SimStation {
    explicit LoggingStation(int activityLog)
        : SimStation(DateTime::from(2026, 12, 5, 23, 59, 59, 400)) {
        settings({{quillmar::testing::Rec::ActivityLog, activityLog}});
        this->start();
    }
    void activity(const std::string& message) { WriteActivityLog(st().logs, message); }
};

}  // namespace

TEST(ActivityLog, LinesCarryATimeAndGoToTheFileOfTheDayTheyAreWritten) {
    LoggingStation s(1);
    s.activity("Record Morning Edition");
    s.activity("");       // an empty message still leaves its time
    s.loop.advance(700);  // past midnight
    s.activity("Stop   Morning Edition 59:00");
    EXPECT_EQ(s.read("c:\\satfile\\logs\\AL261205.log"),
              "23:59:59  Record Morning Edition\r\n23:59:59  \r\n");
    EXPECT_EQ(s.read("c:\\satfile\\logs\\AL261206.log"),
              "00:00:00  Stop   Morning Edition 59:00\r\n");
    // Error lines carry the caller's time.
    WriteErrorLog(s.st().logs, "10:15:00", "News Audio Alarm 00:05");
    WriteErrorLog(s.st().logs, "", "");
    EXPECT_EQ(s.read("c:\\satfile\\logs\\ER261206.log"),
              "10:15:00  News Audio Alarm 00:05\r\n  \r\n");
}

TEST(ActivityLog, NothingIsWrittenUnlessTheSettingIsOne) {
    for (int setting : {0, 2}) {
        LoggingStation s(setting);
        s.activity("Play News");
        WriteErrorLog(s.st().logs, "", "x");
        EXPECT_TRUE(s.files.list("c:\\satfile\\logs", false).empty()) << setting;
    }
}

// A deleted logs folder is made again; a failing log is reported once until it works again.
TEST(ActivityLog, AMissingFolderIsMadeAgainAndAFailingLogIsReportedOnce) {
    LoggingStation s(1);
    const std::string path = "c:\\satfile\\logs\\AL261205.log";
    s.files.removeFolder("c:\\satfile\\logs");
    s.activity("Play News");
    EXPECT_EQ(s.read(path), "23:59:59  Play News\r\n");
    s.files.fail(path, EIO);
    s.activity("one");
    s.activity("two");
    ASSERT_EQ(s.errors.messages.size(), 1u);
    EXPECT_NE(s.errors.messages[0].find("AL261205.log"), std::string::npos);
    s.files.fail(path, 0);
    s.activity("three");
    s.files.fail(path, EIO);
    s.activity("four");
    EXPECT_EQ(s.errors.messages.size(), 2u);
}
