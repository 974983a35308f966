#include "audio/Playout.h"

#include "core/Station.h"

namespace quillmar {

// The playout engine is not written yet; these keep its callers' decisions testable.
void PlayFromPlaylist(Station& st) { st.noteAction("PlayFromPlaylist"); }
void PlayScheduled(Station& st) { st.noteAction("PlayScheduled"); }
void StopPlayout(Station& st) { st.noteAction("StopPlayout"); }

}  // namespace quillmar
