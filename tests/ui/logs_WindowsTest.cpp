// The log viewer and the Signal window offscreen, opened from the History menu.
#include <ctime>

#include "Windows.h"
#include "logs/ActivityLog.h"
#include "logs/windows/SignalChart.h"
#include "logs/windows/SignalReport.h"
#include "logs/windows/frmActivityLog.h"
#include "logs/windows/frmSignal.h"

using namespace quillmar;
using quillmar::testing::SimStation;

namespace {

// Hourly polls of a day, hours from..to.
std::string Polls(int from, int to, const char* db) {
    std::string text;
    for (int h = from; h < to; ++h) text += TimeText(h * 3600 + 12) + "  " + db + "\r\n";
    return text;
}

}  // namespace

TEST(HistoryWindows, TheLogViewerAndTheSignalWindowShowTheLogsOfThePeriodAndFollowNewPolls) {
    SimStation s(DateTime::from(2026, 3, 10, 10, 0, 30));
    const Date today{2026, 3, 10};
    s.write(DailyLogPath("EB", today), Polls(0, 10, "10.5 dB") + "garbled\r\n");
    s.write(DailyLogPath("EB", today.addDays(-1)), Polls(0, 24, "9.0 dB"));
    s.write(DailyLogPath("AL", today), "03:02:00  Alarm End\r\n03:00:00  Alarm\r\n");
    s.start();
    s.st().Settings.EbNoLogRate = 5;
    s.serial.answer("R C", "\n\n\n\n\n\n\n\n\n\n\n6.5 dB\r\n>", 10);  // on line eleven
    mnuMenu w(s.st());
    RegisterWindows(w, s.st());
    w.findChild<QAction*>("mnuEbNo")->trigger();
    w.findChild<QAction*>("mnuActivityLog")->trigger();  // the same viewer, now of the alarms
    QApplication::processEvents();
    ASSERT_EQ(Shown<frmActivityLog>().size(), 1u);
    frmActivityLog* log = Shown<frmActivityLog>()[0];
    log->lstDate->setCurrentRow(0);
    log->Option2->setChecked(true);
    emit log->lstDate->itemDoubleClicked(log->lstDate->item(0));
    s.loop.runPending();
    EXPECT_EQ(Lines(log->lstActivityLog), (QStringList{" Alarm 03:00:00", " Alarm End 03:02:00"}));
    QTest::mouseClick(log->cmdOk, Qt::LeftButton);  // back to the days
    log->close();

    w.findChild<QAction*>("mnuSignal")->trigger();
    ASSERT_EQ(Shown<frmSignal>().size(), 1u);
    frmSignal* v = Shown<frmSignal>()[0];
    s.loop.runPending();
    EXPECT_EQ(v->history().samples.size(), 34u);  // seven days
    v->cboPeriod->setCurrentIndex(0);             // today
    s.loop.runPending();
    EXPECT_EQ(v->history().samples.size(), 10u);
    s.loop.advance(60'000);  // the poll at 10:01:12 appears without touching the window
    EXPECT_EQ(v->history().samples.size(), 11u);
    v->close();
}

TEST(SignalWindow, ALineLoggedAfterTheClockWentBackLiesAnHourLaterOnTheAxis) {
    const QByteArray saved = qgetenv("TZ");
    qputenv("TZ", "America/New_York");
    tzset();
    const auto shift = [](const DateTime& at) {
        return SignalAxisMs({at, true}) - SignalAxisMs({at, false});
    };
    EXPECT_EQ(shift({{2026, 11, 1}, (1 * 3600 + 30 * 60) * 1000}), 3'600'000);
    EXPECT_EQ(shift({{2026, 11, 1}, 12 * 3'600'000}), 0);  // away from the repeated hour
    saved.isNull() ? qunsetenv("TZ") : qputenv("TZ", saved);
    tzset();
}

TEST(SignalReport, WritesAPictureOfTheReportSizeInTheFormatItsNameSays) {
    SignalHistoryBuilder b;
    b.addDay({{2026, 3, 9}, "00:00:12  10.2 dB\r\n", "00:00:30  Alarm\r\n", {}});
    const SignalHistory h = b.finish({2026, 3, 9}, {2026, 3, 9});
    QTemporaryDir dir;
    std::string error;
    const auto write = [&](const char* name) {
        return WriteSignalPicture(h, dir.filePath(name).toStdString(), &error);
    };
    ASSERT_TRUE(write("week.png") && write("week.svg")) << error;
    EXPECT_EQ(QImage(dir.filePath("week.png")).size(),
              QSize(kSignalReportWidth, kSignalReportHeight));
    EXPECT_FALSE(write("week.jpg") || write("missing/week.png"));
}
