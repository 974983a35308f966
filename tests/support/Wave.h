#pragma once
// The one wave writer and the one chunk reader of the tests: 16-bit PCM written by hand, read
// back chunk by chunk so that whatever a writer put before the data does not matter.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace quillmar::testing {

struct WaveData {
    int channels = 0;
    int rate = 0;
    int bits = 0;
    std::vector<std::int16_t> samples;  // interleaved
    std::int64_t frames() const {
        return channels ? static_cast<std::int64_t>(samples.size()) / channels : 0;
    }
    std::int16_t at(std::int64_t frame, int channel) const {
        return samples[static_cast<std::size_t>(frame * channels + channel)];
    }
};

inline void PutLe(std::string& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// The bytes of a wave file of `frames` frames whose sample is sample(frame, channel).
inline std::string WaveBytes(int channels, std::int64_t frames,
                             const std::function<std::int16_t(std::int64_t, int)>& sample) {
    const auto dataBytes = static_cast<std::uint32_t>(frames * channels * 2);
    std::string out = "RIFF";
    PutLe(out, 36 + dataBytes, 4);
    out += "WAVEfmt ";
    PutLe(out, 16, 4);
    PutLe(out, 1, 2);
    PutLe(out, static_cast<std::uint32_t>(channels), 2);
    PutLe(out, 44100, 4);
    PutLe(out, static_cast<std::uint32_t>(44100 * channels * 2), 4);
    PutLe(out, static_cast<std::uint32_t>(channels * 2), 2);
    PutLe(out, 16, 2);
    out += "data";
    PutLe(out, dataBytes, 4);
    out.reserve(out.size() + dataBytes);
    for (std::int64_t f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c) PutLe(out, static_cast<std::uint16_t>(sample(f, c)), 2);
    return out;
}

inline std::uint32_t GetLe(const std::string& in, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[at + i])) << (8 * i);
    return v;
}

// The samples of a 16-bit PCM wave file's bytes; channels 0 when they are not one.
inline WaveData ReadWave(const std::string& in) {
    WaveData w;
    if (in.size() < 12 || in.compare(0, 4, "RIFF") != 0 || in.compare(8, 4, "WAVE") != 0) return w;
    for (std::size_t at = 12; at + 8 <= in.size();) {
        const std::string id = in.substr(at, 4);
        const std::uint32_t size = GetLe(in, at + 4, 4);
        const std::size_t body = at + 8;
        if (id == "fmt " && body + 16 <= in.size()) {
            w.channels = static_cast<int>(GetLe(in, body + 2, 2));
            w.rate = static_cast<int>(GetLe(in, body + 4, 4));
            w.bits = static_cast<int>(GetLe(in, body + 14, 2));
        } else if (id == "data") {
            const std::size_t n = std::min<std::size_t>(size, in.size() - body) / 2;
            w.samples.resize(n);
            std::memcpy(w.samples.data(), in.data() + body, n * 2);
        }
        at = body + size + (size & 1);
    }
    return w;
}

// `seconds` of stereo at a loud constant level (8000) at 44.1 kHz.
inline std::string LoudWave(double seconds) {
    return WaveBytes(2, static_cast<std::int64_t>(seconds * 44100),
                     [](std::int64_t, int) { return std::int16_t{8000}; });
}

}  // namespace quillmar::testing
