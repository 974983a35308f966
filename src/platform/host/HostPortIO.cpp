#include "platform/host/HostPortIO.h"

#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/host/DeviceLink.h"

namespace quillmar {

namespace {

constexpr std::uint16_t kData = 0x378;
constexpr std::uint16_t kStatus = 0x379;
constexpr std::uint16_t kCardFirst = 0x284;
constexpr std::uint16_t kCardLast = 0x287;

std::string Hex(std::uint16_t address) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%X", address);
    return text;
}

}  // namespace

HostPortIO::HostPortIO(std::string dataRoot, std::unique_ptr<PpdevCalls> ppdev)
    : dataRoot_(std::move(dataRoot)), ppdev_(std::move(ppdev)) {}

HostPortIO::~HostPortIO() {
    closeParallel();
}

HostPortIO::Route HostPortIO::routeOf(std::uint16_t address, std::string* device) const {
    const std::string ioport = dataRoot_ + "/devices/ioport";
    struct stat info {};
    const bool present = ::lstat(ioport.c_str(), &info) == 0;
    const bool character = present && ::stat(ioport.c_str(), &info) == 0 && S_ISCHR(info.st_mode);
    if (present && !character) {
        *device = ioport;
        return Route::PortFile;
    }
    if (address == kData || address == kStatus) return Route::Parallel;
    if (address >= kCardFirst && address <= kCardLast) {
        *device = present ? ioport : "/dev/port";
        return Route::RawPort;
    }
    return Route::None;
}

bool HostPortIO::read(std::uint16_t address, std::uint8_t* value, std::string* error) {
    std::string device;
    switch (routeOf(address, &device)) {
        case Route::Parallel:
            return parallelAccess(false, address, value, error);
        case Route::PortFile:
        case Route::RawPort:
            return fileAccess(device, false, address, value, error);
        case Route::None:
            break;
    }
    if (error) *error = "no port at address " + Hex(address);
    return false;
}

bool HostPortIO::write(std::uint16_t address, std::uint8_t value, std::string* error) {
    std::string device;
    switch (routeOf(address, &device)) {
        case Route::Parallel:
            return parallelAccess(true, address, &value, error);
        case Route::PortFile:
        case Route::RawPort:
            return fileAccess(device, true, address, &value, error);
        case Route::None:
            break;
    }
    if (error) *error = "no port at address " + Hex(address);
    return false;
}

// Opened around each access, so a link made or changed while the station runs takes effect at
// once; the tick reads about twenty times a second, which this easily bears.
bool HostPortIO::fileAccess(const std::string& path, bool write, std::uint16_t address,
                            std::uint8_t* value, std::string* error) {
    const DeviceKind kind = path == dataRoot_ + "/devices/ioport"
                                ? DeviceKind::CharacterDeviceOrOwnFile
                                : DeviceKind::CharacterDevice;
    const int fd = OpenDevice(path, write ? O_WRONLY : O_RDONLY, kind, error);
    if (fd < 0) return false;
    ssize_t done;
    do {
        done = write ? ::pwrite(fd, value, 1, address) : ::pread(fd, value, 1, address);
    } while (done < 0 && errno == EINTR);
    const int why = errno;
    ::close(fd);
    if (done == 1) return true;
    if (error)
        *error =
            path + ": " +
            (done < 0 ? std::strerror(why)
                      : (write ? "nothing written at " : "no byte at address ") + Hex(address));
    return false;
}

bool HostPortIO::parallelAccess(bool write, std::uint16_t address, std::uint8_t* value,
                                std::string* error) {
    if (write && address != kData) {
        if (error) *error = "the parallel port's register " + Hex(address) + " is read-only";
        return false;
    }
    const std::string own = dataRoot_ + "/devices/parport";
    struct stat info {};
    const std::string path = ::lstat(own.c_str(), &info) == 0 ? own : "/dev/parport0";
    if (parallelFd_ >= 0 && path != parallelPath_) closeParallel();
    if (parallelFd_ < 0) {
        const int fd = ppdev_->open(path, error);
        if (fd < 0) return false;
        if (ppdev_->ioctl(fd, PPCLAIM, nullptr) != 0) {
            if (error) *error = path + ": cannot claim the port: " + std::strerror(errno);
            ppdev_->close(fd);
            return false;
        }
        parallelFd_ = fd;
        parallelPath_ = path;
    }
    const unsigned long request = write ? PPWDATA : address == kStatus ? PPRSTATUS : PPRDATA;
    unsigned char byte = *value;
    if (ppdev_->ioctl(parallelFd_, request, &byte) != 0) {
        if (error) *error = path + ": " + std::strerror(errno);
        closeParallel();
        return false;
    }
    *value = byte;
    return true;
}

void HostPortIO::closeParallel() {
    if (parallelFd_ < 0) return;
    ppdev_->ioctl(parallelFd_, PPRELEASE, nullptr);
    ppdev_->close(parallelFd_);
    parallelFd_ = -1;
}

}  // namespace quillmar
