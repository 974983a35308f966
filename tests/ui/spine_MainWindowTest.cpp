#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <map>

#include "audio/windows/LevelMeter.h"
#include "core/ScheduleSequences.h"
#include "core/SettingsSequences.h"
#include "core/Startup.h"
#include "core/windows/WindowRegistry.h"
#include "core/windows/mnuMenu.h"
#include "schedule/ScheduleRecord.h"
#include "settings/StationSettings.h"
#include "settings/windows/frmError.h"
#include "support/SimStation.h"

using namespace quillmar;
using quillmar::testing::SimStation;

namespace {

QStringList Captions(const QList<QAction*>& actions) {
    QStringList out;
    for (QAction* a : actions)
        if (!a->isSeparator()) out << a->text();
    return out;
}

QMenu* Menu(mnuMenu& w, const char* name) {
    return w.findChild<QMenu*>(name);
}

// Counts the paint events of each named widget.
class PaintCounter : public QObject {
  public:
    std::map<std::string, int> painted;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint && !o->objectName().isEmpty())
            ++painted[o->objectName().toStdString()];
        return false;
    }
};

}  // namespace

TEST(MainWindow, CarriesEveryMenuAndEntryInOrder) {
    SimStation s;
    s.start();
    mnuMenu w(s.st());
    EXPECT_EQ(w.windowTitle(), "Quillmar");
    EXPECT_EQ(Captions(w.menuBar()->actions()),
              (QStringList{"File", "SetUp", "Load Play List", "Audition", "AutoExport", "Schedule",
                           "Set &Receiver", "View", "History", "Help", "About"}));
    EXPECT_EQ(Captions(Menu(w, "mnuFile")->actions()),
              (QStringList{"Save Source Codes, Schedule,Setup Files  to Floppy",
                           "Load AutoExport File from floppy", "Load Source Codes from Floppy",
                           "Load Schedule from Floppy", "Load Setup Files from Floppy", "Exit"}));
    EXPECT_EQ(Captions(Menu(w, "mnuSetUp")->actions()),
              (QStringList{"Address Book", "My Email Account", "My Computer",
                           "Program Source Codes", "Communications"}));
    EXPECT_EQ(
        Captions(Menu(w, "mnuView")->actions()),
        (QStringList{"Play Schedule", "Record Schedule", "Switch Schedule", "Receiver &Status"}));
    EXPECT_EQ(Captions(Menu(w, "mnuReceiverStatus")->actions()),
              (QStringList{"Carrier", "MPEG", "Relays", "Extended Relays", "Receiver Serial  &Port",
                           "Settings"}));
    EXPECT_EQ(Captions(Menu(w, "mnuHistory")->actions()),
              (QStringList{"Eb/No", "Activity Log", "Error Log", "Signal"}));
    // Exit always works; an entry whose window is missing is there but cannot be chosen.
    EXPECT_TRUE(w.findChild<QAction*>("mnuExit")->isEnabled());
    bool opened = false;
    w.setWindowOpener("mnuAbout", [&]() -> QWidget* {
        opened = true;
        return nullptr;
    });
    QAction* about = w.findChild<QAction*>("mnuAbout");
    EXPECT_TRUE(about->isEnabled());
    about->trigger();
    EXPECT_TRUE(opened);
}

TEST(MainWindow, ShowsTheStationsLabelsButtonsAndPlaylist) {
    SimStation s;
    s.write(kSettingsPath, std::string(36, '\0') + std::string("\x01\x00\x00\x00", 4));
    s.start();
    mnuMenu w(s.st());
    w.show();
    EXPECT_TRUE(w.cmdRecord->isVisible());  // record 19 is 1
    EXPECT_FALSE(w.cmdRecStop->isVisible());
    EXPECT_EQ(w.cmdPlay->toolTip(), "Plays the first item in the playlist");
    EXPECT_EQ(w.cmdStop->text(), "Play Stop");
    EXPECT_EQ(w.cmdRecStop->text(), "Rec Stop");
    s.st().main.lblNextToRecord = "Caf\xE9 programme";
    s.st().main.PlayList = {{"06:00:00  News", 3}};
    s.st().main.cmdRecordCaption = "Ready";
    s.st().main.cmdRecordColour = MainWindowModel::ButtonColour::Yellow;
    s.loop.advance(100);  // the tick notifies the window
    EXPECT_EQ(w.lblNextToRecord->text(), QString::fromUtf8("Caf\xC3\xA9 programme"));
    EXPECT_TRUE(w.lblClock->text().startsWith("Saturday  12/05/2026  Day  339"));
    ASSERT_EQ(w.PlayList->count(), 1);
    EXPECT_EQ(w.PlayList->item(0)->text(), "06:00:00  News");
    EXPECT_EQ(w.cmdRecord->text(), "Ready");
    EXPECT_TRUE(w.cmdRecord->styleSheet().contains("yellow"));

    // The meters and the export gauge follow the model, and hide with it.
    s.st().Audio.RecordMetersVisible = true;
    s.st().Audio.RecordPeakLeft = 1000;
    s.st().Audio.RecordPeakRight = 2000;
    s.st().Export.Display = ExportDisplay{true, 40, false};
    s.st().notifyChanged();  // as the audio and export handlers do
    EXPECT_TRUE(w.MMLevelX3->isVisible() && w.MMLevelX4->isVisible() && w.Gauge->isVisible());
    EXPECT_EQ(w.MMLevelX3->left(), 1000);
    EXPECT_EQ(w.MMLevelX4->left(), 2000);
    EXPECT_EQ(w.Gauge->value(), 40);
    EXPECT_FALSE(w.MMLevelX1->isVisible());
    s.st().Audio.RecordMetersVisible = false;
    s.st().Export.Display.GaugeVisible = false;
    s.st().notifyChanged();
    EXPECT_FALSE(w.MMLevelX3->isVisible() || w.Gauge->isVisible());
}

TEST(MainWindow, AnIdleSecondRepaintsOnlyTheClockLineOnce) {
    SimStation s;
    s.write(kSettingsPath, std::string(36, '\0') + std::string("\x01\x00\x00\x00", 4));
    s.start();
    mnuMenu w(s.st());
    w.show();
    s.st().main.cmdRecordColour = MainWindowModel::ButtonColour::Yellow;
    s.loop.advance(1000);
    QApplication::processEvents();
    PaintCounter counter;
    qApp->installEventFilter(&counter);
    for (int tick = 0; tick < 20; ++tick) {  // one second of ticks, the clock line changing once
        s.loop.advance(50);
        QApplication::processEvents();
    }
    qApp->removeEventFilter(&counter);
    // The window paints the background under the new clock line; nothing else is touched.
    EXPECT_EQ(counter.painted, (std::map<std::string, int>{{"lblClock", 1}, {"mnuMenu", 1}}));
}

TEST(MainWindow, SaysWhereToBeginUntilTheSoundCardsAreChosen) {
    SimStation s;
    s.start();  // a new installation: an empty settings file
    mnuMenu w(s.st());
    w.show();
    ASSERT_TRUE(w.lblStartHere->isVisible());
    EXPECT_TRUE(w.lblStartHere->text().contains("SetUp, My Computer"));
    ASSERT_TRUE(SaveStationSettings(s.st()));  // what My Computer's Apply does
    s.st().notifyChanged();
    EXPECT_FALSE(w.lblStartHere->isVisible());
}

TEST(MainWindow, ARecordingMoreThanADayAwayCountsDownWhole) {
    SimStation s;  // Saturday 12:00:00
    ScheduleFields f = ParseScheduleRecord(std::string(kScheduleRecordLength, ' '));
    f.InUse = ScheduleSlot::InUse;
    f.ProgramName = "Weekly";
    f.ProgramLength = "30:00";
    f.Action = ScheduleAction::Record;
    f.RecordDays[0] = 7;  // Saturday, an hour ago: next week
    f.RecordTimes[0] = "11:00:00";
    s.write(kScheduleFilePath, BuildScheduleRecord(f));
    s.start();
    mnuMenu w(s.st());
    w.show();
    s.loop.advance(100);
    EXPECT_EQ(w.lblRecTime->text(), "167:00:00");  // as the play countdown, not "23:00:00"
}

TEST(MainWindow, FloppyCopiesShowProgressBar1AndWaitForEachOther) {
    SimStation s;
    s.start();
    mnuMenu w(s.st());
    RegisterWindows(w, s.st());
    w.show();
    const auto* bar = w.findChild<QProgressBar*>("ProgressBar1");
    ASSERT_NE(bar, nullptr);
    QAction* save = w.findChild<QAction*>("mnuSaveToFloppy");
    QAction* setup = w.findChild<QAction*>("mnuLoadSetupFromFloppy");
    std::vector<int> shownWithMax;  // the bar's maximum each time the window showed it
    s.st().onChanged([&] {
        if (bar->isVisible()) shownWithMax.push_back(bar->maximum());
        return true;
    });
    std::string error;
    ASSERT_TRUE(s.files.createFolder("a:\\", &error)) << error;
    s.write("c:\\satfile\\Source.dat", "ENG\r\n");
    save->trigger();
    EXPECT_FALSE(save->isEnabled());  // one copy at a time
    EXPECT_FALSE(setup->isEnabled());
    s.loop.runPending();
    EXPECT_EQ(shownWithMax.size(), 5u);  // shown, then after each of the four files
    EXPECT_EQ(shownWithMax.front(), 5);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(save->isEnabled());
    EXPECT_EQ(s.read("a:\\Source.dat"), "ENG\r\n");
    shownWithMax.clear();
    setup->trigger();
    s.loop.runPending();
    EXPECT_FALSE(shownWithMax.empty());
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(s.errors.messages.empty());
}

TEST(MainWindow, TheExitQuestionDecidesWhetherTheWindowCloses) {
    SimStation s;
    s.start();
    mnuMenu w(s.st());
    w.show();
    int asked = 0;
    w.askExit = [&] {
        ++asked;
        return false;
    };
    w.findChild<QAction*>("mnuExit")->trigger();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(s.st().timers.tmrClock->isEnabled());
    w.askExit = [] { return true; };
    EXPECT_TRUE(w.close());
}

TEST(ErrorWindow, OneInstanceShowsTheLatestMessageAndOkUnloadsIt) {
    ErrorWindowPresenter errors;
    errors.showError("first");
    QPointer<frmError> window = errors.window();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle(), "Error Message");
    errors.showError("Select a schedule");
    EXPECT_EQ(errors.window(), window.data());
    EXPECT_EQ(window->lblMessage->text(), "Select a schedule");
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(QApplication::topLevelWidgets().count(static_cast<QWidget*>(window.data())), 1);
    QTest::mouseClick(window->OKButton, Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(window);
    errors.bringForward();  // nothing on screen: nothing to do
    errors.showError("again");
    ASSERT_TRUE(errors.window());
    EXPECT_EQ(errors.window()->lblMessage->text(), "again");
    delete errors.window();
}
