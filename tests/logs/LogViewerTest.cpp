#include <gtest/gtest.h>

#include "logs/LogViewer.h"
#include "platform/BackgroundWork.h"
#include "support/SimStation.h"

using namespace quillmar;
using quillmar::testing::SimStation;

namespace {

struct Viewer {
    Viewer() { s.start(); }
    LogViewerModel load(const char* kind = "AL") {
        LogViewerModel m;
        LoadLogViewer(s.st().platform.files, m, kind);
        return m;
    }
    // "&Ok", then the loop turns until the day's lines (if any) have been read.
    void ok(LogViewerModel& m) {
        LogViewerOk(s.st().platform.files, s.background, guard, m, [this] { ++shown; });
        s.loop.runPending();
    }
    SimStation s;
    CompletionGuard guard;
    int shown = 0;
};

using Lines = std::vector<std::string>;
struct ViewRow {
    const char* kind;
    std::vector<std::pair<const char*, const char*>> files;
    const char* loadCaption;
    Lines dates;
    int choice;
    Lines shown;
    const char* dayCaption;
};
}  // namespace

// Days of the kind newest first (or "No Logs Found", where Ok does nothing), then a day by time.
TEST(LogViewer, ListsTheDaysOfItsKindAndShowsTheChosenOne) {
    // clang-format off
    const ViewRow rows[] = {
        {"AL", {{"AL261204.log", "07:00:00  Dump Farm Report\r\n08:00:00  Play\r\n"},
                {"al261205.LOG", "x\r\n"}, {"ER261206.log", "x\r\n"}, {"ALnotes.txt", "x\r\n"}},
         "Load Activity Log", {"12/05/26", "12/04/26"}, 1, {"07:00:00  Dump Farm Report", "08:00:00  Play"},
         "Activity Log for 12/04/26"},
        {"EB", {{"AL261204.log", "x\r\n"}}, "Load EbNo Log", {"No Logs Found"}, 0, {}, "Load EbNo Log"},
        {"ER", {{"ER261204.log", ""}, {"ER261203.log", "12:00:00  x\r\n"}}, "Load Error Log",
         {"12/04/26", "12/03/26"}, 0, {"Log for 12/04/26 does not exist."}, "Error Log for 12/04/26"},
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(r.loadCaption);
        Viewer v;
        for (const auto& [name, text] : r.files)
            v.s.write("c:\\satfile\\logs\\" + std::string(name), text);
        auto m = v.load(r.kind);
        EXPECT_EQ(m.lstDate, r.dates);
        EXPECT_EQ(m.caption, r.loadCaption);
        m.lstDateIndex = r.choice;
        v.ok(m);
        EXPECT_EQ(m.lstActivityLog, r.shown);
        EXPECT_EQ(m.caption, r.dayCaption);
    }
}

// Read off the loop, once; Ok goes back to the dates; a day is not shown once the window went
// away, and a file that vanished meanwhile does not exist.
TEST(LogViewer, ADayIsReadOffTheLoopOnceAndNotShownAfterTheWindowWentAway) {
    Viewer v;
    v.s.write("c:\\satfile\\logs\\AL261204.log", "07:00:00  Dump Farm Report\r\n");
    v.s.write("c:\\satfile\\logs\\AL261205.log", "09:00:00  Record News\r\n");
    auto m = v.load();
    v.s.background.delayMs = 500;
    v.ok(m);
    m.lstDateIndex = 1;
    v.ok(m);  // refused while the day is read
    v.s.loop.advance(500);
    EXPECT_EQ(m.lstActivityLog, Lines{"09:00:00  Record News"});
    EXPECT_EQ(v.shown, 1);
    v.ok(m);
    EXPECT_FALSE(m.showingDay);
    EXPECT_EQ(m.caption, "Select Activity Log");
    v.ok(m);
    v.guard.drop();
    v.s.loop.advance(500);
    EXPECT_TRUE(m.lstActivityLog.empty());
    EXPECT_EQ(v.shown, 1);
    m = v.load();
    m.lstDateIndex = 1;
    v.s.files.deleteMatching("c:\\satfile\\logs\\AL261204.log");
    v.ok(m);
    v.s.loop.advance(500);
    EXPECT_EQ(m.lstActivityLog, Lines{"Log for 12/04/26 does not exist."});
}

// Grouped by message without regard to case, the time at the end, whatever a line's length.
TEST(LogViewer, LinesByEventSortsByMessageThenTime) {
    EXPECT_EQ(LinesByEvent({"08:00:00  Play X", "07:00:00  Dump X", "09:00:00  Play X", "short",
                            "06:00:00  dump z", "12:00:00  ", "  "}),
              (Lines{"   ", "  12:00:00", " Dump X 07:00:00", " dump z 06:00:00",
                     " Play X 08:00:00", " Play X 09:00:00", " short"}));
}
