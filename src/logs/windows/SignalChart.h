#pragma once
// The chart of a signal history: Eb/No against local time, receiver and silence alarms as
// shaded bands, recordings as marks along the bottom of the plot. The window and the
// command-line report draw the same chart.

#include <QString>
#include <QtGlobal>
#include <functional>

#include "logs/SignalHistory.h"

QT_BEGIN_NAMESPACE
class QChart;
QT_END_NAMESPACE

namespace quillmar {

// Milliseconds since the epoch of a logged moment in the machine's time zone. Of the two
// readings of a wall time in the hour repeated when daylight saving ends, a line logged after
// the clock went back takes the later one; so a 25-hour day spans 25 hours on the axis.
qint64 SignalAxisMs(const LogMoment& moment);
// The first moment of a day and of the day after, as axis milliseconds.
qint64 SignalDayStartMs(const Date& day);

// Series names, which the window and its test find them by.
inline const QString kEbNoSeries = QStringLiteral("Eb/No");
inline const QString kReceiverAlarmSeries = QStringLiteral("Receiver alarm");
inline const QString kSilenceAlarmSeries = QStringLiteral("Silence alarm");
inline const QString kRecordingSeries = QStringLiteral("Recordings");

// Fills an empty chart. hover(text) is called with "time  value" while the pointer is on a
// point, and with an empty text when it leaves; null for a chart nobody points at.
void BuildSignalChart(QChart& chart, const SignalHistory& history,
                      const std::function<void(const QString&)>& hover = {});

// "hh:mm:ss", or "mm/dd/yy hh:mm:ss" for a history of more than one day.
QString SignalTimeText(const LogMoment& moment, bool withDate);

}  // namespace quillmar
