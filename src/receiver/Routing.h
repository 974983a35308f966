#pragma once

namespace quillmar {

class Station;

// Runs the switch-only schedule that is due (NextSwitchRecordNo).
void RunSwitchOnly(Station& st);

}  // namespace quillmar
