#include "audio/Recording.h"

#include "core/Station.h"

namespace quillmar {

// The recording engine is not written yet; these keep its callers' decisions testable.
void CueRecording(Station& st) { st.noteAction("CueRecording"); }
void ArmRecording(Station& st) { st.noteAction("ArmRecording"); }
void StopRecording(Station& st) { st.noteAction("StopRecording"); }
void DumpRecording(Station& st) { st.noteAction("DumpRecording"); }

}  // namespace quillmar
