#include <gtest/gtest.h>

#include <QTest>

#include "audio/windows/LevelMeter.h"
#include "core/ExportSequences.h"
#include "core/windows/mnuMenu.h"
#include "export/ExportEngine.h"
#include "export/ExportTestSupport.h"
#include "export/windows/frmSend.h"
#include "schedule/ScheduleRecord.h"

using namespace quillmar;
using quillmar::testing::ExportStation;

namespace {

constexpr const char* kSound = "C:\\SATFILE\\SFTUE002.WAV";

}  // namespace

TEST(SendWindow, EnterAsksBeforeReplacingAndSendCopiesWithTheGaugeAtTheEnd) {
    ExportStation s(DateTime::from(2026, 1, 28, 12));
    ScheduleFields f = ParseScheduleRecord(std::string(kScheduleRecordLength, ' '));
    f.InUse = ScheduleSlot::InUse;
    f.Route = ScheduleRoute::Stereo;
    f.Action = ScheduleAction::Record;
    std::string error;
    ASSERT_TRUE(s.st().schedule.SatListFile.write(2, BuildScheduleRecord(f), &error)) << error;
    s.wave(kSound, 2, 8820, [](std::int64_t, int) -> std::int16_t { return 500; });
    s.sim.write("c:\\promo.wav", "old");

    frmSend w(s.st(), 2, kSound, "C:\\SATFILE\\SFTUE002.DAT");
    EXPECT_EQ(w.windowTitle(), "Send To:");
    EXPECT_EQ(w.Check1->text(), "Compress File");
    EXPECT_EQ(w.lblFileName->buddy(), w.txtFileName);
    EXPECT_TRUE(w.lblHint->text().startsWith("Press Enter to copy"));
    EXPECT_TRUE(w.Drive1->findText("c:") >= 0);
    ASSERT_GT(w.Dir1->count(), 0);
    EXPECT_EQ(w.Dir1->item(0)->text(), "c:\\");
    EXPECT_TRUE(w.cmdNo->isHidden());
    EXPECT_TRUE(w.cmdSend->isHidden());
    EXPECT_EQ(w.Dir1->currentRow(), -1);  // no folder until one is clicked
    emit w.Dir1->itemClicked(w.Dir1->item(0));
    w.send().ChooseFormat = [](const std::vector<WaveFormat>&, WaveFormat*) { return true; };

    QTest::keyClicks(w.txtFileName, "promo");
    QTest::keyClick(w.txtFileName, Qt::Key_Return);
    EXPECT_EQ(w.Label1->text(), "promo already exists.  Overwrite?");
    EXPECT_FALSE(w.cmdNo->isHidden());
    EXPECT_FALSE(w.cmdSend->isHidden());
    EXPECT_TRUE(w.cmdClose->isHidden());

    QTest::mouseClick(w.cmdNo, Qt::LeftButton);
    EXPECT_EQ(w.txtFileName->text(), "");
    EXPECT_TRUE(w.Label1->isHidden());
    EXPECT_FALSE(w.cmdClose->isHidden());

    QTest::keyClicks(w.txtFileName, "promo");
    w.mnuHiddenPopupSend->trigger();
    QTest::mouseClick(w.cmdSend, Qt::LeftButton);
    EXPECT_TRUE(w.Timer1->isActive());
    EXPECT_EQ(w.Label2->text(), "Format:  PCM 16 bit");
    s.sim.loop.advance(1000);
    EXPECT_EQ(w.Gauge->value(), 100);
    EXPECT_FALSE(w.Timer1->isActive());
    EXPECT_FALSE(w.cmdClose->isHidden());
    EXPECT_EQ(s.readWave("c:\\promo.wav").frames(), 8820);
}

TEST(MainWindowExport, GaugeAndMeterShowWhileAnExportRuns) {
    ExportStation s(DateTime::from(2026, 1, 28, 12));
    ExportEntry e;
    e.Naming = ExportNaming::UserDefined;
    e.Days[3] = 1;
    e.Paths[3] = "c:\\wednesday";
    e.Length = "00:01";
    std::string error;
    ASSERT_TRUE(WriteExportEntry(s.st().Export, 1, e, &error)) << error;
    s.wave(kSound, 2, 44100, [](std::int64_t, int) -> std::int16_t { return 500; });
    RecordProgramme& recorded = s.st().recorder.LastRecording.emplace();
    recorded.recordNo = 1;
    recorded.weekday = 4;
    recorded.file = kSound;
    s.st().recorder.RecordedSeconds = 1.0f;

    mnuMenu w(s.st());
    EXPECT_TRUE(w.Gauge->isHidden());
    CheckExport(s.st());
    s.st().notifyChanged();
    EXPECT_FALSE(w.Gauge->isHidden());
    EXPECT_FALSE(w.MMLevelX5->isHidden());
    s.st().Export.Display.MeterLeft = 500;
    s.st().Export.Display.MeterRight = 300;
    s.st().notifyChanged();
    EXPECT_EQ(w.MMLevelX5->left(), 500);
    EXPECT_EQ(w.MMLevelX5->right(), 300);
    s.sim.loop.advance(1000);
    EXPECT_TRUE(w.Gauge->isHidden());
    EXPECT_TRUE(w.MMLevelX5->isHidden());
    EXPECT_EQ(w.MMLevelX5->left(), 0);
}
