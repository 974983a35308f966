#pragma once

#include <memory>
#include <string>

#include "platform/PortIO.h"
#include "platform/host/Ppdev.h"

namespace quillmar {

// The remote-control port without privileges of its own:
// - the parallel port's data (0x378) and status (0x379) registers through ppdev on
//   <data root>/devices/parport when present, else /dev/parport0 (group lp);
// - the Prairie Digital card (0x284 to 0x287), which has no kernel driver, by raw port I/O on
//   <data root>/devices/ioport when that is a character device, else /dev/port (CAP_SYS_RAWIO,
//   given only by the system service);
// - every address in a plain file of the user's own as devices/ioport, byte N = port N (tests
//   and the demo stand in for the hardware with it).
// Anything else a link under devices/ leads to is refused.
class HostPortIO : public PortIO {
  public:
    explicit HostPortIO(std::string dataRoot, std::unique_ptr<PpdevCalls> ppdev = SystemPpdev());
    ~HostPortIO() override;
    HostPortIO(const HostPortIO&) = delete;
    HostPortIO& operator=(const HostPortIO&) = delete;

    bool read(std::uint16_t address, std::uint8_t* value, std::string* error) override;
    bool write(std::uint16_t address, std::uint8_t value, std::string* error) override;

  private:
    enum class Route { PortFile, Parallel, RawPort, None };
    Route routeOf(std::uint16_t address, std::string* device) const;
    bool fileAccess(const std::string& path, bool write, std::uint16_t address, std::uint8_t* value,
                    std::string* error);
    bool parallelAccess(bool write, std::uint16_t address, std::uint8_t* value, std::string* error);
    void closeParallel();

    std::string dataRoot_;
    std::unique_ptr<PpdevCalls> ppdev_;
    // The parallel port stays open and claimed while it works; a failure closes it, and the
    // next access opens it again (on the device the links name then).
    int parallelFd_ = -1;
    std::string parallelPath_;
};

}  // namespace quillmar
