#include "core/RemoteSequences.h"

#include "audio/Recording.h"
#include "core/ExportSequences.h"
#include "core/PlayoutSequences.h"
#include "core/ReceiverSequences.h"
#include "core/RecordingSequences.h"
#include "core/Station.h"
#include "export/MailOut.h"
#include "logs/ActivityLog.h"
#include "receiver/ReceiverAlarm.h"

namespace quillmar {

namespace {

// At minute 54 of the hour the network's time pulse sets the clock to hh:54:30, once a pulse.
// The clock answers later (the system's time service decides); the pulse is spent either way.
void SetClockFromTimeSet(Station& st, const DateTime& now) {
    const std::string was = TimeText(now);
    auto done = [&st, was](bool ok, const std::string& error) {
        if (!ok) {
            ShowError(st, "Time Set failed: " + error);
            WriteErrorLog(st.logs, was, "Time Set failed: " + error);
            return;
        }
        WriteActivityLog(st.logs, "Time Set " + was);
    };
    st.platform.clock.setTimeOfDay(now.hour(), 54, 30, done);
}

void HandleRelayRecording(Station& st, bool recordInput) {
    // The armed programme's own start mode: the cue of the next one does not change it.
    if (!st.recorder.Armed || st.recorder.Armed->start != ScheduleStart::Manual) return;
    if (st.recorder.RecordState != RecordState::Recording && recordInput) {
        EnableRecordWriter(st.recorder);  // does nothing unless the relay recording is armed
    } else if (st.recorder.RecordState == RecordState::Recording && !recordInput) {
        StopRecording(st);
    }
}

}  // namespace

RemotePort RemotePortOf(Station& st) {
    return {st.remote,          st.platform.ports, st.platform.clock,
            st.platform.errors, st.logs,           RemoteControlModeOf(st.Settings.RemoteControl)};
}

void HandleReceiverAlarm(Station& st, bool active) {
    if (active) st.main.lblPort = "Alarm";
    switch (UpdateReceiverAlarm(st.remote, st.logs, st.platform.clock.now(), active)) {
        case AlarmMail::None:
            return;
        case AlarmMail::Loss:
            SendMailToAddressBook(st, st.Export.Account.Facility + " Quillmar Alarm",
                                  "Unity 4K Receiver Loss of Signal");
            return;
        case AlarmMail::End:
            PollReceiverEbNo(st, [&st](const std::optional<std::string>& ebno) {
                SendMailToAddressBook(st, st.Export.Account.Facility + " Quillmar Alarm End",
                                      "EbNo: " + ebno.value_or(""));
            });
            return;
    }
}

void ReadRemoteInputs(Station& st) {
    const std::optional<RemoteInputs> in = ReadRemoteInputs(RemotePortOf(st));
    if (!in) return;
    st.main.lblPlayRelay = in->play ? "PLAY" : "";
    st.main.lblRecordRelay = in->record ? "RECORD" : "";

    HandleReceiverAlarm(st, in->alarm);

    if (in->timeSet) st.main.lblPort = "Time Set";
    const DateTime now = st.platform.clock.now();
    if (TakeTimeSetPulse(st.remote, in->timeSet, now)) SetClockFromTimeSet(st, now);
    if (!in->alarm && !in->timeSet) st.main.lblPort.clear();

    HandleRelayRecording(st, in->record);
    if (in->play && st.playout.PlayState == PlayState::Idle) PlayFromPlaylist(st);
}

void WriteRemoteOutputs(Station& st) {
    st.noteAction("WriteRemoteOutputs");
    WriteRemoteOutputs(RemotePortOf(st));
}

void WritePrairieControlWord(Station& st) {
    WritePrairieControlWord(RemotePortOf(st));
}

void InitializeRemotePort(Station& st) {
    InitializeRemotePort(RemotePortOf(st));
}

}  // namespace quillmar
