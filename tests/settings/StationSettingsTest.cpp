#include <gtest/gtest.h>

#include <cerrno>

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

    // A 28-byte file: the records after it read as zero, and records 15 and 16 (reserved) are
    // written as zero; a longer file keeps them.
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
