#include "platform/host/FilePortIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace quillmar {

namespace {

std::string Hex(std::uint16_t address) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%X", address);
    return text;
}

}  // namespace

FilePortIO::FilePortIO(std::string dataRoot) : dataRoot_(std::move(dataRoot)) {}

std::string FilePortIO::devicePath() const {
    const std::string own = dataRoot_ + "/devices/ioport";
    struct stat info {};
    if (::lstat(own.c_str(), &info) == 0) return own;
    return "/dev/port";
}

// The device is opened around each access, so a link made or changed while the station runs
// takes effect at once; the tick reads about twenty times a second, which this easily bears.
bool FilePortIO::read(std::uint16_t address, std::uint8_t* value, std::string* error) {
    const std::string path = devicePath();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (error) *error = path + ": " + std::strerror(errno);
        return false;
    }
    ssize_t got;
    do {
        got = ::pread(fd, value, 1, address);
    } while (got < 0 && errno == EINTR);
    const int readErrno = errno;
    ::close(fd);
    if (got == 1) return true;
    if (error)
        *error = path + ": " +
                 (got < 0 ? std::strerror(readErrno) : "no byte at address " + Hex(address));
    return false;
}

bool FilePortIO::write(std::uint16_t address, std::uint8_t value, std::string* error) {
    const std::string path = devicePath();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        if (error) *error = path + ": " + std::strerror(errno);
        return false;
    }
    ssize_t put;
    do {
        put = ::pwrite(fd, &value, 1, address);
    } while (put < 0 && errno == EINTR);
    const int writeErrno = errno;
    ::close(fd);
    if (put == 1) return true;
    if (error)
        *error = path + ": " +
                 (put < 0 ? std::strerror(writeErrno) : "nothing written at " + Hex(address));
    return false;
}

}  // namespace quillmar
