#pragma once

namespace quillmar {

class Station;

// The main window's transport buttons, its Delete key on the playlist and the "Load Play
// List" menu entry. Each tells the station's observers that the model changed.

// Plays the first playlist entry.
void cmdPlay_Click(Station& st);
// Stops the programme player; its finished event does the rest.
void cmdStop_Click(Station& st);
// Cues and arms the next record slot at once and shows "Ready" in yellow; with no slot, the
// error window says "No Schedule has been set up for recording".
void cmdRecord_Click(Station& st);
void cmdRecStop_Click(Station& st);
// A key on the playlist: Delete (key code 46) removes the selected entry.
void PlayList_KeyDown(Station& st, int keyCode);
// Rebuilds the playlist with every manual play time of today.
void mnuLoadPlayList_Click(Station& st);

inline constexpr int kDeleteKey = 46;

}  // namespace quillmar
