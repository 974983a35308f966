#pragma once

namespace quillmar {

class Station;

// The next record slot, timed play and switch-only slot, and their main-window lines.
// Dates found (NextRecordDate, NextPlayDateText) are "mm/dd/yyyy" texts. Records beyond
// number 999 are ignored.
void FindNextRecord(Station& st);
void FindNextPlay(Station& st);
// Also rebuilds the weekly schedule lists with the coming switches when the weekly window
// shows the switch view or no view.
void FindNextSwitch(Station& st);

}  // namespace quillmar
