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

// Lines go to the file of the day they are written, error lines carry the caller's time; a
// deleted logs folder is made again; a failing log is reported once until it works again.
TEST(ActivityLog, LinesGoToTheFileOfTheirDayAndAFailingLogIsReportedOnce) {
    LoggingStation s(1);
    s.activity("Record Morning Edition");
    s.loop.advance(700);
    s.files.removeFolder("c:\\satfile\\logs");
    s.activity("Stop   Morning Edition 59:00");
    WriteErrorLog(s.st().logs, "10:15:00", "News Audio Alarm 00:05");
    const std::string path = "c:\\satfile\\logs\\AL261206.log";
    EXPECT_EQ(s.read(path), "00:00:00  Stop   Morning Edition 59:00\r\n");
    EXPECT_EQ(s.read("c:\\satfile\\logs\\ER261206.log"), "10:15:00  News Audio Alarm 00:05\r\n");
    for (int error : {EIO, EIO, 0, EIO}) {
        s.files.fail(path, error);
        s.activity("x");
    }
    EXPECT_EQ(s.errors.messages,
              std::vector<std::string>(2, "Cannot write the log " + path + ": Input/output error"));
    LoggingStation off(0);  // the purge shows the activity log off
    WriteErrorLog(off.st().logs, "", "x");
    EXPECT_FALSE(off.exists("c:\\satfile\\logs\\ER261205.log"));
}
