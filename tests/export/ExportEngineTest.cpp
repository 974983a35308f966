#include <gtest/gtest.h>

#include <regex>

#include "core/ExportSequences.h"
#include "export/ExportEngine.h"
#include "support/Builders.h"
#include "support/Logs.h"
#include "support/SimStation.h"

using namespace quillmar;
using namespace quillmar::testing;
using namespace std::string_literals;

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
    e.WinjockNumber = static_cast<std::int16_t>(winjock);
    return e;
}

// A started station on Wednesday 28 January 2026 at noon, activity log on, sound on drive C.
struct ExportStation {
    ExportStation() {
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
        r.file = file;
        r.recordNo = recordNo;
        r.weekday = weekday;
        r.channels = channels;
        s.st().recorder.RecordedSeconds = static_cast<float>(seconds);
    }
    std::vector<std::string> logged() const { return Unstamped(s.log("AL")); }
    bool idle() {  // the display and timer off, nothing running or waiting
        return !s.st().timers.tmrExport->isEnabled() && !s.st().Export.Display.GaugeVisible &&
               !s.st().Export.Display.MeterVisible && !ExportBusy(s.st().Export);
    }
    SimStation s{DateTime::from(2026, 1, 28, 12)};
};
using Texts = std::vector<std::string>;

// Files whose deletion never takes, as on a share that refuses it.
class StickyFiles : public MemoryFileSystem {
  public:
    int deleteMatching(std::string_view) override { return 0; }
};

struct JobRow {
    ExportNaming naming;
    int day, winjock;
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
    const std::string full = "300\0\0"s + "300\0\0"s;
    // The air date is the next of the entry's weekday; a blank length exports the whole sound.
    // clang-format off
    const JobRow rows[] = {
        {W, 3, 12, "05:00", "", 600, {2026, 1, 28}, 300000, "H:\\programs\\SF02812.wav", full + "01-28-2026"},
        {W, 2, 1, "05:00", "", 600, {2026, 1, 28}, 300000, "H:\\programs\\SF0341.wav", full + "02-03-2026"},
        {W, 0, 1, "05:00", "", 600, {2026, 12, 31}, 300000, "H:\\programs\\SF0031.wav", full + "01-03-2027"},
        {W, 2, 1234, "05:00", "", 600, {2024, 12, 31}, 300000, "H:\\programs\\SF3661234.wav", full + "12-31-2024"},
        {W, 0, 7, "05:00", "", 180, {2026, 1, 28}, 180000, "H:\\programs\\SF0327.wav", "180\0\0"s + "180\0\0"s + "02-01-2026"},
        {U, 0, 0, "     ", "", 62.5, {}, 62500, ".wav", ""},
        {U, 0, 0, "01:00", "", 59.9996, {}, 60000, ".wav", ""},
        {U, 4, 0, "01:00", "d:\\shows\\thursday            ", 100, {}, 60000, "d:\\shows\\thursday.wav", ""},
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(r.wav);
        const ExportEntry e = Entry(r.naming, r.day, r.length, 0, r.path, r.winjock);
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

// Nothing for an inactive, unticked or missing entry; a second export waits for the first.
TEST(CheckExport, AUserDefinedCopyIsCutAtTheLimitFadedToSilenceAndTheNextWaits) {
    ExportStation x;
    x.s.write("c:\\exports\\show.wav", "an older export");
    x.put(1, Entry(ExportNaming::UserDefined, 1, "00:08", 1, "c:\\exports\\show"));
    x.put(2, Entry(ExportNaming::UserDefined, 1, "00:02", 0, "c:\\second"));
    x.put(3, Entry(ExportNaming::Inactive, 1, "01:00"));
    x.s.noteActions();
    for (auto [recordNo, weekday] : {std::pair{3, 2}, {1, 3}, {4, 2}}) {
        x.recorded(recordNo, weekday, 2.0);
        CheckExport(x.s.st());
    }
    EXPECT_EQ(x.s.count("ExportRecording"), 0);
    x.recorded(1, 2, 10.0);
    CheckExport(x.s.st());
    const ExportDisplay& shown = x.s.st().Export.Display;
    EXPECT_TRUE(shown.GaugeVisible && shown.MeterVisible && x.s.st().timers.tmrExport->isEnabled());
    EXPECT_FLOAT_EQ(x.s.st().recorder.RecordedSeconds, 8.0f);
    x.recorded(2, 2, 3.0, "C:\\SATFILE\\SFMON002.WAV", 1);
    CheckExport(x.s.st());
    EXPECT_EQ(x.logged(), Texts{"Export->c:\\exports\\show.wav"});
    x.s.loop.advance(1000);
    EXPECT_TRUE(x.idle() && x.s.errors.messages.empty());
    const WaveData out = x.s.readWave("c:\\exports\\show.wav");
    EXPECT_EQ(std::vector({out.channels, out.rate, out.bits}), std::vector({2, 44100, 16}));
    ASSERT_EQ(out.frames(), 8 * 44100);
    const std::int64_t fadeStart = 3 * 44100, middle = fadeStart + 5 * 44100 / 2;
    EXPECT_NEAR(out.at(fadeStart - 1, 0), 16000, 1.5);
    EXPECT_NEAR(out.at(middle, 0), 8000, 1.5);
    const WaveData second = x.s.readWave("c:\\second.wav");
    EXPECT_EQ(second.channels, 1);
    ASSERT_EQ(second.frames(), 2 * 44100);
    EXPECT_EQ(second.at(second.frames() - 1, 0), 16000);
    EXPECT_EQ(x.logged(), (Texts{"Export->c:\\exports\\show.wav", "Export->c:\\second.wav"}));
}

// The old companion goes at once, so the other system never pairs it with the new sound.
TEST(CheckExport, WinjockWritesTheSoundAndA20ByteCompanionReplacingOldOnes) {
    ExportStation x;
    x.s.folder("h:\\");
    x.s.write("h:\\programs\\DF0327.dat", std::string(64, 'z'));
    x.s.write("h:\\programs\\SF0327.wav", "old");
    x.put(2, Entry(ExportNaming::Winjock, 0, "00:05", 1, "", 7));
    x.recorded(2, 1, 6.0);
    CheckExport(x.s.st());
    EXPECT_FALSE(x.s.exists("h:\\programs\\DF0327.dat"));
    x.s.loop.advance(1000);
    EXPECT_EQ(x.s.read("h:\\programs\\DF0327.dat"), "3\0\0\0\0"s + "5\0\0\0\0"s + "02-01-2026");
    EXPECT_EQ(x.logged(), Texts{"Export->H:\\programs\\SF0327.wav"});
}

TEST(CheckExport, AFailureEndsThatExportWithItsMessage) {
    const struct {
        const char* path;
        const char* conversionFailure;
        bool sourceMissing;
        const char* error;
    } rows[] = {
        {"c:\\out\\show", "No space left on device", false, "No space left on device"},
        {"c:\\nowhere\\show", "", false, "Path not found: c:\\nowhere\\"},
        {"", "", false, "Path not found: .wav"},
        {"c:\\out\\show", "", true, "File not found: C:\\SATFILE\\SFMON001.WAV"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.error);
        ExportStation x;
        x.s.folder("c:\\out");
        x.put(1, Entry(ExportNaming::UserDefined, 1, "00:05", 0, r.path));
        x.recorded(1, 2, 2.0);
        if (r.sourceMissing) x.s.files.removeFile(kRecording);
        x.s.audio.failConversions(r.conversionFailure);
        CheckExport(x.s.st());
        x.s.loop.advance(500);
        const std::string error = std::string("Export Error: ") + r.error;
        EXPECT_EQ(x.s.errors.messages, Texts{error});
        Texts expected{error};
        if (*r.conversionFailure) expected.insert(expected.begin(), "Export->c:\\out\\show.wav");
        EXPECT_EQ(x.logged(), expected);
        EXPECT_TRUE(x.idle());
    }
}

TEST(CheckExport, AnOldFileThatCannotGoOrAConversionEndingWithoutReasonFailsThatExport) {
    ExportStation x;
    StickyFiles sticky;
    std::string error;
    ASSERT_TRUE(sticky.createFolder("c:\\out", &error) &&
                sticky.writeFile("c:\\out\\show.wav", "old", &error));
    x.put(1, Entry(ExportNaming::UserDefined, 1, "00:05", 0, "c:\\out\\show"));
    ExportServices ex = ExportServicesOf(x.s.st());
    ExportServices onSticky{ex.state, ex.logs,   sticky,           ex.audio,
                            ex.clock, ex.errors, ex.progressTimer, ex.changed};
    ExportRecording(onSticky, {1, 2, kRecording, 2.0, 2});
    EXPECT_EQ(x.s.errors.messages, Texts{"Export Error: Permission denied: c:\\out\\show.wav"});
    x.s.errors.messages.clear();
    x.recorded(1, 2, 2.0);
    x.s.folder("c:\\out");
    CheckExport(x.s.st());
    ExportFinished(ex, false, "");
    x.s.loop.advance(500);  // the abandoned conversion's end changes nothing
    EXPECT_EQ(x.s.errors.messages, Texts{"Export Error: The conversion failed"});
    EXPECT_TRUE(x.idle());
}

TEST(ExportProgress, TheGaugeShowsTheWholePercentDoneOfTheLimit) {
    ExportStation x;
    ExportState& state = x.s.st().Export;
    state.current = ExportJob{};
    for (auto [lengthMs, doneMs, percent] :
         {std::tuple{8000, 2999, 37}, {8000, 9000, 100}, {0, 1, 0}}) {
        state.current->ExportLengthMs = lengthMs;
        state.doneMs = doneMs;
        ExportProgress(state);
        EXPECT_EQ(state.Display.GaugeValue, percent);
    }
}
