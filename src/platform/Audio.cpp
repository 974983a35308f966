#include "platform/Audio.h"

#include <cstdlib>

namespace quillmar {

void MeasurePeaks(AudioBuffer& buffer) {
    int peak[2] = {0, 0};
    const int channels = buffer.channels == 1 ? 1 : 2;
    for (std::size_t i = 0; i < buffer.samples.size(); ++i) {
        const int v = std::abs(static_cast<int>(buffer.samples[i]));
        int& p = peak[channels == 1 ? 0 : i % 2];
        if (v > p) p = v;
    }
    if (channels == 1) peak[1] = peak[0];
    buffer.peakLeft = static_cast<std::int16_t>(peak[0] > 32767 ? 32767 : peak[0]);
    buffer.peakRight = static_cast<std::int16_t>(peak[1] > 32767 ? 32767 : peak[1]);
}

}  // namespace quillmar
