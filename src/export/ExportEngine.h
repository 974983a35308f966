#pragma once
// The export engine: copies a finished recording, up to its export length and optionally
// faded out, to the path its export entry names, and for the "Winjock" naming writes the
// 20-byte companion file with the length and the air date.

#include <cstdint>
#include <string>

#include "export/ExportEntry.h"
#include "export/ExportState.h"
#include "platform/DateTime.h"

namespace quillmar {

class Station;

inline constexpr std::int64_t kExportFadeMs = 5000;

// After a recording stops: exports it when its export entry (ExportRecordNo) is active and
// selects the recorded weekday (ExportWeekday).
void CheckExport(Station& st);
// Exports the last recording (ExportRecordNo, ExportWeekday, ExportRecordingFile,
// RecordedSeconds). An export already under way is finished first; this one waits for it.
void ExportRecording(Station& st);
// tmrExport: the gauge follows the conversion.
void ExportProgress(Station& st);
// The conversion's end: the companion file, the display, then the next waiting export.
void ExportFinished(Station& st, bool ok, const std::string& error);
// True while an export runs or waits.
bool ExportBusy(const Station& st);

// --- the rules, as values ---

// The next date, today included, that falls on day index `day` (0 = Sunday).
Date WinjockAirDate(const Date& today, int day);
// Day of the year in three digits followed by the programme's number: 04512.
std::string WinjockKey(const Date& airDate, int winjockNumber);
// The export of a recording `recordedSeconds` long made for day index `day`, on `today`:
// target paths, air date and the length actually exported.
ExportJob BuildExportJob(const ExportEntry& entry, int day, double recordedSeconds,
                         const Date& today);
// The companion file: segue (total, less 2 with the fade) and total in seconds, then the air
// date "MM-DD-YYYY"; numbers fill their five bytes from the left, the rest stays zero.
std::string CompanionRecord(const ExportJob& job);

}  // namespace quillmar
