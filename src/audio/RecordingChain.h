#pragma once
// The capture chain of the main window: capture → writer, built on the platform's audio
// service for one recording at a time.

#include <functional>
#include <string>

#include "audio/AudioServices.h"
#include "audio/AudioState.h"

namespace quillmar {

// Where the capture reports its buffers and its failure.
struct CaptureEvents {
    std::function<void(const AudioBuffer&)> onBuffer;
    std::function<void(const std::string&)> onFailure;
};

// Opens the writer on the armed recording's file (created anew, disabled) and starts the
// capture on the record card, mono or stereo as armed. False with the reason on failure.
bool OpenRecordChain(RecorderState& rec, AudioServices& sv, CaptureEvents events,
                     std::string* error);
// Stops the capture and closes the writer. With deleteIfEmpty, a wave file that received no
// audio is removed, so an old recording of the same name cannot play in its place.
void CloseRecordChain(RecorderState& rec, AudioServices& sv, bool deleteIfEmpty);
// Writes to the error log the capture buffers lost since the last report.
void ReportCaptureOverruns(RecorderState& rec, Logs& logs);

}  // namespace quillmar
