// Faults met on a station day, on simulated time. Each test injects one fault around the first
// of two recordings and shows the fault reported, what could be kept kept, and the station
// going on to record the second programme whole.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "audio/AudioFixture.h"
#include "audio/SoundFiles.h"
#include "core/ExportSequences.h"
#include "core/ReceiverSequences.h"
#include "core/ScheduleSequences.h"
#include "export/AddressBook.h"
#include "export/ExportEntry.h"
#include "export/MailOut.h"
#include "receiver/EbNoPolling.h"
#include "schedule/FloppyBackup.h"
#include "schedule/ScheduleEditor.h"

using namespace quillmar;
using namespace quillmar::testing;
using ::testing::AllOf;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

const std::string kFirstWave = "C:\\SATFILE\\SFMON001.WAV";
const std::string kSecondWave = "C:\\SATFILE\\SFMON002.WAV";
constexpr std::uint16_t kParallelStatus = 0x379;

// "NEWS HOUR" at 10:00 for a minute, played at 10:05; "LATE NEWS" at 10:10 for a minute.
class StationFaults : public AudioTest {
  protected:
    StationFaults() {
        ScheduleFields first = RecordedSchedule();
        first.ProgramLength = "01:00";
        first.PlayTimes[4] = "10:05:00";  // Monday's first play slot
        put(1, first);
        ScheduleFields second = RecordedSchedule();
        second.ProgramName = "LATE NEWS                ";
        second.ProgramLength = "01:00";
        second.RecordTimes[1] = "10:10:00";
        put(2, second);
        st().Settings.RemoteControl = 1;  // parallel port: EOM on data bit 0
        sim->ports.set(kParallelStatus, 0x7F);
        audio().setInput({5000, 5000});
    }

    double seconds(const std::string& wave) {
        return static_cast<double>(ReadWaveInfo(sim->files, wave).frames) / kSampleRate;
    }
    bool logged(const std::string& kind, const std::string& text) {
        for (const auto& line : log(kind))
            if (line.find(text) != std::string::npos) return true;
        return false;
    }
    // The second programme is recorded whole: the station carried on after the fault.
    void expectCarriedOn() {
        runTo(Monday(10, 12, 0));
        EXPECT_TRUE(logged("AL", "Record LATE NEWS")) << ::testing::PrintToString(log("AL"));
        EXPECT_TRUE(logged("AL", "Stop   LATE NEWS")) << ::testing::PrintToString(log("AL"));
        EXPECT_NEAR(seconds(kSecondWave), 60.0, 1.1);
    }
    bool eomPulsed() const {
        for (const auto& w : eomWrites)
            if (w.on) return true;
        return false;
    }
};

// The receiver misbehaves on the Eb/No poll made in the middle of the first recording. The
// poll holds the loop for up to its time-out (about a second); the capture ring keeps every
// buffer meanwhile.
struct ReceiverFault {
    const char* name;
    bool answers;
    int delayMs;
    bool garbage;
    const char* logged;  // the Eb/No written to the EB log
    friend void PrintTo(const ReceiverFault& f, std::ostream* out) { *out << f.name; }
};

class ReceiverFaults : public StationFaults, public ::testing::WithParamInterface<ReceiverFault> {};

TEST_P(ReceiverFaults, APollThatFailsOrCrawlsLosesNoAudio) {
    const ReceiverFault f = GetParam();
    std::string report;
    for (int line = 1; line <= 11; ++line)
        report += "Carrier line " + std::to_string(line) + "\r\n";
    report += "Eb/No             7.4 dB\r\n>";
    if (f.garbage) report = std::string("\x13\xFE\x80garbage without a prompt\x01", 28);
    if (f.answers) sim->serial.answer("R C", report, f.delayMs);

    runTo(Monday(10, 0, 30));
    PollReceiverEbNo(st());
    runTo(Monday(10, 2, 0));

    EXPECT_NEAR(seconds(kFirstWave), 60.0, 1.1);
    ASSERT_EQ(log("EB").size(), 1u);
    EXPECT_THAT(log("EB")[0], ::testing::EndsWith("  " + std::string(f.logged)));
    expectCarriedOn();
}

INSTANTIATE_TEST_SUITE_P(Station, ReceiverFaults,
                         ::testing::Values(ReceiverFault{"Silent", false, 0, false, ""},
                                           ReceiverFault{"SlowButInTime", true, 300, false,
                                                         "7.4 dB"},
                                           ReceiverFault{"TooSlow", true, 2000, false, ""},
                                           ReceiverFault{"Garbage", true, 0, true, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StationFaults, AMissingReceiverPortIsShownAtEachCueAndTheProgrammeStillRecords) {
    sim->serial.failOpen(2, "No such file or directory");
    runTo(Monday(10, 2, 0));
    EXPECT_THAT(sim->errors.messages, Contains(HasSubstr("No such file or directory")));
    EXPECT_NEAR(seconds(kFirstWave), 60.0, 1.1);
    expectCarriedOn();
}

TEST_F(StationFaults, ASoundCardMissingAtArmDumpsThatProgrammeOnly) {
    audio().failCaptureStart("no such device");
    runTo(Monday(10, 0, 30));
    EXPECT_THAT(sim->errors.messages,
                ElementsAre("Cannot record " + kFirstWave + ": no such device"));
    EXPECT_TRUE(logged("AL", "Dump NEWS HOUR"));
    // The card is back (plugged in again) before the next programme.
    audio().failCaptureStart("");
    // The play of the lost programme is reported, not silently skipped.
    runTo(Monday(10, 5, 1));
    EXPECT_THAT(sim->errors.messages, Contains(kFirstWave + " does not exist"));
    expectCarriedOn();
}

TEST_F(StationFaults, ASoundCardThatVanishesKeepsWhatWasRecordedAndItIsPlayedWithEom) {
    runTo(Monday(10, 0, 30));
    audio().vanishInput("device unplugged");
    runTo(Monday(10, 0, 31));
    EXPECT_THAT(sim->errors.messages, Contains(HasSubstr("Recording ended: device unplugged")));
    EXPECT_TRUE(logged("ER", "Recording ended: device unplugged"));
    EXPECT_NEAR(seconds(kFirstWave), 30.0, 1.1);
    EXPECT_NEAR(ReadSoundMarks(st().platform.files, MarksFileName(kFirstWave)).EomMark, 30.0, 1.1);

    runTo(Monday(10, 6, 0));
    EXPECT_TRUE(logged("AL", "Play NEWS HOUR"));
    EXPECT_TRUE(eomPulsed());
    expectCarriedOn();
}

TEST_F(StationFaults, AFullDiskEndsTheRecordingWithAPlayableFileAndSpaceFreedLaterIsUsed) {
    audio().failWritesAfterMs(20'000);
    runTo(Monday(10, 1, 0));
    EXPECT_THAT(sim->errors.messages, Contains(HasSubstr("No space left on device")));
    EXPECT_TRUE(logged("ER", "No space left on device"));
    EXPECT_NEAR(seconds(kFirstWave), 20.0, 0.1);
    EXPECT_NEAR(ReadSoundMarks(st().platform.files, MarksFileName(kFirstWave)).EomMark, 20.0, 0.1);
    EXPECT_TRUE(logged("AL", "Stop   NEWS HOUR"));

    runTo(Monday(10, 6, 0));
    EXPECT_TRUE(logged("AL", "Play NEWS HOUR"));
    EXPECT_TRUE(eomPulsed());
    audio().failWritesAfterMs(0);  // the operator made room
    expectCarriedOn();
}

TEST_F(StationFaults, AnExportToAMissingShareFailsThatExportOnly) {
    ExportEntry e;
    e.Naming = ExportNaming::UserDefined;
    e.Days[1] = 1;  // Monday
    e.Paths[1] = "h:\\programs\\news";
    e.Length = "01:00";
    std::string error;
    ASSERT_TRUE(WriteExportEntry(st().Export, 1, e, &error)) << error;
    runTo(Monday(10, 2, 0));
    EXPECT_THAT(sim->errors.messages,
                Contains(HasSubstr("Export Error: Path not found: h:\\programs\\")));
    EXPECT_NEAR(seconds(kFirstWave), 60.0, 1.1);
    expectCarriedOn();
}

TEST_F(StationFaults, ABackupWithNoFloppyDriveTouchesNothing) {
    const std::string schedule = sim->read("c:\\satfile\\SatList.dat");
    runTo(Monday(10, 0, 30));
    EXPECT_TRUE(SaveFilesToFloppy(st()));
    runTo(Monday(10, 2, 0));
    EXPECT_THAT(sim->errors.messages, Contains(HasSubstr("71 Disk not ready")));
    EXPECT_EQ(sim->read("c:\\satfile\\SatList.dat"), schedule);
    EXPECT_NEAR(seconds(kFirstWave), 60.0, 1.1);
    expectCarriedOn();
}

TEST_F(StationFaults, AMailThatHangsThenFailsIsReportedWhileRecordingsGoOn) {
    AddressEntry person;
    person.InUse = '1';
    person.Name = "Ops";
    person.Address = "ops@example.org";
    std::string error;
    ASSERT_TRUE(st().Export.AddressBookFile.write(1, FormatAddressEntry(person), &error)) << error;
    sim->mail.hang = true;
    runTo(Monday(10, 0, 10));
    ASSERT_TRUE(SendTestMessage(st(), 1));
    runTo(Monday(10, 2, 0));
    ASSERT_EQ(sim->mail.pending.size(), 1u);
    EXPECT_NEAR(seconds(kFirstWave), 60.0, 1.1);

    sim->mail.failPending("no answer within 60 s");
    runTo(Monday(10, 2, 1));
    EXPECT_THAT(sim->errors.messages, Contains(HasSubstr("no answer within 60 s")));
    EXPECT_TRUE(logged("ER", "no answer within 60 s"));
    expectCarriedOn();
}

TEST_F(StationFaults, ALogsFolderDeletedWhileRecordingIsMadeAgainWithNoLineLost) {
    runTo(Monday(10, 0, 30));
    sim->files.removeFolder("c:\\satfile\\logs");
    runTo(Monday(10, 2, 0));
    EXPECT_TRUE(logged("AL", "Stop   NEWS HOUR"));
    EXPECT_TRUE(sim->errors.messages.empty()) << ::testing::PrintToString(sim->errors.messages);
    expectCarriedOn();
}

// A data file that cannot be written while the operator edits LATE NEWS: the failure is shown
// once, naming the file and the reason; what was on disk and the recording go on whole; and once
// the fault clears the edit is saved.
struct DataFileFault {
    std::string file;
    int code;
    bool applied;  // whether the edit is saved during the fault
};
void PrintTo(const DataFileFault& f, std::ostream* os) {
    *os << f.file;
}
class DataFileFaults : public StationFaults, public ::testing::WithParamInterface<DataFileFault> {};

TEST_P(DataFileFaults, AreShownOnceAndLoseNothing) {
    const DataFileFault& c = GetParam();
    sim->write("c:\\satfile\\Source.dat", "ENG\r\n");
    ScheduleEditor ed;
    OpenScheduleEditor(st(), ed);
    const auto& entries = ed.lstDisplaySchedule.entries();
    const auto late =
        std::find_if(entries.begin(), entries.end(), [](const auto& e) { return e.itemData == 2; });
    ASSERT_NE(late, entries.end());
    const int index = static_cast<int>(late - entries.begin());
    const auto edit = [&] {
        ChooseSchedule(st().schedule, ed, index);
        ed.txtPlay[0] = "23:00:00";  // a Sunday play, not due today
        return ApplySchedule(st(), ed);
    };
    runTo(Monday(10, 0, 30));
    const std::string before = sim->read("c:\\satfile\\SatList.dat");

    sim->files.fail(c.file, c.code);
    EXPECT_EQ(edit(), c.applied);
    if (!c.applied) {
        EXPECT_EQ(sim->read("c:\\satfile\\SatList.dat"), before);
    }
    runTo(Monday(10, 2, 0));
    const std::string name = c.file.substr(c.file.rfind('\\') + 1);
    EXPECT_THAT(sim->errors.messages,
                ElementsAre(AllOf(HasSubstr(name), HasSubstr(std::strerror(c.code)))));
    EXPECT_NEAR(seconds(kFirstWave), 60.0, 1.1);

    sim->files.clearFailures();
    EXPECT_TRUE(edit());
    EXPECT_EQ(ReadSchedule(st().schedule, 2)->PlayTimes[0], "23:00:00");
    expectCarriedOn();
    EXPECT_EQ(sim->errors.messages.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(OnApplyAndLogs, DataFileFaults,
                         ::testing::Values(DataFileFault{"c:\\satfile\\SatList.dat", ENOSPC, false},
                                           DataFileFault{"c:\\satfile\\logs\\AL261207.log", EIO,
                                                         true}));

TEST_F(StationFaults, AMissingIoPortIsReportedOnceAndThePlayStillHappens) {
    sim->ports.failure = "No such device";
    runTo(Monday(10, 6, 0));
    EXPECT_THAT(sim->errors.messages, ElementsAre("Remote-control port failed: No such device"));
    EXPECT_TRUE(logged("AL", "Play NEWS HOUR"));
    sim->ports.failure.clear();
    expectCarriedOn();
}

}  // namespace
