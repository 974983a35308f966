#include "schedule/ScheduleScan.h"

#include <algorithm>

#include "schedule/ScheduleState.h"

namespace quillmar {

long long NumericValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] == ' ') continue;
        if (text[i] < '0' || text[i] > '9') break;
        if (value < 1'000'000'000'000LL) value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

namespace {
int Part(std::string_view text, std::size_t pos, std::size_t width) {
    if (pos >= text.size()) return 0;
    return static_cast<int>(NumericValue(text.substr(pos, width)));
}
}  // namespace

int TimeSeconds(std::string_view text) {
    return Part(text, 0, 2) * 3600 + Part(text, 3, 2) * 60 + Part(text, 6, 2);
}

int LengthSeconds(std::string_view text) {
    return Part(text, 0, 2) * 60 + Part(text, 3, 2);
}

std::string Left(std::string_view text, std::size_t n) {
    return std::string(text.substr(0, std::min(n, text.size())));
}

std::string TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string TrimTrailingBlanks(std::string_view text) {
    const auto last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string() : std::string(text.substr(0, last + 1));
}

bool IsBlank(std::string_view text) {
    return text.find_first_not_of(' ') == std::string_view::npos;
}

int ScheduleScanEnd(const ScheduleStore& store) {
    int end = ScheduleRecordCount(store);
    if (end < kMaxSchedules) {
        // A record cut short (a file whose length is not a multiple of the record length)
        // still counts as the last record when it holds anything.
        std::string partial;
        store.SatListFile.read(end + 1, &partial);
        if (partial.find_first_not_of('\0') != std::string::npos) ++end;
    }
    return std::min(end, kMaxSchedules);
}

std::string ReadScheduleRecords(const ScheduleStore& store, int end) {
    std::string all;
    store.SatListFile.readRecords(1, end, &all);
    std::replace(all.begin(), all.end(), '\0', ' ');
    return all;
}

ScheduleFields ReadScheduleBlanked(const ScheduleStore& store, int n) {
    std::string record;
    store.SatListFile.read(n, &record);
    std::replace(record.begin(), record.end(), '\0', ' ');
    return ParseScheduleRecord(record);
}

}  // namespace quillmar
