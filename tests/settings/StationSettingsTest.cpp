#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "core/SettingsSequences.h"
#include "core/Startup.h"
#include "platform/LittleEndian.h"
#include "settings/StationSettings.h"
#include "support/SimStation.h"

using namespace quillmar;
using quillmar::testing::SimStation;

namespace {

// Record values as the file holds them: two bytes each, little-endian.
std::string Records(std::initializer_list<int> values) {
    std::string bytes(2 * values.size(), '\0');
    std::size_t at = 0;
    for (int v : values) PutInt16(bytes, 2 * at++, static_cast<std::int16_t>(v));
    return bytes;
}

}  // namespace

TEST(StationSettings, ReadsEveryRecordLittleEndianAndSkipsTheReservedPair) {
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
    EXPECT_EQ(set.WaveDriveLetter, "C");
    // Only 1 shows the record buttons.
    EXPECT_TRUE(s.st().main.cmdRecordVisible);
    EXPECT_FALSE(s.st().main.cmdRecStopVisible);
}

TEST(StationSettings, MissingRecordsReadAsZero) {
    SimStation s;
    s.write(kSettingsPath, Records({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 4, 1}));  // 26 bytes
    s.start();
    const StationSettings& set = s.st().Settings;
    EXPECT_EQ(set.WaveDriveLetter, "D");
    EXPECT_EQ(set.SerialPort, 1);
    EXPECT_EQ(set.BaudSelect + set.ResetExpansionRelays + set.RecordCard + set.RecordVisible +
                  set.RecStopVisible + set.AdjustForTimeChange,
              0);
    EXPECT_FALSE(s.st().main.cmdRecordVisible);
}

TEST(StationSettings, SavingWritesOnlyTheRecordsItOwns) {
    SimStation s;
    s.write(kSettingsPath, Records({9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 3, 2}));  // 28 bytes
    s.start();
    Station& st = s.st();
    st.Settings.ProgramPlayCard = -2;
    st.Settings.SerialPort = 1;  // the form does not own the serial records
    st.Settings.AdjustForTimeChange = 1;
    ASSERT_TRUE(SaveStationSettings(st));
    const std::string saved = s.read(kSettingsPath);
    ASSERT_EQ(saved.size(), 42u);
    EXPECT_EQ(saved.substr(0, 2), Records({-2}));
    EXPECT_EQ(saved.substr(24, 4), Records({3, 2}));       // 13 and 14 as they were
    EXPECT_EQ(saved.substr(28, 4), std::string(4, '\0'));  // 15 and 16 reserved, zero
    EXPECT_EQ(saved.substr(40, 2), Records({1}));

    st.Settings.BaudSelect = 1;
    st.Settings.ProgramPlayCard = 5;  // not the serial form's to write
    ASSERT_TRUE(SaveSerialSettings(st.Settings, st.platform.files));
    const std::string serial = s.read(kSettingsPath);
    EXPECT_EQ(serial.substr(24, 4), Records({1, 1}));
    EXPECT_EQ(serial.substr(0, 2), Records({-2}));
}

TEST(StationSettings, ReservedRecordsNeverChangeWhatIsLoaded) {
    SimStation a, b;
    std::string file = Records({1, 2, 3, 1, 1, 2, 1, 1, 1, 1, 0, 3, 1, 1, 0, 0, 1, 0, 1, 1, 0});
    a.write(kSettingsPath, file);
    file.replace(28, 4, "\xFF\x7F\x12\x34");
    b.write(kSettingsPath, file);
    a.start();
    b.start();
    EXPECT_TRUE(a.st().Settings == b.st().Settings);
    // Saving keeps the bytes of the reserved records as they were.
    ASSERT_TRUE(SaveStationSettings(b.st()));
    EXPECT_EQ(b.read(kSettingsPath).substr(28, 4), "\xFF\x7F\x12\x34");
}

TEST(StationSettings, AFailedSaveSaysWhy) {
    SimStation s;
    s.start();
    s.files.fail(kSettingsPath, EACCES);
    std::string error;
    EXPECT_FALSE(SaveStationSettings(s.st(), &error));
    EXPECT_NE(error.find("MyComp.ini"), std::string::npos) << error;
}
