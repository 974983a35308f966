#pragma once
// The writer's side of a capture, shared by the real and the simulated devices: the peaks and
// the loud test of each buffer, the start of writing, and the wave file. One thread uses an
// object at a time (the capture's writer thread on the host).

#include <string>

#include "platform/Audio.h"
#include "platform/FileSystem.h"
#include "platform/wave/SndFile.h"

namespace quillmar {

class CaptureFileWriter {
  public:
    CaptureFileWriter(FileSystem& files, CaptureSetup setup);

    // Measures a buffer and marks it to be written once writing has begun: with the first loud
    // buffer, or with writeNow.
    CaptureSummary measure(AudioBuffer& buffer, bool writeNow);
    // Writes a buffer that measure() marked, opening the file (and its folder) the first time.
    // False with the reason on failure; the summary is corrected and nothing more is written.
    bool write(const AudioBuffer& buffer, CaptureSummary& summary, std::string* error);
    // The write of this buffer failed before reaching the file; as write() failing.
    void refuse(CaptureSummary& summary);
    bool isOpen() const { return file_.isOpen(); }
    CaptureResult close();

  private:
    FileSystem& files_;
    CaptureSetup setup_;
    SndFileWriter file_;
    bool writing_ = false;
    bool failed_ = false;
    bool opened_ = false;
};

}  // namespace quillmar
