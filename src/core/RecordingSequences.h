#pragma once
// The recording as the station runs it: the recorder's steps with what they start elsewhere
// (the receiver's cue, the export after a stop, the finders, the main window). Called by the
// clock tick, the timers, the buttons and the remote inputs.

#include <functional>
#include <string>

#include "audio/AudioServices.h"

namespace quillmar {

class Station;

// The audio procedures' view of the station's services.
AudioServices AudioServicesOf(Station& st);

void CueRecording(Station& st);
void ArmRecording(Station& st);
// Stop and dump end the capture; what follows (marks, Stop or Dump line, export, the finders)
// runs from OnRecordingEnded once the capture has closed the wave file.
void StopRecording(Station& st);
void DumpRecording(Station& st);
void OnRecordingEnded(Station& st, const CaptureResult& result);
// A slot whose arm failed was dumped half a second before its time, so the finder named it
// again; once its time has passed, look on to the next programme instead of waiting on it.
void PassFailedArm(Station& st);

// Writing begins with the buffer that crossed the threshold; called from the buffer event.
void StartRecording(Station& st);
// The capture's input-buffer event: autostart, the recorded length and the silence alarm.
void OnRecordBuffer(Station& st, const CaptureSummary& buffer);
// The capture device failed or vanished while armed or recording.
void OnCaptureFailure(Station& st, const std::string& error);
// Program exit (SIGTERM): a running recording ends as by Rec Stop; a waiting one is dumped.
// `then` runs once the recording has ended (at once when none runs).
void ShutdownRecording(Station& st, std::function<void()> then);

}  // namespace quillmar
