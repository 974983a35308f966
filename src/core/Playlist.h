#pragma once

namespace quillmar {

class Station;

// Adds the manual-start play times of today (tomorrow while PlaylistRefreshed is 1) to the
// playlist; only those still to come when PlaylistUpcomingOnly is 1.
void LoadManualPlaylist(Station& st);

}  // namespace quillmar
