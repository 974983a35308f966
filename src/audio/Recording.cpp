#include "audio/Recording.h"

#include "core/Station.h"

namespace quillmar {

// The recording engine is not written yet; these keep its callers' decisions testable.
void CueRecording(Station&) {}
void ArmRecording(Station&) {}
void StopRecording(Station&) {}
void DumpRecording(Station&) {}

}  // namespace quillmar
