#pragma once
// The work of a conversion, without threads: read the source up to its end point, fade, mix the
// channels, convert the rate and write the target format beside the target, then rename it.
// Runs on whichever thread calls it.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Audio.h"
#include "platform/FileSystem.h"

namespace quillmar {

using ConversionLevels = std::function<void(std::int16_t left, std::int16_t right)>;

// The job's paths are drive paths of `files`. progress gets (source ms done, ms to convert);
// levels, just before each progress report, the peaks of the audio written since the last one.
// Returns false with the reason on failure or when cancelled turns true; the partial target is
// removed then.
bool ConvertWave(FileSystem& files, const ConversionJob& job,
                 const std::function<void(std::int64_t, std::int64_t)>& progress,
                 const std::atomic<bool>& cancelled, std::string* error,
                 const ConversionLevels& levels = nullptr);

// The wave subformats this libsndfile can write, PCM 16 bit first.
std::vector<WaveFormat> WritableWaveFormats();

// The gain at a frame of a fade that starts at fadeStart and lasts fadeLength frames: 1 before
// it, falling linearly, 0 from its end on.
inline double FadeGain(std::int64_t frame, std::int64_t fadeStart, std::int64_t fadeLength) {
    if (fadeLength <= 0 || frame < fadeStart) return 1.0;
    if (frame >= fadeStart + fadeLength) return 0.0;
    return 1.0 - static_cast<double>(frame - fadeStart) / static_cast<double>(fadeLength);
}

}  // namespace quillmar
