#pragma once
// One export setting per schedule record: the 235-byte records of Exportinfo.dat.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "export/ExportState.h"

namespace quillmar {

inline constexpr int kExportRecordLength = 235;
inline constexpr std::size_t kExportPathWidth = 30;
inline constexpr std::size_t kExportLengthWidth = 5;

// A day box of Days.
inline constexpr std::int16_t kExportDayChosen = 1;

// Days and Paths are indexed 0 = Sunday .. 6 = Saturday. Paths and Length keep their bytes as
// stored, trailing blanks included; a never-written record reads as zero bytes.
struct ExportEntry {
    ExportNaming Naming = ExportNaming::Inactive;
    std::array<std::int16_t, 7> Days{};
    std::array<std::string, 7> Paths;  // 30 bytes each
    ExportFade Fade = ExportFade::Off;
    std::string Length;  // 5 bytes, "MM:SS"
    std::int16_t WinjockNumber = 0;

    friend bool operator==(const ExportEntry&, const ExportEntry&) = default;
};

// A record's bytes (short ones read as if padded with zero bytes) and back. Texts are cut or
// blank-padded to their widths.
ExportEntry ParseExportEntry(std::string_view record);
std::string FormatExportEntry(const ExportEntry& entry);

// Record n of the open ExportFile (all zero past the end or for a number below 1).
ExportEntry ReadExportEntry(const ExportState& state, int recordNo);
bool WriteExportEntry(ExportState& state, int recordNo, const ExportEntry& entry,
                      std::string* error);

// A path of the entry without its trailing blanks (and zero bytes of a never-written record).
std::string TrimmedExportText(std::string_view text);
// The longest export of a Length "MM:SS" in ms: characters 1-2 minutes, 4-5 seconds.
std::int64_t ExportLimitMs(std::string_view length);

}  // namespace quillmar
