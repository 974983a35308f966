#pragma once

#include <functional>

namespace quillmar {

class BackgroundWork;
class ErrorDisplay;
class EventLoop;
class FileSystem;
class RecordFile;
struct ScheduleStore;
struct StationSettings;

// What the copies touch: the data files that stay open for the run, the settings, and the
// progress bar in the schedule store (`changed` re-renders it after each step). Drive a: is
// read and written off the loop through `background`; its steps reach the bar through `loop`.
struct FloppyCopy {
    FileSystem& files;
    ErrorDisplay& errors;
    ScheduleStore& schedule;
    RecordFile& exportFile;
    const char* exportPath;  // the export table's drive path
    StationSettings& settings;
    BackgroundWork& background;
    EventLoop& loop;
    std::function<void()> changed;
};

struct FloppyOutcome {
    bool ok = false;
    bool settingsRead = false;  // the settings in memory were replaced from the copy
};
using FloppyDone = std::function<void(const FloppyOutcome&)>;

// The File menu's copies between the data folder and drive a:. Each returns false and does
// nothing while another copy runs (ScheduleStore::FloppyCopyRunning); otherwise it starts the
// copy and returns true. When the copy ends, on the loop thread: a failure shows
// "<error number> <description>" in the error window, a success hides the bar, then `done`
// runs. A missing drive a: fails before anything is touched. The schedule and export table
// are copied as whole records and the target ends up exactly the source's length. The local
// files are read and written on the loop thread only, so the station never sees one half
// copied.
bool SaveFilesToFloppy(const FloppyCopy& copy, FloppyDone done);
bool LoadScheduleFromFloppy(const FloppyCopy& copy, FloppyDone done);
bool LoadAutoExportFromFloppy(const FloppyCopy& copy, FloppyDone done);
bool LoadSourceCodesFromFloppy(const FloppyCopy& copy, FloppyDone done);
// The settings in memory are replaced even when writing them to the local file then fails.
bool LoadSetupFromFloppy(const FloppyCopy& copy, FloppyDone done);

}  // namespace quillmar
