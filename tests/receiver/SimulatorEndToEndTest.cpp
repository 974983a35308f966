// The host serial code against quillmar-receiver-sim on a pseudo-terminal, in real time: the
// station's simulated loop is run in step with the wall clock and Qt's events.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "core/ReceiverSequences.h"
#include "platform/host/QtSerialPort.h"
#include "receiver/EbNoPolling.h"
#include "receiver/ReceiverCommands.h"
#include "receiver/ReceiverLink.h"
#include "support/SimStation.h"

extern char** environ;

namespace quillmar {
namespace {

namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;

std::string SimulatorPath() {
    return (fs::read_symlink("/proc/self/exe").parent_path().parent_path() /
            "quillmar-receiver-sim")
        .string();
}

class ReceiverSimulator : public ::testing::Test {
  protected:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test_receiver";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance()) app_ = std::make_unique<QCoreApplication>(argc, argv);
        if (!fs::exists(SimulatorPath())) GTEST_SKIP() << "no simulator at " << SimulatorPath();
        char pattern[] = "/tmp/quillmar-recv-e2e-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
        fs::create_directories(root_ + "/devices");
        hostPorts_ = std::make_unique<QtSerialPorts>(root_);
        sim.start();
        sim.st().Settings.SerialPort = 1;
        sim.st().Settings.BaudSelect = 1;
        sim.st().Settings.ActivityLog = 1;
        sim.st().receiver.ReceiverPort = port();
    }
    void TearDown() override {
        stopSimulator();
        sim.st().receiver.ReceiverPort.reset();
        if (!root_.empty()) fs::remove_all(root_);
    }

    std::shared_ptr<SerialPort> port() { return hostPorts_->create(); }
    // Runs Qt's events (the port's ready-read) and the station's loop in step with real time
    // until done is set, at most 8 s.
    template <typename T>
    void runUntil(const std::optional<T>& done) {
        auto last = Steady::now();
        const auto end = last + std::chrono::seconds(8);
        while (!done && Steady::now() < end) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            const auto ms =
                std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - last);
            sim.loop.advance(ms.count());
            last += ms;
        }
        ASSERT_TRUE(done) << "the exchange never ended";
    }
    std::optional<std::string> pollEbNo() {
        std::optional<std::optional<std::string>> ebno;
        PollReceiverEbNo(sim.st(), [&](const std::optional<std::string>& e) { ebno = e; });
        runUntil(ebno);
        return ebno.value_or(std::nullopt);
    }
    ExchangeResult query(const std::string& command, std::size_t prompt = 1) {
        std::optional<ExchangeResult> r;
        QueryReceiverStatus(ReceiverLinkOf(sim.st()), port(), command, prompt,
                            [&](const ExchangeResult& got) { r = got; });
        runUntil(r);
        return r.value_or(ExchangeResult{});
    }
    void startSimulator(std::vector<std::string> options = {}) {
        std::vector<std::string> args = {SimulatorPath(), "--link", root_ + "/devices/com1",
                                         "--log", root_ + "/commands.log"};
        args.insert(args.end(), options.begin(), options.end());
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        ASSERT_EQ(posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        const auto deadline = Steady::now() + std::chrono::seconds(10);
        while (!fs::is_symlink(root_ + "/devices/com1") && Steady::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_TRUE(fs::is_symlink(root_ + "/devices/com1"));
    }
    void stopSimulator() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }
    // The commands the simulator logged, waiting up to 5 s for `count` of them.
    std::vector<std::string> loggedCommands(std::size_t count) {
        std::vector<std::string> out;
        const auto deadline = Steady::now() + std::chrono::seconds(5);
        do {
            out.clear();
            std::ifstream in(root_ + "/commands.log");
            for (std::string line; std::getline(in, line);)
                out.push_back(line.substr(line.find('\t') + 1));
            if (out.size() >= count) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        } while (Steady::now() < deadline);
        return out;
    }
    static double secondsSince(Steady::time_point t) {
        return std::chrono::duration<double>(Steady::now() - t).count();
    }

    testing::SimStation sim;
    std::string root_;
    std::unique_ptr<QtSerialPorts> hostPorts_;
    std::unique_ptr<QCoreApplication> app_;
    pid_t pid_ = -1;
};

TEST_F(ReceiverSimulator, ARecordCueAndItsRelayResetArriveByteForByte) {
    startSimulator();
    ScheduleFields f;
    f.UnityPort = "1";
    f.Route = ScheduleRoute::Stereo;
    f.SourceCode = "EN";
    f.Attenuation = "3";
    std::optional<bool> sent;
    SendReceiverCommand(sim.st(), RecordCueCommand(f), [&](bool ok) { sent = ok; });
    EXPECT_EQ(sent, true);
    ResetExpansionRelays(sim.st(), "1", true);
    EXPECT_EQ(loggedCommands(3),
              (std::vector<std::string>{"SETAUDIO 1 S EN  3  ", "ER D 11", "ER D 14"}));
    EXPECT_TRUE(sim.errors.messages.empty());
}

TEST_F(ReceiverSimulator, TheCarrierReportsAreCollected) {
    startSimulator({"--ebno", "11.7 dB"});
    EXPECT_EQ(pollEbNo(), "11.7 dB");
    const ExchangeResult r = query("RT C", StatusPromptPosition("RT C"));
    ASSERT_TRUE(r.ok) << r.error.description;
    const std::string& reply = r.reply;
    EXPECT_GT(reply.size(), 700u);
    EXPECT_LT(reply.find('>'), 700u) << "the long report carries an early prompt character";
    EXPECT_EQ(reply.back(), '>');
    EXPECT_TRUE(sim.errors.messages.empty());
}

TEST_F(ReceiverSimulator, RoutingAndRelaysAreKeptAndReported) {
    startSimulator();
    SendReceiverCommand(sim.st(), SetReceiverCommand(1, 2, "ABC", " 3"));
    const std::string routes = query("R M").reply;
    EXPECT_NE(routes.find("2     Stereo   ABC      3"), std::string::npos) << routes;
    std::optional<ExchangeResult> relay;
    RelayExchange(ReceiverLinkOf(sim.st()), port(), "ER E 3", "R ER",
                  [&](const ExchangeResult& r) { relay = r; });
    runUntil(relay);
    ASSERT_TRUE(relay->ok);
    const std::string& reply = relay->reply;
    EXPECT_NE(reply.find("Relay  3 : Energized"), std::string::npos) << reply;
    EXPECT_EQ(reply.find('>'), reply.size() - 1) << "the relay command's prompt was dropped";
}

TEST_F(ReceiverSimulator, ASilentReceiverIsGivenUpOnAfterTheTimeOuts) {
    startSimulator({"--silent"});
    auto start = Steady::now();
    std::optional<std::optional<std::string>> polled;
    PollReceiver(ReceiverLinkOf(sim.st()), "R C", [&](const auto& r) { polled = r; });
    runUntil(polled);
    EXPECT_EQ(*polled, "");
    const double poll = secondsSince(start);
    EXPECT_GE(poll, 0.4);
    EXPECT_LE(poll, 2.5);

    start = Steady::now();
    const ExchangeResult r = query("R M");
    const double status = secondsSince(start);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.reply, "");
    EXPECT_GE(status, 2.4);
    EXPECT_LE(status, 5.0);
    EXPECT_EQ(loggedCommands(2), (std::vector<std::string>{"R C", "R M"}));
}

TEST_F(ReceiverSimulator, GarbageIsCollectedWithoutHarmAndEndsAtTheTimeOut) {
    startSimulator({"--garbage"});
    const std::optional<std::string> ebno = pollEbNo();
    ASSERT_TRUE(ebno);
    EXPECT_LE(ebno->size(), 20u);
    EXPECT_TRUE(sim.errors.messages.empty());
}

// A link to nothing, and links to what is no serial port (a directory, a plain file), which
// are refused before anything is opened.
TEST_F(ReceiverSimulator, AMissingOrWrongPortIsReportedInTheErrorWindow) {
    fs::create_directories(root_ + "/folder");
    std::ofstream(root_ + "/plain") << "x";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/devices/nothing-here", ""},
        {"/folder", "refused: it leads to a directory, not a character device"},
        {"/plain", "refused: it leads to a file owned by user " + std::to_string(::geteuid()) +
                       ", not a character device"},
    };
    sim.st().Settings.SerialPort = 3;
    std::size_t shown = 0;
    for (const auto& [target, said] : cases) {
        SCOPED_TRACE(target);
        fs::remove(root_ + "/devices/com3");
        fs::create_symlink(root_ + target, root_ + "/devices/com3");
        std::optional<bool> sent;
        SendReceiverCommand(sim.st(), "ER D 1", [&](bool ok) { sent = ok; });
        EXPECT_EQ(sent, false);
        ASSERT_EQ(sim.errors.messages.size(), ++shown);
        EXPECT_NE(sim.errors.messages.back().find(said + ".  Check serial port settings in "
                                                         "SetUp/Communications."),
                  std::string::npos)
            << sim.errors.messages.back();
        std::optional<std::optional<std::string>> polled;
        PollReceiver(ReceiverLinkOf(sim.st()), "R C", [&](const auto& r) { polled = r; });
        ASSERT_TRUE(polled);
        EXPECT_EQ(*polled, std::nullopt);
        EXPECT_EQ(sim.errors.messages.size(), ++shown);
    }
}

}  // namespace
}  // namespace quillmar
