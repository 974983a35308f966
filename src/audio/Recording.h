#pragma once
// The recorder's own steps. The station's sequences (cue, arm, start, stop, dump) call them
// and do what the recorder's events start elsewhere: the receiver's cue, the export, the
// finders and the main window.

#include <cstdint>
#include <optional>
#include <string>

#include "audio/AudioServices.h"
#include "audio/AudioState.h"
#include "audio/RecordingChain.h"
#include "schedule/ScheduleRecord.h"

namespace quillmar {

// The programme a cue names: schedule `recordNo` in its slot on `weekday`.
RecordProgramme CuedProgramme(const StationSettings& settings, const ScheduleFields& fields,
                              int weekday, int recordNo);

enum class ArmResult {
    Ignored,  // already recording, nothing cued, or this slot's arm failed before
    Opened,   // the capture runs and waits for audio
    Rearmed,  // a second arm while waiting: the wait starts again
    Failed,   // reported; the recording is to be dumped
};
// Arms the cued programme (or re-arms the waiting one) at `now` (seconds of day). `slot` names
// the record slot, so that a failed arm is reported once.
ArmResult ArmRecorder(RecorderState& rec, AudioServices& sv, const std::string& slot, double now,
                      CaptureEvents events);

// Writing begins with the buffer that crossed the threshold.
void StartRecorder(RecorderState& rec, double now, std::int64_t nowMoment);

enum class StopResult { NotArmed, NothingWritten, Stopped };
// Once the capture has closed the file (`result`): writes the recording's marks and its Stop
// line. Nothing written (still waiting, or its file could not be opened): it is to be dumped,
// so the wave file, marks and exports of earlier runs stay whole.
StopResult StopRecorder(RecorderState& rec, AudioServices& sv, const CaptureResult& result);
// Once the capture has closed the file: removes a wave file this run emptied and logs the
// dump; nothing when nothing was armed.
void DumpRecorder(RecorderState& rec, AudioServices& sv, const CaptureResult& result);
// Back to idle: the record meters go and the armed programme is let go.
void EndRecorder(RecorderState& rec, AudioDisplay& display);

// Peaks of a captured buffer to the record meters.
void TakeRecordPeaks(AudioDisplay& display, const CaptureSummary& buffer);
// Keeps the recorded length and the silence alarm from a buffer the capture has written.
void TakeRecordSummary(RecorderState& rec, AudioServices& sv, const CaptureSummary& buffer);

// The Record input of a relay-controlled recording: the writer starts before the threshold.
void EnableRecordWriter(RecorderState& rec);

}  // namespace quillmar
