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

using Lines = std::vector<std::string>;
struct ViewRow {
    const char* kind;
    std::vector<std::pair<const char*, const char*>> files;
    const char* loadCaption;
    Lines dates;
    int choice;
    bool byEvent;
    Lines shown;
    const char* dayCaption;
};
}  // namespace

// Days of the kind newest first (or "No Logs Found", where Ok does nothing), then a day by time
// or grouped by message without regard to case with the time at the end.
TEST(LogViewer, ListsTheDaysOfItsKindAndShowsTheChosenOne) {
    const char* farm = "07:00:00  Dump Farm Report\r\n08:00:00  Play Farm Report\r\n";
    // clang-format off
    const ViewRow rows[] = {
        {"AL", {{"AL261204.log", farm}, {"al261205.LOG", "09:00:00  Record News\r\n"},
                {"ER261206.log", "x\r\n"}, {"ALnotes.txt", "x\r\n"}},
         "Load Activity Log", {"12/05/26", "12/04/26"}, 1, false,
         {"07:00:00  Dump Farm Report", "08:00:00  Play Farm Report"}, "Activity Log for 12/04/26"},
        {"EB", {{"AL261204.log", "x\r\n"}}, "Load EbNo Log", {"No Logs Found"}, 0, false, {},
         "Load EbNo Log"},
        {"ER", {{"ER261204.log", ""}, {"ER261203.log", "12:00:00  x\r\n"}}, "Load Error Log",
         {"12/04/26", "12/03/26"}, 0, false, {"Log for 12/04/26 does not exist."},
         "Error Log for 12/04/26"},
        {"AL", {{"AL261204.log", "08:00:00  Play Farm Report\r\n07:00:00  Dump Farm Report\r\n"
                 "09:00:00  Play Farm Report\r\nshort\r\n06:00:00  dump tape\r\n"}},
         "Load Activity Log", {"12/04/26"}, 0, true,
         {" Dump Farm Report 07:00:00", " dump tape 06:00:00", " Play Farm Report 08:00:00",
          " Play Farm Report 09:00:00", " short"}, "Activity Log for 12/04/26"},
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(r.loadCaption);
        Viewer v(r.kind);
        for (const auto& [name, text] : r.files) v.log(name, text);
        auto m = v.load();
        EXPECT_EQ(m.lstDate, r.dates);
        EXPECT_EQ(m.caption, r.loadCaption);
        m.lstDateIndex = r.choice;
        m.byEvent = r.byEvent;
        v.ok(m);
        EXPECT_EQ(m.showingDay, !r.shown.empty());
        EXPECT_EQ(m.lstActivityLog, r.shown);
        EXPECT_EQ(m.caption, r.dayCaption);
    }
}

// Read off the loop, once; Ok goes back to the dates; a day is not shown once the window went
// away, and a file that vanished meanwhile does not exist.
TEST(LogViewer, ADayIsReadOffTheLoopOnceAndNotShownAfterTheWindowWentAway) {
    Viewer v("AL");
    v.log("AL261204.log", "07:00:00  Dump Farm Report\r\n");
    v.log("AL261205.log", "09:00:00  Record News\r\n");
    auto m = v.load();
    v.s.background.delayMs = 500;
    v.ok(m);
    EXPECT_TRUE(m.reading && m.showingDay);
    EXPECT_EQ(m.caption, "Activity Log for 12/05/26");
    m.lstDateIndex = 1;
    v.ok(m);  // refused while the day is read
    EXPECT_EQ(v.s.background.pending(), 1);
    v.s.loop.advance(500);
    EXPECT_FALSE(m.reading);
    EXPECT_EQ(m.lstActivityLog, Lines{"09:00:00  Record News"});
    EXPECT_EQ(v.shown, 1);

    v.ok(m);
    EXPECT_FALSE(m.showingDay);
    EXPECT_TRUE(m.lstActivityLog.empty());
    EXPECT_EQ(m.caption, "Select Activity Log");
    v.ok(m);
    v.guard.drop();
    v.s.loop.advance(500);
    EXPECT_TRUE(m.lstActivityLog.empty());
    EXPECT_EQ(v.shown, 1);

    Viewer w("AL");
    w.log("AL261204.log", "x\r\n");
    m = w.load();
    w.s.files.deleteMatching("c:\\satfile\\logs\\AL261204.log");
    w.ok(m);
    EXPECT_EQ(m.lstActivityLog, Lines{"Log for 12/04/26 does not exist."});
}

TEST(LogViewer, LinesByEventKeepsEveryLineWhateverItsLength) {
    EXPECT_EQ(LinesByEvent({"", "12:00:00", "12:00:00  ", "  "}),
              (std::vector<std::string>{" ", "   ", "  12:00:00", " 12:00:00"}));
}
