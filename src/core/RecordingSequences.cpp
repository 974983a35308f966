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
    CaptureEvents events{[&st](const AudioBuffer& b) { OnRecordBuffer(st, b); },
                         [&st](const std::string& e) { OnCaptureFailure(st, e); }};
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
    st.noteAction("StopRecording");
    AudioServices sv = AudioServicesOf(st);
    switch (StopRecorder(st.recorder, sv)) {
        case StopResult::NotArmed:
            return;
        case StopResult::NothingWritten:
            DumpRecording(st);
            return;
        case StopResult::Stopped:
            break;
    }
    CaptureStopped(st);
    CheckExport(st);
    EndRecordingState(st);
    FindNextEvents(st);
}

void DumpRecording(Station& st) {
    st.noteAction("DumpRecording");
    AudioServices sv = AudioServicesOf(st);
    if (!DumpRecorder(st.recorder, sv)) return;
    CaptureStopped(st);
    EndRecordingState(st);
    FindNextEvents(st);
}

void PassFailedArm(Station& st) {
    const std::string& failed = st.recorder.Chains.FailedArm;
    if (st.recorder.RecordState != RecordState::Idle || failed.empty() || failed != ArmSlot(st))
        return;
    FindNextEvents(st);
}

void OnRecordBuffer(Station& st, const AudioBuffer& buffer) {
    if (st.recorder.RecordState == RecordState::Idle) return;
    const bool loud = TakeRecordPeaks(st.Audio, st.Settings.RecordThreshold, buffer);
    if (loud && st.recorder.RecordState == RecordState::WaitingForAudio) StartRecording(st);
    AudioServices sv = AudioServicesOf(st);
    if (const std::optional<std::string> failure = WriteRecordBuffer(st.recorder, sv, buffer, loud))
        OnCaptureFailure(st, *failure);
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

void ShutdownRecording(Station& st) {
    if (st.recorder.RecordState == RecordState::Recording)
        StopRecording(st);
    else if (st.recorder.RecordState == RecordState::WaitingForAudio)
        DumpRecording(st);
}

}  // namespace quillmar
