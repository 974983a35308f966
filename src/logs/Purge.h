#pragma once

#include "logs/LogState.h"
#include "platform/DateTime.h"

namespace quillmar {

// How long a kind of log is kept (the settings' ActivityLogPeriod and EbNoLogPeriod).
enum class KeepPeriod { Day = 1, Week = 2, Month = 3, Year = 4 };

// The nightly purge (00:00:30): the sound files of one weekday, and the activity, error and
// Eb/No logs of one past day, as the settings choose; each deletion is noted in the activity
// log. A kind whose keeping period is outside its range (a fresh installation holds 0) is
// skipped. Failures to delete are ignored file by file.
void PurgeOldFiles(Logs& logs);

// The day one keeping period before today: 1 a day, 2 a week, 3 a month, 4 a year back. A
// month or year step that lands on a day the month lacks gives its last day. False for any
// other period.
bool PeriodBefore(const Date& today, int period, Date* day);

}  // namespace quillmar
