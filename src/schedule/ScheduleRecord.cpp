#include "schedule/ScheduleRecord.h"

#include "schedule/ScheduleState.h"

namespace quillmar {

namespace {

// Positions are 1-based as the layout is written.
std::string Field(std::string_view rec, int pos, int width) {
    std::string out(static_cast<std::size_t>(width), ' ');
    for (int i = 0; i < width; ++i) {
        const std::size_t at = static_cast<std::size_t>(pos - 1 + i);
        if (at < rec.size()) out[static_cast<std::size_t>(i)] = rec[at];
    }
    return out;
}

std::string TrimLeft(std::string s) {
    const auto first = s.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : s.substr(first);
}

std::string TrimRight(std::string s) {
    const auto last = s.find_last_not_of(' ');
    return last == std::string::npos ? std::string() : s.substr(0, last + 1);
}

std::string PadTo(std::string s, std::size_t width) {
    if (s.size() < width) s.append(width - s.size(), ' ');
    return s;
}

void Place(std::string& rec, int pos, int width, std::string_view value) {
    for (int i = 0; i < width && static_cast<std::size_t>(i) < value.size(); ++i)
        rec[static_cast<std::size_t>(pos - 1 + i)] = value[static_cast<std::size_t>(i)];
}

}  // namespace

ScheduleFields ParseScheduleRecord(std::string_view rec) {
    ScheduleFields f;
    f.InUse = SlotOf(Field(rec, 1, 1));
    f.ProgramName = PadTo(TrimLeft(Field(rec, 2, 25)), 25);
    f.ProgramLength = PadTo(TrimRight(Field(rec, 27, 5)), 5);
    f.SourceCode = Field(rec, 32, 3);
    f.UnityPort = Field(rec, 35, 1);
    f.Route = StateOf<ScheduleRoute>(Field(rec, 36, 1));
    f.Attenuation = Field(rec, 37, 2);
    f.PlayStart = StateOf<ScheduleStart>(Field(rec, 39, 1));
    f.RecordStart = StateOf<ScheduleStart>(Field(rec, 40, 1));
    f.Action = StateOf<ScheduleAction>(Field(rec, 41, 1));
    for (int k = 0; k < 28; ++k)
        f.PlayTimes[static_cast<std::size_t>(k)] = TrimLeft(Field(rec, 42 + 8 * k, 8));
    for (int r = 0; r < 7; ++r) {
        const char c = Field(rec, 266 + r, 1)[0];
        f.RecordDays[static_cast<std::size_t>(r)] = (c >= '0' && c <= '9') ? c - '0' : 0;
        f.RecordTimes[static_cast<std::size_t>(r)] = TrimLeft(Field(rec, 273 + 8 * r, 8));
    }
    return f;
}

std::string BuildScheduleRecord(const ScheduleFields& f) {
    std::string rec(kScheduleRecordLength, ' ');
    Place(rec, 1, 1, StoredText(f.InUse));
    Place(rec, 2, 25, f.ProgramName);
    Place(rec, 27, 5, f.ProgramLength);
    Place(rec, 32, 3, f.SourceCode);
    Place(rec, 35, 1, f.UnityPort);
    Place(rec, 36, 1, StoredText(f.Route));
    Place(rec, 37, 2, f.Attenuation);
    Place(rec, 39, 1, StoredText(f.PlayStart));
    Place(rec, 40, 1, StoredText(f.RecordStart));
    Place(rec, 41, 1, StoredText(f.Action));
    for (int k = 0; k < 28; ++k)
        Place(rec, 42 + 8 * k, 8, f.PlayTimes[static_cast<std::size_t>(k)]);
    for (int r = 0; r < 7; ++r) {
        const int day = f.RecordDays[static_cast<std::size_t>(r)];
        Place(rec, 266 + r, 1,
              std::string(1, static_cast<char>('0' + (day >= 0 && day <= 9 ? day : 0))));
        Place(rec, 273 + 8 * r, 8, f.RecordTimes[static_cast<std::size_t>(r)]);
    }
    return rec;
}

std::string DeletedScheduleRecord() {
    std::string rec(kScheduleRecordLength, ' ');
    rec[0] = '0';
    return rec;
}

std::optional<ScheduleFields> ReadSchedule(const ScheduleStore& store, int n) {
    std::string record;
    if (!store.SatListFile.read(n, &record)) return std::nullopt;
    return ParseScheduleRecord(record);
}

bool WriteSchedule(ScheduleStore& store, int n, const std::string& record, std::string* error) {
    return store.SatListFile.write(n, record, error);
}

int ScheduleRecordCount(const ScheduleStore& store) {
    return static_cast<int>(store.SatListFile.recordCount());
}

int FirstFreeScheduleSlot(const ScheduleStore& store) {
    const int count = ScheduleRecordCount(store);
    std::string rec;
    for (int n = 1; n <= count; ++n) {
        store.SatListFile.read(n, &rec);
        if (SlotOf(rec) != ScheduleSlot::InUse) return n;
    }
    return count + 1;
}

}  // namespace quillmar
