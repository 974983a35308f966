// The main window offscreen: it follows the station's model and its controls reach the station.
#include "Windows.h"
#include "audio/windows/LevelMeter.h"
#include "core/SettingsSequences.h"
#include "schedule/ScheduleRecord.h"
#include "settings/StationSettings.h"
#include "settings/windows/frmError.h"

using namespace quillmar;
using namespace quillmar::testing;

// Saturday 12:00 with "Swap Shop" to play by hand at 09:00 and 15:00 and its recording on file.
TEST(MainWindow, FollowsTheModelAndItsControlsReachTheStation) {
    SimStation s;
    s.settings({{Rec::PlayVisible, 1},
                {Rec::StopVisible, 1},
                {Rec::WaveDrive, 3},
                {Rec::RecordVisible, 1},
                {Rec::RecStopVisible, 1}});
    ScheduleFields f = WithPlay(WithPlay(Schedule("Swap Shop"), 24, "09:00:00"), 25, "15:00:00");
    f.PlayStart = ScheduleStart::Manual;
    s.write(kScheduleFilePath, BuildScheduleRecord(f));
    s.makeWave("c:\\satfile\\" + WaveName(6, 1), 3);
    s.start();
    mnuMenu w(s.st());
    RegisterWindows(w, s.st());
    w.show();
    s.st().main.lblNextToRecord = "Caf\xE9 programme";
    s.st().Audio.RecordMetersVisible = true;
    s.st().Audio.RecordPeakLeft = 1000;
    s.st().Audio.RecordPeakRight = 2000;
    s.st().Export.Display = ExportDisplay{true, 40, true, 0, 300};
    s.st().notifyChanged();  // as the handlers that change these do
    EXPECT_EQ(w.lblNextToRecord->text(), QString::fromUtf8("Caf\xC3\xA9 programme"));
    EXPECT_EQ(w.MMLevelX3->left() + w.MMLevelX4->left() + w.Gauge->value(), 3040);
    EXPECT_TRUE(w.MMLevelX3->isVisible() && w.Gauge->isVisible() && !w.MMLevelX1->isVisible());
    s.st().Audio.RecordMetersVisible = false;
    s.st().Export.Display.GaugeVisible = false;
    s.st().main.cmdRecordColour = MainWindowModel::ButtonColour::Maroon;  // the capture stopped
    s.loop.advance(1000);
    QApplication::processEvents();
    EXPECT_FALSE(w.MMLevelX3->isVisible() || w.Gauge->isVisible());
    EXPECT_TRUE(w.cmdRecord->styleSheet().contains("rgb(128, 0, 0)"));

    s.noteActions();
    w.findChild<QAction*>("mnuLoadPlayList")->trigger();
    ASSERT_EQ(w.PlayList->count(), 2);
    w.PlayList->setCurrentRow(1);
    QTest::keyClick(w.PlayList, Qt::Key_Delete);
    EXPECT_EQ(Lines(w.PlayList), QStringList{"09:00:00  Swap Shop                "});
    QTest::mouseClick(w.cmdPlay, Qt::LeftButton);
    EXPECT_TRUE(w.cmdPlay->styleSheet().contains("rgb(128, 255, 128)"));  // green while playing
    QTest::mouseClick(w.cmdStop, Qt::LeftButton);
    s.st().next.record.emplace();
    s.st().next.record->recordNo = 1;
    QTest::mouseClick(w.cmdRecord, Qt::LeftButton);
    EXPECT_TRUE(w.cmdRecord->styleSheet().contains("yellow"));
    QTest::mouseClick(w.cmdRecStop, Qt::LeftButton);
    EXPECT_EQ(s.count("PlayFromPlaylist") + s.count("StopPlayout") + s.count("ArmRecording") +
                  s.count("StopRecording"),
              4);
}

TEST(MainWindowMenu, SaysWhereToBeginAndFloppyCopiesRunOneAtATime) {
    SimStation s;
    s.start();
    mnuMenu w(s.st());
    RegisterWindows(w, s.st());
    w.show();
    EXPECT_TRUE(w.lblStartHere->isVisible());  // a new installation
    QAction* save = w.findChild<QAction*>("mnuSaveToFloppy");
    s.folder("a:\\");
    s.write("c:\\satfile\\Source.dat", "ENG\r\n");
    save->trigger();
    EXPECT_FALSE(save->isEnabled());  // one copy at a time
    s.loop.runPending();
    EXPECT_TRUE(save->isEnabled());
    w.findChild<QAction*>("mnuLoadScheduleFromFloppy")->trigger();
    s.loop.runPending();
    EXPECT_TRUE(s.errors.messages.empty());
    ASSERT_TRUE(SaveStationSettings(s.st()));  // what My Computer's Apply does
    s.st().notifyChanged();
    EXPECT_FALSE(w.lblStartHere->isVisible());
    int asked = 0;
    w.askExit = [&] { return ++asked > 1; };
    w.findChild<QAction*>("mnuExit")->trigger();
    EXPECT_TRUE(asked == 1 && w.isVisible() && s.st().timers.tmrClock->isEnabled());
    EXPECT_TRUE(w.close());
}

TEST(ErrorWindow, OneInstanceShowsTheLatestMessageAndOkUnloadsIt) {
    ErrorWindowPresenter errors;
    errors.showError("first");
    QPointer<frmError> window = errors.window();
    errors.showError("Select a schedule");
    ASSERT_EQ(errors.window(), window.data());
    EXPECT_EQ(window->lblMessage->text(), "Select a schedule");
    QTest::mouseClick(window->OKButton, Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(window);
    errors.bringForward();      // nothing on screen: nothing to do
    errors.showError("again");  // a new window after the last was unloaded
    ASSERT_TRUE(errors.window());
    delete errors.window();
}
