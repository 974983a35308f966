// The log viewer window, offscreen, opened from the History menu.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTest>
#include <memory>

#include "core/windows/WindowRegistry.h"
#include "core/windows/mnuMenu.h"
#include "logs/windows/frmActivityLog.h"
#include "support/SimStation.h"

using namespace quillmar;
using quillmar::testing::SimStation;

namespace {

QStringList Items(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}

frmActivityLog* OpenViewer(mnuMenu& w, const char* entry) {
    w.findChild<QAction*>(entry)->trigger();
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* viewer = qobject_cast<frmActivityLog*>(top); viewer && viewer->isVisible())
            return viewer;
    return nullptr;
}

// A station with the History menu wired to its windows; logs are written before start().
class LogViewerWindow : public ::testing::Test {
  protected:
    mnuMenu& start() {
        s.start();
        w = std::make_unique<mnuMenu>(s.st());
        RegisterWindows(*w, s.st());
        return *w;
    }
    SimStation s;
    std::unique_ptr<mnuMenu> w;
};

}  // namespace

TEST_F(LogViewerWindow, PicksADayAndShowsItByTimeOrByEvent) {
    s.write("c:\\satfile\\logs\\AL261204.log",
            "08:00:00  Play Farm Report\r\n07:00:00  Dump Farm Report\r\n");
    s.write("c:\\satfile\\logs\\AL261205.log", "09:00:00  Record News\r\n");
    mnuMenu& w = start();
    frmActivityLog* v = OpenViewer(w, "mnuActivityLog");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->model().kind, "AL");
    EXPECT_EQ(v->windowTitle(), "Load Activity Log");
    EXPECT_EQ(Items(v->lstDate), (QStringList{"12/05/26", "12/04/26"}));
    EXPECT_EQ(v->lstDate->currentRow(), 0);
    EXPECT_TRUE(v->Option1->isChecked());
    EXPECT_FALSE(v->lstActivityLog->isVisible());

    // By event: the older day, grouped by message.
    v->lstDate->setCurrentRow(1);
    v->Option2->setChecked(true);
    QTest::mouseClick(v->cmdOk, Qt::LeftButton);
    EXPECT_FALSE(v->cmdOk->isEnabled());  // until the day has been read
    s.loop.runPending();
    EXPECT_TRUE(v->cmdOk->isEnabled());
    EXPECT_EQ(v->windowTitle(), "Activity Log for 12/04/26");
    EXPECT_TRUE(v->lstActivityLog->isVisible());
    EXPECT_FALSE(v->lstDate->isVisible());
    EXPECT_FALSE(v->Option1->isVisible());
    EXPECT_EQ(Items(v->lstActivityLog),
              (QStringList{" Dump Farm Report 07:00:00", " Play Farm Report 08:00:00"}));

    // Back, then by time: the newest day.
    QTest::mouseClick(v->cmdOk, Qt::LeftButton);
    EXPECT_EQ(v->windowTitle(), "Select Activity Log");
    EXPECT_TRUE(v->lstDate->isVisible());
    v->Option1->setChecked(true);
    v->lstDate->setCurrentRow(0);
    QTest::mouseClick(v->cmdOk, Qt::LeftButton);
    s.loop.runPending();
    EXPECT_EQ(Items(v->lstActivityLog), (QStringList{"09:00:00  Record News"}));
    QTest::mouseClick(v->cmdClose, Qt::LeftButton);
    EXPECT_FALSE(v->isVisible());
}

TEST_F(LogViewerWindow, EbNoWithoutLogsSaysNoLogsFound) {
    mnuMenu& w = start();
    frmActivityLog* v = OpenViewer(w, "mnuEbNo");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->windowTitle(), "Load EbNo Log");
    EXPECT_EQ(Items(v->lstDate), (QStringList{"No Logs Found"}));
    QTest::mouseClick(v->cmdOk, Qt::LeftButton);
    EXPECT_FALSE(v->lstActivityLog->isVisible());
    v->close();
}

TEST_F(LogViewerWindow, AnEmptyErrorLogDoesNotExist) {
    s.write("c:\\satfile\\logs\\ER261204.log", "");
    mnuMenu& w = start();
    frmActivityLog* v = OpenViewer(w, "mnuErrorLog");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->model().kind, "ER");
    EXPECT_EQ(v->windowTitle(), "Load Error Log");            // not the program's name
    emit v->lstDate->itemDoubleClicked(v->lstDate->item(0));  // a double click on the date
    s.loop.runPending();
    EXPECT_EQ(Items(v->lstActivityLog), (QStringList{"Log for 12/04/26 does not exist."}));
    EXPECT_EQ(v->windowTitle(), "Error Log for 12/04/26");
    v->close();
}

TEST_F(LogViewerWindow, AWindowClosedWhileItsDayIsReadIsNotCalledBack) {
    s.write("c:\\satfile\\logs\\AL261204.log", "08:00:00  Play Farm Report\r\n");
    mnuMenu& w = start();
    s.background.delayMs = 1000;
    frmActivityLog kept(s.st(), "AL");
    kept.show();
    QTest::mouseClick(kept.cmdOk, Qt::LeftButton);
    kept.close();
    // The same through the menu: a window deleted on close.
    frmActivityLog* deleted = OpenViewer(w, "mnuActivityLog");
    ASSERT_NE(deleted, nullptr);
    QTest::mouseClick(deleted->cmdOk, Qt::LeftButton);
    deleted->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(s.background.pending(), 2);
    s.loop.advance(1000);
    EXPECT_EQ(s.background.pending(), 0);
    EXPECT_EQ(kept.lstActivityLog->count(), 0);
    EXPECT_TRUE(kept.cmdOk->isEnabled());
}

TEST_F(LogViewerWindow, TheHistoryEntriesShareOneViewer) {
    mnuMenu& w = start();
    frmActivityLog* v = OpenViewer(w, "mnuActivityLog");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(OpenViewer(w, "mnuActivityLog"), v);  // brought forward
    OpenViewer(w, "mnuEbNo");
    QApplication::processEvents();
    std::vector<frmActivityLog*> open;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* viewer = qobject_cast<frmActivityLog*>(top); viewer && viewer->isVisible())
            open.push_back(viewer);
    ASSERT_EQ(open.size(), 1u);
    EXPECT_EQ(open[0]->windowTitle(), "Load EbNo Log");
    open[0]->close();
}
