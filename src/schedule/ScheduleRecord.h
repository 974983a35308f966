#pragma once
// One schedule: a 331-byte fixed-field text record of SatList.dat.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace quillmar {

class Station;

inline constexpr int kScheduleRecordLength = 331;
inline constexpr int kMaxSchedules = 999;
inline constexpr const char* kScheduleFilePath = "c:\\satfile\\SatList.dat";

// The fields of a schedule record after the parse. Texts keep the widths of the file except
// where the parse removes leading blanks (name is re-padded; play and record times are not).
struct ScheduleFields {
    std::string InUse;          // 1: "1" in use, "0" deleted
    std::string ProgramName;    // 25
    std::string ProgramLength;  // 5, "MM:SS"
    std::string SourceCode;     // 3
    std::string UnityPort;      // 1, "1".."4"
    std::string Route;          // 1, "1" "2" "S" "R"
    std::string Attenuation;    // 2, "0".."14"
    std::string PlayStart;      // 1, "M" or "T"
    std::string RecordStart;    // 1, "T" or "M"
    std::string Action;         // 1, "1" record, "3" switch only
    std::array<std::string, 28> PlayTimes;  // entry k: day row k / 4, slot k % 4
    std::array<int, 8> RecordDays{};        // rows 0..6; 7 stays 0
    std::array<std::string, 8> RecordTimes;  // rows 0..6; 7 stays empty
};

// Splits a record (short records read as if padded with blanks).
ScheduleFields ParseScheduleRecord(std::string_view record);
// Starts from 331 blanks and places each field at its position, cut to its width.
std::string BuildScheduleRecord(const ScheduleFields& fields);
// The record of a deleted slot: "0" and 330 blanks.
std::string DeletedScheduleRecord();

// Station-level access through the open SatListFile, as every reader does it.
// The fields of record n; nothing at the end of the file (no schedule).
std::optional<ScheduleFields> ReadSchedule(Station& st, int n);
// Writes a whole record as record n. False with the reason on failure.
bool WriteSchedule(Station& st, int n, const std::string& record, std::string* error = nullptr);
// Whole records in SatList.dat.
int ScheduleRecordCount(const Station& st);
// The record a new schedule takes: the first whose InUse is not "1", else one past the end.
int FirstFreeScheduleSlot(Station& st);

}  // namespace quillmar
