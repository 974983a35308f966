#include "platform/host/Ppdev.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "platform/host/DeviceLink.h"

namespace quillmar {

namespace {

class System : public PpdevCalls {
  public:
    int open(const std::string& path, std::string* error) override {
        return OpenDevice(path, O_RDWR, DeviceKind::CharacterDevice, error);
    }
    int ioctl(int fd, unsigned long request, unsigned char* arg) override {
        return arg ? ::ioctl(fd, request, arg) : ::ioctl(fd, request);
    }
    void close(int fd) override { ::close(fd); }
};

}  // namespace

std::unique_ptr<PpdevCalls> SystemPpdev() {
    return std::make_unique<System>();
}

}  // namespace quillmar
