// Each row injects one fault around the first of two recordings: it is reported, what can be
// kept is kept, and the second programme is recorded whole.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "audio/SoundFiles.h"
#include "core/ScheduleSequences.h"
#include "schedule/ScheduleEditor.h"
#include "support/Builders.h"
#include "support/SimStation.h"

using namespace quillmar;
using namespace quillmar::testing;
using ::testing::AllOf;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;

namespace {

const std::string kFirstWave = "C:\\SATFILE\\SFMON001.WAV", kNews = "NEWS HOUR                ";
using Errors = ::testing::Matcher<const std::vector<std::string>&>;
using Step = std::function<void(SimStation&)>;

struct Fault {
    const char* name;
    DateTime at;  // the fault comes at this moment
    Step inject;
    Errors errors;                    // everything shown by 10:07, after the first one's play
    std::vector<std::string> er, al;  // texts in the error and the activity log
    double wave, tolerance;           // seconds in the first recording and its EOM mark
    int dumps = 0;
    Step then = [](SimStation&) {};  // more checks, and the fault cleared, before 10:10
};

double Seconds(const SimStation& s, const std::string& wave) {
    return static_cast<double>(s.readWave(wave).frames()) / 44100.0;
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

// The edit while the schedule file is full is refused and the file on disk stays whole.
void EditOnAFullDisk(SimStation& s) {
    s.write("c:\\satfile\\Source.dat", "ENG\r\n");
    const std::string before = s.read("c:\\satfile\\SatList.dat");
    s.files.fail("c:\\satfile\\SatList.dat", ENOSPC);
    EXPECT_FALSE(EditLateNews(s));
    EXPECT_EQ(s.read("c:\\satfile\\SatList.dat"), before);
}

// Once the fault clears the edit is saved.
void EditAfterTheFault(SimStation& s) {
    s.files.clearFailures();
    EXPECT_TRUE(EditLateNews(s));
    EXPECT_EQ(ReadSchedule(s.st().schedule, 2)->PlayTimes[0], "23:00:00");
}

// "NEWS HOUR" at 10:00 for a minute, played at 10:05; "LATE NEWS" at 10:10 for a minute.
class StationFaults : public ::testing::TestWithParam<Fault> {
  protected:
    StationFaults() {
        // The remote control on the parallel port (EOM on data bit 0), its inputs idle.
        s.settings({{Rec::Threshold, 1000},
                    {Rec::PlayVisible, 1},
                    {Rec::ActivityLog, 1},
                    {Rec::WaveDrive, 3},
                    {Rec::RemoteControl, 1}});
        s.ports.set(0x379, 0x7F);
        s.start();
        ScheduleFields first = RecordedSchedule(), second = RecordedSchedule();
        first.ProgramLength = second.ProgramLength = "01:00";
        first.PlayTimes[4] = "10:05:00";  // Monday's first play slot
        s.put(1, first);
        second.ProgramName = "LATE NEWS                ";
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
    for (const auto& text : f.er) EXPECT_THAT(s.log("ER"), Contains(HasSubstr(text)));
    for (const auto& text : f.al) EXPECT_THAT(s.log("AL"), Contains(HasSubstr(text)));
    EXPECT_NEAR(Seconds(s, kFirstWave), f.wave, f.tolerance);
    if (f.wave > 0) {
        EXPECT_NEAR(ReadSoundMarks(s.files, "C:\\SATFILE\\SFMON001.DAT").EomMark, f.wave,
                    f.tolerance);
    }
    EXPECT_EQ(s.count("DumpRecording"), f.dumps);
    f.then(s);
    s.runTo(Monday(10, 12, 0));
    EXPECT_NEAR(Seconds(s, "C:\\SATFILE\\SFMON002.WAV"), 60.0, 1.1);
    EXPECT_THAT(s.errors.messages, f.errors);  // nothing more once the fault cleared
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, StationFaults, ::testing::Values(
    // The arm is not retried on every tick; the lost programme's play is reported.
    Fault{"ASoundCardMissingAtArm", Monday(9, 59, 0),
          [](SimStation& s) { s.audio.failCaptureStart("no such device"); },
          ElementsAre("Cannot record " + kFirstWave + ": no such device",
                      HasSubstr(kFirstWave + " does not exist")),
          {}, {"09:59:59  Dump " + kNews}, 0, 0.1, 1,
          [](SimStation& s) { s.audio.failCaptureStart(""); }},
    Fault{"ASoundCardThatVanishes", Monday(10, 0, 30),
          [](SimStation& s) { s.audio.vanishInput("device unplugged"); },
          ElementsAre(kNews + " Recording ended: device unplugged"),
          {"10:00:30  " + kNews + " Recording ended: device unplugged"},
          {"10:00:30  Stop   " + kNews + " 00:30", "Play NEWS HOUR"}, 30.5, 0.1},
    // The file ends playable; space freed later is used.
    Fault{"AFullDisk", Monday(9, 59, 0), [](SimStation& s) { s.audio.failWritesAfterMs(20'000); },
          ElementsAre(MatchesRegex(".*Recording ended: Cannot write .*No space left on device")),
          {"No space left on device"}, {"Stop   NEWS HOUR", "Play NEWS HOUR"}, 20, 0.1, 0,
          [](SimStation& s) { s.audio.failWritesAfterMs(0); }},
    Fault{"AFullScheduleFileWhileEditing", Monday(10, 0, 30),
          EditOnAFullDisk,
          ElementsAre(AllOf(HasSubstr("SatList.dat"), HasSubstr(std::strerror(ENOSPC)))), {}, {}, 60, 1.1, 0, EditAfterTheFault}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on
