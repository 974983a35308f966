// The host I/O ports (ppdev replaced by a fake), serial port (against quillmar-receiver-sim, in
// real time) and clock (a timedated stand-in on a private bus).
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QProcess>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "core/ReceiverSequences.h"
#include "core/RemoteSequences.h"
#include "platform/host/HostPortIO.h"
#include "platform/host/QtSerialPort.h"
#include "platform/host/SystemClock.h"
#include "receiver/RemoteControl.h"
#include "support/SimStation.h"

namespace fs = std::filesystem;
using namespace quillmar;
using Steady = std::chrono::steady_clock;
using namespace std::chrono_literals;
using ::testing::HasSubstr;

namespace {

struct PortDevice {
    PortDevice() {
        char pattern[] = "/tmp/quillmar-ioport-XXXXXX";
        EXPECT_NE(::mkdtemp(pattern), nullptr);
        root = pattern;
        fs::create_directories(root / "devices");
    }
    ~PortDevice() { fs::remove_all(root); }
    fs::path device() const { return root / "devices/ioport"; }
    void make(std::size_t size) {
        std::ofstream(device(), std::ios::binary) << std::string(size, '\0');
    }
    fs::path root;
};

// ppdev as a test sees it: the status register it reads, and every call in order.
struct FakePpdev : PpdevCalls {
    struct Call {
        unsigned long request;
        int byte;
        friend bool operator==(const Call&, const Call&) = default;
    };
    int open(const std::string& path, std::string*) override {
        opened.push_back(path);
        return 7;
    }
    int ioctl(int, unsigned long request, unsigned char* arg) override {
        if (request == PPRSTATUS) *arg = status;
        calls.push_back({request, arg ? *arg : -1});
        return 0;
    }
    void close(int) override {}
    unsigned char status = 0x7F;
    std::vector<std::string> opened;
    std::vector<Call> calls;
};

}  // namespace

// Links under devices/ lead only to a device or, for ioport, a file of the user's own.
TEST(HostPortIO, APlainFileOfTheUsersOwnStandsInForEveryPortAndAnythingButADeviceIsRefused) {
    PortDevice d;
    d.make(0x400);
    HostPortIO ports(d.root.string());
    std::string error;
    ASSERT_TRUE(ports.write(0x378, 0x01, &error)) << error;
    ASSERT_TRUE(ports.write(0x287, 0x8A, &error)) << error;
    std::uint8_t value = 0;
    ASSERT_TRUE(ports.read(0x287, &value, &error)) << error;
    EXPECT_EQ(value, 0x8A);
    std::string bytes(0x400, '\0');
    bytes[0x378] = '\x01';
    bytes[0x287] = '\x8A';
    std::ifstream in(d.device(), std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), bytes) << "changed in place";
    d.make(0x10);  // a short file is a failure, not an input
    EXPECT_FALSE(ports.read(0x379, &value, &error));
    EXPECT_THAT(error, HasSubstr("no byte at address 0x379"));
    fs::create_directories(d.root / "folder");
    ::mkfifo((d.root / "fifo").c_str(), 0600);
    fs::remove(d.device());
    fs::create_symlink(d.root / "folder", d.device());
    EXPECT_FALSE(ports.write(0x287, 0x8A, &error));
    EXPECT_THAT(error, HasSubstr(d.device().string() + " refused: it leads to a directory, not a "
                                                       "character device or a plain file of the "
                                                       "station's user"));
    fs::remove(d.device());
    fs::create_symlink(d.root / "fifo", d.root / "devices/parport");
    EXPECT_FALSE(ports.write(0x378, 0x8A, &error));
    EXPECT_THAT(error, HasSubstr("parport refused: it leads to a FIFO, not a character device"));
}

TEST(HostPortIO, TheParallelPortGoesThroughPpdevActiveLowInAndEomOnBitZeroOut) {
    PortDevice d;
    auto owned = std::make_unique<FakePpdev>();
    FakePpdev& pp = *owned;
    HostPortIO ports(d.root.string(), std::move(owned));
    quillmar::testing::SimStation s(DateTime::from(2026, 3, 10, 10, 0, 0), &ports);
    s.start();
    s.st().Settings.RemoteControl = 1;
    InitializeRemotePort(s.st());
    pp.status = 0x3F;  // status pin 6 pulled low is the Play input
    s.loop.advance(100);
    EXPECT_EQ(s.st().remote.RemoteInputBits, kPlayInput);
    s.st().remote.RemoteOutputBits = 1;
    WriteRemoteOutputs(s.st());
    s.st().timers.TimerEOM->setEnabled(true);
    s.loop.advance(1100);
    EXPECT_EQ(pp.opened, std::vector<std::string>{"/dev/parport0"}) << "claimed once, kept open";
    EXPECT_EQ(pp.calls.front(), (FakePpdev::Call{PPCLAIM, -1}));
    std::erase_if(pp.calls, [](const FakePpdev::Call& c) { return c.request != PPWDATA; });
    EXPECT_EQ(pp.calls, (std::vector<FakePpdev::Call>{{PPWDATA, 0}, {PPWDATA, 1}, {PPWDATA, 0}}));
    // devices/parport chooses another port.
    fs::create_symlink("/dev/null", d.root / "devices/parport");
    s.loop.advance(100);
    EXPECT_EQ(pp.opened.back(), (d.root / "devices/parport").string());
    EXPECT_EQ(std::count(pp.calls.begin(), pp.calls.end(), FakePpdev::Call{PPRELEASE, -1}), 1);
}

namespace {

// Qt's event loop, for the whole program.
void NeedQtApplication() {
    static int argc = 1;
    static char name[] = "test_receiver", *argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

class ReceiverSimulator : public ::testing::Test {
  protected:
    void SetUp() override {
        NeedQtApplication();
        if (!fs::exists(simulator_)) GTEST_SKIP() << "no simulator at " << simulator_;
        char pattern[] = "/tmp/quillmar-recv-e2e-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
        fs::create_directories(root_ + "/devices");
        hostPorts_ = std::make_unique<QtSerialPorts>(root_);
        sim.start();
        sim.st().Settings.SerialPort = 1;
        sim.st().Settings.BaudSelect = 1;
        sim.st().receiver.ReceiverPort = hostPorts_->create();
    }
    void TearDown() override {
        simulator.kill();
        simulator.waitForFinished(5000);
        sim.st().receiver.ReceiverPort.reset();
        if (!root_.empty()) fs::remove_all(root_);
    }
    const std::string simulator_ =
        (fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "quillmar-receiver-sim")
            .string();
    quillmar::testing::SimStation sim;
    std::string root_;
    std::unique_ptr<QtSerialPorts> hostPorts_;
    QProcess simulator;
};

// A link to nothing or to no serial port is refused; then a send and a poll go through.
TEST_F(ReceiverSimulator, AWrongPortIsReportedAndASendAndAPollGoThroughTheHostPort) {
    std::ofstream(root_ + "/plain") << "x";
    const std::pair<std::string, std::string> cases[] = {
        {"/devices/nothing-here", ""},
        {"/plain", "refused: it leads to a file owned by user " + std::to_string(::geteuid()) +
                       ", not a character device"}};
    for (const auto& [target, said] : cases) {
        fs::remove(root_ + "/devices/com1");
        fs::create_symlink(root_ + target, root_ + "/devices/com1");
        std::optional<bool> sent;
        SendReceiverCommand(sim.st(), "ER D 1", [&](bool ok) { sent = ok; });
        EXPECT_EQ(sent, false) << target;
        EXPECT_THAT(sim.errors.messages,
                    ::testing::ElementsAre(HasSubstr(
                        said + ".  Check serial port settings in SetUp/Communications.")));
        sim.errors.messages.clear();
    }
    const std::string link = root_ + "/devices/com1";
    fs::remove(link);
    simulator.start(QString::fromStdString(simulator_),
                    {"--link", QString::fromStdString(link), "--ebno", "11.7 dB"});
    ASSERT_TRUE(simulator.waitForStarted(5000));
    for (const auto end = Steady::now() + 10s; !fs::is_symlink(link) && Steady::now() < end;)
        std::this_thread::sleep_for(10ms);
    std::optional<bool> sent;
    SendReceiverCommand(sim.st(), "SETAUDIO 1 S EN  3  ", [&](bool ok) { sent = ok; });
    EXPECT_EQ(sent, true);
    std::optional<std::optional<std::string>> ebno;
    PollReceiverEbNo(sim.st(), [&](const std::optional<std::string>& e) { ebno = e; });
    for (auto last = Steady::now(), end = last + 8s; !ebno && Steady::now() < end;) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(2ms);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - last);
        sim.loop.advance(ms.count());
        last += ms;
    }
    EXPECT_EQ(ebno, std::optional<std::string>("11.7 dB"));
    EXPECT_TRUE(sim.errors.messages.empty());
}

struct TimedatedStandIn : QDBusVirtualObject {
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& call, const QDBusConnection& bus) override {
        if (call.interface() != "org.freedesktop.timedate1" || call.member() != "SetTime")
            return false;
        received.push_back(call.arguments());
        bus.send(refusal.isEmpty()
                     ? call.createReply()
                     : call.createErrorReply("org.freedesktop.timedate1.AutomaticTimeSyncEnabled",
                                             refusal));
        return true;
    }
    QString refusal;
    QList<QVariantList> received;
};

TEST(TimeSetOverDBus, TheTimeGoesToTimedatedAndARefusalComesBackWithItsReason) {
    NeedQtApplication();
    QProcess daemon;
    daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
    ASSERT_TRUE(daemon.waitForStarted(5000) && daemon.waitForReadyRead(5000));
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    {
        QDBusConnection server = QDBusConnection::connectToBus(address, "timedated-stand-in");
        TimedatedStandIn timedated;
        ASSERT_TRUE(server.registerVirtualObject("/org/freedesktop/timedate1", &timedated));
        ASSERT_TRUE(server.registerService("org.freedesktop.timedate1"));
        SystemClock clock(address.toStdString());

        for (const QString& refusal :
             {QString(), QStringLiteral("Automatic time synchronization is enabled")}) {
            timedated.refusal = refusal;
            std::vector<std::pair<bool, std::string>> answers;
            clock.setTimeOfDay(10, 54, 30, [&](bool ok, const std::string& why) {
                answers.emplace_back(ok, why);
            });
            for (const QDeadlineTimer limit(10'000); answers.empty() && !limit.hasExpired();)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            EXPECT_EQ(answers, (decltype(answers){{refusal.isEmpty(), refusal.toStdString()}}));
        }
        // Both times: today's 10:54:30 in microseconds, absolute, never asking for a password.
        const QVariantList expected{
            QDateTime(QDate::currentDate(), QTime(10, 54, 30)).toSecsSinceEpoch() * 1'000'000,
            false, false};
        EXPECT_EQ(timedated.received, (QList<QVariantList>{expected, expected}));
        server.unregisterObject("/org/freedesktop/timedate1");
    }
    QDBusConnection::disconnectFromBus("timedated-stand-in");
    daemon.kill();
    daemon.waitForFinished(5000);
}

}  // namespace
