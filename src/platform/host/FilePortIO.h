#pragma once

#include <string>

#include "platform/PortIO.h"

namespace quillmar {

// I/O ports through a port device: the byte at offset = address. The device is
// <data root>/devices/ioport when present (a link to /dev/port, or a plain file standing in
// for the port), else /dev/port, which needs the CAP_SYS_RAWIO privilege.
class FilePortIO : public PortIO {
  public:
    explicit FilePortIO(std::string dataRoot);
    bool read(std::uint16_t address, std::uint8_t* value, std::string* error) override;
    bool write(std::uint16_t address, std::uint8_t value, std::string* error) override;
    // The device used now.
    std::string devicePath() const;

  private:
    std::string dataRoot_;
};

}  // namespace quillmar
