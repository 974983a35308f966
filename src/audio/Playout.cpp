#include "audio/Playout.h"

#include "core/Station.h"

namespace quillmar {

// The playout engine is not written yet; these keep its callers' decisions testable.
void PlayFromPlaylist(Station&) {}
void PlayScheduled(Station&) {}
void StopPlayout(Station&) {}

}  // namespace quillmar
