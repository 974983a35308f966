#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "core/ExportSequences.h"
#include "export/ExportEngine.h"
#include "support/Builders.h"
#include "support/Logs.h"
#include "support/SimStation.h"

using namespace quillmar;
using namespace quillmar::testing;

namespace {

constexpr const char* kRecording = "C:\\SATFILE\\SFMON001.WAV";

ExportEntry Entry(ExportNaming naming, int day, const std::string& length, int fade = 0,
                  const std::string& path = "", int winjock = 0) {
    ExportEntry e;
    e.Naming = naming;
    e.Days[static_cast<std::size_t>(day)] = 1;
    e.Length = length;
    e.Fade = static_cast<ExportFade>(fade);
    e.Paths[static_cast<std::size_t>(day)] = path;
    e.WinjockNumber = winjock;
    return e;
}

std::string Z(std::size_t n) {
    return std::string(n, '\0');
}

// A started station on Wednesday 28 January 2026 at noon, activity log on, sound on drive C.
class Exports : public ::testing::Test {
  protected:
    Exports() {
        s.settings({{Rec::ActivityLog, 1}, {Rec::WaveDrive, 3}});
        s.start();
    }
    void put(int recordNo, const ExportEntry& e) {
        std::string error;
        ASSERT_TRUE(WriteExportEntry(s.st().Export, recordNo, e, &error)) << error;
    }
    // A stopped recording of schedule `recordNo` on `weekday` (1 = Sunday), left for CheckExport.
    void recorded(int recordNo, int weekday, double seconds, const std::string& file = kRecording,
                  int channels = 2) {
        s.wave(file, channels, static_cast<std::int64_t>(seconds * 44100),
               [](std::int64_t, int c) { return std::int16_t(c == 0 ? 16000 : -12000); });
        RecordProgramme& r = s.st().recorder.LastRecording.emplace();
        r.recordNo = recordNo;
        r.weekday = weekday;
        r.file = file;
        r.channels = channels;
        s.st().recorder.RecordedSeconds = static_cast<float>(seconds);
    }
    std::vector<std::string> logged() const { return Unstamped(s.log("AL")); }
    using Texts = std::vector<std::string>;

    SimStation s{DateTime::from(2026, 1, 28, 12)};
};

struct JobRow {
    ExportNaming naming;
    int day, fade, winjock;
    const char* length;
    const char* path;
    double seconds;
    Date today;
    std::int64_t lengthMs;
    const char* wav;
    std::string companion;  // Winjock only
};

}  // namespace

TEST(BuildExportJob, NamesLimitsAndDescribesTheExport) {
    const auto W = ExportNaming::Winjock;
    const auto U = ExportNaming::UserDefined;
    const std::string full = "300" + Z(2) + "300" + Z(2);
    // The air date is the next day of the entry's weekday, today included; a shorter recording
    // limits the export; with the fade the segue comes two seconds before the end; a blank
    // length exports the whole recording.
    // clang-format off
    const JobRow rows[] = {
        {W, 0, 0, 7, "05:00", "", 600, {2026, 1, 28}, 300000, "H:\\programs\\SF0327.wav", full + "02-01-2026"},
        {W, 3, 0, 12, "05:00", "", 600, {2026, 1, 28}, 300000, "H:\\programs\\SF02812.wav", full + "01-28-2026"},
        {W, 2, 0, 1, "05:00", "", 600, {2026, 1, 28}, 300000, "H:\\programs\\SF0341.wav", full + "02-03-2026"},
        {W, 0, 0, 1, "05:00", "", 600, {2026, 12, 31}, 300000, "H:\\programs\\SF0031.wav", full + "01-03-2027"},
        {W, 2, 0, 1234, "05:00", "", 600, {2024, 12, 31}, 300000, "H:\\programs\\SF3661234.wav", full + "12-31-2024"},
        {W, 0, 0, 7, "05:00", "", 180, {2026, 1, 28}, 180000, "H:\\programs\\SF0327.wav", "180" + Z(2) + "180" + Z(2) + "02-01-2026"},
        {W, 0, 1, 7, "05:00", "", 1800, {2026, 1, 28}, 300000, "H:\\programs\\SF0327.wav", "298" + Z(2) + "300" + Z(2) + "02-01-2026"},
        {U, 0, 0, 0, "     ", "", 62.5, {}, 62500, ".wav", ""},
        {U, 0, 0, 0, "01:00", "", 59.9996, {}, 60000, ".wav", ""},
        {U, 4, 0, 0, "01:00", "d:\\shows\\thursday            ", 100, {}, 60000, "d:\\shows\\thursday.wav", ""},
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(r.wav);
        const ExportEntry e = Entry(r.naming, r.day, r.length, r.fade, r.path, r.winjock);
        const ExportJob job = BuildExportJob(e, r.day, r.seconds, r.today);
        EXPECT_EQ(job.ExportLengthMs, r.lengthMs);
        EXPECT_EQ(job.ExportWavPath, r.wav);
        std::string dat;  // the companion sits beside the sound, DF for SF
        if (r.naming == W) {
            dat = std::regex_replace(r.wav, std::regex("SF(.*)\\.wav"), "DF$1.dat");
            EXPECT_EQ(CompanionRecord(job), r.companion);
        }
        EXPECT_EQ(job.ExportDatPath, dat);
    }
}

TEST_F(Exports, AnInactiveEntryOrUnselectedDayExportsNothingAndLogsNothing) {
    put(1, Entry(ExportNaming::Inactive, 1, "01:00"));
    put(2, Entry(ExportNaming::UserDefined, 2, "01:00", 0, "c:\\monday"));
    s.noteActions();
    for (int recordNo : {1, 2, 3}) {  // 3 lies beyond the end of the file
        recorded(recordNo, 2, 2.0);
        CheckExport(s.st());
        s.loop.advance(500);
    }
    EXPECT_EQ(s.count("ExportRecording"), 0);
    EXPECT_TRUE(s.log("AL").empty());
    EXPECT_FALSE(s.exists("c:\\monday.wav"));
}

TEST_F(Exports, AUserDefinedCopyIsCutAtTheLimitFadedToSilenceAndReplacesTheOldFile) {
    s.write("c:\\exports\\show.wav", "an older export");
    put(1, Entry(ExportNaming::UserDefined, 1, "00:08", 1, "c:\\exports\\show"));
    recorded(1, 2, 10.0);
    CheckExport(s.st());
    const ExportDisplay& shown = s.st().Export.Display;
    EXPECT_TRUE(shown.GaugeVisible && shown.MeterVisible && s.st().timers.tmrExport->isEnabled());
    EXPECT_EQ(logged(), Texts{"Export->c:\\exports\\show.wav"});
    EXPECT_FLOAT_EQ(s.st().recorder.RecordedSeconds, 8.0f);

    s.loop.advance(1000);
    EXPECT_FALSE(shown.GaugeVisible || shown.MeterVisible || s.st().timers.tmrExport->isEnabled());
    EXPECT_FALSE(ExportBusy(s.st().Export));
    EXPECT_TRUE(s.errors.messages.empty());
    const WaveData out = s.readWave("c:\\exports\\show.wav");
    EXPECT_EQ(std::vector({out.channels, out.rate, out.bits}), std::vector({2, 44100, 16}));
    ASSERT_EQ(out.frames(), 8 * 44100);
    // Full level up to 5 s before the end, half way down the fade, silence at the end.
    const std::int64_t fadeStart = 3 * 44100, middle = fadeStart + 5 * 44100 / 2;
    EXPECT_EQ(out.at(0, 0), 16000);
    EXPECT_NEAR(out.at(fadeStart - 1, 0), 16000, 1.5);
    EXPECT_NEAR(out.at(middle, 0), 8000, 1.5);
    EXPECT_NEAR(out.at(middle, 1), -6000, 1.5);
    EXPECT_LE(std::abs(out.at(out.frames() - 1, 0)) + std::abs(out.at(out.frames() - 1, 1)), 2);
    EXPECT_EQ(s.readWave(kRecording).frames(), 10 * 44100);  // the recording is untouched
}

TEST_F(Exports, WinjockWritesTheSoundAndA20ByteCompanionReplacingOldOnes) {
    s.folder("h:\\");  // the share is there
    s.write("h:\\programs\\DF0327.dat", std::string(64, 'z'));
    s.write("h:\\programs\\SF0327.wav", "old");
    put(2, Entry(ExportNaming::Winjock, 0, "00:05", 1, "", 7));
    recorded(2, 1, 6.0);
    CheckExport(s.st());
    // The old companion goes at once, so the other system never pairs it with the new sound.
    EXPECT_FALSE(s.exists("h:\\programs\\DF0327.dat"));
    s.loop.advance(1000);
    EXPECT_EQ(s.read("h:\\programs\\DF0327.dat"), "3" + Z(4) + "5" + Z(4) + "02-01-2026");
    EXPECT_EQ(s.readWave("h:\\programs\\SF0327.wav").frames(), 5 * 44100);
    EXPECT_EQ(logged(), Texts{"Export->H:\\programs\\SF0327.wav"});
}

namespace {
struct FailureRow {
    const char* name;
    const char* path;
    const char* conversionFailure;
    bool sourceMissing;
    const char* error;
};
class ExportFailure : public Exports, public ::testing::WithParamInterface<FailureRow> {};
}  // namespace

TEST_P(ExportFailure, EndsThatExportWithItsMessageAndLeavesNoFile) {
    const FailureRow& r = GetParam();
    s.folder("c:\\out");
    put(1, Entry(ExportNaming::UserDefined, 1, "00:05", 0, r.path));
    recorded(1, 2, 2.0);
    if (r.sourceMissing) s.files.removeFile(kRecording);
    s.audio.failConversions(r.conversionFailure);
    CheckExport(s.st());
    s.loop.advance(500);
    const std::string error = std::string("Export Error: ") + r.error;
    EXPECT_EQ(s.errors.messages, Texts{error});
    Texts expected{error};
    if (*r.conversionFailure) expected.insert(expected.begin(), "Export->c:\\out\\show.wav");
    EXPECT_EQ(logged(), expected);
    EXPECT_FALSE(s.exists(std::string(r.path) + ".wav"));
    EXPECT_FALSE(s.st().timers.tmrExport->isEnabled() || s.st().Export.Display.GaugeVisible ||
                 ExportBusy(s.st().Export));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, ExportFailure, ::testing::Values(
    FailureRow{"Conversion", "c:\\out\\show", "No space left on device", false, "No space left on device"},
    FailureRow{"NoFolder", "c:\\nowhere\\show", "", false, "Path not found: c:\\nowhere\\"},
    FailureRow{"NoPath", "", "", false, "Path not found: .wav"},
    FailureRow{"NoRecording", "c:\\out\\show", "", true, "File not found: C:\\SATFILE\\SFMON001.WAV"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

namespace {
// Files whose deletion never takes, as on a share that refuses it.
class StickyFiles : public MemoryFileSystem {
  public:
    int deleteMatching(std::string_view) override { return 0; }
};
}  // namespace

TEST_F(Exports, AnOldFileThatCannotGoOrAConversionEndingWithoutReasonFailsThatExport) {
    StickyFiles sticky;
    std::string error, kept;
    ASSERT_TRUE(sticky.createFolder("c:\\out", &error));
    ASSERT_TRUE(sticky.writeFile("c:\\out\\show.wav", "old", &error));
    put(1, Entry(ExportNaming::UserDefined, 1, "00:05", 0, "c:\\out\\show"));
    ExportServices ex = ExportServicesOf(s.st());
    ExportServices onSticky{ex.state, ex.logs,   sticky,           ex.audio,
                            ex.clock, ex.errors, ex.progressTimer, ex.changed};
    ExportRecording(onSticky, {1, 2, kRecording, 2.0, 2});
    EXPECT_EQ(s.errors.messages, Texts{"Export Error: Permission denied: c:\\out\\show.wav"});
    ASSERT_TRUE(sticky.readFile("c:\\out\\show.wav", &kept, &error));
    EXPECT_EQ(kept, "old");

    s.errors.messages.clear();
    recorded(1, 2, 2.0);
    s.folder("c:\\out");
    CheckExport(s.st());
    ExportFinished(ex, false, "");
    EXPECT_EQ(logged().back(), "Export Error: The conversion failed");
    EXPECT_FALSE(s.st().timers.tmrExport->isEnabled());
    s.loop.advance(500);  // the abandoned conversion's end changes nothing
    EXPECT_EQ(s.errors.messages, Texts{"Export Error: The conversion failed"});
}

// The second, mono and without fade, stops at its limit at full level.
TEST_F(Exports, ARecordingEndingDuringAnExportWaitsAndBothCompleteWhole) {
    put(1, Entry(ExportNaming::UserDefined, 1, "00:04", 0, "c:\\first"));
    put(2, Entry(ExportNaming::UserDefined, 1, "00:02", 0, "c:\\second"));
    recorded(1, 2, 4.0);
    CheckExport(s.st());
    recorded(2, 2, 3.0, "C:\\SATFILE\\SFMON002.WAV", 1);
    CheckExport(s.st());
    EXPECT_EQ(logged(), Texts{"Export->c:\\first.wav"});  // the second waits
    s.loop.advance(1000);
    EXPECT_EQ(s.readWave("c:\\first.wav").frames(), 4 * 44100);
    const WaveData second = s.readWave("c:\\second.wav");
    EXPECT_EQ(second.channels, 1);
    ASSERT_EQ(second.frames(), 2 * 44100);
    EXPECT_EQ(second.at(second.frames() - 1, 0), 16000);
    EXPECT_EQ(logged(), (Texts{"Export->c:\\first.wav", "Export->c:\\second.wav"}));
}

TEST_F(Exports, TheMeterShowsThePeaksBeingExportedAndTheGaugeTheWholePercent) {
    put(1, Entry(ExportNaming::UserDefined, 1, "00:05", 0, "c:\\metered"));
    recorded(1, 2, 1.0);
    CheckExport(s.st());
    ASSERT_TRUE(s.st().Export.conversion);
    auto& conversion = *s.st().Export.conversion;
    std::vector<std::pair<int, int>> shown;
    conversion.onLevels = [&, inner = conversion.onLevels](std::int16_t l, std::int16_t r) {
        inner(l, r);
        shown.emplace_back(s.st().Export.Display.MeterLeft, s.st().Export.Display.MeterRight);
    };
    s.loop.advance(500);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), std::make_pair(16000, 12000));
    EXPECT_EQ(s.st().Export.Display.MeterLeft, 0);

    ExportState& state = s.st().Export;
    state.current = ExportJob{};
    for (auto [lengthMs, doneMs, percent] :
         {std::tuple{8000, 2999, 37}, {8000, 9000, 100}, {0, 1, 0}}) {
        state.current->ExportLengthMs = lengthMs;
        state.doneMs = doneMs;
        ExportProgress(state);
        EXPECT_EQ(state.Display.GaugeValue, percent);
    }
}
