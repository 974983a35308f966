#include <gtest/gtest.h>

#include <cerrno>

#include "core/NextEvent.h"
#include "core/ScheduleSequences.h"
#include "core/Startup.h"
#include "support/Builders.h"
#include "support/SimStation.h"

using namespace quillmar;
using namespace quillmar::testing;

namespace {

class FloppyTest : public ::testing::Test, public SimStation {
  protected:
    FloppyTest() : SimStation(Monday(9)) { initialize(); }
    void insertDisk() { folder("a:\\"); }
    const std::vector<std::string>& shown() const { return errors.messages; }
    std::string schedules(int count, const std::string& prefix) {
        std::string bytes;
        for (int n = 1; n <= count; ++n)
            bytes += BuildScheduleRecord(
                WithSlot(Schedule(prefix + std::to_string(n)), 1, 2 + n, "10:00:00"));
        return bytes;
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
    write("a:\\SatList.dat", schedules(3, "Disk "));
    background.delayMs = 2000;  // a slow drive
    ASSERT_TRUE(LoadScheduleFromFloppy(st()));
    loop.advance(1000);
    EXPECT_TRUE(st().schedule.FloppyCopyRunning);
    for (Operation operation : kCopies) EXPECT_FALSE(operation(st()));
    EXPECT_EQ(ScheduleRecordCount(st().schedule), 5);  // nothing restored half-way
    loop.advance(1000);
    EXPECT_EQ(ScheduleRecordCount(st().schedule), 3);
    EXPECT_EQ(st().next.record->recordNo, 1);  // Disk 1 records Tuesday (row 1, day 3)
    EXPECT_TRUE(shown().empty());
    EXPECT_EQ(background.pending(), 0);  // the refused requests started nothing
}

TEST_F(FloppyTest, BackupCopiesAllFourFilesAndCodesComeBackItemByItem) {
    put(1, Schedule("One"));
    ASSERT_TRUE(st().Export.ExportFile.write(1, std::string(235, 'e')));
    write("c:\\satfile\\MyComp.ini", "settings");
    write("c:\\satfile\\Source.dat", "ENG\r\nSPA\r\n");
    insertDisk();
    write("a:\\SatList.dat", schedules(5, "Stale "));  // an older, longer backup
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
        write("a:\\SatList.dat", schedules(3, "Disk "));
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
