#pragma once
// One schedule: a 331-byte fixed-field text record of SatList.dat.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace quillmar {

struct ScheduleStore;

// The one-character states of a record. Each enumerator's value is the byte stored in the
// file, so a byte no enumerator names (from an older or damaged file) survives a read and a
// write unchanged. Blank is what an empty field holds.
enum class ScheduleSlot : char { Blank = ' ', Deleted = '0', InUse = '1' };
enum class ScheduleAction : char { Blank = ' ', Record = '1', SwitchOnly = '3' };
enum class ScheduleStart : char { Blank = ' ', Manual = 'M', Timed = 'T' };
enum class ScheduleRoute : char {
    Blank = ' ',
    Left = '1',
    Right = '2',
    Stereo = 'S',
    Reverse = 'R'
};

// The state a stored field holds: its first byte, Blank when the field is empty.
template <typename State>
State StateOf(std::string_view text) {
    return static_cast<State>(text.empty() ? ' ' : text[0]);
}
// The stored byte of a state, as text (commands and list lines show it as it is stored).
template <typename State>
std::string StoredText(State state) {
    return std::string(1, static_cast<char>(state));
}
// A route recorded or exported on one channel.
inline bool IsMonoRoute(ScheduleRoute route) {
    return route == ScheduleRoute::Left || route == ScheduleRoute::Right;
}

inline constexpr int kScheduleRecordLength = 331;
inline constexpr int kMaxSchedules = 999;
inline constexpr const char* kScheduleFilePath = "c:\\satfile\\SatList.dat";

// The fields of a schedule record after the parse. Texts keep the widths of the file except
// where the parse removes leading blanks (name is re-padded; play and record times are not).
struct ScheduleFields {
    ScheduleSlot InUse = ScheduleSlot::Blank;
    std::string ProgramName;    // 25
    std::string ProgramLength;  // 5, "MM:SS"
    std::string SourceCode;     // 3
    std::string UnityPort;      // 1, "1".."4"
    ScheduleRoute Route = ScheduleRoute::Blank;
    std::string Attenuation;  // 2, "0".."14"
    ScheduleStart PlayStart = ScheduleStart::Blank;
    ScheduleStart RecordStart = ScheduleStart::Blank;
    ScheduleAction Action = ScheduleAction::Blank;
    std::array<std::string, 28> PlayTimes;  // entry k: day row k / 4, slot k % 4
    std::array<int, 8> RecordDays{};  // rows 0..6 (kRecordDayOff or 1 Sunday .. 7); 7 stays off
    std::array<std::string, 8> RecordTimes;  // rows 0..6; 7 stays empty
};

// The states of a raw record, for scans that do not parse whole records.
inline ScheduleSlot SlotOf(std::string_view record) {
    return StateOf<ScheduleSlot>(record);
}
inline ScheduleAction ActionOf(std::string_view record) {
    return static_cast<ScheduleAction>(record.size() > 40 ? record[40] : ' ');
}
inline ScheduleStart PlayStartOf(std::string_view record) {
    return static_cast<ScheduleStart>(record.size() > 38 ? record[38] : ' ');
}

// A record row's day digit when the row is off.
inline constexpr int kRecordDayOff = 0;

// Splits a record (short records read as if padded with blanks).
ScheduleFields ParseScheduleRecord(std::string_view record);
// Starts from 331 blanks and places each field at its position, cut to its width.
std::string BuildScheduleRecord(const ScheduleFields& fields);
// The record of a deleted slot: "0" and 330 blanks.
std::string DeletedScheduleRecord();

// Access through the open SatList.dat, as every reader does it.
// The fields of record n; nothing at the end of the file (no schedule).
std::optional<ScheduleFields> ReadSchedule(const ScheduleStore& store, int n);
// Writes a whole record as record n. False with the reason on failure.
bool WriteSchedule(ScheduleStore& store, int n, const std::string& record,
                   std::string* error = nullptr);
// Whole records in SatList.dat.
int ScheduleRecordCount(const ScheduleStore& store);
// The record a new schedule takes: the first not in use, else one past the end.
int FirstFreeScheduleSlot(const ScheduleStore& store);

}  // namespace quillmar
