#pragma once
// Small helpers shared by the readers of the schedule file: numbers and times in the fixed
// text fields, and how far a scan of the file goes.

#include <string>
#include <string_view>

#include "schedule/ScheduleRecord.h"

namespace quillmar {

struct ScheduleStore;

// The number at the start of a text field: blanks are skipped, an optional sign, then digits
// up to the first other character ("1:" gives 1, "ab" and "" give 0).
long long NumericValue(std::string_view text);
// Seconds of day of a time text: the numbers in characters 1-2, 4-5 and 7-8.
int TimeSeconds(std::string_view text);
// Seconds of a length "MM:SS": characters 1-2 and 4-5 (blank counts 0).
int LengthSeconds(std::string_view text);
// Characters 1..n of a text (fewer when it is shorter).
std::string Left(std::string_view text, std::size_t n);
std::string TrimBlanks(std::string_view text);
std::string TrimTrailingBlanks(std::string_view text);
bool IsBlank(std::string_view text);

// The last record number a scan of SatList.dat reads: every whole record, plus a partial last
// record that holds any data, and never beyond record 999 (later records are ignored).
int ScheduleScanEnd(const ScheduleStore& store);
// The fields of schedule n, with the zero bytes of a record cut short (or past the end) taken
// as blanks, so a torn record shows no phantom "00:00:00" times.
ScheduleFields ReadScheduleBlanked(const ScheduleStore& store, int n);
// Records 1..end of SatList.dat in one buffer, end × 331 bytes, zero bytes read as blanks.
// Read in blocks of records, so a scan of the whole file costs a handful of reads.
std::string ReadScheduleRecords(const ScheduleStore& store, int end);

}  // namespace quillmar
