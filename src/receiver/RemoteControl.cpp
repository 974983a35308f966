#include "receiver/RemoteControl.h"

#include "audio/Playout.h"
#include "audio/Recording.h"
#include "core/Station.h"
#include "logs/ActivityLog.h"
#include "receiver/ReceiverAlarm.h"

namespace quillmar {

namespace {

constexpr int kParallelMode = 1;
constexpr int kPrairieMode = 2;

bool RemoteControlOn(const Station& st) {
    return st.Settings.RemoteControl == kParallelMode || st.Settings.RemoteControl == kPrairieMode;
}

// A port that cannot be reached is reported once, until an access works again; the tick
// reads it twenty times a second and must not bury the error window.
void ReportPortFailure(Station& st, const std::string& error) {
    if (st.remote.RemotePortFailureShown) return;
    st.remote.RemotePortFailureShown = true;
    const std::string message = "Remote-control port failed: " + error;
    ShowError(st, message);
    WriteErrorLog(st.logs, TimeText(st.platform.clock.now()), message);
}

bool WritePort(Station& st, std::uint16_t address, std::uint8_t value) {
    std::string error;
    if (st.platform.ports.write(address, value, &error)) return true;
    ReportPortFailure(st, error);
    return false;
}

// A failed read keeps the inputs last read: a port that cannot be read says nothing about
// them, so it neither ends an alarm nor releases a relay recording.
std::uint8_t ReadInputBits(Station& st) {
    const int mode = st.Settings.RemoteControl;
    const std::uint16_t address = mode == kParallelMode ? kParallelStatus : kPrairiePortB;
    std::uint8_t value = 0;
    std::string error;
    if (!st.platform.ports.read(address, &value, &error)) {
        ReportPortFailure(st, error);
        return st.remote.RemoteInputBits;
    }
    st.remote.RemotePortFailureShown = false;
    return RemoteInputBitsOf(mode, value);
}

// At minute 54 of the hour the network's time pulse sets the clock to hh:54:30, once a pulse.
// The clock answers later (the system's time service decides); the pulse is spent either way.
void HandleTimeSet(Station& st) {
    const DateTime now = st.platform.clock.now();
    if (now.minute() != 54 || st.remote.TimeSetDone) return;
    st.remote.TimeSetDone = true;
    const std::string was = TimeText(now);
    st.platform.clock.setTimeOfDay(now.hour(), 54, 30, [&st, was](bool ok, const std::string& error) {
        if (!ok) {
            ShowError(st, "Time Set failed: " + error);
            WriteErrorLog(st.logs, was, "Time Set failed: " + error);
            return;
        }
        WriteActivityLog(st.logs, "Time Set " + was);
    });
}

void HandleRelayRecording(Station& st) {
    if (st.recorder.RecordStartMode != ScheduleStart::Manual) return;
    if (st.recorder.RecordState != 2 && st.remote.RecordInput) {
        EnableRecordWriter(st);  // does nothing unless the relay recording is armed
    } else if (st.recorder.RecordState == 2 && !st.remote.RecordInput) {
        StopRecording(st);
    }
}

}  // namespace

std::uint8_t RemoteInputBitsOf(int mode, std::uint8_t value) {
    if (mode == kParallelMode) return static_cast<std::uint8_t>(127 - value);
    return value;
}

void ReadRemoteInputs(Station& st) {
    if (!RemoteControlOn(st)) return;
    const std::uint8_t bits = ReadInputBits(st);
    st.remote.RemoteInputBits = bits;

    st.remote.PlayInput = (bits & kPlayInput) != 0;
    st.main.lblPlayRelay = st.remote.PlayInput ? "PLAY" : "";
    st.remote.RecordInput = (bits & kRecordInput) != 0;
    st.main.lblRecordRelay = st.remote.RecordInput ? "RECORD" : "";

    const bool alarm = (bits & kAlarmInput) != 0;
    HandleReceiverAlarm(st, alarm);

    const bool timeSet = (bits & kTimeSetInput) != 0;
    if (timeSet) {
        st.main.lblPort = "Time Set";
        HandleTimeSet(st);
    } else {
        st.remote.TimeSetDone = false;
    }
    if (!alarm && !timeSet) st.main.lblPort.clear();

    HandleRelayRecording(st);
    if (st.remote.PlayInput && st.playout.PlayState == 0) PlayFromPlaylist(st);
}

void WriteRemoteOutputs(Station& st) {
    st.noteAction("WriteRemoteOutputs");
    if (!RemoteControlOn(st)) return;
    // Entries 0 to 7 are the low byte; entries 8 to 11 would go to port C and are never set.
    const std::uint8_t low = st.remote.RemoteOutputBits;
    const std::uint8_t high = 0;
    if (st.Settings.RemoteControl == kParallelMode) {
        if (WritePort(st, kParallelData, low)) st.remote.RemotePortFailureShown = false;
        return;
    }
    if (WritePort(st, kPrairiePortA, low) && WritePort(st, kPrairiePortC, high))
        st.remote.RemotePortFailureShown = false;
}

void WritePrairieControlWord(Station& st) {
    WritePort(st, kPrairieControl, kPrairieControlWord);
}

void InitializeRemotePort(Station& st) {
    if (st.Settings.RemoteControl == kPrairieMode) WritePrairieControlWord(st);
    st.remote.RemoteOutputBits = 0;
    WriteRemoteOutputs(st);
}

}  // namespace quillmar
