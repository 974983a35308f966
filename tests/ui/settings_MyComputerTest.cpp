#include <gtest/gtest.h>

#include <QListWidget>
#include <QTest>

#include "core/SettingsSequences.h"
#include "core/Startup.h"
#include "core/windows/mnuMenu.h"
#include "settings/windows/frmMyComputer.h"
#include "support/SimStation.h"

using namespace quillmar;
using quillmar::testing::SimStation;

namespace {

std::string Record(int n, int value) {
    std::string two(2, '\0');
    two[0] = static_cast<char>(value & 0xFF);
    two[1] = static_cast<char>(value >> 8 & 0xFF);
    (void)n;
    return two;
}

// A settings file of 21 records from a list of values (records 15 and 16 zero).
std::string SettingsFile(std::initializer_list<std::pair<int, int>> values) {
    std::string file(42, '\0');
    for (auto [n, v] : values) file.replace(static_cast<std::size_t>(2 * (n - 1)), 2, Record(n, v));
    return file;
}

int Read(SimStation& s, int n) {
    const std::string file = s.read("c:\\satfile\\MyComp.ini");
    const auto at = static_cast<std::size_t>(2 * (n - 1));
    if (file.size() < at + 2) return 0;
    return static_cast<std::int16_t>(static_cast<std::uint8_t>(file[at]) |
                                     static_cast<std::uint8_t>(file[at + 1]) << 8);
}

class SettingsFormTest : public ::testing::Test {
  protected:
    SettingsFormTest() {
        std::string error;
        s.files.createFolder("d:\\", &error);  // a second hard drive
        s.files.createFolder("a:\\", &error);  // and a floppy
    }
    SimStation s;
};

TEST_F(SettingsFormTest, AFreshInstallationOpensWithNothingChosenAndApplyAsksForTheDays) {
    s.start();
    SettingsForm f(SettingsFormLinksOf(s.st()));
    EXPECT_EQ(f.list1Index, -1);
    EXPECT_EQ(f.List2Index, -1);
    EXPECT_EQ(f.List3Index, -1);
    EXPECT_EQ(f.lstDrvIndex, -1);
    EXPECT_EQ(f.List4Index, 0);
    EXPECT_EQ(f.List4[0].text, "Do Not Log");
    EXPECT_EQ(f.Option2, 0);
    EXPECT_FALSE(f.Check1 || f.Check2 || f.Check3 || f.Check4 || f.chkRecord || f.chkRecStop ||
                 f.chkTimeChange);
    f.cmdApply_Click();
    EXPECT_EQ(s.errors.messages,
              std::vector<std::string>{"You must select the number of days to save wave files."});
    f.list1_Click(2);
    f.cmdApply_Click();
    EXPECT_EQ(s.errors.messages.back(), "You must select a hard drive.");
    EXPECT_EQ(s.read("c:\\satfile\\MyComp.ini").size(), 0u);  // nothing written
}

TEST_F(SettingsFormTest, ListsDrivesWithoutFloppiesAndTheDevicesInOrder) {
    s.audio.setOutputDevices({"Card one", "Card two"});
    s.audio.setInputDevices({"Line in"});
    s.start();
    SettingsForm f(SettingsFormLinksOf(s.st()));
    ASSERT_EQ(f.lstDrv.size(), 2u);
    EXPECT_EQ(f.lstDrv[0].text, "C");
    EXPECT_EQ(f.lstDrv[0].value, 3);
    EXPECT_EQ(f.lstDrv[1].text, "D");
    ASSERT_EQ(f.lstMM1.size(), 2u);
    EXPECT_EQ(f.lstMM2[1].text, "Card two");
    EXPECT_EQ(f.lstRec[0].text, "Line in");
    // Choosing the second output stores device number 1 at Apply.
    f.list1_Click(0);
    f.lstDrv_Click(0);
    f.lstMM1_Click(1);
    f.cmdApply_Click();
    EXPECT_EQ(s.st().Settings.ProgramPlayCard, 1);
    EXPECT_EQ(Read(s, 1), 1);
}

TEST_F(SettingsFormTest, ChoicesActAtOnceBeforeApply) {
    s.start();
    SettingsForm f(SettingsFormLinksOf(s.st()));
    f.Check1_Click(true);
    EXPECT_TRUE(s.st().main.cmdPlayVisible);
    EXPECT_EQ(s.st().Settings.PlayVisible, 1);
    f.chkRecord_Click(false);
    EXPECT_FALSE(s.st().main.cmdRecordVisible);
    f.List4_Click(5);
    EXPECT_EQ(s.st().Settings.EbNoLogRate, 5);
    f.List2_Click(3);
    EXPECT_EQ(s.st().Settings.ActivityLogPeriod, 4);
    f.Check2_Click(true);
    EXPECT_EQ(s.st().Settings.ActivityLog, 1);
    f.Option2_Click(2);
    EXPECT_EQ(s.st().Settings.RemoteControl, 2);
    EXPECT_EQ(s.ports.at(0x287), 0x8A);  // the Prairie card's ports are set up
    // Choosing drive D makes D:\Satfile.
    EXPECT_FALSE(s.files.folderExists("d:\\satfile"));
    f.lstDrv_Click(1);
    EXPECT_EQ(s.st().Settings.WaveDrive, 4);
    EXPECT_EQ(s.st().Settings.WaveDriveLetter, "D");
    EXPECT_TRUE(s.files.folderExists("d:\\satfile"));
    // The coming change dates: next year's once this year's has passed.
    for (auto [today, shown] :
         {std::pair{DateTime::from(2026, 1, 10, 9), "DST 03/08/2026  Std 11/01/2026"},
          std::pair{DateTime::from(2026, 3, 8, 23), "DST 03/08/2026  Std 11/01/2026"},
          std::pair{DateTime::from(2026, 6, 1, 9), "DST 03/14/2027  Std 11/01/2026"},
          std::pair{DateTime::from(2026, 12, 5, 12), "DST 03/14/2027  Std 11/07/2027"}}) {
        s.clock.set(today);
        f.chkTimeChange_Click(true);
        EXPECT_EQ(f.Label10, shown);
    }
    f.chkTimeChange_Click(false);
    EXPECT_EQ(f.Label10, "");
    // Nothing of it is in the file before Apply.
    EXPECT_EQ(s.read("c:\\satfile\\MyComp.ini").size(), 0u);
}

TEST_F(SettingsFormTest, ApplyWritesItsRecordsAndLeavesTheSerialOnes) {
    s.write("c:\\satfile\\MyComp.ini", SettingsFile({{13, 2}, {14, 2}, {3, 500}, {6, 3}, {12, 3}}));
    s.start();
    SettingsForm f(SettingsFormLinksOf(s.st()));
    EXPECT_EQ(f.list1Index, 2);
    EXPECT_EQ(f.lstDrvIndex, 0);
    EXPECT_EQ(f.txtThreshold, "500");
    f.txtThreshold_Change("1234.6");
    f.chkRecStop_Click(true);
    f.chkTimeChange_Click(true);
    f.cmdApply_Click();
    EXPECT_EQ(Read(s, 3), 1235);
    EXPECT_EQ(Read(s, 20), 1);
    EXPECT_EQ(Read(s, 21), 1);
    EXPECT_EQ(Read(s, 13), 2);
    EXPECT_EQ(Read(s, 14), 2);
    EXPECT_EQ(s.read("c:\\satfile\\MyComp.ini").size(), 42u);
    // The threshold reaches memory only when the window next opens.
    EXPECT_EQ(s.st().Settings.RecordThreshold, 500);
    EXPECT_EQ(s.st().Settings.AdjustForTimeChange, 1);
    SettingsForm again(SettingsFormLinksOf(s.st()));
    EXPECT_EQ(s.st().Settings.RecordThreshold, 1235);
}

TEST_F(SettingsFormTest, AThresholdThatIsNoNumberInRangeIsRefusedAndTheOldOneKept) {
    s.write("c:\\satfile\\MyComp.ini", SettingsFile({{3, 500}, {6, 3}, {12, 3}}));
    s.start();
    frmMyComputer w(s.st());
    for (const char* bad : {"abc", "", "-1", "40000", "12x", "nan"}) {
        s.errors.messages.clear();
        w.txtThreshold->selectAll();
        QTest::keyClick(w.txtThreshold, Qt::Key_Delete);
        QTest::keyClicks(w.txtThreshold, bad);
        QTest::mouseClick(w.cmdApply, Qt::LeftButton);
        EXPECT_EQ(
            s.errors.messages,
            std::vector<std::string>{
                "The Record Audio Threshold must be a number from 0 to 32767.  It stays 500."})
            << bad;
        EXPECT_EQ(Read(s, 3), 500) << bad;
        EXPECT_EQ(w.txtThreshold->text(), "500") << bad;
    }
    w.txtThreshold->selectAll();
    QTest::keyClicks(w.txtThreshold, " 250 ");
    QTest::mouseClick(w.cmdApply, Qt::LeftButton);
    EXPECT_EQ(Read(s, 3), 250);
}

TEST_F(SettingsFormTest, TheWindowShowsTheFormAndTickingPlayVisibleShowsThePlayButton) {
    s.write("c:\\satfile\\MyComp.ini", SettingsFile({{6, 7}, {12, 3}, {11, 1}}));
    s.start();
    mnuMenu main(s.st());
    main.show();
    frmMyComputer w(s.st());
    EXPECT_EQ(w.windowTitle(), "My Computer");
    EXPECT_EQ(w.list1->currentRow(), 6);
    w.show();
    EXPECT_LE(w.list1->visualItemRect(w.list1->item(6)).bottom(), w.list1->viewport()->height());
    EXPECT_GE(w.list1->visualItemRect(w.list1->item(0)).top(), 0);
    EXPECT_EQ(w.lstDrv->currentItem()->text(), "C");
    EXPECT_TRUE(w.Option2[1]->isChecked());
    EXPECT_EQ(w.List4->item(5)->text(), "1 per minute");
    EXPECT_EQ(w.Check2->toolTip(), "Keep an Activity Log?");
    EXPECT_EQ(w.cmdClose->text(), "&Close");
    EXPECT_FALSE(main.cmdPlay->isVisible());
    QTest::mouseClick(w.Check1, Qt::LeftButton, {}, QPoint(4, w.Check1->height() / 2));
    EXPECT_TRUE(main.cmdPlay->isVisible());
    QTest::mouseClick(w.cmdApply, Qt::LeftButton);
    EXPECT_EQ(Read(s, 4), 1);
    EXPECT_TRUE(s.errors.messages.empty());
}

}  // namespace
