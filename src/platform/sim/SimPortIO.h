#pragma once

#include <map>
#include <vector>

#include "platform/PortIO.h"

namespace quillmar {

// I/O ports in memory: a test sets what an address reads and sees every access in order.
class SimPortIO : public PortIO {
  public:
    struct Access {
        bool write = false;
        std::uint16_t address = 0;
        std::uint8_t value = 0;
        friend bool operator==(const Access&, const Access&) = default;
    };

    bool read(std::uint16_t address, std::uint8_t* value, std::string* error) override;
    bool write(std::uint16_t address, std::uint8_t value, std::string* error) override;

    // What the address reads from now on (0 until set).
    void set(std::uint16_t address, std::uint8_t value) { bytes_[address] = value; }
    std::uint8_t at(std::uint16_t address) const;
    // Only the writes, in order.
    std::vector<Access> writes() const;
    // When set, every access fails with this reason.
    std::string failure;
    std::vector<Access> accesses;

  private:
    std::map<std::uint16_t, std::uint8_t> bytes_;
};

}  // namespace quillmar
