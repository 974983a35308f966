#pragma once
// The settings as the rest of the station takes them: loading them at start-up sets the
// recorder's card and the main window's buttons; saving them clears the first-start line.

#include <string>

#include "settings/SettingsForm.h"

namespace quillmar {

class Station;

// Reads MyComp.ini into the station and applies what acts at once. A missing file is created
// empty; missing records read as 0.
void LoadStationSettings(Station& st);
// Writes records 1-12 and 17-21 (see settings/StationSettings.h); false with the reason when
// any failed.
bool SaveStationSettings(Station& st, std::string* error = nullptr);
// The settings form over this station: its choices show the main window's buttons, choosing
// the Prairie card sets the card's ports up, and a saved Apply clears the first-start line.
SettingsFormLinks SettingsFormLinksOf(Station& st);
// The main window's first-start line: shown until the settings file holds the sound cards.
void NoteSoundCardsChosen(Station& st, bool chosen);

}  // namespace quillmar
