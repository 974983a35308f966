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

// How an entry names its export; the stored number. Any other number read is kept as it is.
enum class ExportNaming : std::int16_t { Inactive = 0, UserDefined = 1, Winjock = 2 };
// Fade: the last five seconds faded out.
enum class ExportFade : std::int16_t { Off = 0, On = 1 };

// One export, fixed when its recording stops so that a queued one keeps its own values.
struct ExportJob {
    int ExportRecordNumber = 0;
    int ExportDay = 0;  // 0 = Sunday .. 6 = Saturday
    std::string RecordedFile;
    int channels = 2;
    ExportNaming Naming = ExportNaming::Inactive;
    ExportFade Fade = ExportFade::Off;
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
