// The Eb/No poll: what it cuts out of the carrier report, its log line, and the figure the
// signal history reads back from that line.
#include <gtest/gtest.h>

#include <cmath>

#include "core/ReceiverSequences.h"
#include "logs/SignalHistory.h"
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
}

// The signal history's reading of a logged figure: the unit in either case, nothing after it.
TEST(ParseEbNoText, TakesTheFigureBeforeAnyUnitAndNothingElse) {
    const std::pair<const char*, double> cases[] = {
        {"+3 db", 3.0}, {"7.5DB", 7.5}, {"x-0.5dB", -0.5}, {"10.2 dBm", NAN}, {"-", NAN}};
    for (const auto& [text, value] : cases)  // to_string so that NaN equals NaN
        EXPECT_EQ(std::to_string(ParseEbNoText(text)), std::to_string(value)) << text;
}

TEST(EbNoPoll, SendsTheCarrierCommandAndLogsTheTimeAfterTheReplyOrNothingWhenThePortFails) {
    const std::string report = Report("Eb/No          :              10.2 dB");
    using Lines = std::vector<std::string>;
    // The reply (none: the port fails), the value, log, errors.
    const std::tuple<const char*, std::optional<std::string>, Lines, Lines> cases[] = {
        {report.c_str(), "10.2 dB", {"10:45:13  10.2 dB"}, {}},
        {nullptr,
         std::nullopt,
         {},
         {"8005  Port already open.  Check serial port settings in SetUp/Communications."}}};
    for (const auto& [reply, ebno, log, errors] : cases) {
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

}  // namespace
}  // namespace quillmar
