#pragma once
// A started data folder with schedules written straight into SatList.dat, for the tests of
// the schedule store and the next-event finders.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/Startup.h"
#include "core/Station.h"
#include "schedule/ScheduleRecord.h"
#include "support/Builders.h"
#include "support/SimStation.h"

namespace quillmar::testing {

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
