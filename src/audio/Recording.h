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
// Closes the recording and writes its marks and its Stop line. Nothing written yet (still
// waiting, or its file could not be opened): it is to be dumped, so the wave file, marks and
// exports of earlier runs stay whole.
StopResult StopRecorder(RecorderState& rec, AudioServices& sv);
// Closes the recording, removing a wave file it emptied, and logs the dump. False when nothing
// was armed.
bool DumpRecorder(RecorderState& rec, AudioServices& sv);
// Back to idle: the record meters go and the armed programme is let go.
void EndRecorder(RecorderState& rec, AudioDisplay& display);

// Peaks of a captured buffer to the record meters; true when one channel is above the
// threshold.
bool TakeRecordPeaks(AudioDisplay& display, int threshold, const AudioBuffer& buffer);
// Appends a buffer while the writer is enabled and keeps the recorded length and the silence
// alarm. Returns the failure that ends the recording, if any.
std::optional<std::string> WriteRecordBuffer(RecorderState& rec, AudioServices& sv,
                                             const AudioBuffer& buffer, bool loud);

// The Record input of a relay-controlled recording: the writer starts before the threshold.
void EnableRecordWriter(RecorderState& rec);

}  // namespace quillmar
