#pragma once

#include <string>

#include "core/MainWindowModel.h"

namespace quillmar {

class Station;

// Adds the manual-start play times of today (tomorrow while PlaylistRefreshed is 1) to the
// playlist, keeping it sorted; only those still to come when PlaylistUpcomingOnly is 1, plus
// the entry on air. The caller clears the list first when it wants a fresh one. Shows or
// hides the playlist, its heading and the Play and Play Stop buttons.
void LoadManualPlaylist(Station& st);

// Inserts an entry where its text sorts, after entries of equal text; keeps the selected
// entry selected. Returns its position.
int AddPlaylistEntry(MainWindowModel& main, PlaylistEntry entry);

inline constexpr const char* kNoManualSchedules = "No Manual Start Schedules";
inline constexpr const char* kNoSchedulesToPlay = "  No Schedules to Play";

}  // namespace quillmar
