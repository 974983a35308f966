#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "core/ReceiverSequences.h"
#include "receiver/ReceiverStatus.h"
#include "support/SimStation.h"

using namespace quillmar;

namespace {

struct ReceiverStatusTest : ::testing::Test {
    ReceiverStatusTest() {
        s.start();
        s.st().Settings.SerialPort = 1;
    }
    StatusShown keep() {
        return [this](const std::string& text) { shown.push_back(text); };
    }
    quillmar::testing::SimStation s;
    std::shared_ptr<SerialPort> port = s.serial.create();
    std::vector<std::string> shown;
};

TEST_F(ReceiverStatusTest, ARefreshWaitsForALatePromptWhereOpeningDoesNot) {
    const std::string settings = "\r\nSETTINGS\r\n>";
    s.serial.answer("R S", settings, 50);
    FetchReceiverStatus(ReceiverLinkOf(s.st()), port, "R S", false, keep());
    s.loop.advance(50);
    FetchReceiverStatus(ReceiverLinkOf(s.st()), port, "R S", true, keep());
    s.loop.advance(2400);
    EXPECT_EQ(shown, std::vector<std::string>{settings});
    s.loop.advance(1200);
    EXPECT_EQ(shown, (std::vector<std::string>{settings, settings}));
}

TEST_F(ReceiverStatusTest, APortThatCannotBeOpenedIsShownInTheViewNotTheErrorWindow) {
    s.serial.failOpen(8002, "Invalid port number");
    FetchReceiverStatus(ReceiverLinkOf(s.st()), port, "RT C", false, keep());
    FetchRelayStatus(ReceiverLinkOf(s.st()), port, "R ER", keep());
    PressRelayButton(ReceiverLinkOf(s.st()), port, "R ER", 0, keep());
    s.loop.advance(100);
    EXPECT_EQ(shown, std::vector<std::string>(
                         3,
                         "The receiver port cannot be used: 8002  Invalid port number.  "
                         "Check serial port settings in SetUp/Communications."));
    EXPECT_TRUE(s.errors.messages.empty());
}

TEST_F(ReceiverStatusTest, TheReportIsSavedAnewOrSaysWhyNot) {
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

}  // namespace
