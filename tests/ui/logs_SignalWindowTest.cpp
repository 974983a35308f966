// The Signal window on fixture logs, its time axis over daylight-saving days, and the report.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QImage>
#include <QLineSeries>
#include <QScatterSeries>
#include <QTemporaryDir>
#include <ctime>

#include "core/windows/WindowRegistry.h"
#include "core/windows/mnuMenu.h"
#include "logs/ActivityLog.h"
#include "logs/windows/SignalChart.h"
#include "logs/windows/SignalReport.h"
#include "logs/windows/frmSignal.h"
#include "support/SimStation.h"

using namespace quillmar;
using quillmar::testing::SimStation;

namespace {

// Points of the Eb/No line (in pieces) and the spans of an alarm band.
int EbNoPoints(QChart* chart) {
    int n = 0;
    for (auto* s : chart->series())
        if (s->name() == kEbNoSeries) n += static_cast<int>(static_cast<QLineSeries*>(s)->count());
    return n;
}
int Spans(QChart* chart, const QString& name) {
    for (auto* s : chart->series())
        if (s->name() == name)
            return static_cast<int>(static_cast<QAreaSeries*>(s)->upperSeries()->count() / 4);
    return -1;
}
int Marks(QChart* chart) {
    for (auto* s : chart->series())
        if (s->name() == kRecordingSeries)
            return static_cast<int>(static_cast<QScatterSeries*>(s)->count());
    return -1;
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
    const auto log = [&](const char* kind, const Date& d, const std::string& text) {
        s.write(DailyLogPath(kind, d), text);
    };
    log("EB", today, Polls(0, 10, "10.5 dB") + "09:30:12  \r\n" + "garbled\r\n");
    log("EB", today.addDays(-1), Polls(0, 24, "9.0 dB"));
    log("EB", today.addDays(-6), Polls(0, 24, "8.0 dB"));
    log("EB", today.addDays(-20), Polls(0, 24, "7.0 dB"));
    log("AL", today.addDays(-1),
        "08:00:00  Record News\r\n08:30:00  Stop   News 30:00\r\n23:50:00  Alarm\r\n");
    log("AL", today, "00:10:00  Alarm End\r\n03:00:00  Alarm\r\n03:02:00  Alarm End\r\n");
    log("ER", today.addDays(-1),
        "08:10:00  News Audio Alarm 10:00\r\n08:10:40  News End Alarm   10:40\r\n  \r\n");
    s.start();
    s.st().Settings.EbNoLogRate = 5;
    s.serial.answer("R C", CarrierReport("6.5 dB"), 10);
    mnuMenu w(s.st());
    RegisterWindows(w, s.st());
    s.background.delayMs = 100;  // the logs are read while the window is already up
    w.findChild<QAction*>("mnuSignal")->trigger();
    frmSignal* v = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* f = qobject_cast<frmSignal*>(top); f && f->isVisible()) v = f;
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->windowTitle(), "Signal");
    EXPECT_EQ(EbNoPoints(v->chtSignal->chart()), 0);
    s.background.delayMs = 0;

    struct Period {
        int index, points, alarms, silences, marks;
    };
    // Today: 10 polls (one more without a figure, one line garbled) and the 03:00 alarm; an
    // end whose start lies before the period is no span. Seven days add the 9th and the 4th,
    // with the alarm from the 9th's evening into today; 31 days the 18th of February.
    const Period periods[] = {{0, 10, 1, 0, 0}, {1, 58, 2, 1, 1}, {2, 82, 2, 1, 1}};
    for (const auto& p : periods) {
        SCOPED_TRACE(p.index);
        v->cboPeriod->setCurrentIndex(p.index);
        s.loop.runPending();
        QChart* chart = v->chtSignal->chart();
        EXPECT_EQ(EbNoPoints(chart), p.points);
        EXPECT_EQ(Spans(chart, kReceiverAlarmSeries), p.alarms);
        EXPECT_EQ(Spans(chart, kSilenceAlarmSeries), p.silences);
        EXPECT_EQ(Marks(chart), p.marks);
        EXPECT_EQ(v->history().skippedLines, 1);
    }
    EXPECT_EQ(v->lblSummary->text(),
              "Polls: 82   Receiver alarms: 2   Silence alarms: 1   Recordings: 1   "
              "Unreadable log lines skipped: 1");

    // The window follows the station: the poll at 10:01:12 appears without touching it.
    v->cboPeriod->setCurrentIndex(0);
    s.loop.advance(60'000);
    EXPECT_EQ(EbNoPoints(v->chtSignal->chart()), 11);
    EXPECT_EQ(v->history().samples.back().ebNoDb, 6.5);
    v->close();
}

TEST(SignalWindow, DaylightSavingDaysAre23And25HoursLongOnTheAxis) {
    const QByteArray saved = qgetenv("TZ");
    qputenv("TZ", "America/New_York");
    tzset();
    struct Case {
        Date day;
        qint64 hours;
    };
    for (const Case& c :
         {Case{{2026, 3, 8}, 23}, Case{{2026, 11, 1}, 25}, Case{{2026, 11, 2}, 24}}) {
        SCOPED_TRACE(c.hours);
        EXPECT_EQ(SignalDayStartMs(c.day.addDays(1)) - SignalDayStartMs(c.day),
                  c.hours * 3'600'000);
    }
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

TEST(SignalReport, WritesAPictureOfTheReportSizeAndCsvRowsOfTheLogs) {
    SignalHistoryBuilder b;
    const std::string eb = "00:00:12  10.2 dB\r\n00:01:12  \r\n00:02:12  Eb/No: 9.75 dB\r\nbad\r\n";
    b.addDay({{2026, 3, 9}, eb, "00:00:30  Alarm\r\n00:01:30  Alarm End\r\n", {}});
    const SignalHistory h = b.finish({2026, 3, 9}, {2026, 3, 9});
    EXPECT_EQ(SignalCsv(h),
              "time,Eb/No (dB)\n2026-03-09 00:00:12,10.2\n2026-03-09 00:01:12,\n2026-03-09 "
              "00:02:12,9.75\n");

    QTemporaryDir dir;
    std::string error;
    const std::string png = dir.filePath("week.png").toStdString();
    ASSERT_TRUE(WriteSignalPicture(h, png, &error)) << error;
    EXPECT_EQ(QImage(QString::fromStdString(png)).size(),
              QSize(kSignalReportWidth, kSignalReportHeight));
    const std::string svg = dir.filePath("week.svg").toStdString();
    ASSERT_TRUE(WriteSignalPicture(h, svg, &error)) << error;
    QFile file(QString::fromStdString(svg));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("<svg"));
    EXPECT_FALSE(WriteSignalPicture(h, dir.filePath("week.jpg").toStdString(), &error));
    EXPECT_FALSE(WriteSignalPicture(h, dir.filePath("missing/week.png").toStdString(), &error));
}
