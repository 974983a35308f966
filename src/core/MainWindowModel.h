#pragma once

#include <string>
#include <vector>

namespace quillmar {

// What the main window shows. The station writes it; the window only renders it.
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

    // Buttons start visible, as laid out; the settings hide them.
    bool cmdRecordVisible = true;
    bool cmdRecStopVisible = true;
    bool cmdPlayVisible = true;
    bool cmdStopVisible = true;

    enum class ButtonColour { Normal, Yellow, Red, Green };
    std::string cmdRecordCaption = "Record";
    ButtonColour cmdRecordColour = ButtonColour::Normal;

    // The manual playlist and its selected line (-1: none).
    std::vector<std::string> PlayList;
    int PlayListIndex = -1;
};

}  // namespace quillmar
