#pragma once

#include <string>
#include <string_view>

#include "platform/DateTime.h"

namespace quillmar {

class Station;

inline constexpr const char* kLogsFolder = "c:\\satfile\\logs";

// "c:\satfile\logs\" + kind + yymmdd + ".log".
std::string DailyLogPath(std::string_view kind, const Date& day);
// Appends "hh:mm:ss  " + message to today's activity log when ActivityLog is 1.
void WriteActivityLog(Station& st, std::string_view message);
// Appends timeText + "  " + message to today's error log when ActivityLog is 1.
void WriteErrorLog(Station& st, std::string_view timeText, std::string_view message);
// Appends one CR LF line to today's log of a kind ("AL", "ER", "EB"). A failure is shown in
// the error window once until a line is written again; a missing logs folder is made anew.
bool AppendDailyLog(Station& st, std::string_view kind, std::string_view line);

}  // namespace quillmar
