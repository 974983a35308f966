#include "core/NextEvent.h"

#include "core/Station.h"

namespace quillmar {

// Placeholders until the finders are written: nothing is found.
void FindNextRecord(Station& st) { st.NextRecordNo = 0; }
void FindNextPlay(Station& st) { st.NextPlayRecordNo = 0; }
void FindNextSwitch(Station& st) { st.NextSwitchRecordNo = 0; }

}  // namespace quillmar
