#pragma once
// MyComp.ini bytes for a test: 21 little-endian 16-bit records, those given set, the rest 0.

#include <map>
#include <stdexcept>
#include <string>

#include "platform/LittleEndian.h"

namespace quillmar::testing {

inline std::string SettingsFile(const std::map<int, int>& records) {
    std::string ini(42, '\0');
    for (const auto& [record, value] : records) {
        if (record < 1 || record > 21) throw std::out_of_range("settings record");
        PutInt16(ini, static_cast<std::size_t>(2 * (record - 1)), static_cast<std::int16_t>(value));
    }
    return ini;
}

}  // namespace quillmar::testing
