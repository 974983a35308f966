#pragma once

namespace quillmar {

class Station;

// The recording engine's operations, called by the clock tick, the buttons and the remote
// inputs.
void CueRecording(Station& st);
void ArmRecording(Station& st);
void StopRecording(Station& st);
void DumpRecording(Station& st);

}  // namespace quillmar
