#include <gtest/gtest.h>

#include <cerrno>

#include "core/SettingsSequences.h"
#include "core/Startup.h"
#include "platform/LittleEndian.h"
#include "settings/RtfReader.h"
#include "settings/SettingsForm.h"
#include "settings/StationSettings.h"
#include "support/Builders.h"
#include "support/SimStation.h"

using namespace quillmar;
using namespace quillmar::testing;

namespace {

// Record values as the file holds them: two bytes each, little-endian.
std::string Records(std::initializer_list<int> values) {
    std::string bytes(2 * values.size(), '\0');
    std::size_t at = 0;
    for (int v : values) PutInt16(bytes, 2 * at++, static_cast<std::int16_t>(v));
    return bytes;
}

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
    s.settings({{Rec::Threshold, 500}, {Rec::DaysToSaveWave, 3}, {Rec::WaveDrive, 3}});
    s.start();
    SettingsForm f = open();
    f.lstMM1_Click(1);  // the second output is device number 1
    f.chkRecStop_Click(true);
    f.chkTimeChange_Click(true);
    // A refused text leaves the 500 on file.
    const std::pair<const char*, int> thresholds[] = {
        {"-1", 500},    {"12x", 500}, {"nan", 500},    {"32767.6", 500},
        {" 250 ", 250}, {"-0.4", 0},  {"32767", 32767}};
    for (const auto& [text, stored] : thresholds) {
        f.txtThreshold_Change(text);
        f.cmdApply_Click();
        EXPECT_EQ(onFile(Rec::Threshold), stored) << text;
    }
    const std::string refused =
        "The Record Audio Threshold must be a number from 0 to 32767.  It stays 500.";
    EXPECT_EQ(s.errors.messages, std::vector<std::string>(4, refused));
    for (int record : {Rec::ProgramPlayCard, Rec::RecStopVisible, Rec::TimeChange})
        EXPECT_EQ(onFile(record), 1) << record;
    // The threshold reaches memory only when the window next opens.
    EXPECT_EQ(s.st().Settings.RecordThreshold, 500);
    open();
    EXPECT_EQ(s.st().Settings.RecordThreshold, 32767);
}

}  // namespace

TEST(StationSettings, ReadsEveryRecordAndSavesOnlyThoseItOwnsKeepingTheReservedPair) {
    SimStation s;
    s.write(kSettingsPath,
            Records({1, 2, 300, 1, 0, 7, 2, 3, 5, 1, 2, 3, 4, 2, 0x7777, -1, 1, 4, 1, 2, 1}));
    s.start();
    const StationSettings& set = s.st().Settings;
    EXPECT_EQ((std::vector<int>{set.ProgramPlayCard, set.AuditionPlayCard, set.RecordThreshold,
                                set.PlayVisible, set.StopVisible, set.DaysToSaveWave,
                                set.ActivityLogPeriod, set.EbNoLogPeriod, set.EbNoLogRate,
                                set.ActivityLog, set.RemoteControl, set.WaveDrive, set.SerialPort,
                                set.BaudSelect, set.ResetExpansionRelays, set.RecordCard,
                                set.RecordVisible, set.RecStopVisible, set.AdjustForTimeChange}),
              (std::vector<int>{1, 2, 300, 1, 0, 7, 2, 3, 5, 1, 2, 3, 4, 2, 1, 4, 1, 2, 1}));
    EXPECT_TRUE(s.st().main.cmdRecordVisible && !s.st().main.cmdRecStopVisible);  // only 1 shows
    // A 28-byte file: later records read as zero, reserved 15 and 16 are saved as zero.
    SimStation short28, kept;
    short28.write(kSettingsPath, Records({9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 4, 3, 2}));
    short28.start();
    Station& st = short28.st();
    EXPECT_EQ(st.Settings.WaveDriveLetter + std::to_string(st.Settings.RecordCard), "D0");
    st.Settings.ProgramPlayCard = -2;
    st.Settings.SerialPort = 1;  // the form does not own the serial records
    st.Settings.AdjustForTimeChange = 1;
    ASSERT_TRUE(SaveStationSettings(st));
    const std::string saved = short28.read(kSettingsPath);
    EXPECT_EQ(saved, Records({-2, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 4, 3, 2, 0, 0, 0, 0, 0, 0, 1}));
    st.Settings.BaudSelect = 1;
    st.Settings.ProgramPlayCard = 5;  // not the serial form's to write
    ASSERT_TRUE(SaveSerialSettings(st.Settings, st.platform.files));
    EXPECT_EQ(short28.read(kSettingsPath).substr(0, 28), saved.substr(0, 24) + Records({1, 1}));

    // A longer file keeps the reserved pair.
    std::string file = Records({1, 2, 3, 1, 1, 2, 1, 1, 1, 1, 0, 3, 1, 1, 0, 0, 1, 0, 1, 1, 0});
    file.replace(28, 4, "\xFF\x7F\x12\x34");
    kept.write(kSettingsPath, file);
    kept.start();
    ASSERT_TRUE(SaveStationSettings(kept.st()));
    EXPECT_EQ(kept.read(kSettingsPath), file);
    kept.files.fail(kSettingsPath, EACCES);
    std::string error;
    EXPECT_FALSE(SaveStationSettings(kept.st(), &error));
    EXPECT_NE(error.find("MyComp.ini"), std::string::npos) << error;
}

TEST(RtfReader, KeepsTextFormattingAndParagraphs) {
    // A control word's trailing blank is its delimiter, not text.
    const auto runs = ReadRtf(
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\*\\generator x;}\\fs20 Plain \\b bold\\b0 "
        "\\par \\ul under\\ulnone}");
    EXPECT_EQ(runs, (std::vector<RtfRun>{{"Plain ", false, false, false, 20},
                                         {"bold", true, false, false, 20},
                                         {"\n", false, false, false, 20},
                                         {"under", false, false, true, 20}}));
}

TEST(RtfReader, PlainTextOfEscapesAndMalformedInput) {
    for (auto [rtf, text] : std::vector<std::pair<const char*, const char*>>{
             {"{\\rtf1 a\\tab caf\\'e9 \\{x\\}\\\\}", "a\tcaf\xC3\xA9 {x}\\"},
             {"{a\\~b\\_c\\-d\\\ne}", "a\u00A0b-cd\ne"},
             {"{\\rtf1 \\u8364?x\\uc2\\u-3913 ab!}", "\u20ACx\uF0B7!"},
             {"{\\rtf1 \\u233\\'e9x\\u233 a'b}", "\xC3\xA9x\xC3\xA9'b"},  // stand-ins skipped
             {"{\\rtf1 unclosed \\b group", "unclosed group"},
             {"}}} stray {\\'zz\\'4", " stray zz4"},
             {"\\", ""},
             {"{\\fs99999999999999999 big}", "big"}})
        EXPECT_EQ(RtfPlainText(ReadRtf(rtf)), text) << rtf;
    std::string deep(100000, '{');
    EXPECT_EQ(RtfPlainText(ReadRtf(deep.append("deep"))), "deep");
}
