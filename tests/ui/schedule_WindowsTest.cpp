#include <gtest/gtest.h>

#include "Windows.h"
#include "core/windows/WindowRegistry.h"
#include "core/windows/mnuMenu.h"
#include "schedule/windows/frmSchedule.h"
#include "schedule/windows/frmWeeklySchedule.h"
#include "support/Builders.h"
#include "support/SimStation.h"

using namespace quillmar;
using namespace quillmar::testing;

namespace {

// Monday 09:00 with the main menu wired to its windows.
struct ScheduleWindows : ::testing::Test {
    ScheduleWindows() {
        s.write("c:\\satfile\\Source.dat", "ENG\r\nSPA\r\n");
        s.start();
        menu = std::make_unique<mnuMenu>(s.st());
        RegisterWindows(*menu, s.st());
    }
    ~ScheduleWindows() override {
        // The schedule windows go first: closing the editor notifies the main window.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != menu.get()) w->close();
        QApplication::processEvents();
    }
    template <typename T>
    T* open(const char* entry) {
        menu->findChild<QAction*>(entry)->trigger();
        return Shown<T>().empty() ? nullptr : Shown<T>()[0];
    }
    // A new schedule typed in and applied: 30 minutes recorded on Tuesdays, played at 12:00.
    void apply(frmSchedule& w, const QString& name, const QString& recordTime,
               const QString& length = "30:00") {
        QTest::mouseClick(w.cmdNew, Qt::LeftButton);
        w.txtSatName->setText(name);
        w.txtSatLen->setText(length);
        w.cboRec[1]->setCurrentIndex(3);
        w.txtRec[1]->setText(recordTime);
        w.txtPlay[9]->setText("12:00:00");
        QTest::mouseClick(w.cmdApply, Qt::LeftButton);
    }
    SimStation s{Monday(9)};
    std::unique_ptr<mnuMenu> menu;
};

TEST_F(ScheduleWindows, TheEditorAppliesShowsConflictsSwitchesAndDeletes) {
    frmSchedule& w = *open<frmSchedule>("mnuSchedule");
    EXPECT_EQ(w.cboSatLang->count(), 2);
    apply(w, "Morning", "10:00:00");
    EXPECT_EQ(w.conflictsWindow(), nullptr);  // no conflict: no window
    EXPECT_EQ(s.st().main.lblNextToRecord,
              "Next to Record:  Monday  Morning on  Tuesday   @ 10:00:00");
    apply(w, "Overlap", "10:15:00");
    ASSERT_NE(w.conflictsWindow(), nullptr);
    EXPECT_EQ(Lines(w.conflictsWindow()->lstConflicts).size(), 3);
    w.optAction[1]->setChecked(true);
    apply(w, "Router", "07:00:00", "");
    EXPECT_TRUE(s.errors.messages.empty());
    w.findChild<QAction*>("mnuViewNumber")->trigger();
    EXPECT_TRUE(Lines(w.lstDisplaySchedule)[2].startsWith("3   Router"));
    w.lstDisplaySchedule->setCurrentRow(2);  // Router
    EXPECT_TRUE(w.txtPlay[0]->isHidden() && w.txtSatLen->isHidden());
    w.findChild<QAction*>("mnuViewName")->trigger();
    w.lstDisplaySchedule->setCurrentRow(0);  // Morning
    EXPECT_EQ(w.txtPlay[9]->text(), "12:00:00");
    // Delete asks first: OK deletes and New reuses the slot, Cancel keeps the schedule.
    QTest::mouseClick(w.cmdDelete, Qt::LeftButton);
    ASSERT_NE(w.deleteDialog(), nullptr);
    QTest::mouseClick(w.deleteDialog()->OKButton, Qt::LeftButton);
    EXPECT_EQ(s.record(1).InUse, ScheduleSlot::Deleted);
    QTest::mouseClick(w.cmdNew, Qt::LeftButton);
    EXPECT_EQ(w.lblScheduleNo->text(), "1");
    w.askDelete = [](const QString&, std::function<void()>) {};
    w.lstDisplaySchedule->setCurrentRow(0);
    QTest::mouseClick(w.cmdDelete, Qt::LeftButton);
    EXPECT_EQ(s.record(2).InUse, ScheduleSlot::InUse);
    // Closing the editor closes the conflict window too.
    QPointer<frmScheduleConflicts> conflicts = w.conflictsWindow();
    w.close();
    QApplication::processEvents();
    EXPECT_TRUE(!conflicts || !conflicts->isVisible());
}

TEST_F(ScheduleWindows, PlayBoxKeysMoveFocusRoundTheWeek) {
    frmSchedule w(s.st());
    w.show();
    QApplication::setActiveWindow(&w);
    w.txtPlay[27]->setFocus();
    QTest::keyClick(w.txtPlay[27], Qt::Key_Return);
    EXPECT_TRUE(w.txtPlay[0]->hasFocus());
    QTest::keyClick(w.txtPlay[0], Qt::Key_Up);
    EXPECT_TRUE(w.txtPlay[24]->hasFocus());
    QTest::keyClick(w.cboRec[2], Qt::Key_Backspace);
    EXPECT_TRUE(w.txtPlay[11]->hasFocus());
}

TEST_F(ScheduleWindows, WeekViewsShareOneWindowAndAClosedOneStopsFollowing) {
    s.put(1, WithPlay(WithSlot(Schedule("Router", "3"), 0, 2, "10:00:00"), 4, "06:00:00"));
    auto* view = open<frmWeeklySchedule>("mnuPlaySchedule");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(Lines(view->lstWeeklySchedule),
              QStringList{"Mon 06:00:00 Router                   "});
    EXPECT_EQ(open<frmWeeklySchedule>("mnuRecordSchedule"), view);
    EXPECT_TRUE(Lines(view->lstWeeklySchedule).isEmpty());
    EXPECT_EQ(open<frmWeeklySchedule>("mnuSwitchSchedule"), view);
    EXPECT_EQ(Lines(view->lstWeeklySchedule),
              QStringList{"Mon 10:00:00  Sun Router                   "});
    const std::size_t following = s.st().observerCount();
    delete view;
    s.loop.advance(100);
    EXPECT_EQ(s.st().observerCount(), following - 1);
}

}  // namespace
