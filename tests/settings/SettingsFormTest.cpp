#include <gtest/gtest.h>

#include "core/SettingsSequences.h"
#include "platform/LittleEndian.h"
#include "settings/SettingsForm.h"
#include "support/Builders.h"
#include "support/SimStation.h"

using namespace quillmar;
using namespace quillmar::testing;

namespace {

// A second hard drive, a floppy and two sound cards.
struct SettingsFormTest : ::testing::Test {
    SettingsFormTest() {
        s.folder("d:\\");
        s.folder("a:\\");
        s.audio.setOutputDevices({"Card one", "Card two"});
        s.audio.setInputDevices({"Line in"});
    }
    SettingsForm open() { return SettingsForm(SettingsFormLinksOf(s.st())); }
    int onFile(int record) { return Int16At(s.read(kSettingsPath), 2 * (record - 1)); }
    SimStation s;
};

TEST_F(SettingsFormTest, AFreshInstallationListsDrivesAndDevicesAndChoicesActAtOnce) {
    s.start();
    SettingsForm f = open();
    f.cmdApply_Click();
    f.list1_Click(2);
    f.cmdApply_Click();
    EXPECT_EQ(s.errors.messages,
              (std::vector<std::string>{"You must select the number of days to save wave files.",
                                        "You must select a hard drive."}));
    EXPECT_EQ(f.lstDrv.size(), 2u);  // no floppy
    f.Check1_Click(true);
    f.chkRecord_Click(false);
    f.List4_Click(5);
    f.List2_Click(3);
    f.Check2_Click(true);
    f.Option2_Click(2);
    f.lstDrv_Click(1);
    EXPECT_FALSE(s.st().main.cmdRecordVisible);
    const StationSettings& now = s.st().Settings;
    EXPECT_EQ((std::vector<int>{now.PlayVisible, now.EbNoLogRate, now.ActivityLogPeriod,
                                now.ActivityLog, now.RemoteControl, now.WaveDrive}),
              (std::vector<int>{1, 5, 4, 1, 2, 4}));
    EXPECT_EQ(s.ports.at(0x287), 0x8A);  // the Prairie card's ports are set up
    // The coming change dates: next year's once this year's has passed.
    for (auto [today, shown] :
         {std::pair{DateTime::from(2026, 3, 8, 23), "DST 03/08/2026  Std 11/01/2026"},
          {DateTime::from(2026, 6, 1, 9), "DST 03/14/2027  Std 11/01/2026"},
          {DateTime::from(2026, 12, 5, 12), "DST 03/14/2027  Std 11/07/2027"}}) {
        s.clock.set(today);
        f.chkTimeChange_Click(true);
        EXPECT_EQ(f.Label10, shown);
    }
    f.chkTimeChange_Click(false);
    EXPECT_EQ(f.Label10, "");
    EXPECT_EQ(s.read(kSettingsPath).size(), 0u);  // nothing is in the file before Apply
}

TEST_F(SettingsFormTest, ADriveWhoseSoundFolderCannotBeMadeSaysSo) {
    struct NoNewFolders : MemoryFileSystem {
        bool createFolder(std::string_view, std::string* error) override {
            *error = "Permission denied";
            return false;
        }
    } drives;
    drives.MemoryFileSystem::createFolder("d:\\", nullptr);
    s.start();
    SettingsFormLinks l = SettingsFormLinksOf(s.st());
    SettingsForm({l.settings, drives, l.audio, l.clock, l.errors, l.showButton, l.prairieChosen,
                  l.saved, l.dstStart, l.dstEnd})
        .lstDrv_Click(1);
    EXPECT_EQ(s.errors.messages,
              std::vector<std::string>{"Cannot create D:\\Satfile: Permission denied"});
}

TEST_F(SettingsFormTest, ApplyWritesItsRecordsAndTakesOnlyAThresholdInRange) {
    s.settings({{Rec::SerialPort, 2},
                {Rec::BaudSelect, 2},
                {Rec::Threshold, 500},
                {Rec::DaysToSaveWave, 3},
                {Rec::WaveDrive, 3}});
    s.start();
    SettingsForm f = open();
    EXPECT_EQ(std::to_string(f.list1Index) + std::to_string(f.lstDrvIndex) + f.txtThreshold,
              "20500");  // 3 days, drive C
    f.lstMM1_Click(1);   // the second output is device number 1
    f.chkRecStop_Click(true);
    f.chkTimeChange_Click(true);
    for (const char* bad : {"-1", "12x", "nan", "32767.6"}) {
        f.txtThreshold_Change(bad);
        f.cmdApply_Click();
        EXPECT_EQ(s.errors.messages.back(),
                  "The Record Audio Threshold must be a number from 0 to 32767.  It stays 500.")
            << bad;
        EXPECT_EQ(f.txtThreshold + std::to_string(onFile(Rec::Threshold)), "500500") << bad;
    }
    for (auto [text, stored] : {std::pair{" 250 ", 250}, {"-0.4", 0}, {"32767", 32767}}) {
        f.txtThreshold_Change(text);
        f.cmdApply_Click();
        EXPECT_EQ(onFile(Rec::Threshold), stored) << text;
    }
    EXPECT_EQ(s.errors.messages.size(), 4u);
    EXPECT_EQ((std::vector<int>{onFile(Rec::ProgramPlayCard), onFile(Rec::RecStopVisible),
                                onFile(Rec::TimeChange), onFile(Rec::SerialPort),
                                onFile(Rec::BaudSelect)}),
              (std::vector<int>{1, 1, 1, 2, 2}));
    // The threshold reaches memory only when the window next opens.
    EXPECT_EQ(s.st().Settings.RecordThreshold, 500);
    open();
    EXPECT_EQ(s.st().Settings.RecordThreshold, 32767);
}

}  // namespace
