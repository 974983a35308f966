#pragma once

namespace quillmar {

class Station;

// The next record slot, timed play and switch-only slot, and their main-window lines.
void FindNextRecord(Station& st);
void FindNextPlay(Station& st);
void FindNextSwitch(Station& st);

}  // namespace quillmar
