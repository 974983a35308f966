#include <gtest/gtest.h>

#include "export/ExportEntry.h"
#include "export/ExportTestSupport.h"

using namespace quillmar;
using quillmar::testing::ExportStation;

TEST(ExportEntryLayout, FieldsSitAtTheirOffsetsLittleEndian) {
    ExportEntry e;
    e.Naming = ExportNaming::Winjock;
    e.Days = {1, 0, 0, 1, 0, 0, -2};
    e.Paths[0] = "c:\\out\\sunday";
    e.Paths[6] = std::string(40, 'x');  // cut to 30
    e.Fade = ExportFade::On;
    e.Length = "05:00";
    e.WinjockNumber = 300;

    const std::string r = FormatExportEntry(e);
    ASSERT_EQ(r.size(), 235u);
    EXPECT_EQ(r.substr(0, 2), std::string("\x02\x00", 2));
    EXPECT_EQ(r.substr(2, 2), std::string("\x01\x00", 2));
    EXPECT_EQ(r.substr(8, 2), std::string("\x01\x00", 2));   // Days(3)
    EXPECT_EQ(r.substr(14, 2), std::string("\xFE\xFF", 2));  // Days(6) = -2
    EXPECT_EQ(r.substr(16, 30), "c:\\out\\sunday" + std::string(17, ' '));
    EXPECT_EQ(r.substr(46, 30), std::string(30, ' '));  // an empty path is all blanks
    EXPECT_EQ(r.substr(196, 30), std::string(30, 'x'));
    EXPECT_EQ(r.substr(226, 2), std::string("\x01\x00", 2));
    EXPECT_EQ(r.substr(228, 5), "05:00");
    EXPECT_EQ(r.substr(233, 2), std::string("\x2C\x01", 2));

    const ExportEntry back = ParseExportEntry(r);
    EXPECT_EQ(back.Naming, ExportNaming::Winjock);
    EXPECT_EQ(back.Days[6], -2);
    EXPECT_EQ(TrimmedExportText(back.Paths[0]), "c:\\out\\sunday");
    EXPECT_EQ(back.Paths[6], std::string(30, 'x'));
    EXPECT_EQ(back.WinjockNumber, 300);
    EXPECT_EQ(FormatExportEntry(back), r);
}

TEST(ExportEntryLayout, ShortOrEmptyRecordsReadAsInactiveWithoutCrashing) {
    EXPECT_EQ(ParseExportEntry("").Naming, ExportNaming::Inactive);
    const ExportEntry cut = ParseExportEntry(std::string("\x01\x00\x01", 3));
    EXPECT_EQ(cut.Naming, ExportNaming::UserDefined);
    EXPECT_EQ(cut.Days[0], 1);  // the missing high byte reads as zero
    EXPECT_EQ(TrimmedExportText(cut.Paths[2]), "");
    EXPECT_EQ(ExportLimitMs(cut.Length), 0);
}

TEST(ExportEntryLayout, LengthIsMinutesAndSecondsOfFixedPositions) {
    EXPECT_EQ(ExportLimitMs("05:00"), 300000);
    EXPECT_EQ(ExportLimitMs("59:30"), 3570000);
    EXPECT_EQ(ExportLimitMs(" 1:05"), 65000);
    EXPECT_EQ(ExportLimitMs("ab:cd"), 0);
    EXPECT_EQ(ExportLimitMs("7"), 420000);
}

TEST(ExportEntryFile, RecordsAreReadAndWrittenThroughTheOpenFile) {
    ExportStation s(DateTime::from(2026, 1, 28, 12));
    ExportEntry e;
    e.Naming = ExportNaming::UserDefined;
    e.Length = "01:00";
    std::string error;
    ASSERT_TRUE(WriteExportEntry(s.st().Export, 3, e, &error)) << error;

    // Record 3 starts at byte 470; the slots before it exist as zero bytes.
    const std::string bytes = s.sim.read("c:\\satfile\\Exportinfo.dat");
    ASSERT_EQ(bytes.size(), 3u * 235u);
    EXPECT_EQ(bytes.substr(0, 470), std::string(470, '\0'));
    EXPECT_EQ(bytes.substr(470), FormatExportEntry(e));
    EXPECT_EQ(ReadExportEntry(s.st().Export, 3).Length, "01:00");
    EXPECT_EQ(ReadExportEntry(s.st().Export, 1).Naming, ExportNaming::Inactive);
    EXPECT_EQ(ReadExportEntry(s.st().Export, 9).Naming, ExportNaming::Inactive);  // beyond the end
    EXPECT_EQ(ReadExportEntry(s.st().Export, 0).Naming, ExportNaming::Inactive);
    EXPECT_FALSE(WriteExportEntry(s.st().Export, 0, e, &error));
}
