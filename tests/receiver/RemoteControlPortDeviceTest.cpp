// The host I/O-port service on a plain file standing in for the port device.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/host/FilePortIO.h"

namespace fs = std::filesystem;
using namespace quillmar;

namespace {

struct PortDevice {
    PortDevice() {
        char pattern[] = "/tmp/quillmar-ioport-XXXXXX";
        EXPECT_NE(::mkdtemp(pattern), nullptr);
        root = pattern;
    }
    ~PortDevice() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    fs::path device() const { return root / "devices/ioport"; }
    void make(std::size_t size) {
        fs::create_directories(root / "devices");
        std::ofstream(device(), std::ios::binary) << std::string(size, '\0');
    }
    fs::path root;
};

}  // namespace

TEST(FilePortIO, ReadsAndWritesTheByteAtTheAddress) {
    PortDevice d;
    d.make(0x400);
    FilePortIO ports(d.root.string());
    EXPECT_EQ(ports.devicePath(), d.device().string());
    std::string error;
    ASSERT_TRUE(ports.write(0x378, 0x01, &error)) << error;
    ASSERT_TRUE(ports.write(0x287, 0x8A, &error)) << error;
    std::uint8_t value = 0xEE;
    ASSERT_TRUE(ports.read(0x378, &value, &error)) << error;
    EXPECT_EQ(value, 0x01);
    ASSERT_TRUE(ports.read(0x379, &value, &error)) << error;
    EXPECT_EQ(value, 0x00);
    // Exactly those bytes changed, in place.
    std::ifstream in(d.device(), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    ASSERT_EQ(bytes.size(), 0x400u);
    EXPECT_EQ(bytes[0x378], '\x01');
    EXPECT_EQ(bytes[0x287], '\x8A');
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\0'), 0x400 - 2);
}

TEST(FilePortIO, AnAddressPastAShortFileIsAFailureNotAnInput) {
    PortDevice d;
    d.make(0x10);
    FilePortIO ports(d.root.string());
    std::uint8_t value = 0;
    std::string error;
    EXPECT_FALSE(ports.read(0x379, &value, &error));
    EXPECT_NE(error.find("no byte at address 0x379"), std::string::npos) << error;
}

TEST(FilePortIO, WithoutItsOwnDeviceItUsesDevPort) {
    PortDevice d;
    FilePortIO ports(d.root.string());
    EXPECT_EQ(ports.devicePath(), "/dev/port");
    // A device that cannot be opened (missing, or no privilege) says so.
    fs::create_directories(d.root / "devices");
    fs::create_symlink(d.root / "nowhere", d.device());
    std::uint8_t value = 0;
    std::string error;
    EXPECT_FALSE(ports.read(0x379, &value, &error));
    EXPECT_NE(error.find(d.device().string()), std::string::npos) << error;
}
