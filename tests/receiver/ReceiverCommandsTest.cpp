// The command texts, byte for byte as they reach the line, the relay reset of each port, and
// the switch-only schedule's send and log line.
#include <gtest/gtest.h>

#include "core/ReceiverSequences.h"
#include "receiver/ReceiverCommands.h"
#include "support/Builders.h"
#include "support/Logs.h"
#include "support/SimStation.h"

namespace quillmar {
namespace {

using testing::SimStation;
using testing::Unstamped;

ScheduleFields Fields(std::string port, std::string route, std::string source, std::string att,
                      ScheduleFields f = {}) {
    f.UnityPort = std::move(port);
    f.Route = StateOf<ScheduleRoute>(route);
    f.SourceCode = std::move(source);
    f.Attenuation = std::move(att);
    return f;
}

TEST(ReceiverCommands, FieldsStandAtTheirWidthsAndOnlyTheRecordCueEndsInABlank) {
    const std::pair<std::string, std::string> cases[] = {
        {RecordCueCommand(Fields("2", "S", "ABC", "3 ")), "SETAUDIO 2 S ABC 3  "},
        {SwitchOnlyCommand(Fields("4", "R", "EN", "10")), "SETAUDIO 4 R EN  10"},
        {SwitchOnlyCommand(Fields("12", "SS", "ABCD", "123")), "SETAUDIO 1 S ABC 12"},
        // Set Receiver: the attenuation entry's leading blank separates it from the source.
        {SetReceiverCommand(1, 2, "ABC", " 3"), "SETAUDIO 2 S ABC 3"},
        {SetReceiverCommand(3, 3, "EN", " 14"), "SETAUDIO 4 R EN 14"},
        {SetReceiverCommand(0, 0, "X", " 0"), "SETAUDIO 1 1 X 0"},
        {SetReceiverCommand(2, 1, "X", " 0"), "SETAUDIO 3 2 X 0"},
        {SetReceiverCommand(0, 4, "X", " 0"), "SETAUDIO 1  X 0"},
        {SetReceiverCommand(0, -1, "X", " 0"), "SETAUDIO 1  X 0"}};
    for (const auto& [got, expected] : cases) EXPECT_EQ(got, expected);
}

TEST(ReceiverCommands, RelayButtonsOfEachModeAndTheExpansionRelaysOfEachPort) {
    const std::tuple<const char*, int, const char*> cases[] = {
        {"R R", 0, "RE O 1"},    {"R R", 3, "RE C 2"},  {"R R", 4, ""},
        {"R R", -1, ""},         {"R ER", 0, "ER D 1"}, {"R ER", 5, "ER E 3"},
        {"R ER", 27, "ER E 14"}, {"R ER", 28, ""},      {"R M", 0, ""}};
    for (const auto& [mode, button, text] : cases)
        EXPECT_EQ(RelayButtonCommand(mode, button), text) << mode << " " << button;
    const std::pair<const char*, std::vector<int>> ports[] = {
        {"1", {11, 14}}, {"2", {4, 7}}, {"3", {1}}, {"4", {8}}, {"5", {}}};
    for (const auto& [port, relays] : ports) EXPECT_EQ(ExpansionRelaysOfPort(port), relays) << port;
}

void Ready(SimStation& s) {
    s.start();
    s.st().Settings.SerialPort = 1;
    s.st().Settings.ActivityLog = 1;
}

TEST(ReceiverCommands, TheRecordCueResetLogsEachRelayAfterItsSendAndCarriesOnPastFailures) {
    SimStation sim;
    Ready(sim);
    std::vector<std::size_t> logLinesAtSend;
    sim.serial.peer = [&](const std::string&) -> std::optional<SimSerialPorts::Reply> {
        logLinesAtSend.push_back(sim.log("AL").size());
        return std::nullopt;
    };
    ResetExpansionRelays(sim.st(), "1", true);
    ResetExpansionRelays(sim.st(), "3", false);
    EXPECT_EQ(logLinesAtSend, (std::vector<std::size_t>{0, 1, 2}));
    sim.serial.failOpen(8002, "Invalid port number");
    ResetExpansionRelays(sim.st(), "2", true);
    EXPECT_EQ(sim.errors.messages.size(), 2u);
    EXPECT_EQ(Unstamped(sim.log("AL")),
              (std::vector<std::string>{"Turn off Relay 11", "Turn off Relay 14",
                                        "Turn off Relay 4", "Turn off Relay 7"}));
}

TEST(SwitchOnly, ItsSlotSendsItsRoutingAndLogsItEvenWhenTheSendFails) {
    const ScheduleFields f = Fields("4", "R", "EN", "10", testing::Schedule("Network switch", "3"));
    // Slot 2 was reused for a recording, 7 is beyond the file, 0 is none found.
    const std::tuple<int, bool, const char*, bool> cases[] = {
        {1, false, "SETAUDIO 4 R EN  10\r", true},
        {1, true, "", true},
        {2, false, "", false},
        {7, false, "", false},
        {0, false, "", false}};
    for (const auto& [recordNo, fails, wire, logged] : cases) {
        SimStation s;
        Ready(s);
        s.put(1, f);
        s.put(2, testing::Schedule("NEWS HOUR"));
        if (recordNo) s.st().next.toSwitch.emplace().recordNo = recordNo;
        if (fails) s.serial.failOpen(8002, "Invalid port number");
        RunSwitchOnly(s.st());
        EXPECT_EQ(s.serial.wire, wire);
        EXPECT_EQ(s.log("AL"),
                  std::vector<std::string>(logged, "12:00:00  SETAUDIO 4 R EN  10 Switch Only"));
        EXPECT_EQ(s.errors.messages.size(), fails ? 1u : 0u);
    }
}

}  // namespace
}  // namespace quillmar
