#include "platform/sim/SimPortIO.h"

namespace quillmar {

bool SimPortIO::read(std::uint16_t address, std::uint8_t* value, std::string* error) {
    if (!failure.empty()) {
        if (error) *error = failure;
        return false;
    }
    *value = at(address);
    accesses.push_back({false, address, *value});
    return true;
}

bool SimPortIO::write(std::uint16_t address, std::uint8_t value, std::string* error) {
    if (!failure.empty()) {
        if (error) *error = failure;
        return false;
    }
    bytes_[address] = value;
    accesses.push_back({true, address, value});
    return true;
}

std::uint8_t SimPortIO::at(std::uint16_t address) const {
    const auto found = bytes_.find(address);
    return found == bytes_.end() ? 0 : found->second;
}

std::vector<SimPortIO::Access> SimPortIO::writes() const {
    std::vector<Access> out;
    for (const auto& a : accesses)
        if (a.write) out.push_back(a);
    return out;
}

}  // namespace quillmar
