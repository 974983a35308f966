#pragma once

#include <cstdint>

namespace quillmar {

class Station;

// The playout engine's operations.
void PlayFromPlaylist(Station& st);  // the Play button and the remote Play input
void PlayScheduled(Station& st);     // the clock tick, at a timed play
void StopPlayout(Station& st);       // the Play Stop button

// The player reached its end point or the end of the file (also after the Play Stop button).
void OnPlayerFinished(Station& st);
// Peaks of what the programme player plays now, for the play meters (0 when idle).
struct PlayLevels {
    std::int16_t left = 0;
    std::int16_t right = 0;
};
PlayLevels ProgrammeLevels(const Station& st);
// True while the programme player plays; the audition's guard asks.
bool ProgrammePlaying(const Station& st);

inline constexpr const char* kAlreadyPlaying =
    "A wave file is already playing.  Please try again after it is finished.";

}  // namespace quillmar
