#include "audio/RecordingChain.h"

#include "audio/SoundFiles.h"

namespace quillmar {

namespace {

// The folder of a drive path ("C:\SATFILE" of "C:\SATFILE\SFMON007.WAV").
std::string FolderOf(const std::string& path) {
    const auto cut = path.find_last_of('\\');
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

}  // namespace

bool OpenRecordChain(RecorderState& rec, AudioServices& sv, CaptureEvents events,
                     std::string* error) {
    AudioChains& c = rec.Chains;
    const RecordProgramme& armed = *rec.Armed;
    if (!c.WaveIn) c.WaveIn = sv.audio.createCapture();
    if (!c.WaveFile) c.WaveFile = sv.audio.createWriter();
    c.WaveIn->onBuffer = std::move(events.onBuffer);
    c.WaveIn->onFailure = std::move(events.onFailure);
    c.WriterEnabled = false;
    c.WaveOpened = false;
    c.OverrunsReported = c.WaveIn->overruns();

    const std::string folder = FolderOf(armed.file);
    std::string ignored;
    if (!folder.empty() && !sv.files.folderExists(folder)) sv.files.createFolder(folder, &ignored);
    if (DrivePathKey(armed.file).empty()) {
        if (error) *error = "no sound-file drive is set";
        return false;
    }
    if (c.WaveFile->isOpen()) c.WaveFile->close();
    c.WavePath = armed.file;
    if (c.WaveIn->isRunning()) c.WaveIn->stop();
    return c.WaveIn->start(rec.RecordDevice, armed.channels, error);
}

void CloseRecordChain(RecorderState& rec, AudioServices& sv, bool deleteIfEmpty) {
    AudioChains& c = rec.Chains;
    if (c.WaveIn) {
        if (c.WaveIn->isRunning()) c.WaveIn->stop();
        ReportCaptureOverruns(rec, sv.logs);
    }
    c.WriterEnabled = false;
    bool empty = true;
    if (c.WaveFile && c.WaveFile->isOpen()) {
        empty = c.WaveFile->lengthMs() <= 0;
        c.WaveFile->close();
    }
    // Only a file this run emptied is removed; an earlier run's recording stays.
    const std::string file = rec.Armed ? rec.Armed->file : std::string();
    if (deleteIfEmpty && empty && c.WaveOpened && !file.empty() && sv.files.fileExists(file))
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
