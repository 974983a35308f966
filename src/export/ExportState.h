#pragma once
// State of the export engine that the station keeps: the export under way, the ones waiting
// for it, and what the main window shows of it.

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "platform/Audio.h"
#include "platform/DateTime.h"
#include "platform/RecordFile.h"

namespace quillmar {

// One export, fixed when its recording stops so that a queued one keeps its own values.
struct ExportJob {
    int ExportRecordNumber = 0;
    int ExportDay = 0;  // 0 = Sunday .. 6 = Saturday
    std::string RecordedFile;
    int channels = 2;
    std::int16_t Naming = 0;
    std::int16_t Fade = 0;
    std::string ExportWavPath;
    std::string ExportDatPath;  // "Winjock" only
    Date ExportAirDate;         // "Winjock" only
    std::int64_t ExportLengthMs = 0;
};

// The main window's progress gauge and the export chain's level meter (MMLevelX5).
struct ExportDisplay {
    bool GaugeVisible = false;
    int GaugeValue = 0;  // percent
    bool MeterVisible = false;
    std::int16_t MeterLeft = 0;  // peaks of the audio being exported, 16-bit magnitudes
    std::int16_t MeterRight = 0;
};

struct MailAccount {
    std::string Facility;
    std::string UserName;
    std::string Password;
};

struct ExportState {
    // Open for the whole run.
    RecordFile ExportFile;
    RecordFile AddressBookFile;
    MailAccount Account;
    std::unique_ptr<AudioConversion> conversion;
    std::optional<ExportJob> current;
    std::deque<ExportJob> waiting;
    std::int64_t doneMs = 0;  // source ms converted, from the conversion's progress
    ExportDisplay Display;
};

}  // namespace quillmar
