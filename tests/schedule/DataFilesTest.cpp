// The data files: schedule records, source codes, and their copies on a diskette.
#include <gtest/gtest.h>

#include <cerrno>

#include "core/NextEvent.h"
#include "core/ScheduleSequences.h"
#include "core/Startup.h"
#include "schedule/ScheduleRecord.h"
#include "schedule/SourceCodes.h"
#include "support/Builders.h"
#include "support/SimStation.h"

using namespace quillmar;
using namespace quillmar::testing;

namespace {

// A record laid out by hand, as an older installation wrote it: in use, name, length, source,
// port, route, attenuation, play start, record start, action; 28 play times (slots 5 and 6
// set); record days from byte 266; 7 record times (rows 1 and 2 set); 3 spare bytes.
std::string HandWrittenRecord() {
    std::string rec = "1Morning Edition          59:00NPR2S5 TT1";
    for (int k = 0; k < 28; ++k) rec += k == 5 ? "06:00:00" : k == 6 ? "  07:30 " : "        ";
    rec += "0230000";
    for (int r = 0; r < 7; ++r) rec += r == 1 ? "05:00:00" : r == 2 ? "05:30   " : "        ";
    return rec + "   ";
}

TEST(ScheduleRecord, ParsesEveryFieldAtItsPosition) {
    const std::string rec = HandWrittenRecord();
    const ScheduleFields f = ParseScheduleRecord(rec);
    EXPECT_EQ(StoredText(f.InUse) + StoredText(f.Route) + f.ProgramName + "|" + f.ProgramLength +
                  "|" + f.SourceCode + "|" + f.UnityPort + "|" + f.Attenuation + "|" +
                  StoredText(f.PlayStart) + StoredText(f.RecordStart) + StoredText(f.Action),
              "1SMorning Edition          |59:00|NPR|2|5 |TT1");
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
    ASSERT_TRUE(WriteSchedule(st.schedule, 2, DeletedScheduleRecord()));
    EXPECT_EQ(FirstFreeScheduleSlot(st.schedule), 2);
    const ScheduleFields deleted = ReadSchedule(st.schedule, 2).value();
    EXPECT_EQ(StoredText(deleted.InUse) + deleted.ProgramName, "0" + std::string(25, ' '));
    EXPECT_EQ(ReadSchedule(st.schedule, 3).value().SourceCode, "NPR");
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

TEST(SourceCodes, AreUpperCaseOneCharacterForOneAndCutToThree) {
    // clang-format off
    for (auto [typed, stored] : {std::pair{"frex", "FRE"}, {"\xDF\xE9q", "\xDF\xC9Q"}, {"\x9A\x9C\x9E", "\x8A\x8C\x8E"},
                                 {"\xFF\xF7\xFE", "\x9F\xF7\xDE"}, {"a{`", "A{`"}, {"", ""}})
        EXPECT_EQ(SourceCodeUpper(typed), stored) << typed;
    // clang-format on
}

TEST(SourceCodes, AreReadAndSavedOnePerLine) {
    SimStation s;
    s.folder("c:\\satfile");
    std::vector<std::string> codes{"stale"};
    EXPECT_FALSE(ReadSourceCodes(s.files, &codes));  // no file yet
    EXPECT_TRUE(codes.empty());
    std::string error;
    ASSERT_TRUE(SaveSourceCodes(s.files, {"ENG", "SPA", "\xDF\xC9Q"}, &error)) << error;
    EXPECT_EQ(s.read(kSourceCodesPath), "ENG\r\nSPA\r\n\xDF\xC9Q\r\n");
    ASSERT_TRUE(ReadSourceCodes(s.files, &codes));
    EXPECT_EQ(codes, (std::vector<std::string>{"ENG", "SPA", "\xDF\xC9Q"}));
    s.files.fail(kSourceCodesPath, EIO);
    EXPECT_FALSE(ReadSourceCodes(s.files, &codes));
    EXPECT_FALSE(SaveSourceCodes(s.files, {"ENG"}, &error));
    EXPECT_FALSE(error.empty());
}

class FloppyTest : public ::testing::Test, public SimStation {
  protected:
    FloppyTest() : SimStation(Monday(9)) { initialize(); }
    void insertDisk() { folder("a:\\"); }
    const std::vector<std::string>& shown() const { return errors.messages; }
    // A diskette schedule file of `count` records, each recording on Tuesdays.
    static std::string schedules(int count) {
        return ScheduleFile(std::vector(count, WithSlot(Schedule("Disk"), 1, 3, "10:00:00")));
    }
    // Starts a copy and lets the loop turn until it has ended; false when it failed.
    bool copy(bool (*operation)(Station&)) {
        const std::size_t before = shown().size();
        EXPECT_TRUE(operation(st()));
        loop.runPending();
        EXPECT_FALSE(st().schedule.FloppyCopyRunning);
        return shown().size() == before;
    }
};

using Operation = bool (*)(Station&);
const Operation kCopies[] = {SaveFilesToFloppy, LoadScheduleFromFloppy, LoadAutoExportFromFloppy,
                             LoadSourceCodesFromFloppy, LoadSetupFromFloppy};

TEST_F(FloppyTest, MissingDriveFailsClearlyAndChangesNothing) {
    put(1, Schedule("Kept"));
    const std::string before = read(kScheduleFilePath);
    for (Operation operation : kCopies) EXPECT_FALSE(copy(operation));
    EXPECT_EQ(shown(), std::vector<std::string>(5, "71 Disk not ready: drive a: is not available"));
    EXPECT_EQ(read(kScheduleFilePath), before);
    EXPECT_FALSE(st().schedule.ProgressBar1.visible);
    EXPECT_FALSE(files.folderExists("a:\\"));
}

TEST_F(FloppyTest, ARestoreRunsAloneAndReplacesTheScheduleFileOnlyWhenItEnds) {
    for (int n = 1; n <= 5; ++n) put(n, Schedule("Local " + std::to_string(n)));
    insertDisk();
    write("a:\\SatList.dat", schedules(3));
    background.delayMs = 2000;  // a slow drive
    ASSERT_TRUE(LoadScheduleFromFloppy(st()));
    loop.advance(1000);
    EXPECT_TRUE(st().schedule.FloppyCopyRunning);
    for (Operation operation : kCopies) EXPECT_FALSE(operation(st()));
    EXPECT_EQ(ScheduleRecordCount(st().schedule), 5);  // nothing restored half-way
    loop.advance(1000);
    EXPECT_EQ(ScheduleRecordCount(st().schedule), 3);
    EXPECT_EQ(st().next.record->recordNo, 1);
    EXPECT_TRUE(shown().empty());
    EXPECT_EQ(background.pending(), 0);  // the refused requests started nothing
}

TEST_F(FloppyTest, BackupCopiesAllFourFilesAndCodesComeBackItemByItem) {
    put(1, Schedule("One"));
    ASSERT_TRUE(st().Export.ExportFile.write(1, std::string(235, 'e')));
    write("c:\\satfile\\MyComp.ini", "settings");
    write("c:\\satfile\\Source.dat", "ENG\r\nSPA\r\n");
    insertDisk();
    write("a:\\SatList.dat", schedules(5));  // an older, longer backup
    ASSERT_TRUE(copy(SaveFilesToFloppy));
    EXPECT_EQ(read("a:\\SatList.dat"), read(kScheduleFilePath));
    EXPECT_EQ(read("a:\\ExportInfo.dat"), std::string(235, 'e'));
    EXPECT_EQ(read("a:\\MyComp.ini"), "settings");
    EXPECT_EQ(read("a:\\Source.dat"), "ENG\r\nSPA\r\n");
    EXPECT_FALSE(st().schedule.ProgressBar1.visible);
    write("a:\\Source.dat", "ENG\r\nSPA\r\nLST");
    ASSERT_TRUE(copy(LoadSourceCodesFromFloppy));
    EXPECT_EQ(read("c:\\satfile\\Source.dat"), "ENG\r\nSPA\r\nLST\r\n");
}

TEST_F(FloppyTest, AFileThatFailsNamesItsErrorAndKeepsTheLocalFiles) {
    const std::string local = "c:\\satfile\\Source.dat";
    const struct {
        Operation operation;
        std::string failing;
        int code;  // 0: the file is missing
        const char* message;
    } cases[] = {
        // clang-format off
        {LoadScheduleFromFloppy, "a:\\SatList.dat", EIO, "57 Device I/O error: a:\\SatList.dat: Input/output error"},
        {SaveFilesToFloppy, "a:\\SatList.dat", EACCES, "75 Path/File access error: a:\\SatList.dat: Permission denied"},
        {LoadSourceCodesFromFloppy, local, EACCES, "75 Path/File access error: c:\\satfile\\Source.dat: Permission denied"},
        {LoadScheduleFromFloppy, "a:\\SatList.dat", 0, "53 File not found: a:\\SatList.dat"},
        {SaveFilesToFloppy, local, 0, "53 File not found: c:\\satfile\\Source.dat"},
        // clang-format on
    };
    put(1, Schedule("Kept"));
    insertDisk();
    for (const auto& c : cases) {
        errors.messages.clear();
        write(local, "OLD\r\n");
        write("a:\\SatList.dat", schedules(3));
        write("a:\\Source.dat", "ENG\r\n");
        if (c.code == 0) files.removeFile(c.failing);
        files.fail(c.failing, c.code);
        EXPECT_FALSE(copy(c.operation)) << c.message;
        files.fail(c.failing, 0);
        EXPECT_EQ(shown(), std::vector<std::string>{c.message});
        EXPECT_EQ(ScheduleRecordCount(st().schedule), 1) << c.message;
        if (c.failing != local || c.code) {
            EXPECT_EQ(read(local), "OLD\r\n") << c.message;
        }
    }
}

TEST_F(FloppyTest, SetupRestoreLeavesRecords15And16AndTheRestAlone) {
    std::string local, disk;  // every local record 0x0101, every diskette one 7
    for (int n = 1; n <= 21; ++n) local += "\x01\x01", disk += std::string("\x07\x00", 2);
    write("c:\\satfile\\MyComp.ini", local);
    insertDisk();
    write("a:\\MyComp.ini", disk);
    st().Settings.RecordVisible = 5;
    ASSERT_TRUE(copy(LoadSetupFromFloppy));
    EXPECT_EQ((std::vector<int>{st().Settings.RecordThreshold, st().Settings.RecordCard}),
              (std::vector<int>{7, 7}));
    EXPECT_EQ(st().recorder.RecordDevice, 7);   // the next capture uses the restored card
    EXPECT_EQ(st().Settings.RecordVisible, 5);  // record 19 is not restored
    std::string want = disk;                    // records 15, 16 and 19 on stay local
    want.replace(28, 4, local.substr(28, 4)).replace(36, 6, local.substr(36, 6));
    EXPECT_EQ(read("c:\\satfile\\MyComp.ini"), want);
}

TEST_F(FloppyTest, ExportTableRestoreGoesThroughTheOpenFile) {
    ASSERT_TRUE(st().Export.ExportFile.write(4, std::string(235, 'o')));
    insertDisk();
    write("a:\\ExportInfo.dat", std::string(235, 'n') + std::string(100, 'x'));
    ASSERT_TRUE(copy(LoadAutoExportFromFloppy));
    EXPECT_EQ(st().Export.ExportFile.recordCount(), 1);
    EXPECT_EQ(read(kExportFilePath), std::string(235, 'n'));
}

}  // namespace
