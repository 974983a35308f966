#pragma once

#include <string>
#include <vector>

namespace quillmar {

// What the main window shows. The station writes it; the window only renders it.
struct PlaylistEntry {
    std::string text;  // "HH:MM:SS" + two blanks + the 25-character programme name
    int recordNo = 0;  // the schedule it plays
    friend bool operator==(const PlaylistEntry&, const PlaylistEntry&) = default;
};

struct MainWindowModel {
    std::string lblClock;
    std::string lblNextToRecord;
    std::string lblNextTimedPlay;
    std::string lblNextSwitch;
    std::string lblRecTime;
    std::string lblRecordTimer;
    std::string lblNextPlayTime;
    std::string lblPlayTime;
    std::string lblSwitchTimer;
    std::string lblRecordName;
    std::string lblRecordRelay;
    std::string lblPlayRelay;
    std::string lblPort;
    std::string lblPlayDay;
    // Until the sound cards are chosen, where a new operator begins; empty afterwards.
    std::string lblStartHere;

    // Buttons start visible, as laid out; the settings hide them.
    bool cmdRecordVisible = true;
    bool cmdRecStopVisible = true;
    bool cmdPlayVisible = true;
    bool cmdStopVisible = true;

    enum class ButtonColour { Normal, Yellow, Red, Green, Maroon };
    std::string cmdRecordCaption = "Record";
    ButtonColour cmdRecordColour = ButtonColour::Normal;

    // The manual playlist, kept sorted by text, and its selected line (-1: none).
    std::vector<PlaylistEntry> PlayList;
    int PlayListIndex = -1;
    bool Label1Visible = true;  // the "Playlist" heading
};

}  // namespace quillmar
