#pragma once
// The services and lower-level state the audio procedures work with, lent by their caller.

#include "logs/LogState.h"
#include "platform/Audio.h"
#include "platform/Clock.h"
#include "platform/ErrorDisplay.h"
#include "platform/FileSystem.h"
#include "settings/StationSettings.h"

namespace quillmar {

struct AudioServices {
    Audio& audio;
    FileSystem& files;
    Clock& clock;
    ErrorDisplay& errors;
    Logs& logs;
    const StationSettings& settings;
};

}  // namespace quillmar
