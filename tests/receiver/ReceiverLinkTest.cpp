// The serial exchanges: when each collection stops, what reaches the wire, how failures reach
// the operator, and that exchanges share the one line in order without holding the loop.
#include <gtest/gtest.h>

#include "core/ReceiverSequences.h"
#include "receiver/ReceiverLink.h"
#include "support/SimStation.h"

namespace quillmar {
namespace {

using testing::SimStation;

struct Arrival {
    int atMs;
    std::string bytes;
};

struct Collected {
    std::string reply;
    std::int64_t endMs;
};

// Feeds each arrival at its time and nothing at each check the collector asks for.
Collected Collect(Collection rule, std::int64_t startMs, std::size_t minPrompt,
                  const std::vector<Arrival>& in) {
    ReplyCollector c(rule, startMs, minPrompt);
    std::size_t next = 0;
    std::int64_t now = startMs;
    bool done = c.feed("", now);
    for (int guard = 0; !done && guard < 10'000; ++guard) {
        if (next < in.size() && startMs + in[next].atMs <= c.checkAt()) {
            now = startMs + in[next].atMs;
            done = c.feed(in[next++].bytes, now);
        } else {
            now = c.checkAt();
            done = c.feed("", now);
        }
    }
    EXPECT_TRUE(done);
    return {c.reply(), now - startMs};
}

std::string CarrierReport(std::size_t earlyPromptAt, std::size_t length) {
    std::string text(length - 1, 'c');
    text[earlyPromptAt - 1] = '>';
    return text + ">";
}

TEST(ReplyCollector, EndsAtItsPromptItsTimeOutOrAFullReply) {
    const std::int64_t noon = LineTimeMs(DateTime::from(2026, 12, 5, 12, 0, 0));
    const std::int64_t beforeMidnight = LineTimeMs(DateTime::from(2026, 12, 5, 23, 59, 59, 500));
    const std::string report = CarrierReport(120, 900);
    std::string at700(700, 'c');
    at700.back() = '>';
    const std::string flood(70'000, 'x');
    struct Case {
        const char* what;
        Collection rule;
        std::int64_t start;
        std::size_t minPrompt;
        std::vector<Arrival> in;
        std::string reply;
        std::int64_t endMs;
    } cases[] = {
        {"short: the prompt",
         Collection::Short,
         noon,
         1,
         {{300, "\r\nline\r\n>"}},
         "\r\nline\r\n>",
         300},
        {"short: a lone prompt", Collection::Short, noon, 1, {{100, ">"}}, ">", 100},
        {"short: a late reply as far as it came",
         Collection::Short,
         noon,
         1,
         {{200, "partial"}},
         "partial",
         1001},
        {"short: silent from :00.000", Collection::Short, noon, 1, {}, "", 1001},
        {"short: silent from :00.400", Collection::Short, noon + 400, 1, {}, "", 601},
        {"short: silent from :00.600", Collection::Short, noon + 600, 1, {}, "", 1401},
        {"short: silent from :00.999", Collection::Short, noon + 999, 1, {}, "", 1002},
        {"long: the previous command's late prompt",
         Collection::Long,
         noon,
         1,
         {{5, "\r\n>"}, {50, "\r\nMPEG STATUS\r\n>"}},
         "\r\nMPEG STATUS\r\n>",
         50},
        {"long: a reply that is only a prompt",
         Collection::Long,
         noon,
         1,
         {{100, "OK>"}},
         "OK>",
         100},
        {"long: a prompt before 700",
         Collection::Long,
         noon,
         700,
         {{100, report.substr(0, 400)}, {800, report.substr(400)}},
         report,
         800},
        {"long: a prompt at 700", Collection::Long, noon, 700, {{50, at700}}, at700, 50},
        {"long: a short carrier report",
         Collection::Long,
         noon,
         700,
         {{50, "short\r\n>"}},
         "short\r\n>",
         3001},
        {"long: silent", Collection::Long, noon, 1, {}, "", 3001},
        {"long: silent across midnight", Collection::Long, beforeMidnight, 1, {}, "", 2501},
        {"long: a reply after midnight",
         Collection::Long,
         beforeMidnight,
         1,
         {{1500, "late\r\n>"}},
         "late\r\n>",
         1500},
        {"long: an endless sender",
         Collection::Long,
         noon,
         700,
         {{10, flood}},
         flood.substr(0, kMaxReplyBytes),
         10},
        {"relay: its own prompt dropped",
         Collection::Relay,
         noon,
         1,
         {{10, "\r\n>"}, {60, "\r\nRelay 3 Energized\r\n>"}},
         "\r\nRelay 3 Energized\r\n>",
         1001},
        {"relay: a status after the first second",
         Collection::Relay,
         noon,
         1,
         {{10, "\r\n>"}, {1400, "\r\nRelay 1 Open\r\n>"}},
         "\r\nRelay 1 Open\r\n>",
         1400},
        {"relay: silent", Collection::Relay, noon, 1, {}, "", 2001},
        {"relay: an endless sender",
         Collection::Relay,
         noon,
         1,
         {{10, flood}},
         flood.substr(0, kMaxReplyBytes),
         10},
    };
    for (const Case& c : cases) {
        const Collected got = Collect(c.rule, c.start, c.minPrompt, c.in);
        EXPECT_EQ(got.reply, c.reply) << c.what;
        EXPECT_EQ(got.endMs, c.endMs) << c.what;
    }
}

class ReceiverLink : public ::testing::Test {
  protected:
    void SetUp() override {
        sim.start();
        sim.st().Settings.SerialPort = 2;
        sim.st().Settings.BaudSelect = 1;
    }
    // Runs the loop until done is set (at most 5 s of simulated time).
    template <typename T>
    void runUntil(const std::optional<T>& done) {
        for (int i = 0; !done && i < 500; ++i) sim.loop.advance(10);
        ASSERT_TRUE(done) << "the exchange never ended";
    }
    SimStation sim;
};

TEST_F(ReceiverLink, SendOnlyWritesTheCommandAtOnceAndReportsAFailingPort) {
    std::optional<bool> sent;
    SendReceiverCommand(sim.st(), "ER D 11", [&](bool ok) { sent = ok; });
    EXPECT_EQ(sent, true) << "an idle line takes a send-only command at once";
    EXPECT_EQ(sim.serial.wire, "ER D 11\r");
    EXPECT_EQ(sim.serial.opens, (std::vector<std::pair<int, std::string>>{{2, "9600,N,8,1"}}));
    EXPECT_EQ(sim.serial.openNow, 0);

    sim.st().Settings.BaudSelect = 2;
    sim.st().Settings.SerialPort = 4;
    sim.serial.failOpen(8002, "Invalid port number");
    SendReceiverCommand(sim.st(), "ER D 4", [&](bool ok) { sent = ok; });
    EXPECT_EQ(sent, false);
    EXPECT_EQ(sim.serial.opens.back(), std::make_pair(4, std::string("19200,N,8,1")));
    sim.serial.failOpen(0, "");
    sim.serial.failWrite(8015, "Write refused");
    SendReceiverCommand(sim.st(), "ER D 4");
    EXPECT_EQ(sim.serial.openNow, 0) << "a refused write leaves the port closed";
    EXPECT_EQ(sim.serial.wire, "ER D 11\r");
    EXPECT_EQ(sim.errors.messages,
              (std::vector<std::string>{
                  "8002  Invalid port number.  Check serial port settings in SetUp/Communications.",
                  "8015  Write refused.  Check serial port settings in SetUp/Communications."}));
}

TEST_F(ReceiverLink, APollEndsAtItsPromptOnSimulatedTimeWithoutHoldingTheLoop) {
    sim.serial.arrive("\r\n>");  // left from an earlier command: discarded
    sim.serial.answer("R C", "\r\nline\r\n>", 300);
    std::optional<std::optional<std::string>> reply;
    const auto start = sim.loop.elapsed();
    PollReceiver(ReceiverLinkOf(sim.st()), "R C", [&](const auto& r) { reply = r; });
    EXPECT_FALSE(reply) << "the poll returns before its reply";
    runUntil(reply);
    EXPECT_EQ(*reply, "\r\nline\r\n>");
    EXPECT_EQ(sim.loop.elapsed() - start, 300);
    EXPECT_EQ(sim.serial.discards, 1);
    EXPECT_EQ(sim.serial.openNow, 0);
}

TEST_F(ReceiverLink, AViewsQueryAndTheRelayPanelGoOutOnTheirOwnPortsAndSayWhyAPortFails) {
    sim.serial.answer("ER E 3", "\r\n>", 10);
    sim.serial.answer("R ER", "\r\nRelay 3 Energized\r\n>", 60);
    std::shared_ptr<SerialPort> panel = sim.serial.create(), view = sim.serial.create();
    std::optional<ExchangeResult> relay, status;
    std::string wireAtRelayEnd;
    RelayExchange(ReceiverLinkOf(sim.st()), panel, "ER E 3", "R ER", [&](const ExchangeResult& r) {
        relay = r;
        wireAtRelayEnd = sim.serial.wire;
    });
    QueryReceiverStatus(ReceiverLinkOf(sim.st()), view, "R S", 1,
                        [&](const ExchangeResult& r) { status = r; });
    runUntil(relay);
    EXPECT_EQ(relay->reply, "\r\nRelay 3 Energized\r\n>");
    EXPECT_EQ(wireAtRelayEnd, "ER E 3\rR ER\r") << "the query waits for the panel";
    runUntil(status);
    EXPECT_TRUE(status->ok);
    EXPECT_EQ(status->reply, "") << "a silent receiver";
    EXPECT_FALSE(panel->isOpen() || view->isOpen());

    sim.serial.failOpen(8002, "Invalid port number");
    status.reset();
    QueryReceiverStatus(ReceiverLinkOf(sim.st()), view, "R M", 1,
                        [&](const ExchangeResult& r) { status = r; });
    ASSERT_TRUE(status);
    EXPECT_FALSE(status->ok);
    EXPECT_EQ(status->error.number, 8002);
    EXPECT_TRUE(sim.errors.messages.empty()) << "a view shows its failure itself";
}

TEST_F(ReceiverLink, AGoneWindowsExchangesNeverRunAndNeverCallItBack) {
    std::shared_ptr<SerialPort> running = sim.serial.create(), waiting = sim.serial.create();
    bool called = false;
    const auto never = [&](const ExchangeResult&) { called = true; };
    QueryReceiverStatus(ReceiverLinkOf(sim.st()), running, "R S", 1, never);
    QueryReceiverStatus(ReceiverLinkOf(sim.st()), waiting, "R M", 1, never);
    std::optional<bool> sent;
    SendReceiverCommand(sim.st(), "ER D 1", [&](bool ok) { sent = ok; });
    sim.loop.advance(200);
    CancelReceiverExchanges(ReceiverLinkOf(sim.st()), *waiting);
    CancelReceiverExchanges(ReceiverLinkOf(sim.st()), *running);
    EXPECT_EQ(sent, true) << "the line moves on at once";
    sim.loop.advance(5000);
    EXPECT_FALSE(called);
    EXPECT_EQ(sim.serial.commands, (std::vector<std::string>{"R S", "ER D 1"}));
    EXPECT_EQ(sim.serial.openNow, 0);
}

}  // namespace
}  // namespace quillmar
