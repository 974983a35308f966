#include "core/StationTimers.h"

#include "core/ClockTick.h"
#include "core/NextEvent.h"
#include "core/RecordingSequences.h"
#include "core/RemoteSequences.h"
#include "core/ScheduleSequences.h"
#include "core/Station.h"
#include "export/ExportEngine.h"

namespace quillmar {

void tmrClock_Timer(Station& st) {
    ClockTick(st);
    ArmClockTick(st);
}

// The cue, the next-switch lookup, the export step and the time-change shift belong to the
// recording, finder, export and schedule code; until it is wired in these do nothing.
void TimerCue_Timer(Station& st) {
    CueRecording(st);
}
void TimerGetNextSwitch_Timer(Station& st) {
    FindNextSwitch(st);
}
void tmrExport_Timer(Station& st) {
    ExportProgress(st.Export);
}
void tmrTimeChange_Timer(Station& st) {
    TimeChangeTimer(st);
}

void TimerEOM_Timer(Station& st) {
    st.remote.RemoteOutputBits &= static_cast<std::uint8_t>(~1u);
    WriteRemoteOutputs(st);
}

}  // namespace quillmar
