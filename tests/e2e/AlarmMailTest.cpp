// The real program with a file as its I/O port, a simulated receiver and a fake mail program.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>

#include "export/AddressBook.h"
#include "support/RealStation.h"

namespace fs = std::filesystem;
using namespace quillmar;
using namespace std::chrono_literals;

namespace {

using namespace quillmar::testing;

// The messages the fake mail program stored, oldest first.
std::vector<fs::path> Messages(const fs::path& outbox) {
    std::vector<fs::path> out;
    for (const auto& e : fs::directory_iterator(outbox))
        if (e.path().extension() == ".msg") out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

TEST(AlarmMailEndToEnd, ALossHeldOverAMinuteIsMailedAndSoIsItsEnd) {
    RealStation s(QUILLMAR_BINARY_DIR, "alarm-e2e");
    const fs::path outbox = s.home / "outbox";
    fs::create_directories(outbox);

    // Given an address book of one "Always" and one "Never" entry, a port file with all inputs
    // idle, a mail program that keeps what it is given and a receiver reporting 7.4 dB,
    WriteAll(s.satfile / "MyComp.ini",
             SettingsFile({{Rec::ActivityLog, 1}, {Rec::RemoteControl, 2}, {Rec::SerialPort, 1}}));
    WriteAll(s.satfile / "User.dat", "KQMR\r\nstation\r\nsecret\r\n");
    const AddressEntry always{
        .InUse = '1', .SendMode = kSendAlways, .Name = "", .Address = "ops@example.org"},
        never{.InUse = '1', .SendMode = kSendNever, .Name = "", .Address = "nobody@example.org"};
    WriteAll(s.satfile / "AddressBook.dat", FormatAddressEntry(always) + FormatAddressEntry(never));
    const fs::path ioport = s.makePortFile();
    const fs::path sendmail = s.root / "devices/sendmail";
    WriteAll(sendmail, "#!/bin/sh\nn=\"" + outbox.string() +
                           "/$(date +%s%N)\"\ncat > \"$n.tmp\"\nmv \"$n.tmp\" \"$n.msg\"\n");
    fs::permissions(sendmail, fs::perms::owner_all);
    s.startReceiver({"--ebno", "7.4 dB"});
    const pid_t station = s.startStation();
    // The start-up resets the card's outputs after setting its ports up.
    EXPECT_TRUE(WaitFor([&] { return ReadAll(ioport)[0x287] == '\x8A'; }, 20s));

    // When the Alarm input comes on and stays on
    RealStation::SetPortByte(ioport, 0x285, 0x10);
    EXPECT_TRUE(
        WaitFor([&] { return s.activityLog().find("  Alarm\r\n") != std::string::npos; }, 10s))
        << s.activityLog();
    // then after more than a minute one alarm mail goes to the "Always" address
    ASSERT_TRUE(WaitFor([&] { return !Messages(outbox).empty(); }, 90s)) << s.output();
    std::string text = ReadAll(Messages(outbox)[0]);
    EXPECT_NE(text.find("To: ops@example.org\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Subject: KQMR Quillmar Alarm\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n\r\nUnity 4K Receiver Loss of Signal\r\n"), std::string::npos) << text;

    // When the signal returns, the end is mailed with the Eb/No polled then
    RealStation::SetPortByte(ioport, 0x285, 0x00);
    ASSERT_TRUE(WaitFor([&] { return Messages(outbox).size() >= 2; }, 20s)) << s.output();
    text = ReadAll(Messages(outbox)[1]);
    EXPECT_NE(text.find("Subject: KQMR Quillmar Alarm End\r\n"), std::string::npos) << text;
    const auto body = text.find("\r\n\r\nEbNo: ");
    ASSERT_NE(body, std::string::npos) << text;
    EXPECT_NE(text.find("7.4 dB", body), std::string::npos) << text;

    EXPECT_EQ(s.stop(station, SIGTERM), 0);
    EXPECT_EQ(Messages(outbox).size(), 2u);
}
