#pragma once
// One station on simulated time, made once per fuzz process and reused by every input.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "support/SimStation.h"

namespace quillmar::fuzz {

quillmar::testing::SimStation& Station();
inline std::string_view Bytes(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace quillmar::fuzz
