#include <gtest/gtest.h>

#include "export/AddressBook.h"
#include "export/AutoExportSetup.h"
#include "export/ExportEntry.h"
#include "support/Builders.h"
#include "support/SimStation.h"

using namespace quillmar;
using namespace quillmar::testing;
using namespace std::string_literals;

namespace {

// Schedules 1 and 5 recorded, 2 switch-only, 3 deleted, 4 unused; 5 has an export entry.
struct AutoExportSetupTest : ::testing::Test {
    AutoExportSetupTest() {
        s.start();
        ScheduleFields morning = Schedule("MORNING SHOW");
        morning.ProgramLength = "05:00";
        s.put(1, morning);
        s.put(2, Schedule("SWITCH AT NOON", "3"));
        s.putDeleted(3);
        s.put(4, ParseScheduleRecord(std::string(kScheduleRecordLength, ' ')));
        s.put(5, Schedule("EVENING NEWS"));
        ExportEntry e{.Naming = ExportNaming::UserDefined,
                      .Days = {0, 1, 0, 1, 0, 0, 0},
                      .Paths = {"", "c:\\shows\\monday", "c:\\shows\\unticked"},
                      .Fade = ExportFade::On,
                      .Length = "04:30",
                      .WinjockNumber = 12};
        EXPECT_TRUE(WriteExportEntry(s.st().Export, 5, e, &error)) << error;
        form.Load();
    }
    ExportEntry stored() { return ReadExportEntry(s.st().Export, 5); }
    std::string error;
    SimStation s{DateTime::from(2026, 1, 28, 12)};
    AutoExportSetup form{s.st().Export, s.st().schedule, s.errors};
};

TEST_F(AutoExportSetupTest, ListsRecordedProgrammesInBothViewsAndShowsTheChosenOnesEntry) {
    for (auto [view, first, second] :
         {std::tuple{ProgramView::Names, "MORNING SHOW              05:00   1",
                     "EVENING NEWS              30:00   5"},
          {ProgramView::Number, "  1 MORNING SHOW              05:00",
           "  5 EVENING NEWS              30:00"}})
        EXPECT_EQ(LoadPrograms(s.st().schedule, view),
                  (std::vector<AutoExportLine>{{first, 1}, {second, 5}}));
    form.lstName_Click(1);
    EXPECT_TRUE(form.Naming == ExportNaming::UserDefined && form.chkFade && form.chkDay[1] &&
                form.txtPathEnabled[2] && !form.txtNumberVisible);  // the number is Winjock's
    EXPECT_EQ(form.txtLength + "|" + form.txtNumber + "|" + form.txtPath[1] + "|" + form.txtPath[2],
              "04:30|12|c:\\shows\\monday|");  // an unticked day shows no path
    form.SetView(ProgramView::Number);
    EXPECT_EQ(form.lstNameIndex, 1);  // still chosen
    // Inactive clears the days and is stored without Apply: only the naming changes.
    form.Option1_Click(0);
    for (std::size_t d = 0; d < 7; ++d)
        EXPECT_TRUE(!form.chkDay[d] && form.txtPath[d].empty() && !form.txtPathEnabled[d]) << d;
    EXPECT_TRUE(stored().Naming == ExportNaming::Inactive && stored().Days[3] == 1);
}

TEST(WinjockExampleName, AddsTheRecordNumberTo8000AndShowsAtLeastThreeDigits) {
    for (auto [n, name] :
         {std::pair{-7900, "H:\\programs\\SF100NNN.wav"}, {-7990, "H:\\programs\\SF010NNN.wav"}})
        EXPECT_EQ(WinjockExampleName(n), name);
}

TEST_F(AutoExportSetupTest, ApplyFiltersPathsAndNeedsAProgrammeAndALength) {
    EXPECT_EQ(form.txtPath_Filter("c:\\a_1.wav b"), "c:\\a_1wavb");
    EXPECT_EQ(form.txtPath_Filter("x\by"), "xy");  // a pasted Backspace is dropped silently
    form.cmdApply_Click();
    EXPECT_EQ(s.errors.messages,
              (std::vector<std::string>{" .  is not a valid character",
                                        "    is not a valid character", "Select a Program"}));
    form.lstName_Click(0);
    form.Option1_Click(1);
    form.chkDay[3] = true;
    form.txtPath[3] = "c:\\a\\very\\long\\folder\\name\\for\\wednesday";
    form.chkFade = true;
    form.txtNumber = "41.6";
    for (const char* bad : {"ab:cd", "12:60", "12:345", "5:00"}) {
        form.txtLength = bad;
        form.cmdApply_Click();
    }
    EXPECT_EQ(s.errors.messages.size(), 7u);  // one for each
    EXPECT_EQ(s.errors.messages.back(),
              "Time Error in length must be corrected before saving.  Format is MM:SS");
    EXPECT_EQ(ReadExportEntry(s.st().Export, 1).Days[3], 0);  // the ticked day unsaved
    form.txtLength = "12:34";
    form.cmdApply_Click();
    const ExportEntry e = ReadExportEntry(s.st().Export, 1);
    EXPECT_EQ(e.Days, (std::array<std::int16_t, 7>{0, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(
        e.Paths[3] + "|" + e.Paths[0] + "|" + e.Length,
        "c:\\a\\very\\long\\folder\\name\\for|" + std::string(30, ' ') + "|12:34");  // cut to 30
    EXPECT_TRUE(e.Naming == ExportNaming::UserDefined && e.Fade == ExportFade::On &&
                e.WinjockNumber == 42);
}

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

}  // namespace

TEST(RecordLayout, FieldsSitAtTheirOffsetsLittleEndian) {
    const std::string ex = FormatExportEntry(FullExportEntry());
    const std::string ad = FormatAddressEntry(FullAddressEntry());
    ASSERT_EQ(std::vector({ex.size(), ad.size()}), std::vector<std::size_t>({235, 120}));
    const struct {
        const std::string& record;
        std::size_t offset, width;
        std::string bytes;
    } rows[] = {
        // naming, days, paths (an empty one blank), fade, length, number; then an address entry
        // clang-format off
        {ex, 0, 2, "\x02\x00"s}, {ex, 2, 2, "\x01\x00"s}, {ex, 14, 2, "\xFE\xFF"s},
        {ex, 16, 30, "c:\\out\\sunday" + std::string(17, ' ')}, {ex, 46, 30, std::string(30, ' ')},
        {ex, 196, 30, std::string(30, 'x')}, {ex, 226, 2, "\x01\x00"s}, {ex, 228, 5, "05:00"},
        {ex, 233, 2, "\x2C\x01"s}, {ad, 0, 2, "12"}, {ad, 2, 16, "Ann             "},
        {ad, 18, 39, "ann@example.org" + std::string(24, ' ')}, {ad, 57, 7, "0100000"},
        {ad, 68, 4, "\x80\x70\x00\x00"s}, {ad, 116, 4, "\xFE\xFF\xFF\xFF"s},
        // clang-format on
    };
    for (const auto& r : rows)
        EXPECT_EQ(r.record.substr(r.offset, r.width), r.bytes) << "at " << r.offset;

    EXPECT_EQ(FormatExportEntry(ParseExportEntry(ex)), ex);
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

TEST_F(AutoExportSetupTest, EntryRecordNumbersStartAtOne) {
    EXPECT_EQ(ReadExportEntry(s.st().Export, 0).Naming, ExportNaming::Inactive);
    EXPECT_FALSE(WriteExportEntry(s.st().Export, 0, FullExportEntry(), &error));
    EXPECT_EQ(error, "Bad record number");
    EXPECT_EQ(s.st().Export.ExportFile.recordCount(), 5);
}
