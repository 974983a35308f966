#pragma once
// The capture chain of the main window: capture → wave file, built on the platform's audio
// service for one recording at a time. The file is written off the loop; the loop hears of
// each buffer, of a failure and of the end through the events.

#include <functional>
#include <string>

#include "audio/AudioServices.h"
#include "audio/AudioState.h"

namespace quillmar {

// Where the capture reports its buffers, its failures (device or disk, as the text that ends
// the recording) and its end.
struct CaptureEvents {
    std::function<void(const CaptureSummary&)> onBuffer;
    std::function<void(const std::string&)> onFailure;
    std::function<void(const CaptureResult&)> onFinished;
};

// Starts the capture on the record card, mono or stereo as armed, writing the armed file from
// the first buffer above the record threshold. False with the reason on failure.
bool OpenRecordChain(RecorderState& rec, AudioServices& sv, CaptureEvents events,
                     std::string* error);
// Stops the capture; onFinished follows once the file is closed. With keep, the audio captured
// so far is still written; without, nothing more is. False when no capture was ever made.
bool FinishRecordChain(RecorderState& rec, RecordEnding ending, bool keep);
// After a dump: a wave file this run emptied is removed, so an old recording of the same name
// cannot play in its place.
void RemoveEmptiedWave(RecorderState& rec, AudioServices& sv, const CaptureResult& result);
// Writes to the error log the capture buffers lost since the last report.
void ReportCaptureOverruns(RecorderState& rec, Logs& logs);

}  // namespace quillmar
