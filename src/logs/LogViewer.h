#pragma once
// The log viewer's logic: the list of days of one kind of log, and one day's lines in file
// order or grouped by message, read off the loop thread.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmar {

class BackgroundWork;
class CompletionGuard;
class FileSystem;

struct LogViewerModel {
    std::string kind;                  // "AL", "EB" or "ER", the log the window was opened for
    std::string caption;               // the error-log kind leaves it as it was
    std::vector<std::string> lstDate;  // "mm/dd/yy", newest first, or "No Logs Found"
    int lstDateIndex = -1;
    bool showingDay = false;  // the day's lines are shown; the date list and options hidden
    bool byEvent = false;     // "By Event" chosen instead of "By Time"
    bool reading = false;     // the shown day's lines are being read
    std::vector<std::string> lstActivityLog;
};

inline constexpr const char* kNoLogsFound = "No Logs Found";

// Window load: the days of the log kind, the first selected, "By Time" chosen.
void LoadLogViewer(const FileSystem& files, LogViewerModel& m, std::string_view kind);
// "&Ok" and a double click on a date: goes back to the dates, or shows the selected day: its
// caption at once, its lines once `work` has read them, then `shown` runs (neither when
// `guard` has dropped them). Does nothing while a day is being read.
void LogViewerOk(const FileSystem& files, BackgroundWork& work, const CompletionGuard& guard,
                 LogViewerModel& m, std::function<void()> shown);
// "By Event" order of a day's lines: each line as message, blank, time, sorted as text.
std::vector<std::string> LinesByEvent(const std::vector<std::string>& lines);

}  // namespace quillmar
