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
    st.RecordState = 0;
    st.AudioAlarm = false;
    st.SilenceAlarmTime.clear();
    st.RelayRecordArmed = false;
    st.main.lblRecordName = kBlankName;
    st.main.lblRecordTimer = kBlankTimer;
}

void FindNextEvents(Station& st) {
    FindNextRecord(st);
    FindNextSwitch(st);
}

std::string ArmSlot(const Station& st) {
    return st.NextRecordDate + " " + std::to_string(st.NextRecordSeconds) + " " +
           std::to_string(st.NextRecordNo);
}

}  // namespace

void CueRecording(Station& st) {
    st.noteAction("CueRecording");
    if (st.NextRecordNo == 0) return;
    const std::optional<ScheduleFields> read = ReadSchedule(st, st.NextRecordNo);
    if (!read) return;
    const ScheduleFields& f = *read;
    st.RecordingName = f.ProgramName;

    const std::string cue = RecordCueCommand(f);
    SendReceiverCommand(st, cue);  // a failure is reported by the link; the recording goes on
    LogAudioActivity(st, cue);
    if (st.Settings.ResetExpansionRelays == 1) ResetExpansionRelays(st, f.UnityPort, true);

    st.RecordStartMode = f.RecordStart;
    st.RecordingFile = SoundFileName(st, st.NextRecordSlot + 1, st.NextRecordNo);
    st.MarksFile = MarksFileName(st.RecordingFile);
    st.RecordSeconds = ProgramLengthSeconds(f.ProgramLength);
    st.RecordRoute = f.Route;

    st.Audio.RecordMetersVisible = true;
    st.main.lblRecordName = "Cue " + st.RecordingName;
}

void ArmRecording(Station& st) {
    st.noteAction("ArmRecording");
    // A second arm while writing would restart the wait and lose the recording's stop.
    if (st.RecordState == 2) return;
    const std::string slot = ArmSlot(st);
    if (st.RecordState == 0 && st.Chains.FailedArm == slot) return;  // reported once already
    if (st.RecordState == 0) {
        st.Armed = ArmedRecording{};
        st.Armed.name = st.RecordingName;
        st.Armed.file = st.RecordingFile;
        st.Armed.marksFile = st.MarksFile;
        st.Armed.startMode = st.RecordStartMode;
        st.Armed.recordNo = st.NextRecordNo;
        st.Armed.weekday = st.NextRecordSlot + 1;
        st.Armed.seconds = st.RecordSeconds;
        st.Armed.channels = st.RecordRoute == "1" || st.RecordRoute == "2" ? 1 : 2;
        st.RecordedSeconds = 0;
        st.LastAudioTime = 0;
        st.AudioAlarm = false;
        std::string error;
        if (!OpenRecordChain(st, &error)) {
            ReportAudioError(st, "Cannot record " + st.Armed.file + ": " + error);
            st.Chains.FailedArm = slot;
            CloseRecordChain(st, true);
            st.RecordState = 1;  // the dump below ends it and moves on to the next event
            DumpRecording(st);
            return;
        }
    }
    st.main.lblRecordName = "Waiting for Audio";
    st.RecordState = 1;
    if (st.RecordStartMode == "M") st.RelayRecordArmed = true;
    st.ArmDeadline = WholeSeconds(NowSeconds(st) + st.RecordSeconds);
}

void StopRecording(Station& st) {
    st.noteAction("StopRecording");
    // Nothing armed: there is no file to close and no marks of this run to write.
    if (st.RecordState == 0) return;
    const AudioChains& c = st.Chains;
    const bool writing = c.WaveFile && c.WaveFile->isOpen();
    const std::int64_t writtenMs = writing ? c.WaveFile->lengthMs() : 0;
    // Nothing of this run reached the disk (still waiting, or its file could not be opened):
    // end it as a dump does, so the wave file, marks and exports of earlier runs stay whole.
    if (!writing || (st.RecordState == 1 && writtenMs <= 0)) {
        DumpRecording(st);
        return;
    }
    if (st.RecordState == 1) {
        // A relay recording writes from its Record input, before any buffer was loud.
        st.RecordedSeconds = static_cast<float>(writtenMs) / 1000.0f;
    }
    CloseRecordChain(st, false);

    std::string error;
    if (!WriteSoundMark(st, st.Armed.marksFile, 1, st.RecordedSeconds, &error) ||
        !WriteSoundMark(st, st.Armed.marksFile, 2, st.RecordedSeconds, &error))
        ReportAudioError(st, "Cannot write the marks file " + st.Armed.marksFile + ": " + error);

    LogAudioActivity(
        st, "Stop   " + st.Armed.name + " " + FormatElapsed(WholeSeconds(st.RecordedSeconds)));
    st.AudioAlarm = false;
    // The export is this recording's, whatever an earlier one left behind.
    st.ExportRecordNo = st.Armed.recordNo;
    st.ExportWeekday = st.Armed.weekday;
    st.ExportRecordingFile = st.Armed.file;
    CheckExport(st);
    EndRecordingState(st);
    FindNextEvents(st);
}

void DumpRecording(Station& st) {
    st.noteAction("DumpRecording");
    if (st.RecordState == 0) return;
    CloseRecordChain(st, true);
    EndRecordingState(st);
    LogAudioActivity(st, "Dump " + st.Armed.name);
    FindNextEvents(st);
}

void PassFailedArm(Station& st) {
    if (st.RecordState != 0 || st.Chains.FailedArm.empty() || st.Chains.FailedArm != ArmSlot(st))
        return;
    FindNextEvents(st);
}

void ShutdownRecording(Station& st) {
    if (st.RecordState == 2)
        StopRecording(st);
    else if (st.RecordState == 1)
        DumpRecording(st);
}

}  // namespace quillmar
