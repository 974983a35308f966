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
#include "receiver/ReceiverCommands.h"
#include "receiver/ReceiverLink.h"
#include "support/SimStation.h"

extern char** environ;

namespace quillmar {
namespace {

namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;
using namespace std::chrono_literals;

class ReceiverSimulator : public ::testing::Test {
  protected:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test_receiver";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance()) app_ = std::make_unique<QCoreApplication>(argc, argv);
        if (!fs::exists(simulator_)) GTEST_SKIP() << "no simulator at " << simulator_;
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
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
        sim.st().receiver.ReceiverPort.reset();
        if (!root_.empty()) fs::remove_all(root_);
    }

    std::shared_ptr<SerialPort> port() { return hostPorts_->create(); }
    // Runs Qt's events (the port's ready-read) and the station's loop in step with real time
    // until done is set, at most 8 s.
    template <typename T>
    void runUntil(const std::optional<T>& done) {
        auto last = Steady::now();
        for (const auto end = last + 8s; !done && Steady::now() < end;) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(2ms);
            const auto ms =
                std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - last);
            sim.loop.advance(ms.count());
            last += ms;
        }
        ASSERT_TRUE(done) << "the exchange never ended";
    }
    std::string query(const std::string& command, std::size_t prompt = 1) {
        std::optional<ExchangeResult> r;
        QueryReceiverStatus(ReceiverLinkOf(sim.st()), port(), command, prompt,
                            [&](const ExchangeResult& got) { r = got; });
        runUntil(r);
        return r ? r->reply : "";
    }
    void startSimulator(std::vector<std::string> args) {
        const std::string link = root_ + "/devices/com1";
        args.insert(args.begin(), {simulator_, "--link", link, "--log", root_ + "/commands.log"});
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t quiet;
        posix_spawn_file_actions_init(&quiet);
        posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
        ASSERT_EQ(posix_spawn(&pid_, argv[0], &quiet, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&quiet);
        for (const auto end = Steady::now() + 10s; !fs::is_symlink(link) && Steady::now() < end;)
            std::this_thread::sleep_for(10ms);
        ASSERT_TRUE(fs::is_symlink(link));
    }
    // The commands the simulator logged, waiting up to 5 s for `count` of them.
    std::vector<std::string> loggedCommands(std::size_t count) {
        std::vector<std::string> out;
        for (const auto end = Steady::now() + 5s; out.size() < count && Steady::now() < end;) {
            std::this_thread::sleep_for(20ms);
            out.clear();
            std::ifstream in(root_ + "/commands.log");
            for (std::string line; std::getline(in, line);)
                out.push_back(line.substr(line.find('\t') + 1));
        }
        return out;
    }

    const std::string simulator_ =
        (fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "quillmar-receiver-sim")
            .string();
    testing::SimStation sim;
    std::string root_;
    std::unique_ptr<QtSerialPorts> hostPorts_;
    std::unique_ptr<QCoreApplication> app_;
    pid_t pid_ = -1;
};

TEST_F(ReceiverSimulator, CommandsArriveByteForByteAndEachKindOfReplyIsCollected) {
    startSimulator({"--ebno", "11.7 dB"});
    ScheduleFields f;
    f.UnityPort = "1";
    f.Route = ScheduleRoute::Stereo;
    f.SourceCode = "EN";
    f.Attenuation = "3";
    std::optional<bool> sent;
    SendReceiverCommand(sim.st(), RecordCueCommand(f), [&](bool ok) { sent = ok; });
    EXPECT_EQ(sent, true);
    ResetExpansionRelays(sim.st(), "1", true);
    SendReceiverCommand(sim.st(), SetReceiverCommand(1, 2, "ABC", " 3"));
    EXPECT_EQ(loggedCommands(4), (std::vector<std::string>{"SETAUDIO 1 S EN  3  ", "ER D 11",
                                                           "ER D 14", "SETAUDIO 2 S ABC 3"}));
    std::optional<std::optional<std::string>> ebno;
    PollReceiverEbNo(sim.st(), [&](const std::optional<std::string>& e) { ebno = e; });
    runUntil(ebno);
    EXPECT_EQ(*ebno, "11.7 dB");
    // The long report carries an early prompt character.
    const std::string report = query("RT C", StatusPromptPosition("RT C"));
    EXPECT_GT(report.size(), 700u);
    EXPECT_LT(report.find('>'), 700u);
    EXPECT_EQ(report.back(), '>');
    const std::string routes = query("R M");
    EXPECT_NE(routes.find("2     Stereo   ABC      3"), std::string::npos) << routes;
    std::optional<ExchangeResult> relay;
    RelayExchange(ReceiverLinkOf(sim.st()), port(), "ER E 3", "R ER",
                  [&](const ExchangeResult& r) { relay = r; });
    runUntil(relay);
    EXPECT_NE(relay->reply.find("Relay  3 : Energized"), std::string::npos) << relay->reply;
    EXPECT_EQ(relay->reply.find('>'), relay->reply.size() - 1) << "the relay's own prompt dropped";
    EXPECT_TRUE(sim.errors.messages.empty());
}

TEST_F(ReceiverSimulator, ASilentReceiverIsGivenUpOnAtTheTimeOut) {
    startSimulator({"--silent"});
    const auto start = Steady::now();
    std::optional<std::optional<std::string>> polled;
    PollReceiver(ReceiverLinkOf(sim.st()), "R C", [&](const auto& r) { polled = r; });
    runUntil(polled);
    EXPECT_EQ(polled, std::optional<std::string>(""));
    EXPECT_GE(std::chrono::duration<double>(Steady::now() - start).count(), 0.4);
    EXPECT_EQ(loggedCommands(1), std::vector<std::string>{"R C"});
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
    for (const auto& [target, said] : cases) {
        SCOPED_TRACE(target);
        fs::remove(root_ + "/devices/com3");
        fs::create_symlink(root_ + target, root_ + "/devices/com3");
        std::optional<bool> sent;
        SendReceiverCommand(sim.st(), "ER D 1", [&](bool ok) { sent = ok; });
        EXPECT_EQ(sent, false);
        ASSERT_FALSE(sim.errors.messages.empty());
        EXPECT_NE(sim.errors.messages.back().find(said + ".  Check serial port settings in "
                                                         "SetUp/Communications."),
                  std::string::npos)
            << sim.errors.messages.back();
        sim.errors.messages.clear();
    }
}

}  // namespace
}  // namespace quillmar
