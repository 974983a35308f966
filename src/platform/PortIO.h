#pragma once
// Direct I/O-port access for the remote-control port: one byte at a time.

#include <cstdint>
#include <string>

namespace quillmar {

class PortIO {
  public:
    virtual ~PortIO() = default;
    // False with the reason when the port cannot be reached (no device, no privilege).
    virtual bool read(std::uint16_t address, std::uint8_t* value, std::string* error) = 0;
    virtual bool write(std::uint16_t address, std::uint8_t value, std::string* error) = 0;
};

}  // namespace quillmar
