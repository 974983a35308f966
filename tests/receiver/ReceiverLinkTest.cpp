// The serial exchanges: when each collection stops, what reaches the wire, how failures reach
// the operator, and that exchanges share the one line in order without holding the loop.
#include <gtest/gtest.h>

#include "core/ReceiverSequences.h"
#include "receiver/ReceiverLink.h"
#include "receiver/ReplyCollector.h"
#include "settings/StationSettings.h"
#include "support/SimStation.h"

namespace quillmar {
namespace {

using testing::SimStation;

using Arrivals = std::vector<std::pair<int, std::string>>;  // bytes at ms after the start

// Feeds each arrival at its time and nothing at each check the collector asks for; the reply
// and when it ended.
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

TEST(ReceiverLine, PromptPositionsAndLineRates) {
    const std::tuple<const char*, std::size_t, bool> prompts[] = {
        {">", 0, true}, {">", 2, false}, {"ab>", 3, true}, {"ab>", 4, false}, {"a>b", 3, false}};
    for (const auto& [reply, from, has] : prompts)
        EXPECT_EQ(HasPrompt(reply, from), has) << reply << " from " << from;
    EXPECT_EQ(StatusPromptPosition("RT C"), 700u);
    EXPECT_EQ(StatusPromptPosition("R C"), 1u);
    StationSettings s;  // the defaults of BaudSelect 1 and 2 are in the send test below
    s.BaudRates = {"", "4800", "2400"};
    for (const auto& [select, line] : {std::pair{1, "4800,N,8,1"}, std::pair{2, "2400,N,8,1"}}) {
        s.BaudSelect = static_cast<std::int16_t>(select);
        EXPECT_EQ(LineSettings(s), line) << select;
    }
}

// One line walks through exchanges in the order issued, a gone window's exchanges, and ports
// that fail: a send-only command says so in the error window, a view in its own.
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
    const auto query = [&](const char* command) {
        QueryReceiverStatus(ReceiverLinkOf(sim.st()), view, command, 1,
                            [&](const ExchangeResult& r) { status = r; });
    };
    query("R S");
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
    status.reset();
    query("R M");
    ASSERT_TRUE(status);
    EXPECT_EQ(status->error.number, 8002);
    EXPECT_TRUE(sim.errors.messages.empty()) << "a view shows its failure itself";
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

}  // namespace
}  // namespace quillmar
