// The real program with a file as its I/O port, a simulated receiver and a fake mail program:
// a loss of signal held on the Alarm input for more than a minute is mailed, and so is its end.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>
#include <vector>

#include "export/AddressBook.h"

namespace fs = std::filesystem;
using namespace quillmar;
using namespace std::chrono_literals;

namespace {

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const fs::path& p, const std::string& bytes) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
}

// Starts a program with extra environment; returns its process id.
pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env,
            const fs::path& output) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        for (const auto& e : env) ::putenv(const_cast<char*>(e.c_str()));
        const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd >= 0) {
            ::dup2(fd, 1);
            ::dup2(fd, 2);
        }
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

void Stop(pid_t pid) {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 50; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid) return;
        std::this_thread::sleep_for(100ms);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

// The messages the fake mail program stored, oldest first.
std::vector<fs::path> Messages(const fs::path& outbox) {
    std::vector<fs::path> out;
    if (!fs::exists(outbox)) return out;
    for (const auto& e : fs::directory_iterator(outbox))
        if (e.path().extension() == ".msg") out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}

bool WaitFor(const std::function<bool()>& done, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(200ms);
    }
    return done();
}

void SetPortByte(const fs::path& device, long address, unsigned char value) {
    const int fd = ::open(device.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, &value, 1, address), 1);
    ::close(fd);
}

std::string Settings() {
    std::string records(21 * 2, '\0');
    auto put = [&](int record, int value) { records[(record - 1) * 2] = static_cast<char>(value); };
    put(10, 1);  // activity log on
    put(11, 2);  // Prairie Digital card
    put(13, 1);  // receiver on serial port 1
    return records;
}

AddressEntry Person(const std::string& address, char mode) {
    AddressEntry e;
    e.InUse = '1';
    e.SendMode = mode;
    e.Name = "Person";
    e.Address = address;
    return e;
}

}  // namespace

TEST(AlarmMailEndToEnd, ALossHeldOverAMinuteIsMailedAndSoIsItsEnd) {
    const fs::path bin = QUILLMAR_BINARY_DIR;
    const fs::path quillmar = bin / "quillmar";
    fs::path receiverSim = bin / "quillmar-receiver-sim";
    if (!fs::exists(receiverSim)) receiverSim = bin / "tools/receiver-sim/quillmar-receiver-sim";
    ASSERT_TRUE(fs::exists(quillmar));
    ASSERT_TRUE(fs::exists(receiverSim)) << receiverSim;

    char pattern[] = "/tmp/quillmar-alarm-e2e-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const fs::path home = pattern;
    const fs::path root = home / "quillmar";
    const fs::path satfile = root / "drives/c/satfile";
    const fs::path outbox = home / "outbox";
    fs::create_directories(outbox);
    fs::create_directories(home / "runtime");
    fs::permissions(home / "runtime", fs::perms::owner_all);

    // Given settings for the card, an address book of one "Always" and one "Never" entry,
    WriteAll(satfile / "MyComp.ini", Settings());
    WriteAll(satfile / "User.dat", "KQMR\r\nstation\r\nsecret\r\n");
    WriteAll(satfile / "AddressBook.dat",
             FormatAddressEntry(Person("ops@example.org", '1')) +
                 FormatAddressEntry(Person("nobody@example.org", '0')));
    // a plain file standing in for the I/O ports, all inputs idle,
    const fs::path ioport = root / "devices/ioport";
    WriteAll(ioport, std::string(0x300, '\0'));
    // a mail program that keeps what it is given,
    const fs::path sendmail = root / "devices/sendmail";
    WriteAll(sendmail,
             "#!/bin/sh\n"
             "n=$(date +%s%N)\n"
             "printf '%s\\n' \"$@\" > \"" +
                 outbox.string() +
                 "/$n.args\"\n"
                 "cat > \"" +
                 outbox.string() +
                 "/$n.tmp\"\n"
                 "mv \"" +
                 outbox.string() + "/$n.tmp\" \"" + outbox.string() + "/$n.msg\"\n");
    fs::permissions(sendmail, fs::perms::owner_all);
    // and a receiver reporting an Eb/No of 7.4 dB
    const std::vector<std::string> env = {"XDG_DATA_HOME=" + home.string(),
                                          "XDG_RUNTIME_DIR=" + (home / "runtime").string(),
                                          "QT_QPA_PLATFORM=offscreen", "JACK_NO_START_SERVER=1"};
    const pid_t receiver = Spawn(
        {receiverSim.string(), "--link", (root / "devices/com1").string(), "--ebno", "7.4 dB"}, env,
        home / "receiver.out");
    ASSERT_TRUE(WaitFor([&] { return fs::is_symlink(root / "devices/com1"); }, 10s));
    const pid_t station = Spawn({quillmar.string()}, env, home / "quillmar.out");
    const fs::path activity = satfile / "logs";
    const auto activityLog = [&] {
        std::string all;
        if (fs::exists(activity))
            for (const auto& e : fs::directory_iterator(activity))
                if (e.path().filename().string().rfind("AL", 0) == 0) all += ReadAll(e.path());
        return all;
    };
    // The start-up resets the card's outputs after setting its ports up.
    EXPECT_TRUE(WaitFor([&] { return ReadAll(ioport)[0x287] == '\x8A'; }, 20s));

    // When the Alarm input comes on and stays on
    SetPortByte(ioport, 0x285, 0x10);
    EXPECT_TRUE(
        WaitFor([&] { return activityLog().find("  Alarm\r\n") != std::string::npos; }, 10s))
        << activityLog();
    // then after more than a minute one alarm mail goes to the "Always" address
    ASSERT_TRUE(WaitFor([&] { return !Messages(outbox).empty(); }, 90s))
        << ReadAll(home / "quillmar.out");
    std::this_thread::sleep_for(2s);
    auto messages = Messages(outbox);
    ASSERT_EQ(messages.size(), 1u);
    std::string text = ReadAll(messages[0]);
    EXPECT_NE(text.find("To: ops@example.org\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Subject: KQMR Quillmar Alarm\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n\r\nUnity 4K Receiver Loss of Signal\r\n"), std::string::npos) << text;
    fs::path args = messages[0];
    args.replace_extension(".args");
    EXPECT_EQ(ReadAll(args), "-i\n--\nops@example.org\n");

    // When the signal returns, the end is mailed with the Eb/No polled then
    SetPortByte(ioport, 0x285, 0x00);
    ASSERT_TRUE(WaitFor([&] { return Messages(outbox).size() >= 2; }, 20s))
        << ReadAll(home / "quillmar.out");
    messages = Messages(outbox);
    text = ReadAll(messages[1]);
    EXPECT_NE(text.find("To: ops@example.org\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Subject: KQMR Quillmar Alarm End\r\n"), std::string::npos) << text;
    const auto body = text.find("\r\n\r\nEbNo: ");
    ASSERT_NE(body, std::string::npos) << text;
    EXPECT_NE(text.find("7.4 dB", body), std::string::npos) << text;

    Stop(station);
    Stop(receiver);
    EXPECT_EQ(Messages(outbox).size(), 2u);
    std::error_code ignored;
    fs::remove_all(home, ignored);
}
