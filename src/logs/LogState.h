#pragma once
// The logs subsystem as the others use it: where the daily logs go, whether they are kept,
// and the one piece of state of its own.

#include "platform/Clock.h"
#include "platform/ErrorDisplay.h"
#include "platform/FileSystem.h"
#include "settings/StationSettings.h"

namespace quillmar {

struct Logs {
    Logs(FileSystem& files, ErrorDisplay& errors, Clock& clock, const StationSettings& settings)
        : files(files), errors(errors), clock(clock), settings(settings) {}
    FileSystem& files;
    ErrorDisplay& errors;
    Clock& clock;
    const StationSettings& settings;
    // A log line that could not be written is shown once until one is written again.
    bool LogFailureShown = false;
};

}  // namespace quillmar
