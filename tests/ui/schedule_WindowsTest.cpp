#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTest>

#include "Fonts.h"
#include "core/Startup.h"
#include "core/windows/WindowRegistry.h"
#include "core/windows/mnuMenu.h"
#include "schedule/ScheduleRecord.h"
#include "schedule/windows/frmSchedule.h"
#include "schedule/windows/frmWeeklySchedule.h"
#include "support/SimStation.h"

using namespace quillmar;
using quillmar::testing::SimStation;

namespace {

template <typename T>
T* TopLevel(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible()) return qobject_cast<T*>(w);
    return nullptr;
}

template <typename T>
T* Child(QWidget& w, const QString& name) {
    T* found = w.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

QStringList Lines(QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}

class ScheduleWindows : public ::testing::Test {
  protected:
    ScheduleWindows() : sim(DateTime::from(2026, 12, 7, 9, 0, 0)) {
        sim.write("c:\\satfile\\Source.dat", "ENG\r\nSPA\r\n");
        sim.start();
    }
    ~ScheduleWindows() override {
        // The schedule windows go first: closing the editor notifies the main window.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != menu_.get()) w->close();
        QApplication::processEvents();
        menu_.reset();
    }

    mnuMenu& menu() {
        if (!menu_) {
            menu_ = std::make_unique<mnuMenu>(sim.st());
            RegisterWindows(*menu_, sim.st());
        }
        return *menu_;
    }

    // Fills a new schedule through the controls the operator uses.
    void typeNew(frmSchedule& w, const QString& name, const QString& recordTime) {
        QTest::mouseClick(w.cmdNew, Qt::LeftButton);
        w.txtSatName->setText(name);
        w.txtSatLen->setText("30:00");
        w.cboRec[1]->setCurrentIndex(3);  // Tue
        w.txtRec[1]->setText(recordTime);
        w.txtPlay[9]->setText("12:00:00");
    }

    SimStation sim;
    std::unique_ptr<mnuMenu> menu_;
};

TEST_F(ScheduleWindows, EditorOpensFromTheMenuWithItsControls) {
    menu().findChild<QAction*>("mnuSchedule")->trigger();
    auto* w = TopLevel<frmSchedule>("frmSchedule");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Schedule");
    EXPECT_FALSE(w->cmdApply->isEnabled());
    EXPECT_EQ(w->lstDisplaySchedule->toolTip(), "Select one");
    EXPECT_EQ(Child<QComboBox>(*w, "cboSatAtt")->toolTip(),
              "Insert audio  attenuation in the Unity 4K receiver output for selected  port");
    EXPECT_EQ(Child<QLabel>(*w, "lblDay(6)")->text(), "Sat");
    EXPECT_EQ(Child<QComboBox>(*w, "cboRec(0)")->itemText(5), "Thur");
    EXPECT_EQ(Child<QLineEdit>(*w, "txtPlay(27)")->maxLength(), 8);
    EXPECT_EQ(w->cboSatLang->count(), 2);
    EXPECT_EQ(w->cboSatPlayStart->currentText(), "M");
    EXPECT_TRUE(w->cboSatRecordStart->isHidden());
    // At its smallest the window still shows whole times.
    w->resize(1, 1);
    QApplication::processEvents();
    for (QLineEdit* box : {w->txtPlay[27], w->txtRec[6]})
        EXPECT_GE(box->width(), box->fontMetrics().horizontalAdvance("06:45:00") + 4);
}

TEST_F(ScheduleWindows, ApplyWritesShowsConflictsAndUpdatesTheMainWindow) {
    frmSchedule w(sim.st());
    w.show();
    typeNew(w, "Morning", "10:00:00");
    QTest::mouseClick(w.cmdApply, Qt::LeftButton);
    EXPECT_EQ(sim.errors.messages, std::vector<std::string>{});
    EXPECT_EQ(Lines(w.lstDisplaySchedule), QStringList{"Morning                  "});
    EXPECT_EQ(w.conflictsWindow(), nullptr);  // no conflict: no window
    EXPECT_EQ(sim.st().main.lblNextToRecord,
              "Next to Record:  Monday  Morning on  Tuesday   @ 10:00:00");

    typeNew(w, "Overlap", "10:15:00");
    QTest::mouseClick(w.cmdApply, Qt::LeftButton);
    ASSERT_NE(w.conflictsWindow(), nullptr);
    EXPECT_EQ(w.conflictsWindow()->windowTitle(), "Schedule Conflicts");
    // The schedule named first is the one whose start lies in the other's window.
    EXPECT_EQ(Lines(w.conflictsWindow()->lstConflicts).join("|").toStdString(),
              "Play Morning conflicts with Overlap on Tuesday @ 12:00:00|"
              "Play Overlap conflicts with Morning on Tuesday @ 12:00:00|"
              "Record Morning conflicts with Overlap on Monday");
    // Closing the editor closes the conflict window too.
    QPointer<frmScheduleConflicts> conflicts = w.conflictsWindow();
    w.close();
    QApplication::processEvents();
    EXPECT_TRUE(!conflicts || !conflicts->isVisible());
}

TEST_F(ScheduleWindows, ApplyRefusesUnreadableTimesAndWritesNothing) {
    const std::string length =
        "Time Error in length must be corrected before saving.  Format is HH:MM";
    const std::string play =
        "Time Error in play schedule must be corrected before saving.  Format is HH:MM:SS";
    const std::string record =
        "Time Error in record schedule must be corrected before saving. Format is HH:MM:SS";
    frmSchedule w(sim.st());
    w.show();
    const struct {
        QLineEdit* box;
        const char* text;
        const std::string& message;
    } cases[] = {
        {w.txtSatLen, "ab:cd", length},    {w.txtSatLen, "30:75", length},
        {w.txtSatLen, "3:00", length},     {w.txtPlay[9], "09:OO:xx", play},
        {w.txtPlay[9], "24:00:00", play},  {w.txtPlay[9], "12:60", play},
        {w.txtPlay[9], "12:00:6", play},   {w.txtRec[1], "1O:OO:OO", record},
        {w.txtRec[1], "10:00:60", record}, {w.txtRec[1], "10-00-00", record},
    };
    for (const auto& c : cases) {
        sim.errors.messages.clear();
        typeNew(w, "Bad", "10:00:00");
        c.box->setText(c.text);
        QTest::mouseClick(w.cmdApply, Qt::LeftButton);
        EXPECT_EQ(sim.errors.messages, std::vector<std::string>{c.message}) << c.text;
        EXPECT_EQ(ScheduleRecordCount(sim.st().schedule), 0) << c.text;
    }
    // Hours and minutes alone play on the minute.
    sim.errors.messages.clear();
    typeNew(w, "Good", "10:00:00");
    w.txtPlay[9]->setText("06:45");
    QTest::mouseClick(w.cmdApply, Qt::LeftButton);
    EXPECT_EQ(sim.errors.messages, std::vector<std::string>{});
    EXPECT_EQ(ScheduleRecordCount(sim.st().schedule), 1);
}

TEST_F(ScheduleWindows, ChoosingASwitchHidesThePlayBoxesAndARecordShowsThem) {
    frmSchedule w(sim.st());
    w.show();
    typeNew(w, "Router", "07:00:00");
    w.optAction[1]->setChecked(true);
    w.txtSatLen->setText("");
    QTest::mouseClick(w.cmdApply, Qt::LeftButton);
    typeNew(w, "Album", "08:00:00");
    w.optAction[0]->setChecked(true);  // New keeps the last action
    QTest::mouseClick(w.cmdApply, Qt::LeftButton);
    ASSERT_EQ(Lines(w.lstDisplaySchedule).size(), 2);

    w.lstDisplaySchedule->setCurrentRow(1);  // Router
    EXPECT_TRUE(w.txtPlay[0]->isHidden());
    EXPECT_TRUE(w.txtSatLen->isHidden());
    EXPECT_EQ(w.Label2->text(), "Switch Time HH:MM:SS");
    EXPECT_EQ(w.lblScheduleNo->text(), "1");
    w.lstDisplaySchedule->setCurrentRow(0);  // Album
    EXPECT_FALSE(w.txtPlay[0]->isHidden());
    EXPECT_EQ(w.Label2->text(), "Record Time HH:MM:SS");
    EXPECT_EQ(w.txtPlay[9]->text(), "12:00:00");
}

TEST_F(ScheduleWindows, DeleteAsksThenStartsAfreshAndNewReusesTheSlot) {
    frmSchedule w(sim.st());
    w.show();
    typeNew(w, "Keep", "07:00:00");
    QTest::mouseClick(w.cmdApply, Qt::LeftButton);
    typeNew(w, "Drop", "08:00:00");
    QTest::mouseClick(w.cmdApply, Qt::LeftButton);

    QTest::mouseClick(w.cmdDelete, Qt::LeftButton);  // nothing selected after a fresh list
    w.lstDisplaySchedule->setCurrentRow(0);          // "Drop"
    QTest::mouseClick(w.cmdDelete, Qt::LeftButton);
    ASSERT_NE(w.deleteDialog(), nullptr);
    EXPECT_EQ(w.deleteDialog()->windowTitle(), "Delete Drop Schedule?");
    EXPECT_EQ(w.deleteDialog()->lblDialog1->text(), "Are You Sure?");
    QTest::mouseClick(w.deleteDialog()->OKButton, Qt::LeftButton);

    EXPECT_EQ(Lines(w.lstDisplaySchedule), QStringList{"Keep                     "});
    EXPECT_FALSE(w.cmdApply->isEnabled());
    std::string rec;
    sim.st().schedule.SatListFile.read(2, &rec);
    EXPECT_EQ(rec[0], '0');
    QTest::mouseClick(w.cmdNew, Qt::LeftButton);
    EXPECT_EQ(w.lblScheduleNo->text(), "2");

    // The question can be answered by a test: Cancel keeps the schedule.
    w.askDelete = [](const QString&, std::function<void()>) {};
    w.lstDisplaySchedule->setCurrentRow(0);
    QTest::mouseClick(w.cmdDelete, Qt::LeftButton);
    sim.st().schedule.SatListFile.read(1, &rec);
    EXPECT_EQ(rec[0], '1');
}

TEST_F(ScheduleWindows, ViewNumberOrdersAsText) {
    std::string rec;
    for (int n = 1; n <= 10; ++n) {
        ScheduleFields f = ParseScheduleRecord(std::string(331, ' '));
        f.InUse = ScheduleSlot::InUse;
        f.ProgramName = "S" + std::to_string(n);
        ASSERT_TRUE(sim.st().schedule.SatListFile.write(n, BuildScheduleRecord(f)));
    }
    frmSchedule w(sim.st());
    w.findChild<QAction*>("mnuViewNumber")->trigger();
    const QStringList lines = Lines(w.lstDisplaySchedule);
    ASSERT_EQ(lines.size(), 10);
    EXPECT_TRUE(lines[1].startsWith("10  S10"));
    EXPECT_TRUE(lines[2].startsWith("2   S2"));
    w.findChild<QAction*>("mnuViewName")->trigger();
    EXPECT_TRUE(Lines(w.lstDisplaySchedule)[1].startsWith("S10"));
}

TEST_F(ScheduleWindows, PlayBoxKeysMoveFocusRoundTheWeek) {
    frmSchedule w(sim.st());
    w.show();
    QApplication::setActiveWindow(&w);
    w.txtPlay[27]->setFocus();
    QTest::keyClick(w.txtPlay[27], Qt::Key_Return);
    EXPECT_TRUE(w.txtPlay[0]->hasFocus());
    QTest::keyClick(w.txtPlay[0], Qt::Key_Up);
    EXPECT_TRUE(w.txtPlay[24]->hasFocus());
    QTest::keyClick(w.txtPlay[24], Qt::Key_Down);
    EXPECT_TRUE(w.txtPlay[0]->hasFocus());
    QTest::keyClick(w.txtRec[0], Qt::Key_Up);
    EXPECT_TRUE(w.txtRec[6]->hasFocus());
    QTest::keyClick(w.cboRec[2], Qt::Key_Backspace);
    EXPECT_TRUE(w.txtPlay[11]->hasFocus());
}

TEST_F(ScheduleWindows, WeekViewsShareOneWindowAndRebuildEachTime) {
    ScheduleFields f = ParseScheduleRecord(std::string(331, ' '));
    f.InUse = ScheduleSlot::InUse;
    f.ProgramName = "Router";
    f.Action = ScheduleAction::SwitchOnly;
    f.RecordDays[0] = 2;
    f.RecordTimes[0] = "10:00:00";
    f.PlayTimes[4] = "06:00:00";
    ASSERT_TRUE(sim.st().schedule.SatListFile.write(1, BuildScheduleRecord(f)));

    menu().findChild<QAction*>("mnuPlaySchedule")->trigger();
    auto* view = TopLevel<frmWeeklySchedule>("frmWeeklySchedule");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->windowTitle(), "Weekly Play Schedule");
    EXPECT_EQ(Lines(view->lstWeeklySchedule),
              QStringList{"Mon 06:00:00 Router                   "});
    EXPECT_TRUE(view->lstSort->isHidden());
    EXPECT_TRUE(LinesUpColumns(view->lstWeeklySchedule->font()));

    menu().findChild<QAction*>("mnuRecordSchedule")->trigger();
    EXPECT_EQ(view->windowTitle(), "Weekly Record Schedule");
    EXPECT_TRUE(Lines(view->lstWeeklySchedule).isEmpty());
    menu().findChild<QAction*>("mnuSwitchSchedule")->trigger();
    EXPECT_EQ(TopLevel<frmWeeklySchedule>("frmWeeklySchedule"), view);
    EXPECT_EQ(Lines(view->lstWeeklySchedule),
              QStringList{"Mon 10:00:00  Sun Router                   "});

    // A closed view stops following the station; opening it again does not pile up followers.
    const std::size_t following = sim.st().observerCount();
    delete view;
    sim.loop.advance(100);
    EXPECT_EQ(sim.st().observerCount(), following - 1);
}

TEST_F(ScheduleWindows, FloppyEntriesReportAMissingDrive) {
    menu().findChild<QAction*>("mnuLoadScheduleFromFloppy")->trigger();
    sim.loop.runPending();
    ASSERT_EQ(sim.errors.messages.size(), 1u);
    EXPECT_EQ(sim.errors.messages[0], "71 Disk not ready: drive a: is not available");
}

}  // namespace
