#pragma once
// Playout as the station runs it: the programme player's steps with the playlist, the EOM
// contact of the remote outputs and the main window. Called by the buttons, the remote Play
// input and the clock tick.

#include <memory>
#include <vector>

#include "audio/Audition.h"

namespace quillmar {

class Station;

void PlayFromPlaylist(Station& st);  // the Play button and the remote Play input
void PlayScheduled(Station& st);     // the clock tick, at a timed play
void StopPlayout(Station& st);       // the Play Stop button

// The player reached its end point or the end of the file (also after the Play Stop button).
void OnPlayerFinished(Station& st);

// The audition window's model over this station, listing the programmes in use.
std::unique_ptr<Audition> OpenAudition(Station& st);

}  // namespace quillmar
