#pragma once

namespace quillmar {

class Station;

// The playout engine's operations.
void PlayFromPlaylist(Station& st);  // the Play button and the remote Play input
void PlayScheduled(Station& st);     // the clock tick, at a timed play
void StopPlayout(Station& st);       // the Play Stop button

}  // namespace quillmar
