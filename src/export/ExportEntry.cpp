#include "export/ExportEntry.h"

#include "audio/SoundFiles.h"
#include "export/ExportState.h"
#include "platform/LittleEndian.h"

namespace quillmar {

namespace {

constexpr std::size_t kDaysAt = 2;
constexpr std::size_t kPathsAt = 16;
constexpr std::size_t kFadeAt = 226;
constexpr std::size_t kLengthAt = 228;
constexpr std::size_t kNumberAt = 233;

void PutText(std::string& r, std::size_t at, std::size_t width, std::string_view text) {
    std::string field(text.substr(0, width));
    field.resize(width, ' ');
    r.replace(at, width, field);
}

}  // namespace

ExportEntry ParseExportEntry(std::string_view record) {
    std::string r(record.substr(0, kExportRecordLength));
    r.resize(kExportRecordLength, '\0');
    ExportEntry e;
    e.Naming = static_cast<ExportNaming>(Int16At(r, 0));
    for (std::size_t d = 0; d < 7; ++d) {
        e.Days[d] = Int16At(r, kDaysAt + 2 * d);
        e.Paths[d] = r.substr(kPathsAt + kExportPathWidth * d, kExportPathWidth);
    }
    e.Fade = static_cast<ExportFade>(Int16At(r, kFadeAt));
    e.Length = r.substr(kLengthAt, kExportLengthWidth);
    e.WinjockNumber = Int16At(r, kNumberAt);
    return e;
}

std::string FormatExportEntry(const ExportEntry& e) {
    std::string r(kExportRecordLength, '\0');
    PutInt16(r, 0, static_cast<std::int16_t>(e.Naming));
    for (std::size_t d = 0; d < 7; ++d) {
        PutInt16(r, kDaysAt + 2 * d, e.Days[d]);
        PutText(r, kPathsAt + kExportPathWidth * d, kExportPathWidth, e.Paths[d]);
    }
    PutInt16(r, kFadeAt, static_cast<std::int16_t>(e.Fade));
    PutText(r, kLengthAt, kExportLengthWidth, e.Length);
    PutInt16(r, kNumberAt, e.WinjockNumber);
    return r;
}

ExportEntry ReadExportEntry(const ExportState& state, int recordNo) {
    std::string record;
    if (recordNo >= 1) state.ExportFile.read(recordNo, &record);
    return ParseExportEntry(record);
}

bool WriteExportEntry(ExportState& state, int recordNo, const ExportEntry& entry,
                      std::string* error) {
    if (recordNo < 1) {
        if (error) *error = "Bad record number";
        return false;
    }
    return state.ExportFile.write(recordNo, FormatExportEntry(entry), error);
}

std::string TrimmedExportText(std::string_view text) {
    const auto end = text.find_last_not_of(std::string_view(" \0", 2));
    return end == std::string_view::npos ? std::string() : std::string(text.substr(0, end + 1));
}

std::int64_t ExportLimitMs(std::string_view length) {
    const std::string_view minutes = length.substr(0, 2);
    const std::string_view seconds = length.size() > 3 ? length.substr(3, 2) : std::string_view();
    return (static_cast<std::int64_t>(LeadingNumber(minutes)) * 60 + LeadingNumber(seconds)) * 1000;
}

}  // namespace quillmar
