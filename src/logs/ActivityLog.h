#pragma once

#include <string>
#include <string_view>

#include "logs/LogState.h"
#include "platform/DateTime.h"

namespace quillmar {

inline constexpr const char* kLogsFolder = "c:\\satfile\\logs";

// "c:\satfile\logs\" + kind + yymmdd + ".log".
std::string DailyLogPath(std::string_view kind, const Date& day);
// Appends "hh:mm:ss  " + message to today's activity log when ActivityLog is 1.
void WriteActivityLog(Logs& logs, std::string_view message);
// Appends timeText + "  " + message to today's error log when ActivityLog is 1.
void WriteErrorLog(Logs& logs, std::string_view timeText, std::string_view message);
// Appends one CR LF line to today's log of a kind ("AL", "ER", "EB"). A failure is shown in
// the error window once until a line is written again; a missing logs folder is made anew.
bool AppendDailyLog(Logs& logs, std::string_view kind, std::string_view line);

}  // namespace quillmar
