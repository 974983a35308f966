// The command texts, byte for byte as they reach the line, the relays of each port, and the
// switch-only schedule's send and log line.
#include <gtest/gtest.h>

#include "core/ReceiverSequences.h"
#include "receiver/ReceiverCommands.h"
#include "support/Builders.h"
#include "support/SimStation.h"

namespace quillmar {
namespace {

using testing::SimStation;

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

// A reset whose sends fail still logs each relay; the switch is logged even when its send fails.
TEST(SwitchOnly, ItsSlotSendsItsRoutingAndLogsItEvenWhenTheSendFails) {
    const ScheduleFields f = Fields("4", "R", "EN", "10", testing::Schedule("Network switch", "3"));
    // Slot 2 was reused for a recording, 7 is beyond the file, 0 is none found.
    const std::tuple<int, bool, bool> cases[] = {
        {1, true, true}, {2, false, false}, {7, false, false}, {0, false, false}};
    for (const auto& [recordNo, fails, logged] : cases) {
        SimStation s;
        s.start();
        s.st().Settings.ActivityLog = 1;
        s.put(1, f);
        s.put(2, testing::Schedule("NEWS HOUR"));
        if (recordNo) s.st().next.toSwitch.emplace().recordNo = recordNo;
        if (fails) s.serial.failOpen(8002, "Invalid port number");
        RunSwitchOnly(s.st());
        if (fails) ResetExpansionRelays(s.st(), "2", true);
        EXPECT_EQ(s.serial.wire, "");
        std::vector<std::string> log(logged, "12:00:00  SETAUDIO 4 R EN  10 Switch Only");
        if (fails)
            log.insert(log.end(), {"12:00:00  Turn off Relay 4", "12:00:00  Turn off Relay 7"});
        EXPECT_EQ(s.log("AL"), log);
        EXPECT_EQ(s.errors.messages.size(), fails ? 3u : 0u);
    }
}

}  // namespace
}  // namespace quillmar
