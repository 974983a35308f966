// The command texts, byte for byte as they reach the line, and the relay reset of each port.
#include <gtest/gtest.h>

#include "core/ReceiverSequences.h"
#include "receiver/ReceiverCommands.h"
#include "receiver/ReceiverLink.h"
#include "support/SimStation.h"

namespace quillmar {
namespace {

using testing::SimStation;

ScheduleFields Fields(std::string port, std::string route, std::string source, std::string att) {
    ScheduleFields f;
    f.UnityPort = std::move(port);
    f.Route = StateOf<ScheduleRoute>(route);
    f.SourceCode = std::move(source);
    f.Attenuation = std::move(att);
    return f;
}

TEST(ReceiverCommands, TheRecordCueEndsInABlankAndTheSwitchOnlyDoesNot) {
    const auto f = Fields("2", "S", "ABC", "3 ");
    EXPECT_EQ(RecordCueCommand(f), "SETAUDIO 2 S ABC 3  ");
    EXPECT_EQ(SwitchOnlyCommand(f), "SETAUDIO 2 S ABC 3 ");
}

TEST(ReceiverCommands, FieldsKeepTheirStoredWidthsAsTheRecordParsesThem) {
    ScheduleFields record = Fields("4", "R", "EN", "10");
    record.InUse = ScheduleSlot::InUse;
    record.ProgramName = "Morning switch";
    record.Action = ScheduleAction::SwitchOnly;
    const ScheduleFields parsed = ParseScheduleRecord(BuildScheduleRecord(record));
    EXPECT_EQ(SwitchOnlyCommand(parsed), "SETAUDIO 4 R EN  10");
    EXPECT_EQ(RecordCueCommand(parsed), "SETAUDIO 4 R EN  10 ");
}

TEST(ReceiverCommands, ShortOrOverlongFieldsAreBlankPaddedOrCutToTheirWidths) {
    EXPECT_EQ(SwitchOnlyCommand(Fields("", "", "", "")), "SETAUDIO           ");
    EXPECT_EQ(SwitchOnlyCommand(Fields("12", "SS", "ABCD", "123")), "SETAUDIO 1 S ABC 12");
}

TEST(ReceiverCommands, SetReceiverJoinsSourceAndAttenuationThroughTheEntrysLeadingBlank) {
    EXPECT_EQ(SetReceiverCommand(1, 2, "ABC", " 3"), "SETAUDIO 2 S ABC 3");
    EXPECT_EQ(SetReceiverCommand(3, 3, "EN", " 14"), "SETAUDIO 4 R EN 14");
    EXPECT_EQ(SetReceiverCommand(0, 0, "X", " 0"), "SETAUDIO 1 1 X 0");
    EXPECT_EQ(RouteCode(1), "2");
    EXPECT_EQ(RouteCode(4), "");
}

TEST(ReceiverCommands, RelayButtonsInStandardMode) {
    EXPECT_EQ(RelayButtonCommand("R R", 0), "RE O 1");
    EXPECT_EQ(RelayButtonCommand("R R", 1), "RE C 1");
    EXPECT_EQ(RelayButtonCommand("R R", 2), "RE O 2");
    EXPECT_EQ(RelayButtonCommand("R R", 3), "RE C 2");
    EXPECT_EQ(RelayButtonCommand("R R", 4), "") << "hidden in standard mode";
}

TEST(ReceiverCommands, RelayButtonsInExpansionMode) {
    EXPECT_EQ(RelayButtonCommand("R ER", 0), "ER D 1");
    EXPECT_EQ(RelayButtonCommand("R ER", 5), "ER E 3");
    EXPECT_EQ(RelayButtonCommand("R ER", 26), "ER D 14");
    EXPECT_EQ(RelayButtonCommand("R ER", 27), "ER E 14");
    EXPECT_EQ(RelayButtonCommand("R ER", 28), "");
    EXPECT_EQ(RelayButtonCommand("R ER", -1), "");
    EXPECT_EQ(RelayButtonCommand("R M", 0), "");
}

class RelayReset : public ::testing::Test {
  protected:
    void SetUp() override {
        sim.start();
        sim.st().Settings.SerialPort = 1;
        sim.st().Settings.ActivityLog = 1;
    }
    std::string activityLog() {
        const std::string path = "c:\\satfile\\logs\\AL" + DayKey(sim.clock.now().date) + ".log";
        return sim.exists(path) ? sim.read(path) : "";
    }
    SimStation sim;
};

TEST_F(RelayReset, EachPortResetsItsOwnRelaysInOrder) {
    const std::pair<std::string, std::string> cases[] = {{"1", "ER D 11\rER D 14\r"},
                                                         {"2", "ER D 4\rER D 7\r"},
                                                         {"3", "ER D 1\r"},
                                                         {"4", "ER D 8\r"},
                                                         {"5", ""},
                                                         {"", ""}};
    for (const auto& [port, wire] : cases) {
        sim.serial.wire.clear();
        ResetExpansionRelays(sim.st(), port, false);
        EXPECT_EQ(sim.serial.wire, wire) << "port " << port;
    }
    EXPECT_EQ(activityLog(), "") << "the Set Receiver reset logs nothing";
}

TEST_F(RelayReset, TheRecordCueResetLogsEachRelayAfterItsCommand) {
    sim.serial.peer = [&](const std::string& command) -> std::optional<SimSerialPorts::Reply> {
        EXPECT_EQ(activityLog().find(command.substr(5) + "\r\n"), std::string::npos)
            << "the line follows the send";
        return std::nullopt;
    };
    ResetExpansionRelays(sim.st(), "1", true);
    EXPECT_EQ(sim.serial.wire, "ER D 11\rER D 14\r");
    EXPECT_EQ(activityLog(), "12:00:00  Turn off Relay 11\r\n12:00:00  Turn off Relay 14\r\n");
}

TEST_F(RelayReset, AFailedSendIsReportedForEachRelayAndTheResetCarriesOn) {
    sim.serial.failOpen(8002, "Invalid port number");
    ResetExpansionRelays(sim.st(), "2", true);
    EXPECT_EQ(sim.errors.messages.size(), 2u);
    EXPECT_NE(activityLog().find("Turn off Relay 7"), std::string::npos);
}

}  // namespace
}  // namespace quillmar
