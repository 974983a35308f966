#pragma once

namespace quillmar {

class Station;
class mnuMenu;

// Connects the menu entries of the main window to the windows and actions that exist.
void RegisterWindows(mnuMenu& menu, Station& station);

}  // namespace quillmar
