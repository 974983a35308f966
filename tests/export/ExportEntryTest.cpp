#include <gtest/gtest.h>

#include "export/AddressBook.h"
#include "export/ExportEntry.h"
#include "support/SimStation.h"

using namespace quillmar;
using quillmar::testing::SimStation;

namespace {

ExportEntry FullExportEntry() {
    ExportEntry e;
    e.Naming = ExportNaming::Winjock;
    e.Days = {1, 0, 0, 1, 0, 0, -2};
    e.Paths[0] = "c:\\out\\sunday";
    e.Paths[6] = std::string(40, 'x');  // cut to 30
    e.Fade = ExportFade::On;
    e.Length = "05:00";
    e.WinjockNumber = 300;
    return e;
}

AddressEntry FullAddressEntry() {
    AddressEntry e;
    e.InUse = '1';
    e.SendMode = kSendSometimes;
    e.Name = "Ann";
    e.Address = "ann@example.org";
    e.DayOn[1] = '1';
    e.StartSec[1] = 28800;  // 08:00:00
    e.StopSec[6] = -2;
    return e;
}

std::string B(const char* bytes, std::size_t n) {
    return std::string(bytes, n);
}

}  // namespace

TEST(RecordLayout, FieldsSitAtTheirOffsetsLittleEndian) {
    const std::string ex = FormatExportEntry(FullExportEntry());
    const std::string ad = FormatAddressEntry(FullAddressEntry());
    ASSERT_EQ(ex.size(), 235u);
    ASSERT_EQ(ad.size(), 120u);
    const struct {
        const std::string& record;
        std::size_t offset, width;
        std::string bytes;
    } rows[] = {
        // naming, Days(0), Days(6) = -2, paths (an empty one all blanks), fade, length, number;
        // in use and mode, name, address, days, StartSec(1), StopSec(6)
        // clang-format off
        {ex, 0, 2, B("\x02\x00", 2)}, {ex, 2, 2, B("\x01\x00", 2)}, {ex, 14, 2, B("\xFE\xFF", 2)},
        {ex, 16, 30, "c:\\out\\sunday" + std::string(17, ' ')}, {ex, 46, 30, std::string(30, ' ')},
        {ex, 196, 30, std::string(30, 'x')}, {ex, 226, 2, B("\x01\x00", 2)}, {ex, 228, 5, "05:00"},
        {ex, 233, 2, B("\x2C\x01", 2)}, {ad, 0, 2, "12"}, {ad, 2, 16, "Ann             "},
        {ad, 18, 39, "ann@example.org" + std::string(24, ' ')}, {ad, 57, 7, "0100000"},
        {ad, 68, 4, B("\x80\x70\x00\x00", 4)}, {ad, 116, 4, B("\xFE\xFF\xFF\xFF", 4)},
        // clang-format on
    };
    for (const auto& r : rows)
        EXPECT_EQ(r.record.substr(r.offset, r.width), r.bytes) << "at " << r.offset;

    const ExportEntry back = ParseExportEntry(ex);
    EXPECT_EQ(TrimmedExportText(back.Paths[0]), "c:\\out\\sunday");
    EXPECT_EQ(FormatExportEntry(back), ex);
    EXPECT_EQ(ParseAddressEntry(ad), FullAddressEntry());
}

TEST(RecordLayout, LongTextIsCutAndShortOrEmptyRecordsReadAsUnusedWithoutCrashing) {
    const ExportEntry cut = ParseExportEntry(std::string("\x01\x00\x01", 3));
    EXPECT_EQ(cut.Naming, ExportNaming::UserDefined);
    EXPECT_EQ(cut.Days[0], 1);  // the missing high byte reads as zero
    EXPECT_EQ(TrimmedExportText(cut.Paths[2]) + std::to_string(ExportLimitMs(cut.Length)), "0");
    AddressEntry longer = FullAddressEntry();
    longer.Name = "A name longer than sixteen";
    longer.Address = std::string(50, 'x');
    const AddressEntry back = ParseAddressEntry(FormatAddressEntry(longer));
    EXPECT_EQ(back.Name + back.Address, "A name longer th" + std::string(39, 'x'));
    EXPECT_FALSE(ParseAddressEntry(std::string(120, '\0')).inUse());
    EXPECT_TRUE(ParseAddressEntry("1").inUse());
}

TEST(ExportLimit, IsMinutesAndSecondsOfFixedPositions) {
    const std::pair<const char*, std::int64_t> rows[] = {
        {"59:30", 3570000}, {" 1:05", 65000}, {"ab:cd", 0}, {"7", 420000}, {"", 0}};
    for (const auto& [text, ms] : rows) EXPECT_EQ(ExportLimitMs(text), ms) << text;
}

TEST(ExportEntryFile, RecordNumbersStartAtOne) {
    SimStation s;
    s.start();
    std::string error;
    ASSERT_TRUE(WriteExportEntry(s.st().Export, 3, FullExportEntry(), &error)) << error;
    EXPECT_EQ(ReadExportEntry(s.st().Export, 3).Length, "05:00");
    EXPECT_EQ(ReadExportEntry(s.st().Export, 0).Naming, ExportNaming::Inactive);
    EXPECT_FALSE(WriteExportEntry(s.st().Export, 0, FullExportEntry(), &error));
    EXPECT_EQ(error, "Bad record number");
    EXPECT_EQ(s.st().Export.ExportFile.recordCount(), 3);
}
