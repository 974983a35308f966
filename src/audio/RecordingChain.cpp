#include "audio/RecordingChain.h"

#include <cstdlib>

#include "audio/Recording.h"
#include "audio/SoundFiles.h"
#include "core/ClockTick.h"
#include "core/NextEvent.h"
#include "core/Station.h"
#include "logs/ActivityLog.h"
#include "schedule/ScheduleRecord.h"

namespace quillmar {

namespace {

double NowSeconds(const Station& st) {
    return st.platform.clock.now().secondsOfDay();
}

std::int64_t NowMoment(const Station& st) {
    return MomentOf(st.platform.clock.now());
}

// The folder of a drive path ("C:\SATFILE" of "C:\SATFILE\SFMON007.WAV").
std::string FolderOf(const std::string& path) {
    const auto cut = path.find_last_of('\\');
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

void CaptureStarted(Station& st) {
    st.main.cmdRecordCaption = "Ready";
    st.main.cmdRecordColour = MainWindowModel::ButtonColour::Yellow;
}

void CaptureStopped(Station& st) {
    st.main.cmdRecordCaption = "Record";
    st.main.cmdRecordColour = MainWindowModel::ButtonColour::Maroon;
}

// Appends one buffer while the writer is enabled; a failed write (disk full, drive gone) ends
// the recording with what was written so far.
bool AppendBuffer(Station& st, const AudioBuffer& buffer) {
    AudioChains& c = st.Chains;
    if (!c.WriterEnabled || !c.WaveFile) return true;
    std::string error;
    if (!c.WaveOpened) {
        c.WaveOpened = true;
        if (!c.WaveFile->open(c.WaveHostPath, st.Armed.channels, &error)) {
            OnCaptureFailure(st, "Cannot write " + st.Armed.file + ": " + error);
            return false;
        }
    }
    if (!c.WaveFile->isOpen()) return true;
    if (c.WaveFile->append(buffer, &error)) return true;
    OnCaptureFailure(st, "Cannot write " + st.Armed.file + ": " + error);
    return false;
}

void EndSilenceAlarm(Station& st, double now) {
    WriteErrorLog(st, st.SilenceAlarmTime,
                  st.Armed.name + " Audio Alarm " + FormatElapsed(st.SilenceStart));
    WriteErrorLog(st, TimeText(st.platform.clock.now()),
                  st.Armed.name + " End Alarm   " +
                      FormatElapsed(WholeSeconds(SecondsSince(st.RecordStartTime, now))));
    WriteErrorLog(st, "", "");
    st.AudioAlarm = false;
    st.SilenceAlarmTime.clear();
}

}  // namespace

bool OpenRecordChain(Station& st, std::string* error) {
    AudioChains& c = st.Chains;
    Audio& audio = st.platform.audio;
    if (!c.WaveIn) c.WaveIn = audio.createCapture();
    if (!c.WaveFile) c.WaveFile = audio.createWriter();
    c.WaveIn->onBuffer = [&st](const AudioBuffer& b) { OnRecordBuffer(st, b); };
    c.WaveIn->onFailure = [&st](const std::string& e) { OnCaptureFailure(st, e); };
    c.WriterEnabled = false;
    c.WaveOpened = false;
    c.OverrunsReported = c.WaveIn->overruns();

    auto& files = st.platform.files;
    const std::string folder = FolderOf(st.Armed.file);
    std::string ignored;
    if (!folder.empty() && !files.folderExists(folder)) files.createFolder(folder, &ignored);
    const std::string host = files.hostPath(st.Armed.file);
    if (host.empty()) {
        if (error) *error = "no sound-file drive is set";
        return false;
    }
    if (c.WaveFile->isOpen()) c.WaveFile->close();
    c.WaveHostPath = host;
    if (c.WaveIn->isRunning()) c.WaveIn->stop();
    if (!c.WaveIn->start(st.RecordDevice, st.Armed.channels, error)) return false;
    CaptureStarted(st);
    return true;
}

void CloseRecordChain(Station& st, bool deleteIfEmpty) {
    AudioChains& c = st.Chains;
    if (c.WaveIn) {
        if (c.WaveIn->isRunning()) c.WaveIn->stop();
        ReportCaptureOverruns(st);
    }
    c.WriterEnabled = false;
    bool empty = true;
    if (c.WaveFile && c.WaveFile->isOpen()) {
        empty = c.WaveFile->lengthMs() <= 0;
        c.WaveFile->close();
    }
    // Only a file this run emptied is removed; an earlier run's recording stays.
    if (deleteIfEmpty && empty && c.WaveOpened && !st.Armed.file.empty() &&
        st.platform.files.fileExists(st.Armed.file))
        st.platform.files.deleteMatching(st.Armed.file);
    CaptureStopped(st);
}

void ReportCaptureOverruns(Station& st) {
    AudioChains& c = st.Chains;
    if (!c.WaveIn) return;
    const std::uint64_t total = c.WaveIn->overruns();
    if (total <= c.OverrunsReported) return;
    const std::uint64_t lost = total - c.OverrunsReported;
    c.OverrunsReported = total;
    ReportAudioError(
        st, st.Armed.name + " Audio lost: " + std::to_string(lost) + " capture buffers dropped");
}

void StartRecording(Station& st) {
    st.noteAction("StartRecording");
    st.main.cmdRecordCaption = "Recording";
    st.main.cmdRecordColour = MainWindowModel::ButtonColour::Red;
    st.Chains.WriterEnabled = true;

    const double now = NowSeconds(st);
    st.RecordStartTime = static_cast<float>(now);
    st.RecordStopTime = WholeSeconds(now + st.Armed.seconds);
    st.Armed.stopAt = NowMoment(st) + st.Armed.seconds * 1000LL;
    st.RecordState = 2;
    st.LastAudioTime = static_cast<std::int32_t>(now);

    st.main.lblRecordName = "Recording " + st.Armed.name;
    LogAudioActivity(st, "Record " + st.Armed.name);

    st.ExportRecordNo = st.Armed.recordNo;
    st.ExportWeekday = st.Armed.weekday;
    st.ExportRecordingFile = st.Armed.file;

    FindNextRecord(st);
    FindNextSwitch(st);
}

void OnRecordBuffer(Station& st, const AudioBuffer& buffer) {
    if (st.RecordState == 0) return;
    const int threshold = st.Settings.RecordThreshold;
    const int left = std::abs(static_cast<int>(buffer.peakLeft));
    const int right = std::abs(static_cast<int>(buffer.peakRight));
    st.Audio.RecordPeakLeft = static_cast<std::int16_t>(left > 32767 ? 32767 : left);
    st.Audio.RecordPeakRight = static_cast<std::int16_t>(right > 32767 ? 32767 : right);
    const bool loud = left > threshold || right > threshold;

    if (loud && st.RecordState == 1) StartRecording(st);
    if (!AppendBuffer(st, buffer)) return;

    const double now = NowSeconds(st);
    if (st.RecordState == 2 && loud) {
        st.RecordedSeconds = static_cast<float>(st.Chains.WaveFile->lengthMs()) / 1000.0f;
        st.LastAudioTime = static_cast<std::int32_t>(now);
        if (st.AudioAlarm) EndSilenceAlarm(st, now);
    }
    if (st.RecordState == 2 && !st.AudioAlarm) {
        if (SecondsSince(st.LastAudioTime, now) > 5.0) {
            st.SilenceAlarmTime = TimeText(st.platform.clock.now());
            st.AudioAlarm = true;
            st.SilenceStart = WholeSeconds(SecondsSince(st.RecordStartTime, st.LastAudioTime));
        }
    }
    if (st.Chains.WaveIn && st.Chains.WaveIn->overruns() > st.Chains.OverrunsReported)
        ReportCaptureOverruns(st);

    // A timed recording the clock tick has not stopped (its start mode was renamed by the cue
    // of the next programme) still ends at its length.
    if (st.RecordState == 2 && st.Armed.startMode == "T" && st.RecordStartMode != "T" &&
        NowMoment(st) > st.Armed.stopAt)
        StopRecording(st);
}

void EnableRecordWriter(Station& st) {
    if (st.RecordState != 1 || !st.RelayRecordArmed) return;
    st.Chains.WriterEnabled = true;
}

void OnCaptureFailure(Station& st, const std::string& error) {
    const int state = st.RecordState;
    if (state == 0) return;
    ReportAudioError(st, st.Armed.name + " Recording ended: " + error);
    if (state == 2)
        StopRecording(st);
    else
        DumpRecording(st);
}

}  // namespace quillmar
