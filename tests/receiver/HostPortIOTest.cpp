// The host I/O-port service: a plain file as the port, links to non-devices refused, and the
// parallel port through ppdev (its calls replaced by a fake).
#include <gtest/gtest.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/RemoteSequences.h"
#include "platform/host/HostPortIO.h"
#include "receiver/RemoteControl.h"
#include "support/SimStation.h"

namespace fs = std::filesystem;
using namespace quillmar;

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

TEST(HostPortIO, APlainFileOfTheUsersOwnStandsInForEveryPort) {
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
    EXPECT_NE(error.find("no byte at address 0x379"), std::string::npos) << error;
}

TEST(HostPortIO, LinksToAnythingButADeviceAreRefused) {
    PortDevice d;
    fs::create_directories(d.root / "folder");
    ::mkfifo((d.root / "fifo").c_str(), 0600);
    HostPortIO ports(d.root.string());
    std::string error;
    fs::create_symlink(d.root / "folder", d.device());
    EXPECT_FALSE(ports.write(0x287, 0x8A, &error));
    EXPECT_NE(error.find(d.device().string() + " refused: it leads to a directory, not a character "
                                               "device or a plain file of the station's user"),
              std::string::npos)
        << error;
    fs::remove(d.device());
    fs::create_symlink(d.root / "fifo", d.root / "devices/parport");
    EXPECT_FALSE(ports.write(0x378, 0x8A, &error));
    EXPECT_NE(error.find("parport refused: it leads to a FIFO, not a character device"),
              std::string::npos)
        << error;
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
