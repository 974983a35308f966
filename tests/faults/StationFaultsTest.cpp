// Each row injects one fault around the first of two recordings: it is reported, what can be
// kept is kept, and the second programme is recorded whole.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "audio/SoundFiles.h"
#include "core/ReceiverSequences.h"
#include "core/ScheduleSequences.h"
#include "export/ExportEntry.h"
#include "schedule/ScheduleEditor.h"
#include "support/Builders.h"
#include "support/SimStation.h"

using namespace quillmar;
using namespace quillmar::testing;
using ::testing::AllOf;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::MatchesRegex;

namespace {

const std::string kFirstWave = "C:\\SATFILE\\SFMON001.WAV";
const std::string kFirstMarks = "C:\\SATFILE\\SFMON001.DAT";
const std::string kNews = "NEWS HOUR                ";
constexpr std::uint16_t kParallelStatus = 0x379;
using Errors = ::testing::Matcher<const std::vector<std::string>&>;
using Step = std::function<void(SimStation&)>;

struct Fault {
    const char* name;
    DateTime at;  // the fault comes at this moment
    Step inject;
    Errors errors;                // everything shown by 10:07, after the first one's play
    std::vector<std::string> er;  // texts in the error log
    std::vector<std::string> al;  // texts in the activity log
    double wave, tolerance;       // seconds in the first recording and its EOM mark
    bool eom;                     // the play at 10:05 ended with an EOM pulse
    int dumps = 0;
    Step then = [](SimStation&) {};  // more checks, and the fault cleared, before 10:10
    friend void PrintTo(const Fault& f, std::ostream* out) { *out << f.name; }
};

double Seconds(const SimStation& s, const std::string& wave) {
    return static_cast<double>(s.readWave(wave).frames()) / 44100.0;
}

bool Logged(const std::vector<std::string>& lines, const std::string& text) {
    for (const auto& line : lines)
        if (line.find(text) != std::string::npos) return true;
    return false;
}

// A poll in the middle of the recording answered too late holds the loop for its whole
// time-out; the capture ring keeps every buffer meanwhile.
void PollAnsweredLate(SimStation& s) {
    s.serial.answer("R C", "Eb/No             7.4 dB\r\n>", 2000);
    PollReceiverEbNo(s.st());
}

// LATE NEWS gets a Sunday play; whether the editor saved it.
bool EditLateNews(SimStation& s) {
    ScheduleEditor ed;
    OpenScheduleEditor(s.st(), ed);
    const auto& entries = ed.lstDisplaySchedule.entries();
    const auto late =
        std::find_if(entries.begin(), entries.end(), [](const auto& e) { return e.itemData == 2; });
    if (late == entries.end()) return false;
    ChooseSchedule(s.st().schedule, ed, static_cast<int>(late - entries.begin()));
    ed.txtPlay[0] = "23:00:00";
    return ApplySchedule(s.st(), ed);
}

// The edit while `file` fails with `code`: saved or not, and the file on disk stays whole.
Step EditWhileFailing(std::string file, int code, bool applied) {
    return [=](SimStation& s) {
        s.write("c:\\satfile\\Source.dat", "ENG\r\n");
        const std::string before = s.read("c:\\satfile\\SatList.dat");
        s.files.fail(file, code);
        EXPECT_EQ(EditLateNews(s), applied);
        if (!applied) {
            EXPECT_EQ(s.read("c:\\satfile\\SatList.dat"), before);
        }
    };
}

// Once the fault clears the edit is saved.
void EditAfterTheFault(SimStation& s) {
    s.files.clearFailures();
    EXPECT_TRUE(EditLateNews(s));
    EXPECT_EQ(ReadSchedule(s.st().schedule, 2)->PlayTimes[0], "23:00:00");
}

Errors FileFailed(const std::string& name, int code) {
    return ElementsAre(AllOf(HasSubstr(name), HasSubstr(std::strerror(code))));
}

// "NEWS HOUR" at 10:00 for a minute, played at 10:05; "LATE NEWS" at 10:10 for a minute.
class StationFaults : public ::testing::TestWithParam<Fault> {
  protected:
    StationFaults() {
        // The remote control on the parallel port (EOM on data bit 0), its inputs idle (active
        // low).
        s.settings({{Rec::Threshold, 1000},
                    {Rec::PlayVisible, 1},
                    {Rec::ActivityLog, 1},
                    {Rec::WaveDrive, 3},
                    {Rec::RemoteControl, 1}});
        s.ports.set(kParallelStatus, 0x7F);
        s.start();
        ScheduleFields first = RecordedSchedule();
        first.ProgramLength = "01:00";
        first.PlayTimes[4] = "10:05:00";  // Monday's first play slot
        s.put(1, first);
        ScheduleFields second = RecordedSchedule();
        second.ProgramName = "LATE NEWS                ";
        second.ProgramLength = "01:00";
        second.RecordTimes[1] = "10:10:00";
        s.put(2, second);
        s.findNext();
        s.noteActions();
        s.audio.setInput({5000, 5000});
    }
    SimStation s{Monday(9, 59, 0)};
};

}  // namespace

TEST_P(StationFaults, AreReportedKeepWhatCanBeKeptAndTheStationCarriesOn) {
    const Fault& f = GetParam();
    s.runTo(f.at);
    f.inject(s);
    s.runTo(Monday(10, 7, 0));
    EXPECT_THAT(s.errors.messages, f.errors);
    for (const auto& text : f.er) EXPECT_TRUE(Logged(s.log("ER"), text)) << text;
    for (const auto& text : f.al) EXPECT_TRUE(Logged(s.log("AL"), text)) << text;
    EXPECT_NEAR(Seconds(s, kFirstWave), f.wave, f.tolerance);
    if (f.wave > 0) {
        EXPECT_NEAR(ReadSoundMarks(s.files, kFirstMarks).EomMark, f.wave, f.tolerance);
    }
    bool pulsed = false;
    for (const auto& w : s.eomWrites) pulsed = pulsed || w.on;
    EXPECT_EQ(pulsed, f.eom);
    EXPECT_EQ(s.count("DumpRecording"), f.dumps);
    EXPECT_EQ(s.st().recorder.RecordState, RecordState::Idle);
    f.then(s);
    s.runTo(Monday(10, 12, 0));
    EXPECT_TRUE(Logged(s.log("AL"), "Record LATE NEWS")) << ::testing::PrintToString(s.log("AL"));
    EXPECT_TRUE(Logged(s.log("AL"), "Stop   LATE NEWS"));
    EXPECT_NEAR(Seconds(s, "C:\\SATFILE\\SFMON002.WAV"), 60.0, 1.1);
    EXPECT_THAT(s.errors.messages, f.errors);  // nothing more once the fault cleared
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, StationFaults, ::testing::Values(
    Fault{"ATooSlowReceiver", Monday(10, 0, 30), PollAnsweredLate, IsEmpty(), {}, {}, 60, 1.1, true,
          0, [](SimStation& s) { EXPECT_THAT(s.log("EB"), ElementsAre(MatchesRegex(".*  "))); }},
    Fault{"AMissingReceiverPort", Monday(9, 59, 0),
          [](SimStation& s) { s.serial.failOpen(2, "No such file or directory"); },
          Contains(HasSubstr("No such file or directory")), {}, {}, 60, 1.1, true},
    // The arm is not retried on every tick; the lost programme's play is reported.
    Fault{"ASoundCardMissingAtArm", Monday(9, 59, 0),
          [](SimStation& s) { s.audio.failCaptureStart("no such device"); },
          ElementsAre("Cannot record " + kFirstWave + ": no such device",
                      HasSubstr(kFirstWave + " does not exist")),
          {}, {"09:59:59  Dump " + kNews}, 0, 0.1, false, 1,
          [](SimStation& s) { s.audio.failCaptureStart(""); }},
    Fault{"ASoundCardThatVanishes", Monday(10, 0, 30),
          [](SimStation& s) { s.audio.vanishInput("device unplugged"); },
          ElementsAre(kNews + " Recording ended: device unplugged"),
          {"10:00:30  " + kNews + " Recording ended: device unplugged"},
          {"10:00:30  Stop   " + kNews + " 00:30", "Play NEWS HOUR"}, 30.5, 0.1, true, 0,
          [](SimStation& s) {
              EXPECT_THAT(s.log("ER"), ElementsAre("10:00:30  " + kNews +
                                                   " Recording ended: device unplugged"));
          }},
    // The file ends playable; space freed later is used.
    Fault{"AFullDisk", Monday(9, 59, 0), [](SimStation& s) { s.audio.failWritesAfterMs(20'000); },
          ElementsAre(MatchesRegex(".*Recording ended: Cannot write .*No space left on device")),
          {"No space left on device"}, {"Stop   NEWS HOUR", "Play NEWS HOUR"}, 20, 0.1, true, 0,
          [](SimStation& s) { s.audio.failWritesAfterMs(0); }},
    Fault{"AnExportToAMissingShare", Monday(9, 59, 0),
          [](SimStation& s) {
              ExportEntry e;
              e.Naming = ExportNaming::UserDefined;
              e.Days[1] = 1;  // Monday
              e.Paths[1] = "h:\\programs\\news";
              e.Length = "01:00";
              std::string error;
              ASSERT_TRUE(WriteExportEntry(s.st().Export, 1, e, &error)) << error;
          },
          ElementsAre("Export Error: Path not found: h:\\programs\\"),
          {}, {"Export Error: Path not found: h:\\programs\\"}, 60, 1.1, true},
    Fault{"AFullScheduleFileWhileEditing", Monday(10, 0, 30),
          EditWhileFailing("c:\\satfile\\SatList.dat", ENOSPC, false),
          FileFailed("SatList.dat", ENOSPC), {}, {}, 60, 1.1, true, 0, EditAfterTheFault},
    Fault{"AFailingLogWhileEditing", Monday(10, 0, 30),
          EditWhileFailing("c:\\satfile\\logs\\AL261207.log", EIO, true),
          FileFailed("AL261207.log", EIO), {}, {}, 60, 1.1, true, 0, EditAfterTheFault},
    Fault{"AMissingIoPort", Monday(9, 59, 0),
          [](SimStation& s) { s.ports.failure = "No such device"; },
          ElementsAre("Remote-control port failed: No such device"), {}, {"Play NEWS HOUR"}, 60, 1.1,
          true, 0, [](SimStation& s) { s.ports.failure.clear(); }}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on
