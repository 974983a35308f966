#include "core/RecordingSequences.h"

#include "audio/Recording.h"
#include "audio/SoundFiles.h"
#include "core/ExportSequences.h"
#include "core/NextEvent.h"
#include "core/ReceiverSequences.h"
#include "core/Station.h"
#include "export/ExportEngine.h"
#include "receiver/ReceiverCommands.h"

namespace quillmar {

namespace {

const std::string kBlankName(40, ' ');
const std::string kBlankTimer(12, ' ');

double NowSeconds(const Station& st) {
    return st.platform.clock.now().secondsOfDay();
}

void CaptureStopped(Station& st) {
    st.main.cmdRecordCaption = "Record";
    st.main.cmdRecordColour = MainWindowModel::ButtonColour::Maroon;
}

// Back to idle after a stop or a dump: the record meters go, the labels clear and the finders
// look for what comes next.
void EndRecordingState(Station& st) {
    EndRecorder(st.recorder, st.Audio);
    st.main.lblRecordName = kBlankName;
    st.main.lblRecordTimer = kBlankTimer;
}

void FindNextEvents(Station& st) {
    FindNextRecord(st);
    FindNextSwitch(st);
}

std::string ArmSlot(const Station& st) {
    if (!st.next.record) return {};
    const NextRecord& next = *st.next.record;
    return next.dateText + " " + std::to_string(next.seconds) + " " + std::to_string(next.recordNo);
}

}  // namespace

AudioServices AudioServicesOf(Station& st) {
    return {st.platform.audio,  st.platform.files, st.platform.clock,
            st.platform.errors, st.logs,           st.Settings};
}

void CueRecording(Station& st) {
    st.noteAction("CueRecording");
    if (!st.next.record) return;
    const NextRecord next = *st.next.record;
    const std::optional<ScheduleFields> read = ReadSchedule(st.schedule, next.recordNo);
    if (!read) return;
    const ScheduleFields& f = *read;

    const std::string cue = RecordCueCommand(f);
    // A failure is reported by the link; the recording goes on.
    SendReceiverCommand(st, cue, [&logs = st.logs, cue](bool) { LogAudioActivity(logs, cue); });
    if (IsOn(st.Settings.ResetExpansionRelays)) ResetExpansionRelays(st, f.UnityPort, true);

    st.recorder.Cued = CuedProgramme(st.Settings, f, next.slot + 1, next.recordNo);
    st.Audio.RecordMetersVisible = true;
    st.main.lblRecordName = "Cue " + st.recorder.Cued->name;
}

void ArmRecording(Station& st) {
    st.noteAction("ArmRecording");
    AudioServices sv = AudioServicesOf(st);
    CaptureEvents events{[&st](const CaptureSummary& b) { OnRecordBuffer(st, b); },
                         [&st](const std::string& e) { OnCaptureFailure(st, e); },
                         [&st](const CaptureResult& r) { OnRecordingEnded(st, r); }};
    switch (ArmRecorder(st.recorder, sv, ArmSlot(st), NowSeconds(st), std::move(events))) {
        case ArmResult::Ignored:
            return;
        case ArmResult::Failed:
            CaptureStopped(st);
            DumpRecording(st);  // ends it and moves on to the next event
            return;
        case ArmResult::Opened:
            st.main.cmdRecordCaption = "Ready";
            st.main.cmdRecordColour = MainWindowModel::ButtonColour::Yellow;
            break;
        case ArmResult::Rearmed:
            break;
    }
    st.main.lblRecordName = "Waiting for Audio";
}

void StartRecording(Station& st) {
    st.noteAction("StartRecording");
    st.main.cmdRecordCaption = "Recording";
    st.main.cmdRecordColour = MainWindowModel::ButtonColour::Red;
    StartRecorder(st.recorder, NowSeconds(st), MomentOf(st.platform.clock.now()));
    st.main.lblRecordName = "Recording " + st.recorder.Armed->name;
    LogAudioActivity(st.logs, "Record " + st.recorder.Armed->name);
    FindNextEvents(st);
}

void StopRecording(Station& st) {
    RecorderState& rec = st.recorder;
    if (rec.Chains.Ending != RecordEnding::None) return;  // the file is closing already
    st.noteAction("StopRecording");
    if (rec.RecordState == RecordState::Idle) return;
    // The audio captured up to now goes to the file when the writer is on; otherwise the stop
    // ends a wait, as a dump does, and nothing more is written.
    const bool keep = rec.RecordState == RecordState::Recording || rec.Chains.WriterEnabled;
    if (!FinishRecordChain(rec, RecordEnding::Stop, keep)) OnRecordingEnded(st, CaptureResult{});
}

void DumpRecording(Station& st) {
    RecorderState& rec = st.recorder;
    if (rec.Chains.Ending != RecordEnding::None) return;
    st.noteAction("DumpRecording");
    if (rec.RecordState == RecordState::Idle) return;
    if (!FinishRecordChain(rec, RecordEnding::Dump, false)) OnRecordingEnded(st, CaptureResult{});
}

void OnRecordingEnded(Station& st, const CaptureResult& result) {
    RecorderState& rec = st.recorder;
    const RecordEnding ending = rec.Chains.Ending;
    rec.Chains.Ending = RecordEnding::None;
    if (ending == RecordEnding::None) return;
    AudioServices sv = AudioServicesOf(st);
    ReportCaptureOverruns(rec, st.logs);
    bool stopped = false;
    if (ending == RecordEnding::Stop) {
        stopped = StopRecorder(rec, sv, result) == StopResult::Stopped;
        if (!stopped) st.noteAction("DumpRecording");
    }
    if (!stopped) DumpRecorder(rec, sv, result);
    CaptureStopped(st);
    if (stopped) CheckExport(st);
    EndRecordingState(st);
    FindNextEvents(st);
    if (auto then = std::move(rec.Chains.WhenEnded)) {
        rec.Chains.WhenEnded = nullptr;
        then();
    }
}

void PassFailedArm(Station& st) {
    const std::string& failed = st.recorder.Chains.FailedArm;
    if (st.recorder.RecordState != RecordState::Idle || failed.empty() || failed != ArmSlot(st))
        return;
    FindNextEvents(st);
}

void OnRecordBuffer(Station& st, const CaptureSummary& buffer) {
    RecorderState& rec = st.recorder;
    if (rec.RecordState == RecordState::Idle) return;
    TakeRecordPeaks(st.Audio, buffer);
    // The capture began writing with this buffer; a recording that is ending does not start.
    if (buffer.loud && rec.RecordState == RecordState::WaitingForAudio &&
        rec.Chains.Ending == RecordEnding::None)
        StartRecording(st);
    AudioServices sv = AudioServicesOf(st);
    TakeRecordSummary(rec, sv, buffer);
}

void OnCaptureFailure(Station& st, const std::string& error) {
    const RecordState state = st.recorder.RecordState;
    if (state == RecordState::Idle) return;
    ReportAudioError(st.logs, st.recorder.Armed->name + " Recording ended: " + error);
    if (state == RecordState::Recording)
        StopRecording(st);
    else
        DumpRecording(st);
}

void ShutdownRecording(Station& st, std::function<void()> then) {
    if (st.recorder.RecordState == RecordState::Recording)
        StopRecording(st);
    else if (st.recorder.RecordState == RecordState::WaitingForAudio)
        DumpRecording(st);
    if (st.recorder.Chains.Ending != RecordEnding::None)
        st.recorder.Chains.WhenEnded = std::move(then);
    else if (then)
        then();
}

}  // namespace quillmar
