#include "audio/RecordingChain.h"

#include "audio/SoundFiles.h"

namespace quillmar {

bool OpenRecordChain(RecorderState& rec, AudioServices& sv, CaptureEvents events,
                     std::string* error) {
    AudioChains& c = rec.Chains;
    const RecordProgramme& armed = *rec.Armed;
    if (!c.WaveIn) c.WaveIn = sv.audio.createCapture();
    c.WaveIn->onBuffer = std::move(events.onBuffer);
    c.WaveIn->onFailure = events.onFailure;
    c.WaveIn->onWriteFailure = [fail = std::move(events.onFailure),
                                file = armed.file](const std::string& e) {
        if (fail) fail("Cannot write " + file + ": " + e);
    };
    c.WaveIn->onFinished = std::move(events.onFinished);
    c.WriterEnabled = false;
    c.Ending = RecordEnding::None;
    c.OverrunsReported = 0;
    if (DrivePathKey(armed.file).empty()) {
        if (error) *error = "no sound-file drive is set";
        return false;
    }
    CaptureSetup setup;
    setup.device = rec.RecordDevice;
    setup.channels = armed.channels;
    setup.file = armed.file;
    setup.threshold = sv.settings.RecordThreshold;
    return c.WaveIn->start(setup, error);
}

bool FinishRecordChain(RecorderState& rec, RecordEnding ending, bool keep) {
    AudioChains& c = rec.Chains;
    c.WriterEnabled = false;
    c.Ending = ending;
    if (!c.WaveIn) return false;
    c.WaveIn->finish(keep);
    return true;
}

void RemoveEmptiedWave(RecorderState& rec, AudioServices& sv, const CaptureResult& result) {
    // Only a file this run emptied is removed; an earlier run's recording stays.
    const std::string file = rec.Armed ? rec.Armed->file : std::string();
    if (result.opened && result.fileMs <= 0 && !file.empty() && sv.files.fileExists(file))
        sv.files.deleteMatching(file);
}

void ReportCaptureOverruns(RecorderState& rec, Logs& logs) {
    AudioChains& c = rec.Chains;
    if (!c.WaveIn) return;
    const std::uint64_t total = c.WaveIn->overruns();
    if (total <= c.OverrunsReported) return;
    const std::uint64_t lost = total - c.OverrunsReported;
    c.OverrunsReported = total;
    const std::string name = rec.Armed ? rec.Armed->name : std::string();
    ReportAudioError(logs,
                     name + " Audio lost: " + std::to_string(lost) + " capture buffers dropped");
}

}  // namespace quillmar
