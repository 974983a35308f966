#include "receiver/Routing.h"

#include "core/Station.h"

namespace quillmar {

// Placeholder until the receiver link is written.
void RunSwitchOnly(Station& st) { st.noteAction("RunSwitchOnly"); }

}  // namespace quillmar
