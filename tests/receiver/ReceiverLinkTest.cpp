// The serial exchanges, the status views and the Eb/No poll built on them, and the command
// texts byte for byte.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "core/ReceiverSequences.h"
#include "receiver/EbNoPolling.h"
#include "receiver/ReceiverCommands.h"
#include "receiver/ReceiverLink.h"
#include "receiver/ReceiverStatus.h"
#include "receiver/ReplyCollector.h"
#include "settings/StationSettings.h"
#include "support/Builders.h"
#include "support/SimStation.h"

namespace quillmar {
namespace {

using testing::SimStation;

using Arrivals = std::vector<std::pair<int, std::string>>;  // bytes at ms after the start

// Feeds each arrival at its time, nothing at each check; the reply and when it ended.
std::pair<std::string, std::int64_t> Collect(Collection rule, std::int64_t start,
                                             std::size_t minPrompt, const Arrivals& in) {
    ReplyCollector c(rule, start, minPrompt);
    std::size_t next = 0;
    std::int64_t now = start;
    bool done = c.feed("", now);
    for (int guard = 0; !done && guard < 10'000; ++guard) {
        const bool arrives = next < in.size() && start + in[next].first <= c.checkAt();
        now = arrives ? start + in[next].first : c.checkAt();
        done = c.feed(arrives ? in[next++].second : "", now);
    }
    EXPECT_TRUE(done);
    return {c.reply(), now - start};
}

TEST(ReplyCollector, EndsAtItsPromptItsTimeOutOrAFullReply) {
    using enum Collection;
    const std::int64_t noon = LineTimeMs(DateTime::from(2026, 12, 5, 12, 0, 0));
    const std::int64_t late = LineTimeMs(DateTime::from(2026, 12, 5, 23, 59, 59, 500));
    // A carrier report with an early ">" at 120 and its prompt at 900; one ending at 700.
    std::string report(899, 'c'), at700(699, 'c');
    report[119] = '>';
    report += ">";
    at700 += ">";
    const Arrivals split = {{100, report.substr(0, 400)}, {800, report.substr(400)}};
    const std::string line = "\r\nline\r\n>", flood(70'000, 'x');
    const std::string full = flood.substr(0, kMaxReplyBytes), mpeg = "\r\nMPEG STATUS\r\n>";
    const std::string energized = "\r\nRelay 3 Energized\r\n>", open = "\r\nRelay 1 Open\r\n>";
    const std::tuple<Collection, std::int64_t, std::size_t, Arrivals, std::string, std::int64_t>
        cases[] = {
            {Short, noon, 1, {{300, line}}, line, 300},
            {Short, noon, 1, {{200, "partial"}}, "partial", 1001},  // late: as far as it came
            {Short, noon + 400, 1, {}, "", 601},  // silent, timed from the nearest second
            {Short, noon + 600, 1, {}, "", 1401},
            {Short, noon + 501, 1, {}, "", 1500},
            {Short, noon + 1500, 1, {}, "", 1501},  // a half second rounds to the even one
            {Long, noon, 1, {{5, "\r\n>"}, {50, mpeg}}, mpeg, 50},  // the previous prompt
            {Long, noon, 700, split, report, 800},
            {Long, noon, 700, {{50, at700}}, at700, 50},
            {Long, noon, 700, {{50, "short\r\n>"}}, "short\r\n>", 3001},
            {Long, late, 1, {}, "", 2501},               // across midnight
            {Long, noon, 700, {{10, flood}}, full, 10},  // an endless sender is capped
            {Relay, noon, 1, {{10, "\r\n>"}, {1000, energized}}, energized, 1001},  // own prompt
            {Relay, noon, 1, {{10, "\r\n>"}, {1400, open}}, open, 1400},
            {Relay, noon, 1, {{10, "ok\r>"}, {60, energized}}, energized, 1001},
            {Relay, noon, 1, {{10, "\r\nok>"}, {60, energized}}, "\r\nok>" + energized, 1001},
            {Relay, noon, 1, {}, "", 2001}};
    int row = 0;
    for (const auto& [rule, start, minPrompt, in, reply, endMs] : cases)
        EXPECT_EQ(Collect(rule, start, minPrompt, in), std::make_pair(reply, endMs)) << row++;
}

// Exchanges in the order issued, a gone window's exchanges, ports that fail a send.
TEST(ReceiverLink, ExchangesShareTheLineInOrderAndEachKindReportsAFailingPort) {
    SimStation sim;
    sim.start();
    sim.st().Settings.SerialPort = 2;
    sim.st().Settings.BaudSelect = 1;
    const auto runUntil = [&](const auto& done) {
        for (int i = 0; !done && i < 500; ++i) sim.loop.advance(10);
        ASSERT_TRUE(done) << "the exchange never ended";
    };
    sim.serial.arrive("\r\n>");  // left from an earlier command: discarded
    sim.serial.answer("ER E 3", "\r\n>", 10);
    sim.serial.answer("R ER", "\r\nRelay 3 Energized\r\n>", 60);
    std::shared_ptr<SerialPort> panel = sim.serial.create(), view = sim.serial.create();
    std::optional<ExchangeResult> relay, status;
    std::optional<bool> sent;
    SendReceiverCommand(sim.st(), "ER D 11", [&](bool ok) { sent = ok; });
    EXPECT_EQ(sent, true) << "an idle line takes a send-only command at once";
    RelayExchange(ReceiverLinkOf(sim.st()), panel, "ER E 3", "R ER",
                  [&](const ExchangeResult& r) { relay = r; });
    QueryReceiverStatus(ReceiverLinkOf(sim.st()), view, "R S", 1,
                        [&](const ExchangeResult& r) { status = r; });
    SendReceiverCommand(sim.st(), "ER D 1");
    EXPECT_FALSE(relay) << "the exchange returns before its reply";
    runUntil(relay);
    EXPECT_EQ(relay->reply, "\r\nRelay 3 Energized\r\n>");
    runUntil(status);
    EXPECT_TRUE(status->ok);
    EXPECT_EQ(sim.serial.discards, 2) << "each exchange drops what was waiting";
    EXPECT_EQ(sim.serial.wire, "ER D 11\rER E 3\rR ER\rR S\rER D 1\r") << "in the order issued";

    std::shared_ptr<SerialPort> running = sim.serial.create(), waiting = sim.serial.create();
    bool called = false;
    const auto never = [&](const ExchangeResult&) { called = true; };
    QueryReceiverStatus(ReceiverLinkOf(sim.st()), running, "R T", 1, never);
    QueryReceiverStatus(ReceiverLinkOf(sim.st()), waiting, "R M", 1, never);
    sent.reset();
    SendReceiverCommand(sim.st(), "ER D 2", [&](bool ok) { sent = ok; });
    sim.loop.advance(200);
    CancelReceiverExchanges(ReceiverLinkOf(sim.st()), *waiting);
    CancelReceiverExchanges(ReceiverLinkOf(sim.st()), *running);
    EXPECT_EQ(sent, true) << "the line moves on at once";
    sim.loop.advance(5000);
    EXPECT_FALSE(called);
    EXPECT_EQ(sim.serial.wire.substr(31), "R T\rER D 2\r");

    sim.st().Settings.BaudSelect = 2;
    sim.st().Settings.SerialPort = 4;
    sim.serial.failOpen(8002, "Invalid port number");
    SendReceiverCommand(sim.st(), "ER D 4", [&](bool ok) { sent = ok; });
    EXPECT_EQ(sent, false);
    sim.serial.failOpen(0, "");
    sim.serial.failWrite(8015, "Write refused");
    SendReceiverCommand(sim.st(), "ER D 4");
    EXPECT_EQ(sim.serial.openNow, 0) << "a refused write leaves the port closed";
    EXPECT_EQ(sim.serial.opens.back(), (std::pair<int, std::string>{4, "19200,N,8,1"}));
    EXPECT_EQ(sim.serial.opens.front(), (std::pair<int, std::string>{2, "9600,N,8,1"}));
    EXPECT_EQ(sim.errors.messages,
              (std::vector<std::string>{
                  "8002  Invalid port number.  Check serial port settings in SetUp/Communications.",
                  "8015  Write refused.  Check serial port settings in SetUp/Communications."}));
}

// A refresh waits for a late prompt where opening does not.
TEST(ReceiverStatus, ViewsShowWhatTheReceiverSaysOrWhyItCannotAndTheReportIsSaved) {
    SimStation s;
    s.start();
    s.st().Settings.SerialPort = 1;
    std::shared_ptr<SerialPort> port = s.serial.create();
    std::vector<std::string> shown;
    const StatusShown keep = [&](const std::string& text) { shown.push_back(text); };
    const std::string settings = "\r\nSETTINGS\r\n>";
    s.serial.answer("R S", settings, 50);
    FetchReceiverStatus(ReceiverLinkOf(s.st()), port, "R S", false, keep);
    s.loop.advance(50);
    FetchReceiverStatus(ReceiverLinkOf(s.st()), port, "R S", true, keep);
    s.loop.advance(2400);
    EXPECT_EQ(shown, std::vector<std::string>{settings});
    s.loop.advance(1200);
    EXPECT_EQ(shown, (std::vector<std::string>{settings, settings}));
    shown.clear();
    s.serial.failOpen(8002, "Invalid port number");
    FetchReceiverStatus(ReceiverLinkOf(s.st()), port, "RT C", false, keep);
    FetchRelayStatus(ReceiverLinkOf(s.st()), port, "R ER", keep);
    PressRelayButton(ReceiverLinkOf(s.st()), port, "R ER", 0, keep);
    s.loop.advance(100);
    EXPECT_EQ(shown, std::vector<std::string>(
                         3,
                         "The receiver port cannot be used: 8002  Invalid port number.  "
                         "Check serial port settings in SetUp/Communications."));
    EXPECT_TRUE(s.errors.messages.empty());
    std::string error;
    ASSERT_TRUE(SaveReceiverReport(s.files, "\r\nONE\r\n>", &error)) << error;
    ASSERT_TRUE(SaveReceiverReport(s.files, "\r\nTWO\r\n>", &error)) << error;
    EXPECT_EQ(s.read(kReceiverReportPath), "\r\nTWO\r\n>\r\n");
    s.files.fail(kReceiverReportPath, EACCES);
    EXPECT_FALSE(SaveReceiverReport(s.files, "x", &error));
    EXPECT_NE(error.find(std::strerror(EACCES)), std::string::npos) << error;
    s.printer.failure = "no default destination";
    PrintReceiverReport(s.printer, s.errors, "\r\nTWO\r\n>");
    EXPECT_EQ(s.errors.messages,
              std::vector<std::string>{"The report could not be printed: no default destination"});
}

// A carrier report whose line after the 11th line feed is `line`.
std::string Report(const std::string& line) {
    std::string text = "\r\n";
    for (int i = 1; i <= 10; ++i) text += "Line " + std::to_string(i) + "\r\n";
    return text + line + "\r\nUptime\r\n>";
}

// The figure is the last twenty characters of line eleven, without CR and blanks.
TEST(EbNoPoll, CutsTheFigureOutOfTheCarrierReportAndLogsItOrNothingWhenThePortFails) {
    std::string elevenLf, tenCrLf;
    for (int i = 0; i < 11; ++i) elevenLf += "x\n";
    for (int i = 0; i < 10; ++i) tenCrLf += "x\r\n";
    const std::pair<std::string, std::string> cases[] = {
        {Report("Eb/No                   :              10.2 dB"), "10.2 dB"},
        {Report("Carrier Eb/No quality 12.25 dB  "), "quality 12.25 dB"},  // CR among the 20
        {elevenLf + "  7.5 dB\nmore\n>", "7.5 dB"},
        {elevenLf + "  7.5 dB", "7.5 dB"},
        {elevenLf + "Eb/No quality 10.2 dB", "b/No quality 10.2 dB"},
        {std::string(11, '\n') + "\r", ""},
        {tenCrLf + "9.9 dB", ""}};
    for (const auto& [reply, ebno] : cases) EXPECT_EQ(ExtractEbNo(reply), ebno) << reply;
    const std::string report = Report("Eb/No          :              10.2 dB");
    using Lines = std::vector<std::string>;
    const Lines failed = {
        "8005  Port already open.  Check serial port settings in SetUp/Communications."};
    // The reply (none: the port fails), the value, log, errors.
    const std::tuple<const char*, std::optional<std::string>, Lines, Lines> polls[] = {
        {report.c_str(), "10.2 dB", {"10:45:13  10.2 dB"}, {}},
        {nullptr, std::nullopt, {}, failed}};
    for (const auto& [reply, ebno, log, errors] : polls) {
        SimStation sim(DateTime::from(2002, 3, 16, 10, 45, 12, 100));
        sim.start();
        sim.st().Settings.SerialPort = 3;
        if (reply) sim.serial.answer("R C", reply, 900);
        if (!reply) sim.serial.failOpen(8005, "Port already open");
        std::optional<std::optional<std::string>> got;
        PollReceiverEbNo(sim.st(), [&](const std::optional<std::string>& e) { got = e; });
        for (int i = 0; !got && i < 400; ++i) sim.loop.advance(10);
        ASSERT_TRUE(got) << "the poll never ended";
        EXPECT_EQ(*got, ebno);
        EXPECT_TRUE(sim.st().tick.EbNoPolledFlag);
        EXPECT_EQ(sim.serial.commands, Lines(reply ? 1 : 0, "R C"));
        EXPECT_EQ(sim.log("EB"), log);
        EXPECT_EQ(sim.st().receiver.EbNoLogged, log.size());
        EXPECT_EQ(sim.errors.messages, errors);
    }
}

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
    const std::tuple<const char*, int, const char*> buttons[] = {
        {"R R", 0, "RE O 1"},    {"R R", 3, "RE C 2"},  {"R R", 4, ""},
        {"R R", -1, ""},         {"R ER", 0, "ER D 1"}, {"R ER", 5, "ER E 3"},
        {"R ER", 27, "ER E 14"}, {"R ER", 28, ""},      {"R M", 0, ""}};
    for (const auto& [mode, button, text] : buttons)
        EXPECT_EQ(RelayButtonCommand(mode, button), text) << mode << " " << button;
    const std::pair<const char*, std::vector<int>> ports[] = {
        {"1", {11, 14}}, {"2", {4, 7}}, {"3", {1}}, {"4", {8}}, {"5", {}}};
    for (const auto& [port, relays] : ports) EXPECT_EQ(ExpansionRelaysOfPort(port), relays) << port;
    EXPECT_EQ(StatusPromptPosition("RT C"), 700u);
    EXPECT_EQ(StatusPromptPosition("R C"), 1u);
    StationSettings s;  // the defaults of BaudSelect 1 and 2 are in the exchanges test
    s.BaudRates = {"", "4800", "2400"};
    for (const auto& [select, line] : {std::pair{1, "4800,N,8,1"}, std::pair{2, "2400,N,8,1"}}) {
        s.BaudSelect = static_cast<std::int16_t>(select);
        EXPECT_EQ(LineSettings(s), line) << select;
    }
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
