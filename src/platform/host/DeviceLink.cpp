#include "platform/host/DeviceLink.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quillmar {

namespace {

std::string WhatItIs(const struct stat& info) {
    if (S_ISDIR(info.st_mode)) return "a directory";
    if (S_ISFIFO(info.st_mode)) return "a FIFO";
    if (S_ISSOCK(info.st_mode)) return "a socket";
    if (S_ISBLK(info.st_mode)) return "a block device";
    if (S_ISREG(info.st_mode)) return "a file owned by user " + std::to_string(info.st_uid);
    return "not a device";
}

// Empty when acceptable.
std::string Judge(const std::string& path, const struct stat& info, DeviceKind kind) {
    if (S_ISCHR(info.st_mode)) return {};
    if (kind == DeviceKind::CharacterDeviceOrOwnFile && S_ISREG(info.st_mode) &&
        info.st_uid == ::geteuid())
        return {};
    const std::string wanted = kind == DeviceKind::CharacterDevice
                                   ? "a character device"
                                   : "a character device or a plain file of the station's user";
    return path + " refused: it leads to " + WhatItIs(info) + ", not " + wanted;
}

}  // namespace

std::string CheckDevice(const std::string& path, DeviceKind kind) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return {};  // opening it will say why
    return Judge(path, info, kind);
}

int OpenDevice(const std::string& path, int flags, DeviceKind kind, std::string* error) {
    std::string why = CheckDevice(path, kind);
    if (!why.empty()) {
        if (error) *error = why;
        return -1;
    }
    // Without blocking, so a link swapped for a FIFO after the check cannot hold the loop at
    // open(); what was opened is judged again below.
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        if (error) *error = path + ": " + std::strerror(errno);
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        why = path + ": " + std::strerror(errno);
    else
        why = Judge(path, info, kind);
    if (why.empty() && !(flags & O_NONBLOCK) && ::fcntl(fd, F_SETFL, flags & ~O_ACCMODE) != 0)
        why = path + ": " + std::strerror(errno);
    if (why.empty()) return fd;
    ::close(fd);
    if (error) *error = why;
    return -1;
}

}  // namespace quillmar
