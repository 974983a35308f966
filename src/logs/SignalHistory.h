#pragma once
// The signal history of a run of days, read back from the daily logs: the Eb/No of every poll
// (EB logs), receiver alarms and recordings (AL logs) and silence alarms (ER logs). Reading
// never fails: a line that is not "hh:mm:ss  text" is skipped and counted.

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DateTime.h"

namespace quillmar {

class FileSystem;

// A moment as the logs give it: the day of the file and the wall-clock time of the line.
struct LogMoment {
    DateTime at;
    // The line lies before an earlier line of the same file: the clock was set back (the end
    // of daylight saving repeats an hour). Whoever maps wall time to a time line takes the
    // later of two readings of an ambiguous time for it.
    bool afterSetBack = false;
    friend bool operator==(const LogMoment&, const LogMoment&) = default;
};

struct SignalSample {
    LogMoment when;
    double ebNoDb = NAN;  // NaN: the poll got no figure (empty or unreadable Eb/No text)
    bool hasValue() const { return !std::isnan(ebNoDb); }
};

enum class SpanKind { ReceiverAlarm, SilenceAlarm };

struct SignalSpan {
    SpanKind kind = SpanKind::ReceiverAlarm;
    LogMoment start, end;
    // False when no end line was found: a receiver alarm then ends at the next poll after its
    // start; a silence alarm, or an alarm no poll follows, ends where it starts.
    bool endLogged = false;
    std::string label;  // programme name of a silence alarm
};

struct RecordingMark {
    LogMoment start;
    LogMoment stop;  // equals start when no "Stop" line follows
    bool stopped = false;
    std::string name;
};

struct SignalHistory {
    Date first, last;
    std::vector<SignalSample> samples;  // in time order
    std::vector<SignalSpan> spans;      // receiver alarms, then silence alarms, each in order
    std::vector<RecordingMark> recordings;
    int skippedLines = 0;  // malformed or truncated lines of any of the logs
    std::vector<Date> daysWithoutEbLog;
};

// Reads the EB, AL and ER logs of the days first..last (inclusive) under c:\satfile\logs.
SignalHistory ReadSignalHistory(const FileSystem& files, const Date& first, const Date& last);

// One day's logs as text (empty when the file is missing), read into the history. Alarms and
// recordings still open at the end of a day continue into the next day read; call
// FinishSignalHistory once after the last day.
struct SignalDayText {
    Date day;
    std::string_view eb, al, er;
    bool hasEb = true;
};
class SignalHistoryBuilder {
  public:
    void addDay(const SignalDayText& text);
    SignalHistory finish(const Date& first, const Date& last);

  private:
    SignalHistory h_;
    int openAlarm_ = -1;  // index into spans_ of a receiver alarm without end
    std::vector<SignalSpan> silence_;
    std::vector<int> openSilence_;     // indexes into silence_ waiting for "End Alarm"
    std::vector<int> openRecordings_;  // indexes into recordings waiting for "Stop"
    std::vector<int> unknownEnds_;     // receiver alarms ending at the next poll
};

// "time,Eb/No (dB)" and one row per poll: "2026-01-31 23:59:12,10.2"; a poll without a
// figure leaves the value empty. Lines end with LF.
std::string SignalCsv(const SignalHistory& history);

// "10.2 dB", "Eb/No: -1.5dB", "12" give the figure; anything else ("", "Unlocked") gives NaN.
double ParseEbNoText(std::string_view text);
// "hh:mm:ss" as seconds of the day, or -1.
int ParseLogTime(std::string_view text);

}  // namespace quillmar
