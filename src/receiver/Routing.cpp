#include "receiver/Routing.h"

#include "core/Station.h"

namespace quillmar {

// Placeholder until the receiver link is written.
void RunSwitchOnly(Station&) {}

}  // namespace quillmar
