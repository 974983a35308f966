#include "Windows.h"
#include "audio/SoundFiles.h"
#include "audio/windows/LevelMeter.h"
#include "audio/windows/frmAudition.h"

using namespace quillmar;
using namespace quillmar::testing;

TEST(LevelMeterScale, MapsPeaksOntoSixtyDecibels) {
    EXPECT_EQ(LevelMeter::Fraction(32767), 1.0);
    EXPECT_NEAR(LevelMeter::Fraction(16384), 54.0 / 60.0, 0.01);  // -6 dB
    EXPECT_EQ(LevelMeter::Fraction(30), 0.0);                     // below -60 dB
}

TEST(AuditionWindow, PlaysTheChosenProgrammeAndSetsTheTrimMark) {
    SimStation s;
    s.settings({{Rec::WaveDrive, 3}});
    s.start();
    s.put(2, Schedule("MORNING SHOW"));
    s.makeWave("C:\\SATFILE\\SFTUE002.WAV", 20);
    frmAudition w(s.st());
    w.lstSchedule->setCurrentRow(0);
    w.lstDay->setCurrentRow(2);
    QTest::mouseClick(w.cmdPlay, Qt::LeftButton);
    s.loop.advance(5'000);
    EXPECT_EQ(w.lblTime->text(), "00:05");
    EXPECT_EQ(w.findChild<LevelMeter*>("Level2")->left(), 8000);  // the right channel's meter
    QTest::mouseClick(w.cmdTrim, Qt::LeftButton);
    const auto marks = [&] { return ReadSoundMarks(s.files, "C:\\SATFILE\\SFTUE002.DAT"); };
    EXPECT_NEAR(marks().TrimMark, 5.0, 0.01);
    // A right click on EOM while stopped puts the EOM back at the end.
    QTest::mouseRelease(w.cmdEOM, Qt::RightButton);
    EXPECT_NEAR(marks().EomMark, 19.97, 0.05);
}
