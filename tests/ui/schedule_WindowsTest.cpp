#include "Windows.h"
#include "schedule/windows/frmSchedule.h"
#include "schedule/windows/frmWeeklySchedule.h"

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

TEST_F(ScheduleWindows, TheEditorAppliesShowsConflictsSwitchesDeletesAndMovesTheFocus) {
    frmSchedule& w = *open<frmSchedule>("mnuSchedule");
    apply(w, "Morning", "10:00:00");
    EXPECT_EQ(w.conflictsWindow(), nullptr);  // no conflict: no window
    apply(w, "Overlap", "10:15:00");
    ASSERT_NE(w.conflictsWindow(), nullptr);
    w.optAction[1]->setChecked(true);
    apply(w, "Router", "07:00:00", "");
    w.findChild<QAction*>("mnuViewNumber")->trigger();
    w.lstDisplaySchedule->setCurrentRow(2);  // Router
    EXPECT_TRUE(w.txtPlay[0]->isHidden() && w.txtSatLen->isHidden());
    w.lstDisplaySchedule->setCurrentRow(0);  // Morning
    EXPECT_EQ(w.txtPlay[9]->text(), "12:00:00");
    QTest::mouseClick(w.cmdDelete, Qt::LeftButton);  // asks first
    ASSERT_NE(w.deleteDialog(), nullptr);
    QTest::mouseClick(w.deleteDialog()->OKButton, Qt::LeftButton);
    EXPECT_EQ(s.record(1).InUse, ScheduleSlot::Deleted);
    // The play boxes' keys move the focus round the week.
    QApplication::setActiveWindow(&w);
    w.txtPlay[27]->setFocus();
    QTest::keyClick(w.txtPlay[27], Qt::Key_Return);
    EXPECT_TRUE(w.txtPlay[0]->hasFocus());
    QTest::keyClick(w.txtPlay[0], Qt::Key_Up);
    EXPECT_TRUE(w.txtPlay[24]->hasFocus());
    QTest::keyClick(w.cboRec[2], Qt::Key_Backspace);
    EXPECT_TRUE(w.txtPlay[11]->hasFocus());
    // Closing the editor closes the conflict window too.
    QPointer<frmScheduleConflicts> conflicts = w.conflictsWindow();
    w.close();
    QApplication::processEvents();
    EXPECT_TRUE(!conflicts || !conflicts->isVisible());
}

TEST_F(ScheduleWindows, WeekViewsShareOneWindowAndAClosedOneStopsFollowing) {
    s.put(1, WithPlay(WithSlot(Schedule("Router", "3"), 0, 2, "10:00:00"), 4, "06:00:00"));
    auto* view = open<frmWeeklySchedule>("mnuPlaySchedule");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(open<frmWeeklySchedule>("mnuRecordSchedule"), view);
    EXPECT_EQ(view->lstWeeklySchedule->count(), 0);
    EXPECT_EQ(open<frmWeeklySchedule>("mnuSwitchSchedule"), view);
    EXPECT_EQ(Lines(view->lstWeeklySchedule),
              QStringList{"Mon 10:00:00  Sun Router                   "});
    const std::size_t following = s.st().observerCount();
    delete view;
    s.loop.advance(100);
    EXPECT_EQ(s.st().observerCount(), following - 1);
}

}  // namespace
