#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "core/ExportSequences.h"
#include "export/ExportEngine.h"
#include "export/ExportTestSupport.h"

using namespace quillmar;
using quillmar::testing::ExportStation;
using quillmar::testing::WaveData;

namespace {

constexpr const char* kRecording = "C:\\SATFILE\\SFMON001.WAV";

// Wednesday 28 January 2026, noon.
DateTime Wednesday() {
    return DateTime::from(2026, 1, 28, 12);
}

ExportEntry Entry(ExportNaming naming, int day, const std::string& length, int fade = 0) {
    ExportEntry e;
    e.Naming = naming;
    e.Days[static_cast<std::size_t>(day)] = 1;
    e.Length = length;
    e.Fade = static_cast<ExportFade>(fade);
    return e;
}

void Put(ExportStation& s, int recordNo, const ExportEntry& e) {
    std::string error;
    ASSERT_TRUE(WriteExportEntry(s.st().Export, recordNo, e, &error)) << error;
}

std::int16_t Left(std::int64_t, int channel) {
    return channel == 0 ? 16000 : -12000;
}

// A stopped recording of schedule `recordNo` for weekday `weekday` (1 = Sunday), as the
// recording engine leaves it for CheckExport.
void Recorded(ExportStation& s, int recordNo, int weekday, double seconds,
              const std::string& file = kRecording, int channels = 2) {
    s.wave(file, channels, static_cast<std::int64_t>(seconds * 44100), Left);
    Station& st = s.st();
    RecordProgramme& recorded = st.recorder.LastRecording.emplace();
    recorded.recordNo = recordNo;
    recorded.weekday = weekday;
    recorded.file = file;
    recorded.channels = channels;
    st.recorder.RecordedSeconds = static_cast<float>(seconds);
}

std::string Zeros(std::size_t n) {
    return std::string(n, '\0');
}

int CountStarting(const std::vector<std::string>& texts, const std::string& prefix) {
    int n = 0;
    for (const auto& t : texts) n += t.rfind(prefix, 0) == 0;
    return n;
}

}  // namespace

TEST(WinjockNaming, AirDateIsTheNextDayOfTheRecordingTodayIncluded) {
    const Date wednesday{2026, 1, 28};
    EXPECT_EQ(WinjockAirDate(wednesday, 0), (Date{2026, 2, 1}));         // the coming Sunday
    EXPECT_EQ(WinjockAirDate(wednesday, 3), wednesday);                  // Wednesday: today
    EXPECT_EQ(WinjockAirDate(wednesday, 2), (Date{2026, 2, 3}));         // Tuesday: next week
    EXPECT_EQ(WinjockAirDate(Date{2026, 2, 1}, 0), (Date{2026, 2, 1}));  // a Sunday: today
    EXPECT_EQ(WinjockAirDate(Date{2026, 12, 31}, 0), (Date{2027, 1, 3}));
}

TEST(WinjockNaming, KeyIsThreeDigitDayOfYearAndTheUnpaddedNumber) {
    EXPECT_EQ(WinjockKey(Date{2026, 2, 1}, 7), "0327");
    EXPECT_EQ(WinjockKey(Date{2026, 2, 14}, 12), "04512");
    EXPECT_EQ(WinjockKey(Date{2024, 12, 31}, 1234), "3661234");

    ExportEntry e = Entry(ExportNaming::Winjock, 0, "05:00");
    e.WinjockNumber = 7;
    const ExportJob job = BuildExportJob(e, 0, 600, Date{2026, 1, 28});
    EXPECT_EQ(job.ExportWavPath, "H:\\programs\\SF0327.wav");
    EXPECT_EQ(job.ExportDatPath, "H:\\programs\\DF0327.dat");
}

TEST(ExportLength, ShorterRecordingLimitsTheExportAndTheCompanionTotal) {
    ExportEntry e = Entry(ExportNaming::Winjock, 0, "05:00");
    const ExportJob shortJob = BuildExportJob(e, 0, 180.0, Date{2026, 1, 28});
    EXPECT_EQ(shortJob.ExportLengthMs, 180000);
    const std::string rec = CompanionRecord(shortJob);
    EXPECT_EQ(rec, "180" + Zeros(2) + "180" + Zeros(2) + "02-01-2026");

    // With the fade the segue comes two seconds before the end.
    e.Fade = ExportFade::On;
    const ExportJob faded = BuildExportJob(e, 0, 1800.0, Date{2026, 1, 28});
    EXPECT_EQ(faded.ExportLengthMs, 300000);
    EXPECT_EQ(CompanionRecord(faded), "298" + Zeros(2) + "300" + Zeros(2) + "02-01-2026");
}

TEST(ExportLength, BlankLengthExportsTheWholeRecordingAndFractionsKeepTheirMilliseconds) {
    EXPECT_EQ(
        BuildExportJob(Entry(ExportNaming::UserDefined, 0, "     "), 0, 62.5, {}).ExportLengthMs,
        62500);
    EXPECT_EQ(
        BuildExportJob(Entry(ExportNaming::UserDefined, 0, "01:00"), 0, 59.9996, {}).ExportLengthMs,
        60000);
    ExportEntry user = Entry(ExportNaming::UserDefined, 4, "01:00");
    user.Paths[4] = "d:\\shows\\thursday            ";
    EXPECT_EQ(BuildExportJob(user, 4, 100, {}).ExportWavPath, "d:\\shows\\thursday.wav");
}

TEST(CheckExport, InactiveEntryOrUnselectedDayExportsNothingAndLogsNothing) {
    ExportStation s(Wednesday());
    Put(s, 1, Entry(ExportNaming::Inactive, 1, "01:00"));
    ExportEntry otherDay = Entry(ExportNaming::UserDefined, 2, "01:00");
    otherDay.Paths[1] = "c:\\monday";
    Put(s, 2, otherDay);
    s.st().recorder.LastRecording.emplace().recordNo = 1;
    s.st().recorder.LastRecording->weekday = 2;
    std::vector<std::string> actions;
    s.st().actionObserver = [&](const std::string& a) { actions.push_back(a); };

    for (int recordNo : {1, 2, 3}) {  // 3 lies beyond the end of the file
        Recorded(s, recordNo, 2, 2.0);
        CheckExport(s.st());
        s.sim.loop.advance(500);
    }
    EXPECT_EQ(std::count(actions.begin(), actions.end(), "ExportRecording"), 0);
    EXPECT_FALSE(ExportBusy(s.st().Export));
    EXPECT_TRUE(s.log().empty());
    EXPECT_FALSE(s.sim.exists("c:\\monday.wav"));
    EXPECT_FALSE(s.st().timers.tmrExport->isEnabled());
}

TEST(ExportRecording, UserDefinedCopyIsCutAtTheLimitFadedToSilenceAndReplacesTheOldFile) {
    ExportStation s(Wednesday());
    s.folder("c:\\exports");
    s.sim.write("c:\\exports\\show.wav", "an older export");
    ExportEntry e = Entry(ExportNaming::UserDefined, 1, "00:08", 1);
    e.Paths[1] = "c:\\exports\\show";
    Put(s, 1, e);
    Recorded(s, 1, 2, 10.0);

    CheckExport(s.st());
    // Under way: the gauge and the meter show and the export timer runs.
    EXPECT_TRUE(s.st().Export.Display.GaugeVisible);
    EXPECT_TRUE(s.st().Export.Display.MeterVisible);
    EXPECT_TRUE(s.st().timers.tmrExport->isEnabled());
    EXPECT_EQ(s.logTexts(), std::vector<std::string>{"Export->c:\\exports\\show.wav"});
    EXPECT_FLOAT_EQ(s.st().recorder.RecordedSeconds, 8.0f);

    s.sim.loop.advance(1000);
    EXPECT_FALSE(s.st().Export.Display.GaugeVisible);
    EXPECT_FALSE(s.st().Export.Display.MeterVisible);
    EXPECT_FALSE(s.st().timers.tmrExport->isEnabled());
    EXPECT_FALSE(ExportBusy(s.st().Export));
    EXPECT_TRUE(s.sim.errors.messages.empty());

    const WaveData out = s.readWave("c:\\exports\\show.wav");
    ASSERT_EQ(out.channels, 2);
    EXPECT_EQ(out.rate, 44100);
    EXPECT_EQ(out.bits, 16);
    ASSERT_EQ(out.frames(), 8 * 44100);
    const std::int64_t fadeStart = 3 * 44100, fadeLength = 5 * 44100;
    for (std::int64_t f = 0; f < out.frames(); ++f) {
        const double gain =
            f < fadeStart ? 1.0 : 1.0 - static_cast<double>(f - fadeStart) / fadeLength;
        ASSERT_NEAR(out.at(f, 0), 16000 * gain, 1.5) << "left, frame " << f;
        ASSERT_NEAR(out.at(f, 1), -12000 * gain, 1.5) << "right, frame " << f;
    }
    // The last frames are silence (within one step of rounding).
    for (std::int64_t f = out.frames() - 10; f < out.frames(); ++f) {
        EXPECT_LE(std::abs(out.at(f, 0)), 1);
        EXPECT_LE(std::abs(out.at(f, 1)), 1);
    }
    // The recording itself is untouched.
    EXPECT_EQ(s.readWave(kRecording).frames(), 10 * 44100);
}

TEST(ExportRecording, WithoutFadeTheCopyStopsAtTheLimitAtFullLevel) {
    ExportStation s(Wednesday());
    ExportEntry e = Entry(ExportNaming::UserDefined, 6, "00:02");
    e.Paths[6] = "c:\\plain";
    Put(s, 4, e);
    Recorded(s, 4, 7, 3.0, "C:\\SATFILE\\SFSAT004.WAV", 1);
    CheckExport(s.st());
    s.sim.loop.advance(1000);
    const WaveData out = s.readWave("c:\\plain.wav");
    ASSERT_EQ(out.channels, 1);  // a mono recording stays mono
    ASSERT_EQ(out.frames(), 2 * 44100);
    EXPECT_EQ(out.at(0, 0), 16000);
    EXPECT_EQ(out.at(out.frames() - 1, 0), 16000);
}

TEST(ExportRecording, WinjockWritesTheSoundAndA20ByteCompanionReplacingOldOnes) {
    ExportStation s(Wednesday());
    s.folder("h:\\");
    s.folder("h:\\programs");
    s.sim.write("h:\\programs\\DF0327.dat", std::string(64, 'z'));
    s.sim.write("h:\\programs\\SF0327.wav", "old");
    ExportEntry e = Entry(ExportNaming::Winjock, 0, "00:05", 1);
    e.WinjockNumber = 7;
    Put(s, 2, e);
    Recorded(s, 2, 1, 6.0);

    CheckExport(s.st());
    // The old companion goes at once, so the other system never pairs it with the new sound.
    EXPECT_FALSE(s.sim.exists("h:\\programs\\DF0327.dat"));
    s.sim.loop.advance(1000);

    EXPECT_EQ(s.sim.read("h:\\programs\\DF0327.dat"),
              "3" + Zeros(4) + "5" + Zeros(4) + "02-01-2026");
    EXPECT_EQ(s.readWave("h:\\programs\\SF0327.wav").frames(), 5 * 44100);
    EXPECT_EQ(s.logTexts(), std::vector<std::string>{"Export->H:\\programs\\SF0327.wav"});
}

TEST(ExportFailure, MissingDriveFailsThatExportOnlyAndTheNextOneRuns) {
    ExportStation s(Wednesday());
    ExportEntry winjock = Entry(ExportNaming::Winjock, 1, "00:05");
    winjock.WinjockNumber = 3;
    Put(s, 1, winjock);
    Recorded(s, 1, 2, 2.0);

    CheckExport(s.st());
    s.sim.loop.advance(500);
    ASSERT_EQ(s.sim.errors.messages.size(), 1u);
    EXPECT_EQ(s.sim.errors.messages[0], "Export Error: Path not found: H:\\programs\\");
    EXPECT_EQ(s.logTexts(), std::vector<std::string>{s.sim.errors.messages[0]});
    EXPECT_FALSE(s.st().timers.tmrExport->isEnabled());
    EXPECT_FALSE(s.st().Export.Display.GaugeVisible);
    EXPECT_EQ(s.readWave(kRecording).frames(), 2 * 44100);

    // The station carries on: the next programme's export works.
    ExportEntry user = Entry(ExportNaming::UserDefined, 1, "00:05");
    user.Paths[1] = "c:\\next";
    Put(s, 2, user);
    Recorded(s, 2, 2, 1.0, "C:\\SATFILE\\SFMON002.WAV");
    CheckExport(s.st());
    s.sim.loop.advance(500);
    EXPECT_EQ(s.readWave("c:\\next.wav").frames(), 44100);
    EXPECT_EQ(s.sim.errors.messages.size(), 1u);
}

TEST(ExportFailure, FailingConversionLeavesNoFileUnderTheFinalNameAndIsLogged) {
    ExportStation s(Wednesday());
    ExportEntry e = Entry(ExportNaming::UserDefined, 1, "00:05");
    e.Paths[1] = "c:\\broken";
    Put(s, 1, e);
    Recorded(s, 1, 2, 2.0);
    s.sim.audio.failConversions("No space left on device");

    CheckExport(s.st());
    s.sim.loop.advance(500);
    EXPECT_EQ(s.sim.errors.messages,
              std::vector<std::string>{"Export Error: No space left on device"});
    EXPECT_EQ(CountStarting(s.logTexts(), "Export Error: No space left on device"), 1);
    EXPECT_FALSE(s.sim.exists("c:\\broken.wav"));
    EXPECT_FALSE(s.st().timers.tmrExport->isEnabled());

    // A path whose folder is missing, and an empty path, fail with their message too.
    s.sim.audio.failConversions("");
    e.Paths[1] = "c:\\nowhere\\show";
    Put(s, 1, e);
    CheckExport(s.st());
    e.Paths[1] = "";
    Put(s, 1, e);
    CheckExport(s.st());
    s.sim.loop.advance(500);
    ASSERT_EQ(s.sim.errors.messages.size(), 3u);
    EXPECT_EQ(s.sim.errors.messages[1], "Export Error: Path not found: c:\\nowhere\\");
    EXPECT_EQ(s.sim.errors.messages[2], "Export Error: Path not found: .wav");
}

TEST(ExportQueue, RecordingEndingDuringAnExportWaitsAndBothCompleteWhole) {
    ExportStation s(Wednesday());
    ExportEntry first = Entry(ExportNaming::UserDefined, 1, "00:04");
    first.Paths[1] = "c:\\first";
    Put(s, 1, first);
    ExportEntry second = Entry(ExportNaming::UserDefined, 1, "00:03");
    second.Paths[1] = "c:\\second";
    Put(s, 2, second);

    Recorded(s, 1, 2, 4.0);
    CheckExport(s.st());
    Recorded(s, 2, 2, 3.0, "C:\\SATFILE\\SFMON002.WAV");
    CheckExport(s.st());
    // The second waits; only the first has started.
    EXPECT_EQ(s.st().Export.waiting.size(), 1u);
    EXPECT_EQ(s.logTexts(), std::vector<std::string>{"Export->c:\\first.wav"});

    s.sim.loop.advance(1000);
    EXPECT_FALSE(ExportBusy(s.st().Export));
    EXPECT_EQ(s.readWave("c:\\first.wav").frames(), 4 * 44100);
    EXPECT_EQ(s.readWave("c:\\second.wav").frames(), 3 * 44100);
    EXPECT_EQ(s.logTexts(),
              (std::vector<std::string>{"Export->c:\\first.wav", "Export->c:\\second.wav"}));
    EXPECT_TRUE(s.sim.errors.messages.empty());
}

TEST(ExportProgress, TheMeterShowsThePeaksOfTheAudioBeingExportedAndFallsBackAtTheEnd) {
    ExportStation s(Wednesday());
    ExportEntry e = Entry(ExportNaming::UserDefined, 1, "00:05");
    e.Paths[1] = "c:\\metered";
    Put(s, 1, e);
    Recorded(s, 1, 2, 1.0);
    CheckExport(s.st());
    ASSERT_TRUE(s.st().Export.conversion);
    auto& conversion = *s.st().Export.conversion;
    std::vector<std::pair<int, int>> shown;
    conversion.onLevels = [&, inner = conversion.onLevels](std::int16_t l, std::int16_t r) {
        inner(l, r);
        shown.emplace_back(s.st().Export.Display.MeterLeft, s.st().Export.Display.MeterRight);
    };
    s.sim.loop.advance(500);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), std::make_pair(16000, 12000));
    EXPECT_FALSE(s.st().Export.Display.MeterVisible);
    EXPECT_EQ(s.st().Export.Display.MeterLeft, 0);
}

TEST(ExportProgress, GaugeIsTheWholePercentOfTheExportedLength) {
    ExportStation s(Wednesday());
    ExportJob job;
    job.ExportLengthMs = 8000;
    s.st().Export.current = job;
    s.st().Export.doneMs = 2999;
    ExportProgress(s.st().Export);
    EXPECT_EQ(s.st().Export.Display.GaugeValue, 37);
    s.st().Export.doneMs = 9000;  // a last block past the end never shows more than 100
    ExportProgress(s.st().Export);
    EXPECT_EQ(s.st().Export.Display.GaugeValue, 100);
    s.st().Export.current->ExportLengthMs = 0;
    ExportProgress(s.st().Export);
    EXPECT_EQ(s.st().Export.Display.GaugeValue, 0);
}
