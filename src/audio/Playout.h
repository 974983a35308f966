#pragma once
// The programme player's own steps; the station's playout sequences call them.

#include <cstdint>
#include <functional>
#include <string>

#include "audio/AudioServices.h"
#include "audio/AudioState.h"

namespace quillmar {

inline constexpr const char* kAlreadyPlaying =
    "A wave file is already playing.  Please try again after it is finished.";

// Nothing starts while a playout runs, nor over an audition on the same sound card (the
// operator is told).
bool PlayoutAllowed(const PlayoutState& play, const StationSettings& settings,
                    ErrorDisplay& errors);

// Opens the wave file on the programme card with its marks and starts it; `onFinished` runs
// when the player reaches its end. On failure the player is left closed, the play meters
// hidden and the reason reported; nothing is on air.
bool StartPlayout(PlayoutState& play, AudioChains& chains, AudioDisplay& display, AudioServices& sv,
                  const std::string& waveFile, const std::string& marksFile,
                  const std::function<void()>& onFinished);

// The player stopped: back to idle, the Play button as laid out and the play meters hidden.
void EndPlayout(PlayoutState& play, AudioDisplay& display);

// Peaks of what the programme player plays now, for the play meters (0 when idle).
struct PlayLevels {
    std::int16_t left = 0;
    std::int16_t right = 0;
};
PlayLevels ProgrammeLevels(const AudioChains& chains);
// True while the programme player plays; the audition's guard asks.
bool ProgrammePlaying(const PlayoutState& play);

}  // namespace quillmar
