#include "core/Playlist.h"

#include "core/Station.h"

namespace quillmar {

// Placeholder until the playlist is written.
void LoadManualPlaylist(Station&) {}

}  // namespace quillmar
