#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include "export/ExportEntry.h"
#include "export/windows/frmAutoExport.h"
#include "schedule/ScheduleRecord.h"
#include "support/SimStation.h"

using namespace quillmar;
using quillmar::testing::SimStation;

namespace {

ScheduleFields Schedule(const std::string& name, const std::string& length, const char* action,
                        const char* inUse = "1") {
    ScheduleFields f = ParseScheduleRecord(std::string(kScheduleRecordLength, ' '));
    f.InUse = StateOf<ScheduleSlot>(inUse);
    f.ProgramName = name;
    f.ProgramName.resize(25, ' ');
    f.ProgramLength = length;
    f.Action = StateOf<ScheduleAction>(action);
    return f;
}

// Schedules: 1 recorded, 2 switch-only, 3 deleted, 4 never used, 5 recorded.
struct Programmes {
    Programmes() : s(DateTime::from(2026, 1, 28, 12)) {
        s.start();
        put(1, Schedule("MORNING SHOW", "05:00", "1"));
        put(2, Schedule("SWITCH AT NOON", "00:00", "3"));
        put(3, Schedule("OLD SHOW", "10:00", "1", "0"));
        put(4, ParseScheduleRecord(std::string(kScheduleRecordLength, ' ')));
        put(5, Schedule("EVENING NEWS", "30:00", "1"));
    }
    void put(int n, const ScheduleFields& f) {
        std::string error;
        ASSERT_TRUE(s.st().schedule.SatListFile.write(n, BuildScheduleRecord(f), &error)) << error;
    }
    SimStation s;
};

QStringList Lines(const frmAutoExport& w) {
    QStringList lines;
    for (int i = 0; i < w.lstName->count(); ++i) lines << w.lstName->item(i)->text();
    return lines;
}

}  // namespace

TEST(AutoExportWindow, ListsRecordedProgrammesOnlyInBothViews) {
    Programmes t;
    frmAutoExport w(t.s.st());
    EXPECT_EQ(w.windowTitle(), "Export SetUp");
    EXPECT_EQ(w.chkDay[1]->text(), "Sunday");
    EXPECT_EQ(w.chkDay[7]->text(), "Saturday");
    EXPECT_EQ(Lines(w), (QStringList{"MORNING SHOW              05:00   1",
                                     "EVENING NEWS              30:00   5"}));
    w.mnuNumber->trigger();
    EXPECT_EQ(Lines(w), (QStringList{"  1 MORNING SHOW              05:00",
                                     "  5 EVENING NEWS              30:00"}));
    w.mnuNames->trigger();
    EXPECT_EQ(Lines(w)[1], "EVENING NEWS              30:00   5");
}

TEST(AutoExportWindow, ClickingAProgrammeShowsItsEntry) {
    Programmes t;
    ExportEntry e;
    e.Naming = ExportNaming::UserDefined;
    e.Days[1] = 1;
    e.Days[2] = 0;
    e.Paths[1] = "c:\\shows\\monday";
    e.Paths[2] = "c:\\shows\\unticked";
    e.Fade = ExportFade::On;
    e.Length = "04:30";
    e.WinjockNumber = 12;
    std::string error;
    ASSERT_TRUE(WriteExportEntry(t.s.st().Export, 5, e, &error)) << error;

    frmAutoExport w(t.s.st());
    w.lstName->setCurrentRow(1);
    EXPECT_TRUE(w.Option1[1]->isChecked());
    EXPECT_TRUE(w.chkFade->isChecked());
    EXPECT_EQ(w.txtLength->text(), "04:30");
    EXPECT_EQ(w.txtNumber->text(), "12");
    EXPECT_TRUE(w.txtNumber->isHidden());  // the number belongs to "Winjock" only
    EXPECT_TRUE(w.Label4->isHidden());
    EXPECT_TRUE(w.chkDay[2]->isChecked());
    EXPECT_EQ(w.txtPath[2]->text(), "c:\\shows\\monday");
    EXPECT_EQ(w.txtPath[3]->text(), "");  // an unticked day shows no path
    EXPECT_TRUE(w.txtPath[3]->isEnabled());
}

TEST(AutoExportWindow, InactiveClearsTheDaysAndIsStoredAtOnce) {
    Programmes t;
    ExportEntry e;
    e.Naming = ExportNaming::UserDefined;
    e.Days = {1, 1, 1, 1, 1, 1, 1};
    e.Paths[0] = "c:\\sunday";
    e.Length = "05:00";
    std::string error;
    ASSERT_TRUE(WriteExportEntry(t.s.st().Export, 1, e, &error)) << error;

    frmAutoExport w(t.s.st());
    w.lstName->setCurrentRow(0);
    QTest::mouseClick(w.Option1[0], Qt::LeftButton);
    for (int d = 1; d <= 7; ++d) {
        EXPECT_FALSE(w.chkDay[static_cast<std::size_t>(d)]->isChecked());
        EXPECT_EQ(w.txtPath[static_cast<std::size_t>(d)]->text(), "");
        EXPECT_FALSE(w.txtPath[static_cast<std::size_t>(d)]->isEnabled());
    }
    // Stored without Apply: only the naming changed.
    const ExportEntry stored = ReadExportEntry(t.s.st().Export, 1);
    EXPECT_EQ(stored.Naming, ExportNaming::Inactive);
    EXPECT_EQ(stored.Days[3], 1);
    EXPECT_EQ(stored.Length, "05:00");
}

TEST(AutoExportWindow, WinjockShowsGreyExampleNamesForTickedDays) {
    Programmes t;
    frmAutoExport w(t.s.st());
    w.lstName->setCurrentRow(1);  // record 5
    QTest::mouseClick(w.Option1[2], Qt::LeftButton);
    EXPECT_FALSE(w.txtNumber->isHidden());
    QTest::mouseClick(w.chkDay[2], Qt::LeftButton);
    QTest::mouseClick(w.chkDay[6], Qt::LeftButton);
    EXPECT_EQ(w.txtPath[2]->text(), "H:\\programs\\SF8005NNN.wav");
    EXPECT_EQ(w.txtPath[6]->text(), "H:\\programs\\SF8005NNN.wav");
    EXPECT_EQ(w.txtPath[1]->text(), "");
    EXPECT_FALSE(w.txtPath[2]->isEnabled());
    EXPECT_TRUE(w.txtPath[2]->styleSheet().contains("#C0C0C0"));
    EXPECT_EQ(ReadExportEntry(t.s.st().Export, 5).Naming, ExportNaming::Winjock);

    // Back to "User Defined": the boxes are editable, unticked ones empty.
    QTest::mouseClick(w.Option1[1], Qt::LeftButton);
    EXPECT_TRUE(w.txtPath[2]->isEnabled());
    EXPECT_TRUE(w.txtPath[2]->styleSheet().isEmpty());
    EXPECT_EQ(w.txtPath[1]->text(), "");
}

TEST(AutoExportWindow, PathBoxRefusesCharactersOutsideItsSetWithAMessage) {
    Programmes t;
    frmAutoExport w(t.s.st());
    w.lstName->setCurrentRow(0);
    QTest::mouseClick(w.Option1[1], Qt::LeftButton);
    QTest::mouseClick(w.chkDay[1], Qt::LeftButton);
    QTest::keyClicks(w.txtPath[1], "c:\\a_1.wav b");
    EXPECT_EQ(w.txtPath[1]->text(), "c:\\a_1wavb");
    EXPECT_EQ(t.s.errors.messages, (std::vector<std::string>{" .  is not a valid character",
                                                             "    is not a valid character"}));
    QTest::keyClick(w.txtPath[1], Qt::Key_Backspace);
    EXPECT_EQ(w.txtPath[1]->text(), "c:\\a_1wav");

    // A paste goes through the same filter; the text already there stays.
    t.s.errors.messages.clear();
    w.txtPath[1]->setCursorPosition(3);
    QApplication::clipboard()->setText("x.y z");
    QTest::keyClick(w.txtPath[1], Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.txtPath[1]->text(), "c:\\xyza_1wav");
    EXPECT_EQ(w.txtPath[1]->cursorPosition(), 6);
    EXPECT_EQ(t.s.errors.messages, (std::vector<std::string>{" .  is not a valid character",
                                                             "    is not a valid character"}));
}

TEST(AutoExportWindow, ApplyWritesTheFormWholeAndNeedsAProgramme) {
    Programmes t;
    frmAutoExport w(t.s.st());
    QTest::mouseClick(w.cmdApply, Qt::LeftButton);
    EXPECT_EQ(t.s.errors.messages, std::vector<std::string>{"Select a Program"});
    EXPECT_EQ(t.s.st().Export.ExportFile.recordCount(), 0);

    w.lstName->setCurrentRow(1);
    QTest::mouseClick(w.Option1[1], Qt::LeftButton);
    QTest::mouseClick(w.chkDay[4], Qt::LeftButton);
    w.txtPath[4]->setText("c:\\a\\very\\long\\folder\\name\\for\\wednesday");
    w.chkFade->setChecked(true);
    w.txtNumber->setText("41.6");
    // A length the export cannot read is refused and nothing is written.
    for (const char* bad : {"ab:cd", "12:60", "12:345", "5:00"}) {
        w.txtLength->setText(bad);
        QTest::mouseClick(w.cmdApply, Qt::LeftButton);
        EXPECT_EQ(t.s.errors.messages.back(),
                  "Time Error in length must be corrected before saving.  Format is MM:SS")
            << bad;
        EXPECT_EQ(ReadExportEntry(t.s.st().Export, 5).Days[3], 0) << bad;  // the ticked day unsaved
    }
    w.txtLength->setText("12:34");
    QTest::mouseClick(w.cmdApply, Qt::LeftButton);

    const ExportEntry e = ReadExportEntry(t.s.st().Export, 5);
    EXPECT_EQ(e.Naming, ExportNaming::UserDefined);
    EXPECT_EQ(e.Days, (std::array<std::int16_t, 7>{0, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(e.Paths[3], "c:\\a\\very\\long\\folder\\name\\for");  // cut to 30
    EXPECT_EQ(e.Paths[0], std::string(30, ' '));
    EXPECT_EQ(e.Length, "12:34");
    EXPECT_EQ(e.Fade, ExportFade::On);
    EXPECT_EQ(e.WinjockNumber, 42);
}
