#pragma once
// The export engine: copies a finished recording, up to its export length and optionally
// faded out, to the path its export entry names, and for the "Winjock" naming writes the
// 20-byte companion file with the length and the air date.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "export/ExportEntry.h"
#include "export/ExportState.h"
#include "logs/LogState.h"
#include "platform/Audio.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/ErrorDisplay.h"
#include "platform/EventLoop.h"
#include "platform/FileSystem.h"

namespace quillmar {

inline constexpr std::int64_t kExportFadeMs = 5000;

// What the export engine works with. The progress timer runs while an export does; changed
// is called when a conversion ends outside any handler of the station.
struct ExportServices {
    ExportState& state;
    Logs& logs;
    FileSystem& files;
    Audio& audio;
    Clock& clock;
    ErrorDisplay& errors;
    Timer& progressTimer;
    std::function<void()> changed;
};

// A recording that has stopped, as its export needs it.
struct FinishedRecording {
    int recordNo = 0;  // its schedule record, which is also its export entry
    int weekday = 0;   // 1 = Sunday .. 7 = Saturday
    std::string file;  // drive path of the wave file
    double seconds = 0;
    int channels = 2;
};

// Whether the recording's export entry is active and selects its weekday.
bool ExportSelected(const ExportState& state, const FinishedRecording& recording);
// Queues the recording's export and starts it unless one is under way (this one then waits
// for it). The job queued, or nothing when the entry names no export.
std::optional<ExportJob> ExportRecording(const ExportServices& ex,
                                         const FinishedRecording& recording);
// tmrExport: the gauge follows the conversion.
void ExportProgress(ExportState& state);
// The conversion's end: the companion file, the display, then the next waiting export.
void ExportFinished(const ExportServices& ex, bool ok, const std::string& error);
// True while an export runs or waits.
bool ExportBusy(const ExportState& state);

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
