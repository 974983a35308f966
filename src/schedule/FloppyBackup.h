#pragma once

#include <functional>

namespace quillmar {

class ErrorDisplay;
class FileSystem;
class RecordFile;
struct ScheduleStore;
struct StationSettings;

// What the copies touch: the data files that stay open for the run, the settings, and the
// progress bar in the schedule store (`changed` re-renders it after each step).
struct FloppyCopy {
    FileSystem& files;
    ErrorDisplay& errors;
    ScheduleStore& schedule;
    RecordFile& exportFile;
    const char* exportPath;  // the export table's drive path
    StationSettings& settings;
    std::function<void()> changed;
};

// The File menu's copies between the data folder and drive a:. Each shows
// "<error number> <description>" in the error window on failure and returns false; a missing
// drive a: fails before anything is touched. The schedule and export table are copied as
// whole records and the target ends up exactly the source's length.
bool SaveFilesToFloppy(FloppyCopy& copy);
bool LoadScheduleFromFloppy(FloppyCopy& copy);
bool LoadAutoExportFromFloppy(FloppyCopy& copy);
bool LoadSourceCodesFromFloppy(FloppyCopy& copy);
// `settingsRead` tells whether the settings in memory were replaced from the copy (they are
// even when writing them to the local file then fails).
bool LoadSetupFromFloppy(FloppyCopy& copy, bool* settingsRead);

}  // namespace quillmar
