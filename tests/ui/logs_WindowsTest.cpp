// The log viewer and the Signal window offscreen, opened from the History menu.
#include <gtest/gtest.h>

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <ctime>

#include "Windows.h"
#include "core/windows/WindowRegistry.h"
#include "core/windows/mnuMenu.h"
#include "logs/ActivityLog.h"
#include "logs/windows/SignalChart.h"
#include "logs/windows/SignalReport.h"
#include "logs/windows/frmActivityLog.h"
#include "logs/windows/frmSignal.h"
#include "support/SimStation.h"

using namespace quillmar;
using quillmar::testing::SimStation;

TEST(LogViewerWindow, TheHistoryEntriesShareOneViewerThatShowsADayByTime) {
    SimStation s;
    s.write("c:\\satfile\\logs\\AL261204.log",
            "08:00:00  Play Farm Report\r\n07:00:00  Dump Farm Report\r\n");
    s.write("c:\\satfile\\logs\\AL261205.log", "09:00:00  Record News\r\n");
    s.start();
    mnuMenu w(s.st());
    RegisterWindows(w, s.st());
    w.findChild<QAction*>("mnuEbNo")->trigger();
    w.findChild<QAction*>("mnuActivityLog")->trigger();
    QApplication::processEvents();
    ASSERT_EQ(Shown<frmActivityLog>().size(), 1u);
    frmActivityLog* v = Shown<frmActivityLog>()[0];
    EXPECT_EQ(Lines(v->lstDate), (QStringList{"12/05/26", "12/04/26"}));
    v->lstDate->setCurrentRow(1);
    v->Option2->setChecked(true);
    QTest::mouseClick(v->cmdOk, Qt::LeftButton);
    EXPECT_FALSE(v->cmdOk->isEnabled());  // until the day has been read
    s.loop.runPending();
    EXPECT_TRUE(v->lstActivityLog->isVisible() && !v->lstDate->isVisible());
    EXPECT_EQ(Lines(v->lstActivityLog),
              (QStringList{" Dump Farm Report 07:00:00", " Play Farm Report 08:00:00"}));
    QTest::mouseClick(v->cmdOk, Qt::LeftButton);  // back to the days
    v->lstDate->setCurrentRow(0);
    emit v->lstDate->itemDoubleClicked(v->lstDate->item(0));
    s.loop.runPending();
    EXPECT_EQ(Lines(v->lstActivityLog).size(), 1);
    QTest::mouseClick(v->cmdClose, Qt::LeftButton);
    EXPECT_FALSE(v->isVisible());
}

namespace {

// Points of the Eb/No line (in pieces).
int EbNoPoints(QChart* chart) {
    int n = 0;
    for (auto* s : chart->series())
        if (s->name() == kEbNoSeries) n += static_cast<int>(static_cast<QLineSeries*>(s)->count());
    return n;
}
std::string CarrierReport(const std::string& ebno) {
    std::string text = "\r\n";
    for (int i = 1; i <= 10; ++i) text += "Line " + std::to_string(i) + "\r\n";
    return text + "Eb/No                   :  " + ebno + "\r\n>";
}

// Hourly polls of a day, hours from..to.
std::string Polls(int from, int to, const char* db) {
    std::string text;
    for (int h = from; h < to; ++h) text += TimeText(h * 3600 + 12) + "  " + db + "\r\n";
    return text;
}

}  // namespace

TEST(SignalWindow, ChartsTheLogsOfThePeriodAndFollowsNewPolls) {
    SimStation s(DateTime::from(2026, 3, 10, 10, 0, 30));
    const Date today{2026, 3, 10};
    s.write(DailyLogPath("EB", today), Polls(0, 10, "10.5 dB") + "garbled\r\n");
    s.write(DailyLogPath("EB", today.addDays(-1)), Polls(0, 24, "9.0 dB"));
    s.write(DailyLogPath("AL", today), "03:00:00  Alarm\r\n03:02:00  Alarm End\r\n");
    s.start();
    s.st().Settings.EbNoLogRate = 5;
    s.serial.answer("R C", CarrierReport("6.5 dB"), 10);
    mnuMenu w(s.st());
    RegisterWindows(w, s.st());
    s.background.delayMs = 100;  // the logs are read while the window is already up
    w.findChild<QAction*>("mnuSignal")->trigger();
    ASSERT_EQ(Shown<frmSignal>().size(), 1u);
    frmSignal* v = Shown<frmSignal>()[0];
    EXPECT_EQ(EbNoPoints(v->chtSignal->chart()), 0);
    s.loop.advance(100);
    EXPECT_EQ(EbNoPoints(v->chtSignal->chart()), 34);  // seven days
    s.background.delayMs = 0;
    v->cboPeriod->setCurrentIndex(0);  // today
    s.loop.runPending();
    EXPECT_EQ(EbNoPoints(v->chtSignal->chart()), 10);
    s.loop.advance(60'000);  // the poll at 10:01:12 appears without touching the window
    EXPECT_EQ(EbNoPoints(v->chtSignal->chart()), 11);
    EXPECT_EQ(v->history().samples.back().ebNoDb, 6.5);
    v->close();
}

TEST(SignalWindow, DaylightSavingDaysAre23And25HoursLongOnTheAxis) {
    const QByteArray saved = qgetenv("TZ");
    qputenv("TZ", "America/New_York");
    tzset();
    for (auto [day, hours] :
         {std::pair{Date{2026, 3, 8}, 23}, {Date{2026, 11, 1}, 25}, {Date{2026, 11, 2}, 24}})
        EXPECT_EQ(SignalDayStartMs(day.addDays(1)) - SignalDayStartMs(day), hours * 3'600'000LL);
    // The repeated hour: a line logged after the clock went back lies an hour later.
    const DateTime first{{2026, 11, 1}, (1 * 3600 + 30 * 60) * 1000};
    EXPECT_EQ(SignalAxisMs({first, true}) - SignalAxisMs({first, false}), 3'600'000);
    // Away from it the flag changes nothing (a clock set back by a few seconds).
    const DateTime noon{{2026, 11, 1}, 12 * 3'600'000};
    EXPECT_EQ(SignalAxisMs({noon, true}), SignalAxisMs({noon, false}));
    if (saved.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", saved);
    tzset();
}

TEST(SignalReport, WritesAPictureOfTheReportSizeInTheFormatItsNameSays) {
    SignalHistoryBuilder b;
    b.addDay({{2026, 3, 9}, "00:00:12  10.2 dB\r\n", "00:00:30  Alarm\r\n", {}});
    const SignalHistory h = b.finish({2026, 3, 9}, {2026, 3, 9});
    QTemporaryDir dir;
    std::string error;
    const std::string png = dir.filePath("week.png").toStdString();
    ASSERT_TRUE(WriteSignalPicture(h, png, &error)) << error;
    EXPECT_EQ(QImage(QString::fromStdString(png)).size(),
              QSize(kSignalReportWidth, kSignalReportHeight));
    ASSERT_TRUE(WriteSignalPicture(h, dir.filePath("week.svg").toStdString(), &error)) << error;
    EXPECT_FALSE(WriteSignalPicture(h, dir.filePath("week.jpg").toStdString(), &error));
    EXPECT_FALSE(WriteSignalPicture(h, dir.filePath("missing/week.png").toStdString(), &error));
}
