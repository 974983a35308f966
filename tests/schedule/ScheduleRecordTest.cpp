#include <gtest/gtest.h>

#include "core/Startup.h"
#include "schedule/ScheduleRecord.h"
#include "support/SimStation.h"

using namespace quillmar;
using quillmar::testing::SimStation;

namespace {

// A record laid out by hand, byte by byte, as an older installation wrote it.
std::string HandWrittenRecord() {
    std::string rec;
    rec += "1";                          // 1 in use
    rec += "Morning Edition          ";  // 2-26
    rec += "59:00";                      // 27-31
    rec += "NPR";                        // 32-34
    rec += "2";                          // 35 port
    rec += "S";                          // 36 route
    rec += "5 ";                         // 37-38 attenuation
    rec += "T";                          // 39 play start
    rec += "T";                          // 40 record start
    rec += "1";                          // 41 action
    for (int k = 0; k < 28; ++k) rec += k == 5 ? "06:00:00" : k == 6 ? "  07:30 " : "        ";
    rec += "0230000";  // 266-272 record days
    for (int r = 0; r < 7; ++r) rec += r == 1 ? "05:00:00" : r == 2 ? "05:30   " : "        ";
    rec += "   ";
    return rec;
}

}  // namespace

TEST(ScheduleRecord, ParsesEveryFieldAtItsPosition) {
    const std::string rec = HandWrittenRecord();
    ASSERT_EQ(rec.size(), 331u);
    const ScheduleFields f = ParseScheduleRecord(rec);
    EXPECT_EQ(f.InUse, ScheduleSlot::InUse);
    EXPECT_EQ(f.Route, ScheduleRoute::Stereo);
    EXPECT_EQ(f.ProgramName + "|" + f.ProgramLength + "|" + f.SourceCode + "|" + f.UnityPort + "|" +
                  f.Attenuation + "|" + StoredText(f.PlayStart) + StoredText(f.RecordStart) +
                  StoredText(f.Action),
              "Morning Edition          |59:00|NPR|2|5 |TT1");
    // Leading blanks of a time go, trailing ones stay.
    EXPECT_EQ(f.PlayTimes[0] + "|" + f.PlayTimes[5] + "|" + f.PlayTimes[6], "|06:00:00|07:30 ");
    EXPECT_EQ(f.RecordDays, (std::array<int, 8>{0, 2, 3, 0, 0, 0, 0, 0}));
    EXPECT_EQ(f.RecordTimes[1] + "|" + f.RecordTimes[2] + "|" + f.RecordTimes[7],
              "05:00:00|05:30   |");
    const std::string back = BuildScheduleRecord(f);
    for (std::size_t at : {0u, 35u, 38u, 39u, 40u}) EXPECT_EQ(back[at], rec[at]) << at;
}

TEST(ScheduleRecord, ParseCleansNamesAndReadsOddDigitsAsTheyAre) {
    std::string rec(331, ' ');
    rec.replace(1, 25, "   Indented name         ");
    rec.replace(265, 7, "x9 7-12");
    // State bytes no state names (an older or damaged file) are written back as they were.
    rec[0] = '7';
    rec.replace(35, 1, std::string(1, '\0'));
    rec.replace(38, 3, "tMx");
    const ScheduleFields f = ParseScheduleRecord(rec);
    const std::string back = BuildScheduleRecord(f);
    for (std::size_t at : {0u, 35u, 38u, 39u, 40u}) EXPECT_EQ(back[at], rec[at]) << at;
    EXPECT_EQ(f.ProgramName, "Indented name            ");
    EXPECT_EQ(f.ProgramLength, "     ");
    EXPECT_EQ(f.RecordDays, (std::array<int, 8>{0, 9, 0, 7, 0, 1, 2, 0}));
    // A short or empty record parses as blanks instead of failing.
    const ScheduleFields empty = ParseScheduleRecord("1Short");
    EXPECT_EQ(empty.ProgramName, "Short                    ");
    EXPECT_EQ(empty.RecordDays, (std::array<int, 8>{}));
}

TEST(ScheduleRecord, BuildingCutsEachFieldToItsWidth) {
    ScheduleFields f;
    f.InUse = ScheduleSlot::InUse;
    f.ProgramName = "A name of thirty characters...";
    f.Attenuation = "5";
    f.PlayTimes[27] = "23:59";
    f.RecordDays[6] = 7;
    f.RecordTimes[6] = "23:59:59";
    const std::string rec = BuildScheduleRecord(f);
    ASSERT_EQ(rec.size(), 331u);
    EXPECT_EQ(rec.substr(1, 25) + "|" + rec.substr(36, 2) + "|" + rec.substr(41 + 8 * 27, 8) + "|" +
                  rec.substr(265, 7) + "|" + rec.substr(272 + 48, 8) + "|" + rec.substr(328),
              "A name of thirty characte|5 |23:59   |0000007|23:59:59|   ");
}

TEST(ScheduleFile, RecordsAreReadAndWrittenByNumberAndSlotsAreReused) {
    SimStation s;
    s.start();
    Station& st = s.st();
    EXPECT_EQ(FirstFreeScheduleSlot(st.schedule), 1);  // a new empty file
    for (int n = 1; n <= 3; ++n) ASSERT_TRUE(WriteSchedule(st.schedule, n, HandWrittenRecord()));
    EXPECT_EQ(s.read(kScheduleFilePath).size(), 3u * 331);
    ASSERT_TRUE(WriteSchedule(st.schedule, 2, DeletedScheduleRecord()));
    EXPECT_EQ(FirstFreeScheduleSlot(st.schedule), 2);

    const auto deleted = ReadSchedule(st.schedule, 2);
    ASSERT_TRUE(deleted);
    EXPECT_EQ(deleted->InUse, ScheduleSlot::Deleted);
    EXPECT_EQ(deleted->ProgramName, std::string(25, ' '));
    EXPECT_EQ(deleted->RecordDays, (std::array<int, 8>{}));
    const auto third = ReadSchedule(st.schedule, 3);
    ASSERT_TRUE(third);
    EXPECT_EQ(third->SourceCode, "NPR");
    EXPECT_FALSE(ReadSchedule(st.schedule, 4));  // the end of the file
    EXPECT_EQ(ScheduleRecordCount(st.schedule), 3);
}

TEST(ScheduleFile, APartialLastRecordIsNotASchedule) {
    SimStation s;
    s.write(kScheduleFilePath, HandWrittenRecord() + HandWrittenRecord().substr(0, 100));
    s.start();
    EXPECT_EQ(ScheduleRecordCount(s.st().schedule), 1);
    EXPECT_FALSE(ReadSchedule(s.st().schedule, 2));
    // The next new schedule overwrites the torn record instead of leaving it in the middle.
    EXPECT_EQ(FirstFreeScheduleSlot(s.st().schedule), 2);
}
