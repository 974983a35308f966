#include "receiver/RemoteControl.h"

#include "core/Station.h"

namespace quillmar {

// No I/O-port service yet: the port reads as idle and writes go nowhere.
void ReadRemoteInputs(Station&) {}
void WriteRemoteOutputs(Station& st) { st.noteAction("WriteRemoteOutputs"); }

}  // namespace quillmar
