#include <gtest/gtest.h>

#include <QListWidget>
#include <QMouseEvent>
#include <QTest>

#include "audio/AudioState.h"
#include "audio/Playout.h"
#include "audio/SoundFiles.h"
#include "audio/windows/LevelMeter.h"
#include "audio/windows/frmAudition.h"
#include "core/PlayoutSequences.h"
#include "core/Startup.h"
#include "core/windows/mnuMenu.h"
#include "platform/wave/SndFile.h"
#include "schedule/ScheduleRecord.h"
#include "support/SimStation.h"

using namespace quillmar;
using quillmar::testing::SimStation;

namespace {

void PutSchedule(Station& st, int n, const std::string& name) {
    ScheduleFields f = ParseScheduleRecord(std::string(kScheduleRecordLength, ' '));
    f.InUse = ScheduleSlot::InUse;
    f.ProgramName = name;
    f.ProgramLength = "01:00";
    ASSERT_TRUE(st.schedule.SatListFile.write(n, BuildScheduleRecord(f)));
}

void MakeWave(SimStation& s, const std::string& drivePath, int seconds) {
    auto writer = std::make_unique<SndFileWriter>(s.files);
    std::string error;
    ASSERT_TRUE(writer->open(drivePath, 2, &error)) << error;
    AudioBuffer b;
    b.samples.assign(2 * 1024, 8000);
    for (int i = 0; i < seconds * kSampleRate / 1024; ++i) ASSERT_TRUE(writer->append(b, &error));
    writer->close();
}

TEST(LevelMeterScale, MapsPeaksOntoSixtyDecibels) {
    EXPECT_EQ(LevelMeter::Fraction(0), 0.0);
    EXPECT_EQ(LevelMeter::Fraction(32767), 1.0);
    EXPECT_NEAR(LevelMeter::Fraction(16384), 54.0 / 60.0, 0.01);  // -6 dB
    EXPECT_EQ(LevelMeter::Fraction(30), 0.0);                     // below -60 dB
}

TEST(AuditionWindow, PlaysTheChosenProgrammeAndSetsTheTrimMark) {
    SimStation s;
    s.start();
    s.st().Settings.WaveDrive = 3;
    DeriveSettingValues(s.st().Settings);
    PutSchedule(s.st(), 2, "MORNING SHOW");
    MakeWave(s, "C:\\SATFILE\\SFTUE002.WAV", 20);
    frmAudition w(s.st());
    EXPECT_EQ(w.windowTitle(), "Audition");
    ASSERT_EQ(w.lstSchedule->count(), 1);
    EXPECT_EQ(w.lstDay->count(), 7);
    EXPECT_EQ(w.cmdTrim->toolTip(), "Set the End of File");
    EXPECT_EQ(w.cmdEOM->toolTip(), "Set the EOM");
    w.lstSchedule->setCurrentRow(0);
    w.lstDay->setCurrentRow(2);
    EXPECT_EQ(w.lblNumber->text(), "2");
    QTest::mouseClick(w.cmdPlay, Qt::LeftButton);
    EXPECT_TRUE(s.st().playout.AuditionPlaying);
    EXPECT_NEAR(w.TrackBar->maximum(), 20'000, 30);
    s.loop.advance(5'000);
    EXPECT_EQ(w.lblTime->text(), "00:05");
    const auto* right = w.findChild<LevelMeter*>("Level2");
    ASSERT_NE(right, nullptr);
    EXPECT_EQ(right->left(), 8000);  // the right channel on its own meter
    EXPECT_NE(w.TrackBar->value(), 0);
    QTest::mouseClick(w.cmdTrim, Qt::LeftButton);
    EXPECT_FALSE(s.st().playout.AuditionPlaying);
    EXPECT_NEAR(ReadSoundMarks(s.st().platform.files, "C:\\SATFILE\\SFTUE002.DAT").TrimMark, 5.0,
                0.01);
    // A right click on EOM while stopped puts the EOM back at the end.
    QTest::mouseRelease(w.cmdEOM, Qt::RightButton);
    EXPECT_NEAR(ReadSoundMarks(s.st().platform.files, "C:\\SATFILE\\SFTUE002.DAT").EomMark, 19.97,
                0.05);
}

TEST(AuditionWindow, PlayWithNothingChosenAsksForAProgramme) {
    SimStation s;
    s.start();
    PutSchedule(s.st(), 1, "MORNING SHOW");
    frmAudition w(s.st());
    // The current row a list takes when it gets the focus is no choice.
    w.lstSchedule->selectionModel()->setCurrentIndex(w.lstSchedule->model()->index(0, 0),
                                                     QItemSelectionModel::NoUpdate);
    EXPECT_EQ(w.lblNumber->text(), "");
    QTest::mouseClick(w.cmdPlay, Qt::LeftButton);
    EXPECT_EQ(s.errors.messages, std::vector<std::string>{"Select a Program"});
}

TEST(MainWindowMeters, ShowOneBarPerChannelOverTheirScaleWhileRecordingOrPlaying) {
    SimStation s;
    s.start();
    mnuMenu w(s.st());
    w.show();
    const auto meter = [&w](const char* name) { return w.findChild<LevelMeter*>(name); };
    const char* record[] = {"MMLevelX3", "MMLevelX4", "MMLevelScaleX2"};
    const char* play[] = {"MMLevelX1", "MMLevelX2", "MMLevelScaleX1"};
    for (const char* name : {record[0], record[1], record[2], play[0], play[1], play[2]}) {
        ASSERT_NE(meter(name), nullptr) << name;
        EXPECT_FALSE(meter(name)->isVisible()) << name;
    }
    s.st().Audio.RecordMetersVisible = true;
    s.st().Audio.RecordPeakLeft = 1200;
    s.st().Audio.RecordPeakRight = 3400;
    s.st().Audio.cmdPlayColour = ButtonColour::LightGreen;
    s.st().notifyChanged();
    for (const char* name : record) EXPECT_TRUE(meter(name)->isVisible()) << name;
    for (const char* name : play) EXPECT_FALSE(meter(name)->isVisible()) << name;
    EXPECT_TRUE(w.Label3->isVisible());
    EXPECT_EQ(meter("MMLevelX3")->left(), 1200);
    EXPECT_EQ(meter("MMLevelX4")->left(), 3400);
    EXPECT_TRUE(w.cmdPlay->styleSheet().contains("rgb(128, 255, 128)"));
    // The capture stopped: the Record button in colour 128.
    s.st().main.cmdRecordColour = MainWindowModel::ButtonColour::Maroon;
    s.st().notifyChanged();
    EXPECT_TRUE(w.cmdRecord->styleSheet().contains("rgb(128, 0, 0)"));
}

TEST(MainWindowPlayButton, IsGreenOnlyWhileThePlayerPlays) {
    SimStation s;
    s.start();
    s.st().Settings.WaveDrive = 3;
    s.st().Settings.PlayVisible = 1;
    DeriveSettingValues(s.st().Settings);
    PutSchedule(s.st(), 2, "MORNING SHOW");
    MakeWave(s, SoundFileName(s.st().Settings, s.st().platform.clock.now().date.weekday(), 2), 3);
    s.st().main.PlayList = {{"12:00:00  MORNING SHOW", 2}};
    mnuMenu w(s.st());
    w.show();
    const QString idle = w.cmdPlay->styleSheet();
    QTest::mouseClick(w.cmdPlay, Qt::LeftButton);
    EXPECT_TRUE(w.cmdPlay->styleSheet().contains("rgb(128, 255, 128)"));
    s.loop.advance(5'000);
    EXPECT_FALSE(ProgrammePlaying(s.st().playout));
    EXPECT_EQ(w.cmdPlay->styleSheet(), idle);
}

}  // namespace
