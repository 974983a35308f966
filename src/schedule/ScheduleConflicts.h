#pragma once

#include <string>
#include <vector>

namespace quillmar {

struct ScheduleStore;

// Compare schedule `self` with every other schedule in use, entry by entry at the same index:
// one line for each start that falls inside the other's window (both ends included).
std::vector<std::string> CheckPlayConflicts(const ScheduleStore& store, int self);
std::vector<std::string> CheckRecordConflicts(const ScheduleStore& store, int self);

}  // namespace quillmar
