#pragma once
// The capture chain of the main window: capture → writer, built on the platform's audio
// service for one recording at a time.

#include <string>

namespace quillmar {

class Station;

// Opens the writer on the armed recording's file (created anew, disabled) and starts the
// capture on the record card, mono or stereo as armed. False with the reason on failure.
bool OpenRecordChain(Station& st, std::string* error);
// Stops the capture and closes the writer. With deleteIfEmpty, a wave file that received no
// audio is removed, so an old recording of the same name cannot play in its place.
void CloseRecordChain(Station& st, bool deleteIfEmpty);
// Writes to the error log the capture buffers lost since the last report.
void ReportCaptureOverruns(Station& st);

}  // namespace quillmar
