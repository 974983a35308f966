#pragma once
// A started data folder with schedules written straight into SatList.dat, for the tests of
// the schedule store and the next-event finders.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/Startup.h"
#include "core/Station.h"
#include "schedule/ScheduleRecord.h"
#include "support/SimStation.h"

namespace quillmar::testing {

// Monday 7 December 2026.
inline DateTime Monday(int hour, int minute = 0, int second = 0) {
    return DateTime::from(2026, 12, 7, hour, minute, second);
}

// A record schedule in use with nothing timed yet: length 30:00, timed play.
inline ScheduleFields Schedule(const std::string& name, const std::string& action = "1") {
    ScheduleFields f = ParseScheduleRecord(std::string(kScheduleRecordLength, ' '));
    f.InUse = ScheduleSlot::InUse;
    f.ProgramName = name;
    f.Action = StateOf<ScheduleAction>(action);
    f.ProgramLength = f.Action == ScheduleAction::SwitchOnly ? "" : "30:00";
    f.SourceCode = "ENG";
    f.UnityPort = "2";
    f.Route = ScheduleRoute::Stereo;
    f.Attenuation = "0";
    f.PlayStart = ScheduleStart::Timed;
    f.RecordStart = ScheduleStart::Timed;
    return f;
}

// Row r (0 Sunday .. 6 Saturday) recorded (or switched) on weekday `day` at `time`.
inline ScheduleFields WithSlot(ScheduleFields f, int row, int day, const std::string& time) {
    f.RecordDays[static_cast<std::size_t>(row)] = day;
    f.RecordTimes[static_cast<std::size_t>(row)] = time;
    return f;
}

inline ScheduleFields WithPlay(ScheduleFields f, int slot, const std::string& time) {
    f.PlayTimes[static_cast<std::size_t>(slot)] = time;
    return f;
}

class ScheduleStoreTest : public ::testing::Test {
  protected:
    explicit ScheduleStoreTest(DateTime start = Monday(9)) : sim(start) {
        std::string error;
        EXPECT_TRUE(InitializeStation(sim.st(), &error)) << error;
    }

    Station& st() { return sim.st(); }

    // Writes a schedule as record n.
    void put(int n, const ScheduleFields& f) {
        std::string error;
        ASSERT_TRUE(st().schedule.SatListFile.write(n, BuildScheduleRecord(f), &error)) << error;
    }
    void putDeleted(int n) {
        ASSERT_TRUE(st().schedule.SatListFile.write(n, DeletedScheduleRecord()));
    }

    ScheduleFields record(int n) {
        std::string rec;
        st().schedule.SatListFile.read(n, &rec);
        return ParseScheduleRecord(rec);
    }

    const std::vector<std::string>& errors() const { return sim.errors.messages; }

    SimStation sim;
};

}  // namespace quillmar::testing
