#pragma once
// The kernel's user-space parallel-port interface (ppdev): the calls a parallel port needs, as
// a seam a test can replace.

#include <memory>
#include <string>

namespace quillmar {

class PpdevCalls {
  public:
    virtual ~PpdevCalls() = default;
    // A descriptor for the port device, or -1 with the reason.
    virtual int open(const std::string& path, std::string* error) = 0;
    // 0, or -1 with errno set.
    virtual int ioctl(int fd, unsigned long request, unsigned char* arg) = 0;
    virtual void close(int fd) = 0;
};

// The real calls; the device must be a character device (a link under devices/ included).
std::unique_ptr<PpdevCalls> SystemPpdev();

}  // namespace quillmar
