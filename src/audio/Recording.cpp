#include "audio/Recording.h"

#include <cmath>

#include "audio/RecordingChain.h"
#include "audio/SoundFiles.h"
#include "core/ClockTick.h"
#include "core/NextEvent.h"
#include "core/Station.h"
#include "export/ExportEngine.h"
#include "receiver/ReceiverCommands.h"
#include "receiver/ReceiverLink.h"

namespace quillmar {

namespace {

const std::string kBlankName(40, ' ');
const std::string kBlankTimer(12, ' ');

double NowSeconds(const Station& st) {
    return st.platform.clock.now().secondsOfDay();
}

// Back to idle after a stop or a dump: the record meters go, the labels clear and the finders
// look for what comes next.
void EndRecordingState(Station& st) {
    st.Audio.RecordMetersVisible = false;
    st.Audio.RecordPeakLeft = st.Audio.RecordPeakRight = 0;
    st.recorder.RecordState = 0;
    st.recorder.AudioAlarm = false;
    st.recorder.SilenceAlarmTime.clear();
    st.recorder.RelayRecordArmed = false;
    st.main.lblRecordName = kBlankName;
    st.main.lblRecordTimer = kBlankTimer;
}

void FindNextEvents(Station& st) {
    FindNextRecord(st);
    FindNextSwitch(st);
}

std::string ArmSlot(const Station& st) {
    return st.next.NextRecordDate + " " + std::to_string(st.next.NextRecordSeconds) + " " +
           std::to_string(st.next.NextRecordNo);
}

}  // namespace

void CueRecording(Station& st) {
    st.noteAction("CueRecording");
    if (st.next.NextRecordNo == 0) return;
    const std::optional<ScheduleFields> read = ReadSchedule(st.schedule, st.next.NextRecordNo);
    if (!read) return;
    const ScheduleFields& f = *read;
    st.recorder.RecordingName = f.ProgramName;

    const std::string cue = RecordCueCommand(f);
    SendReceiverCommand(st, cue);  // a failure is reported by the link; the recording goes on
    LogAudioActivity(st, cue);
    if (st.Settings.ResetExpansionRelays == 1) ResetExpansionRelays(st, f.UnityPort, true);

    st.recorder.RecordStartMode = f.RecordStart;
    st.recorder.RecordingFile = SoundFileName(st, st.next.NextRecordSlot + 1, st.next.NextRecordNo);
    st.recorder.MarksFile = MarksFileName(st.recorder.RecordingFile);
    st.recorder.RecordSeconds = ProgramLengthSeconds(f.ProgramLength);
    st.recorder.RecordRoute = f.Route;

    st.Audio.RecordMetersVisible = true;
    st.main.lblRecordName = "Cue " + st.recorder.RecordingName;
}

void ArmRecording(Station& st) {
    st.noteAction("ArmRecording");
    // A second arm while writing would restart the wait and lose the recording's stop.
    if (st.recorder.RecordState == 2) return;
    const std::string slot = ArmSlot(st);
    if (st.recorder.RecordState == 0 && st.recorder.Chains.FailedArm == slot) return;  // reported once already
    if (st.recorder.RecordState == 0) {
        st.recorder.Armed = ArmedRecording{};
        st.recorder.Armed.name = st.recorder.RecordingName;
        st.recorder.Armed.file = st.recorder.RecordingFile;
        st.recorder.Armed.marksFile = st.recorder.MarksFile;
        st.recorder.Armed.startMode = st.recorder.RecordStartMode;
        st.recorder.Armed.recordNo = st.next.NextRecordNo;
        st.recorder.Armed.weekday = st.next.NextRecordSlot + 1;
        st.recorder.Armed.seconds = st.recorder.RecordSeconds;
        st.recorder.Armed.channels = IsMonoRoute(st.recorder.RecordRoute) ? 1 : 2;
        st.recorder.RecordedSeconds = 0;
        st.recorder.LastAudioTime = 0;
        st.recorder.AudioAlarm = false;
        std::string error;
        if (!OpenRecordChain(st, &error)) {
            ReportAudioError(st, "Cannot record " + st.recorder.Armed.file + ": " + error);
            st.recorder.Chains.FailedArm = slot;
            CloseRecordChain(st, true);
            st.recorder.RecordState = 1;  // the dump below ends it and moves on to the next event
            DumpRecording(st);
            return;
        }
    }
    st.main.lblRecordName = "Waiting for Audio";
    st.recorder.RecordState = 1;
    if (st.recorder.RecordStartMode == ScheduleStart::Manual) st.recorder.RelayRecordArmed = true;
    st.recorder.ArmDeadline = WholeSeconds(NowSeconds(st) + st.recorder.RecordSeconds);
}

void StopRecording(Station& st) {
    st.noteAction("StopRecording");
    // Nothing armed: there is no file to close and no marks of this run to write.
    if (st.recorder.RecordState == 0) return;
    const AudioChains& c = st.recorder.Chains;
    const bool writing = c.WaveFile && c.WaveFile->isOpen();
    const std::int64_t writtenMs = writing ? c.WaveFile->lengthMs() : 0;
    // Nothing of this run reached the disk (still waiting, or its file could not be opened):
    // end it as a dump does, so the wave file, marks and exports of earlier runs stay whole.
    if (!writing || (st.recorder.RecordState == 1 && writtenMs <= 0)) {
        DumpRecording(st);
        return;
    }
    if (st.recorder.RecordState == 1) {
        // A relay recording writes from its Record input, before any buffer was loud.
        st.recorder.RecordedSeconds = static_cast<float>(writtenMs) / 1000.0f;
    }
    CloseRecordChain(st, false);

    std::string error;
    if (!WriteSoundMark(st, st.recorder.Armed.marksFile, 1, st.recorder.RecordedSeconds, &error) ||
        !WriteSoundMark(st, st.recorder.Armed.marksFile, 2, st.recorder.RecordedSeconds, &error))
        ReportAudioError(st, "Cannot write the marks file " + st.recorder.Armed.marksFile + ": " + error);

    LogAudioActivity(
        st, "Stop   " + st.recorder.Armed.name + " " + FormatElapsed(WholeSeconds(st.recorder.RecordedSeconds)));
    st.recorder.AudioAlarm = false;
    // The export is this recording's, whatever an earlier one left behind.
    st.recorder.ExportRecordNo = st.recorder.Armed.recordNo;
    st.recorder.ExportWeekday = st.recorder.Armed.weekday;
    st.recorder.ExportRecordingFile = st.recorder.Armed.file;
    CheckExport(st);
    EndRecordingState(st);
    FindNextEvents(st);
}

void DumpRecording(Station& st) {
    st.noteAction("DumpRecording");
    if (st.recorder.RecordState == 0) return;
    CloseRecordChain(st, true);
    EndRecordingState(st);
    LogAudioActivity(st, "Dump " + st.recorder.Armed.name);
    FindNextEvents(st);
}

void PassFailedArm(Station& st) {
    if (st.recorder.RecordState != 0 || st.recorder.Chains.FailedArm.empty() || st.recorder.Chains.FailedArm != ArmSlot(st))
        return;
    FindNextEvents(st);
}

void ShutdownRecording(Station& st) {
    if (st.recorder.RecordState == 2)
        StopRecording(st);
    else if (st.recorder.RecordState == 1)
        DumpRecording(st);
}

}  // namespace quillmar
