// The log viewer's date list and day views.
#include <gtest/gtest.h>

#include "logs/LogViewer.h"
#include "platform/BackgroundWork.h"
#include "support/SimStation.h"

using namespace quillmar;
using quillmar::testing::SimStation;

namespace {

struct Viewer {
    explicit Viewer(const char* kind) : kind(kind) { s.start(); }
    void log(const std::string& name, const std::string& text) {
        s.write("c:\\satfile\\logs\\" + name, text);
    }
    LogViewerModel load() {
        LogViewerModel m;
        LoadLogViewer(s.st().platform.files, m, kind);
        return m;
    }
    // "&Ok", then the loop turns until the day's lines (if any) have been read.
    void ok(LogViewerModel& m) {
        LogViewerOk(s.st().platform.files, s.background, guard, m, [this] { ++shown; });
        s.loop.runPending();
    }
    std::string kind;
    SimStation s;
    CompletionGuard guard;
    int shown = 0;
};

}  // namespace

TEST(LogViewer, ListsTheDaysOfItsKindNewestFirst) {
    Viewer v("AL");
    v.log("AL261204.log", "08:00:00  a\r\n");
    v.log("al261205.LOG", "08:00:00  b\r\n");
    v.log("ER261206.log", "x\r\n");
    v.log("ALnotes.txt", "x\r\n");
    const auto m = v.load();
    EXPECT_EQ(m.lstDate, (std::vector<std::string>{"12/05/26", "12/04/26"}));
    EXPECT_EQ(m.lstDateIndex, 0);
    EXPECT_EQ(m.caption, "Load Activity Log");
    EXPECT_FALSE(m.showingDay);
    EXPECT_FALSE(m.byEvent);
}

TEST(LogViewer, WithoutLogsSaysSoAndOkDoesNothing) {
    Viewer v("EB");
    v.log("AL261204.log", "x\r\n");
    auto m = v.load();
    EXPECT_EQ(m.lstDate, (std::vector<std::string>{"No Logs Found"}));
    EXPECT_EQ(m.caption, "Load EbNo Log");
    v.ok(m);
    EXPECT_FALSE(m.showingDay);
    EXPECT_EQ(m.caption, "Load EbNo Log");
}

TEST(LogViewer, ShowsADayByTimeThenGoesBackAndShowsAnother) {
    Viewer v("AL");
    v.log("AL261204.log", "07:00:00  Dump Farm Report\r\n08:00:00  Play Farm Report\r\n");
    v.log("AL261205.log", "09:00:00  Record News\r\n");
    auto m = v.load();
    m.lstDateIndex = 1;
    v.ok(m);
    EXPECT_TRUE(m.showingDay);
    EXPECT_EQ(m.caption, "Activity Log for 12/04/26");
    EXPECT_EQ(m.lstActivityLog, (std::vector<std::string>{"07:00:00  Dump Farm Report",
                                                          "08:00:00  Play Farm Report"}));
    v.ok(m);
    EXPECT_FALSE(m.showingDay);
    EXPECT_TRUE(m.lstActivityLog.empty());
    EXPECT_EQ(m.caption, "Select Activity Log");
    m.lstDateIndex = 0;
    v.ok(m);
    EXPECT_EQ(m.lstActivityLog, (std::vector<std::string>{"09:00:00  Record News"}));
}

TEST(LogViewer, ADayIsReadOffTheLoopOnceAndNotShownAfterTheWindowWentAway) {
    Viewer v("AL");
    v.log("AL261204.log", "07:00:00  Dump Farm Report\r\n");
    v.log("AL261205.log", "09:00:00  Record News\r\n");
    auto m = v.load();
    v.s.background.delayMs = 500;
    v.ok(m);
    EXPECT_TRUE(m.reading);
    EXPECT_TRUE(m.showingDay);
    EXPECT_EQ(m.caption, "Activity Log for 12/05/26");
    m.lstDateIndex = 1;
    v.ok(m);  // refused while the day is read
    EXPECT_EQ(v.s.background.pending(), 1);
    v.s.loop.advance(500);
    EXPECT_FALSE(m.reading);
    EXPECT_EQ(m.lstActivityLog, (std::vector<std::string>{"09:00:00  Record News"}));
    EXPECT_EQ(v.shown, 1);

    v.ok(m);  // back to the dates, then the other day, then the window goes away
    v.ok(m);
    v.guard.drop();
    v.s.loop.advance(500);
    EXPECT_TRUE(m.lstActivityLog.empty());
    EXPECT_EQ(v.shown, 1);
}

TEST(LogViewer, ByEventGroupsLinesByMessageWithoutRegardToCaseWithTheTimeAtTheEnd) {
    Viewer v("AL");
    v.log("AL261204.log",
          "08:00:00  Play Farm Report\r\n07:00:00  Dump Farm Report\r\n"
          "09:00:00  Play Farm Report\r\nshort\r\n06:00:00  dump tape\r\n");
    auto m = v.load();
    m.byEvent = true;
    v.ok(m);
    EXPECT_EQ(m.lstActivityLog,
              (std::vector<std::string>{" Dump Farm Report 07:00:00", " dump tape 06:00:00",
                                        " Play Farm Report 08:00:00", " Play Farm Report 09:00:00",
                                        " short"}));
}

TEST(LogViewer, AnEmptyOrVanishedFileDoesNotExist) {
    Viewer v("ER");
    v.log("ER261204.log", "");
    v.log("ER261203.log", "12:00:00  x\r\n");
    auto m = v.load();
    EXPECT_EQ(m.caption, "Load Error Log");  // the window names the log it shows
    v.ok(m);
    EXPECT_EQ(m.lstActivityLog, (std::vector<std::string>{"Log for 12/04/26 does not exist."}));
    EXPECT_EQ(m.caption, "Error Log for 12/04/26");
    v.ok(m);
    m.lstDateIndex = 1;
    v.s.files.deleteMatching("c:\\satfile\\logs\\ER261203.log");
    v.ok(m);
    EXPECT_EQ(m.lstActivityLog, (std::vector<std::string>{"Log for 12/03/26 does not exist."}));
}

TEST(LogViewer, LinesByEventKeepsEveryLineWhateverItsLength) {
    EXPECT_EQ(LinesByEvent({"", "12:00:00", "12:00:00  ", "  "}),
              (std::vector<std::string>{" ", "   ", "  12:00:00", " 12:00:00"}));
}
