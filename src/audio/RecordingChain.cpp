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
    AudioChains& c = st.recorder.Chains;
    if (!c.WriterEnabled || !c.WaveFile) return true;
    std::string error;
    if (!c.WaveOpened) {
        c.WaveOpened = true;
        if (!c.WaveFile->open(c.WaveHostPath, st.recorder.Armed.channels, &error)) {
            OnCaptureFailure(st, "Cannot write " + st.recorder.Armed.file + ": " + error);
            return false;
        }
    }
    if (!c.WaveFile->isOpen()) return true;
    if (c.WaveFile->append(buffer, &error)) return true;
    OnCaptureFailure(st, "Cannot write " + st.recorder.Armed.file + ": " + error);
    return false;
}

void EndSilenceAlarm(Station& st, double now) {
    WriteErrorLog(st.logs, st.recorder.SilenceAlarmTime,
                  st.recorder.Armed.name + " Audio Alarm " + FormatElapsed(st.recorder.SilenceStart));
    WriteErrorLog(st.logs, TimeText(st.platform.clock.now()),
                  st.recorder.Armed.name + " End Alarm   " +
                      FormatElapsed(WholeSeconds(SecondsSince(st.recorder.RecordStartTime, now))));
    WriteErrorLog(st.logs, "", "");
    st.recorder.AudioAlarm = false;
    st.recorder.SilenceAlarmTime.clear();
}

}  // namespace

bool OpenRecordChain(Station& st, std::string* error) {
    AudioChains& c = st.recorder.Chains;
    Audio& audio = st.platform.audio;
    if (!c.WaveIn) c.WaveIn = audio.createCapture();
    if (!c.WaveFile) c.WaveFile = audio.createWriter();
    c.WaveIn->onBuffer = [&st](const AudioBuffer& b) { OnRecordBuffer(st, b); };
    c.WaveIn->onFailure = [&st](const std::string& e) { OnCaptureFailure(st, e); };
    c.WriterEnabled = false;
    c.WaveOpened = false;
    c.OverrunsReported = c.WaveIn->overruns();

    auto& files = st.platform.files;
    const std::string folder = FolderOf(st.recorder.Armed.file);
    std::string ignored;
    if (!folder.empty() && !files.folderExists(folder)) files.createFolder(folder, &ignored);
    const std::string host = files.hostPath(st.recorder.Armed.file);
    if (host.empty()) {
        if (error) *error = "no sound-file drive is set";
        return false;
    }
    if (c.WaveFile->isOpen()) c.WaveFile->close();
    c.WaveHostPath = host;
    if (c.WaveIn->isRunning()) c.WaveIn->stop();
    if (!c.WaveIn->start(st.recorder.RecordDevice, st.recorder.Armed.channels, error)) return false;
    CaptureStarted(st);
    return true;
}

void CloseRecordChain(Station& st, bool deleteIfEmpty) {
    AudioChains& c = st.recorder.Chains;
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
    if (deleteIfEmpty && empty && c.WaveOpened && !st.recorder.Armed.file.empty() &&
        st.platform.files.fileExists(st.recorder.Armed.file))
        st.platform.files.deleteMatching(st.recorder.Armed.file);
    CaptureStopped(st);
}

void ReportCaptureOverruns(Station& st) {
    AudioChains& c = st.recorder.Chains;
    if (!c.WaveIn) return;
    const std::uint64_t total = c.WaveIn->overruns();
    if (total <= c.OverrunsReported) return;
    const std::uint64_t lost = total - c.OverrunsReported;
    c.OverrunsReported = total;
    ReportAudioError(
        st, st.recorder.Armed.name + " Audio lost: " + std::to_string(lost) + " capture buffers dropped");
}

void StartRecording(Station& st) {
    st.noteAction("StartRecording");
    st.main.cmdRecordCaption = "Recording";
    st.main.cmdRecordColour = MainWindowModel::ButtonColour::Red;
    st.recorder.Chains.WriterEnabled = true;

    const double now = NowSeconds(st);
    st.recorder.RecordStartTime = static_cast<float>(now);
    st.recorder.RecordStopTime = WholeSeconds(now + st.recorder.Armed.seconds);
    st.recorder.Armed.stopAt = NowMoment(st) + st.recorder.Armed.seconds * 1000LL;
    st.recorder.RecordState = 2;
    st.recorder.LastAudioTime = static_cast<std::int32_t>(now);

    st.main.lblRecordName = "Recording " + st.recorder.Armed.name;
    LogAudioActivity(st, "Record " + st.recorder.Armed.name);

    st.recorder.ExportRecordNo = st.recorder.Armed.recordNo;
    st.recorder.ExportWeekday = st.recorder.Armed.weekday;
    st.recorder.ExportRecordingFile = st.recorder.Armed.file;

    FindNextRecord(st);
    FindNextSwitch(st);
}

void OnRecordBuffer(Station& st, const AudioBuffer& buffer) {
    if (st.recorder.RecordState == 0) return;
    const int threshold = st.Settings.RecordThreshold;
    const int left = std::abs(static_cast<int>(buffer.peakLeft));
    const int right = std::abs(static_cast<int>(buffer.peakRight));
    st.Audio.RecordPeakLeft = static_cast<std::int16_t>(left > 32767 ? 32767 : left);
    st.Audio.RecordPeakRight = static_cast<std::int16_t>(right > 32767 ? 32767 : right);
    const bool loud = left > threshold || right > threshold;

    if (loud && st.recorder.RecordState == 1) StartRecording(st);
    if (!AppendBuffer(st, buffer)) return;

    const double now = NowSeconds(st);
    if (st.recorder.RecordState == 2 && loud) {
        st.recorder.RecordedSeconds = static_cast<float>(st.recorder.Chains.WaveFile->lengthMs()) / 1000.0f;
        st.recorder.LastAudioTime = static_cast<std::int32_t>(now);
        if (st.recorder.AudioAlarm) EndSilenceAlarm(st, now);
    }
    if (st.recorder.RecordState == 2 && !st.recorder.AudioAlarm) {
        if (SecondsSince(st.recorder.LastAudioTime, now) > 5.0) {
            st.recorder.SilenceAlarmTime = TimeText(st.platform.clock.now());
            st.recorder.AudioAlarm = true;
            st.recorder.SilenceStart = WholeSeconds(SecondsSince(st.recorder.RecordStartTime, st.recorder.LastAudioTime));
        }
    }
    if (st.recorder.Chains.WaveIn && st.recorder.Chains.WaveIn->overruns() > st.recorder.Chains.OverrunsReported)
        ReportCaptureOverruns(st);

    // A timed recording the clock tick has not stopped (its start mode was renamed by the cue
    // of the next programme) still ends at its length.
    if (st.recorder.RecordState == 2 && st.recorder.Armed.startMode == ScheduleStart::Timed && st.recorder.RecordStartMode != ScheduleStart::Timed &&
        NowMoment(st) > st.recorder.Armed.stopAt)
        StopRecording(st);
}

void EnableRecordWriter(Station& st) {
    if (st.recorder.RecordState != 1 || !st.recorder.RelayRecordArmed) return;
    st.recorder.Chains.WriterEnabled = true;
}

void OnCaptureFailure(Station& st, const std::string& error) {
    const int state = st.recorder.RecordState;
    if (state == 0) return;
    ReportAudioError(st, st.recorder.Armed.name + " Recording ended: " + error);
    if (state == 2)
        StopRecording(st);
    else
        DumpRecording(st);
}

}  // namespace quillmar
