#pragma once
// Numbers inside the fixed-length data files: little-endian, as the station's files have always
// been written. Bytes past the end of a short record read as zero.

#include <cstdint>
#include <string>
#include <string_view>

namespace quillmar {

inline std::uint32_t UnsignedAt(std::string_view bytes, std::size_t at, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) {
        const std::size_t k = at + static_cast<std::size_t>(i);
        value = value << 8 | (k < bytes.size() ? static_cast<unsigned char>(bytes[k]) : 0u);
    }
    return value;
}

inline std::int16_t Int16At(std::string_view bytes, std::size_t at = 0) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(UnsignedAt(bytes, at, 2)));
}

inline std::int32_t Int32At(std::string_view bytes, std::size_t at = 0) {
    return static_cast<std::int32_t>(UnsignedAt(bytes, at, 4));
}

// `bytes` must already hold the field.
inline void PutUnsigned(std::string& bytes, std::size_t at, int width, std::uint32_t value) {
    for (int i = 0; i < width; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i) & 0xFF);
}

inline void PutInt16(std::string& bytes, std::size_t at, std::int16_t value) {
    PutUnsigned(bytes, at, 2, static_cast<std::uint16_t>(value));
}

inline void PutInt32(std::string& bytes, std::size_t at, std::int32_t value) {
    PutUnsigned(bytes, at, 4, static_cast<std::uint32_t>(value));
}

inline std::string Int16Bytes(std::int16_t value) {
    std::string bytes(2, '\0');
    PutInt16(bytes, 0, value);
    return bytes;
}

}  // namespace quillmar
