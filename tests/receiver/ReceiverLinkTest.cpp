// The serial exchanges: what reaches the wire, when each collection stops, and how failures
// reach the operator.
#include <gtest/gtest.h>

#include "core/ReceiverSequences.h"
#include "receiver/ReceiverLink.h"
#include "support/SimStation.h"

namespace quillmar {
namespace {

using testing::SimStation;

class ReceiverLink : public ::testing::Test {
  protected:
    void SetUp() override {
        sim.start();
        sim.st().Settings.SerialPort = 2;
        sim.st().Settings.BaudSelect = 1;
    }
    std::int64_t elapsedSince(std::int64_t startMs) const { return sim.loop.elapsed() - startMs; }
    std::optional<std::string> poll() { return PollReceiver(ReceiverLinkOf(sim.st()), "R C"); }
    SimStation sim;
};

TEST_F(ReceiverLink, SendOnlyWritesTheCommandAndOneCarriageReturnAndCloses) {
    EXPECT_TRUE(SendReceiverCommand(sim.st(), "ER D 11"));
    EXPECT_EQ(sim.serial.wire, "ER D 11\r");
    ASSERT_EQ(sim.serial.opens.size(), 1u);
    EXPECT_EQ(sim.serial.opens[0].first, 2);
    EXPECT_EQ(sim.serial.opens[0].second, "9600,N,8,1");
    EXPECT_EQ(sim.serial.openNow, 0);
    EXPECT_EQ(sim.serial.waitedMs, 0) << "a send-only exchange waits for nothing";
    EXPECT_TRUE(sim.errors.messages.empty());
}

TEST_F(ReceiverLink, TheSecondRateAndAChangedPortTakeEffectOnTheNextExchange) {
    sim.st().Settings.BaudSelect = 2;
    sim.st().Settings.SerialPort = 4;
    SendReceiverCommand(sim.st(), "R M");
    ASSERT_EQ(sim.serial.opens.size(), 1u);
    EXPECT_EQ(sim.serial.opens[0], std::make_pair(4, std::string("19200,N,8,1")));
}

TEST_F(ReceiverLink, APortThatCannotOpenIsReportedWithItsNumberAndDescription) {
    sim.serial.failOpen(8002, "Invalid port number");
    EXPECT_FALSE(SendReceiverCommand(sim.st(), "ER D 4"));
    EXPECT_EQ(sim.serial.wire, "");
    ASSERT_EQ(sim.errors.messages.size(), 1u);
    EXPECT_EQ(sim.errors.messages[0],
              "8002  Invalid port number.  Check serial port settings in SetUp/Communications.");
}

TEST_F(ReceiverLink, ARefusedWriteIsReportedAndThePortIsClosedForTheNextExchange) {
    sim.serial.failWrite(8015, "Write refused");
    EXPECT_FALSE(SendReceiverCommand(sim.st(), "ER D 4"));
    EXPECT_EQ(sim.serial.openNow, 0);
    sim.serial.failWrite(0, "");
    EXPECT_TRUE(SendReceiverCommand(sim.st(), "ER D 4"));
    EXPECT_EQ(sim.serial.wire, "ER D 4\r");
    EXPECT_EQ(sim.errors.messages.size(), 1u);
}

TEST_F(ReceiverLink, ThePollStopsAtThePrompt) {
    sim.serial.answer("R C", "\r\nline\r\n>", 300);
    const auto start = sim.loop.elapsed();
    EXPECT_EQ(poll(), "\r\nline\r\n>");
    EXPECT_EQ(elapsedSince(start), 300);
    EXPECT_EQ(sim.serial.wire, "R C\r");
    EXPECT_EQ(sim.serial.openNow, 0);
}

TEST_F(ReceiverLink, ThePollIgnoresAPromptLeftFromAnEarlierCommand) {
    sim.serial.arrive("\r\n>");
    sim.serial.answer("R C", "report\r\n>", 100);
    EXPECT_EQ(poll(), "report\r\n>");
}

TEST_F(ReceiverLink, ASilentReceiverEndsThePollWithinHalfToOneAndAHalfSeconds) {
    for (int startMs : {0, 400, 600, 999}) {
        sim.clock.set(DateTime::from(2026, 12, 5, 10, 0, 0, startMs));
        const auto start = sim.loop.elapsed();
        EXPECT_EQ(poll(), "");
        EXPECT_GE(elapsedSince(start), 500) << startMs;
        EXPECT_LE(elapsedSince(start), 1520) << startMs;
    }
}

TEST_F(ReceiverLink, ALateAcknowledgementOfAnEarlierCommandDoesNotEndTheQuery) {
    // The prompt of a send-only command arrives just after the query discarded its input.
    sim.serial.peer = [&](const std::string& c) -> std::optional<SimSerialPorts::Reply> {
        if (c != "R M") return std::nullopt;
        sim.serial.arrive("\r\n>", 5);
        return SimSerialPorts::Reply{"\r\nMPEG STATUS\r\n>", 50};
    };
    auto port = sim.serial.create();
    std::string reply;
    SerialError error;
    QueryReceiverStatus(sim.clock, sim.st().Settings, *port, "R M", 1, &reply, &error);
    EXPECT_EQ(reply, "\r\nMPEG STATUS\r\n>");
}

TEST_F(ReceiverLink, AReplyThatIsOnlyAPromptEndsThePollAndTheQueryAtOnce) {
    for (const std::string answer : {">", "OK>"}) {
        sim.serial.answer("R C", answer, 100);
        sim.serial.answer("R M", answer, 100);
        auto start = sim.loop.elapsed();
        EXPECT_EQ(poll(), answer);
        EXPECT_EQ(elapsedSince(start), 100) << answer;
        auto port = sim.serial.create();
        std::string reply;
        SerialError error;
        start = sim.loop.elapsed();
        QueryReceiverStatus(sim.clock, sim.st().Settings, *port, "R M", 1, &reply, &error);
        EXPECT_EQ(reply, answer);
        EXPECT_EQ(elapsedSince(start), 100) << answer;
    }
}

TEST_F(ReceiverLink, ALateReplyToThePollIsTakenAsFarAsItArrived) {
    sim.serial.answer("R C", "partial", 200);
    EXPECT_EQ(poll(), "partial");
}

std::string CarrierReport(std::size_t earlyPromptAt, std::size_t length) {
    std::string text(length - 1, 'c');
    text[earlyPromptAt - 1] = '>';
    return text + ">";
}

TEST_F(ReceiverLink, TheCarrierReportIgnoresAPromptBeforePosition700) {
    const std::string report = CarrierReport(120, 900);
    sim.serial.peer = [&](const std::string& c) -> std::optional<SimSerialPorts::Reply> {
        if (c != "RT C") return std::nullopt;
        sim.serial.arrive(report.substr(400), 800);
        return SimSerialPorts::Reply{report.substr(0, 400), 100};
    };
    auto port = sim.serial.create();
    std::string reply;
    SerialError error;
    const auto start = sim.loop.elapsed();
    EXPECT_TRUE(QueryReceiverStatus(sim.clock, sim.st().Settings, *port, "RT C",
                                    StatusPromptPosition("RT C"), &reply, &error));
    EXPECT_EQ(reply, report);
    EXPECT_EQ(elapsedSince(start), 800);
}

TEST_F(ReceiverLink, APromptExactlyAtPosition700EndsTheCarrierReport) {
    std::string report(699, 'c');
    report += ">";
    sim.serial.answer("RT C", report, 50);
    auto port = sim.serial.create();
    std::string reply;
    SerialError error;
    const auto start = sim.loop.elapsed();
    QueryReceiverStatus(sim.clock, sim.st().Settings, *port, "RT C", 700, &reply, &error);
    EXPECT_EQ(reply, report);
    EXPECT_EQ(elapsedSince(start), 50);
}

TEST_F(ReceiverLink, AShortCarrierReportIsShownAfterTheTimeOut) {
    sim.serial.answer("RT C", "short report\r\n>", 50);
    auto port = sim.serial.create();
    std::string reply;
    SerialError error;
    const auto start = sim.loop.elapsed();
    QueryReceiverStatus(sim.clock, sim.st().Settings, *port, "RT C", 700, &reply, &error);
    EXPECT_EQ(reply, "short report\r\n>");
    EXPECT_GE(elapsedSince(start), 2500);
    EXPECT_LE(elapsedSince(start), 3520);
}

TEST_F(ReceiverLink, OtherStatusCommandsStopAtAnyPrompt) {
    EXPECT_EQ(StatusPromptPosition("R M"), 1u);
    EXPECT_EQ(StatusPromptPosition("RT C"), 700u);
    sim.serial.answer("R M", "mpeg\r\n>", 120);
    auto port = sim.serial.create();
    std::string reply;
    SerialError error;
    QueryReceiverStatus(sim.clock, sim.st().Settings, *port, "R M", 1, &reply, &error);
    EXPECT_EQ(reply, "mpeg\r\n>");
    EXPECT_EQ(sim.serial.discards, 1) << "the status query discards what was waiting";
}

TEST_F(ReceiverLink, ASilentReceiverLeavesTheStatusEmptyAfterAboutThreeSeconds) {
    auto port = sim.serial.create();
    std::string reply;
    SerialError error;
    const auto start = sim.loop.elapsed();
    EXPECT_TRUE(QueryReceiverStatus(sim.clock, sim.st().Settings, *port, "R S", 1, &reply, &error));
    EXPECT_EQ(reply, "");
    EXPECT_GE(elapsedSince(start), 2500);
    EXPECT_LE(elapsedSince(start), 3520);
    EXPECT_FALSE(port->isOpen());
}

TEST_F(ReceiverLink, AStatusQueryStartedHalfASecondBeforeMidnightStillLastsAboutThreeSeconds) {
    sim.clock.set(DateTime::from(2026, 12, 5, 23, 59, 59, 500));
    auto port = sim.serial.create();
    std::string reply;
    SerialError error;
    const auto start = sim.loop.elapsed();
    QueryReceiverStatus(sim.clock, sim.st().Settings, *port, "R M", 1, &reply, &error);
    EXPECT_GE(elapsedSince(start), 2500);
    EXPECT_LE(elapsedSince(start), 3520);
    EXPECT_EQ(sim.clock.now().date, (Date{2026, 12, 6}));
}

TEST_F(ReceiverLink, AReplyAfterMidnightStillEndsTheQueryAtItsPrompt) {
    sim.clock.set(DateTime::from(2026, 12, 5, 23, 59, 59, 500));
    sim.serial.answer("R M", "late\r\n>", 1500);
    auto port = sim.serial.create();
    std::string reply;
    SerialError error;
    QueryReceiverStatus(sim.clock, sim.st().Settings, *port, "R M", 1, &reply, &error);
    EXPECT_EQ(reply, "late\r\n>");
}

TEST_F(ReceiverLink, AStatusQueryOnAPortThatCannotOpenSaysWhyAndShowsNothing) {
    sim.serial.failOpen(8002, "Invalid port number");
    auto port = sim.serial.create();
    std::string reply;
    SerialError error;
    EXPECT_FALSE(
        QueryReceiverStatus(sim.clock, sim.st().Settings, *port, "R M", 1, &reply, &error));
    EXPECT_EQ(error.number, 8002);
    EXPECT_TRUE(sim.errors.messages.empty());
}

TEST_F(ReceiverLink, AnEndlessSenderIsCappedAndCannotHoldTheLoop) {
    sim.serial.flood(4096);
    auto port = sim.serial.create();
    std::string reply;
    SerialError error;
    const auto start = sim.loop.elapsed();
    QueryReceiverStatus(sim.clock, sim.st().Settings, *port, "RT C", 700, &reply, &error);
    EXPECT_EQ(reply.size(), kMaxReplyBytes);
    EXPECT_LE(elapsedSince(start), 3520);
    const std::optional<std::string> polled = poll();
    ASSERT_TRUE(polled);
    EXPECT_LE(polled->size(), kMaxReplyBytes);
}

TEST_F(ReceiverLink, TheRelayExchangeDropsThePreviousPromptAndReadsTheNewStatus) {
    sim.serial.answer("ER E 3", "\r\n>", 10);
    sim.serial.answer("R ER", "\r\nRelay 3 Energized\r\n>", 60);
    auto port = sim.serial.create();
    std::string reply;
    SerialError error;
    const auto start = sim.loop.elapsed();
    EXPECT_TRUE(
        RelayExchange(sim.clock, sim.st().Settings, *port, "ER E 3", "R ER", &reply, &error));
    EXPECT_EQ(sim.serial.wire, "ER E 3\rR ER\r");
    EXPECT_EQ(reply, "\r\nRelay 3 Energized\r\n>");
    EXPECT_GE(elapsedSince(start), 500) << "the panel waits about a second first";
    EXPECT_LE(elapsedSince(start), 1520);
    EXPECT_FALSE(port->isOpen());
}

TEST_F(ReceiverLink, ASilentReceiverEndsTheRelayExchangeAboutTwoSecondsFromItsStartSecond) {
    auto port = sim.serial.create();
    std::string reply;
    SerialError error;
    const auto start = sim.loop.elapsed();
    RelayExchange(sim.clock, sim.st().Settings, *port, "RE O 1", "R R", &reply, &error);
    EXPECT_EQ(reply, "");
    EXPECT_GE(elapsedSince(start), 1500);
    EXPECT_LE(elapsedSince(start), 2520);
}

}  // namespace
}  // namespace quillmar
