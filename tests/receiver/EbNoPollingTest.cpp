// The Eb/No poll: what it sends, what it cuts out of the carrier report, and its log line.
#include <gtest/gtest.h>

#include "core/ReceiverSequences.h"
#include "receiver/EbNoPolling.h"
#include "support/SimStation.h"

namespace quillmar {
namespace {

using testing::SimStation;

// A carrier report whose line after the 11th line feed is `line`.
std::string Report(const std::string& line) {
    std::string text = "\r\n";
    for (int i = 1; i <= 10; ++i) text += "Line " + std::to_string(i) + "\r\n";
    return text + line + "\r\nUptime\r\n>";
}

TEST(ExtractEbNo, TakesTheLastTwentyCharactersOfLineElevenWithoutCrAndBlanks) {
    EXPECT_EQ(ExtractEbNo(Report("Eb/No                   :              10.2 dB")), "10.2 dB");
    EXPECT_EQ(ExtractEbNo(Report("Eb/No                   :   10.2 dB")), ":   10.2 dB");
    EXPECT_EQ(ExtractEbNo(Report("Eb/No: 9.8 dB")), "Eb/No: 9.8 dB");
    EXPECT_EQ(ExtractEbNo(Report("Carrier Eb/No quality 12.25 dB  ")), "quality 12.25 dB")
        << "the CR counts among the twenty";
}

TEST(ExtractEbNo, LinesEndedByLineFeedsAloneWork) {
    std::string text;
    for (int i = 0; i < 11; ++i) text += "x\n";
    EXPECT_EQ(ExtractEbNo(text + "  7.5 dB\nmore\n>"), "7.5 dB");
    EXPECT_EQ(ExtractEbNo(text + "  7.5 dB"), "7.5 dB") << "no line feed after line 11";
}

TEST(ExtractEbNo, FewerThanElevenLinesGiveNothing) {
    EXPECT_EQ(ExtractEbNo(""), "");
    EXPECT_EQ(ExtractEbNo("\r\nonly\r\n>"), "");
    std::string ten;
    for (int i = 0; i < 10; ++i) ten += "x\r\n";
    EXPECT_EQ(ExtractEbNo(ten + "9.9 dB"), "");
    EXPECT_EQ(ExtractEbNo(ten + "\n"), "") << "line 11 exists but is empty";
}

TEST(ExtractEbNo, GarbageDoesNotBreakIt) {
    std::string junk;
    for (int i = 0; i < 300; ++i) junk += static_cast<char>((i * 37) % 256);
    EXPECT_LE(ExtractEbNo(junk).size(), 20u);
    EXPECT_EQ(ExtractEbNo(std::string(11, '\n') + "\r"), "");
}

class EbNoPoll : public ::testing::Test {
  protected:
    void SetUp() override {
        sim.start();
        sim.st().Settings.SerialPort = 3;
    }
    std::string log() {
        const std::string path = "c:\\satfile\\logs\\EB" + DayKey(sim.clock.now().date) + ".log";
        return sim.exists(path) ? sim.read(path) : "";
    }
    // The poll's value once it ends on simulated time.
    std::optional<std::string> poll() {
        std::optional<std::optional<std::string>> got;
        PollReceiverEbNo(sim.st(), [&](const std::optional<std::string>& ebno) { got = ebno; });
        for (int i = 0; !got && i < 400; ++i) sim.loop.advance(10);
        EXPECT_TRUE(got) << "the poll never ended";
        return got.value_or(std::nullopt);
    }
    SimStation sim{DateTime::from(2002, 3, 16, 10, 45, 12, 100)};
};

TEST_F(EbNoPoll, SendsTheCarrierCommandAndLogsTheTimeAfterTheReply) {
    sim.serial.answer("R C", Report("Eb/No          :              10.2 dB"), 900);
    EXPECT_EQ(poll(), "10.2 dB");
    EXPECT_EQ(sim.serial.wire, "R C\r");
    EXPECT_TRUE(sim.st().tick.EbNoPolledFlag);
    EXPECT_EQ(log(), "10:45:13  10.2 dB\r\n");
    EXPECT_TRUE(sim.exists("c:\\satfile\\logs\\EB020316.log"));
    EXPECT_EQ(sim.serial.openNow, 0);
}

TEST_F(EbNoPoll, EachPollAddsOneLine) {
    sim.serial.answer("R C", Report("9.1 dB"), 10);
    poll();
    sim.clock.advance(60'000);
    poll();
    EXPECT_EQ(log(), "10:45:12  9.1 dB\r\n10:46:12  9.1 dB\r\n");
}

TEST_F(EbNoPoll, AShortReplyLogsTheTimeAndTwoBlanks) {
    sim.serial.answer("R C", "\r\nCARRIER\r\n>", 10);
    EXPECT_EQ(poll(), "");
    EXPECT_EQ(log(), "10:45:12  \r\n");
}

TEST_F(EbNoPoll, ASilentReceiverLogsAnEmptyValueAfterTheShortTimeOut) {
    poll();
    EXPECT_EQ(log(), "10:45:13  \r\n");
    EXPECT_TRUE(sim.errors.messages.empty()) << "no answer is not an error";
}

TEST_F(EbNoPoll, APortFailureIsShownWritesNoLineAndIsNotRepeatedWithinTheSecond) {
    sim.serial.failOpen(8005, "Port already open");
    EXPECT_EQ(poll(), std::nullopt) << "an old value must not pass for a new one";
    EXPECT_EQ(log(), "");
    EXPECT_TRUE(sim.st().tick.EbNoPolledFlag);
    ASSERT_EQ(sim.errors.messages.size(), 1u);
    EXPECT_EQ(sim.errors.messages[0],
              "8005  Port already open.  Check serial port settings in SetUp/Communications.");
}

TEST_F(EbNoPoll, TheClockTickPollsOnceAtEachMomentAndLogsEveryPoll) {
    // Rate 4 at hh:45:12, with the receiver answering; the tick runs twenty times a second.
    sim.serial.answer("R C", Report("Eb/No :               8.8 dB"), 200);
    sim.st().Settings.EbNoLogRate = 4;
    sim.clock.set(DateTime::from(2002, 3, 16, 10, 45, 10));
    sim.loop.advance(10'000);
    EXPECT_EQ(sim.serial.commands, std::vector<std::string>{"R C"});
    EXPECT_EQ(log(), "10:45:12  8.8 dB\r\n");
}

}  // namespace
}  // namespace quillmar
