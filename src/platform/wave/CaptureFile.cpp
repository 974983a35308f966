#include "platform/wave/CaptureFile.h"

#include <utility>

namespace quillmar {

CaptureFileWriter::CaptureFileWriter(FileSystem& files, CaptureSetup setup)
    : files_(files), setup_(std::move(setup)), file_(files) {}

CaptureSummary CaptureFileWriter::measure(AudioBuffer& buffer, bool writeNow) {
    MeasurePeaks(buffer);
    CaptureSummary s;
    s.peakLeft = buffer.peakLeft;
    s.peakRight = buffer.peakRight;
    s.loud = buffer.peakLeft > setup_.threshold || buffer.peakRight > setup_.threshold;
    if (!setup_.file.empty() && !failed_ && (writeNow || s.loud)) writing_ = true;
    s.written = writing_ && !failed_;
    s.fileMs = (file_.frames() + (s.written ? buffer.frames() : 0)) * 1000 / kSampleRate;
    return s;
}

bool CaptureFileWriter::write(const AudioBuffer& buffer, CaptureSummary& summary,
                              std::string* error) {
    if (!summary.written) return true;
    if (!file_.isOpen()) {
        // The folder goes too when an operator removed it; the open reports what still fails.
        const auto cut = setup_.file.find_last_of('\\');
        std::string ignored;
        if (cut != std::string::npos && !files_.folderExists(setup_.file.substr(0, cut)))
            files_.createFolder(setup_.file.substr(0, cut), &ignored);
        opened_ = file_.open(setup_.file, setup_.channels, error);
        if (!opened_) {
            // A refused open never reached last week's file: it is this run's only if emptied.
            opened_ = files_.fileLength(setup_.file) == 0;
            refuse(summary);
            return false;
        }
    }
    if (file_.append(buffer, error)) return true;
    refuse(summary);
    return false;
}

void CaptureFileWriter::refuse(CaptureSummary& summary) {
    failed_ = true;
    summary.written = false;
    summary.fileMs = file_.lengthMs();
}

CaptureResult CaptureFileWriter::close() {
    CaptureResult r{opened_, file_.lengthMs()};
    file_.close();
    return r;
}

}  // namespace quillmar
