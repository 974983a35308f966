#include "receiver/RemoteControl.h"

#include "logs/ActivityLog.h"

namespace quillmar {

namespace {

// A port that cannot be reached is reported once, until an access works again; the tick
// reads it twenty times a second and must not bury the error window.
void ReportPortFailure(const RemotePort& port, const std::string& error) {
    if (port.state.RemotePortFailureShown) return;
    port.state.RemotePortFailureShown = true;
    const std::string message = "Remote-control port failed: " + error;
    port.errors.showError(message);
    WriteErrorLog(port.logs, TimeText(port.clock.now()), message);
}

bool WritePort(const RemotePort& port, std::uint16_t address, std::uint8_t value) {
    std::string error;
    if (port.ports.write(address, value, &error)) return true;
    ReportPortFailure(port, error);
    return false;
}

// A failed read keeps the inputs last read: a port that cannot be read says nothing about
// them, so it neither ends an alarm nor releases a relay recording.
std::uint8_t ReadInputBits(const RemotePort& port) {
    const std::uint16_t address =
        port.mode == RemoteControlMode::Parallel ? kParallelStatus : kPrairiePortB;
    std::uint8_t value = 0;
    std::string error;
    if (!port.ports.read(address, &value, &error)) {
        ReportPortFailure(port, error);
        return port.state.RemoteInputBits;
    }
    port.state.RemotePortFailureShown = false;
    return RemoteInputBitsOf(port.mode, value);
}

}  // namespace

RemoteControlMode RemoteControlModeOf(std::int32_t setting) {
    switch (setting) {
        case 1:
            return RemoteControlMode::Parallel;
        case 2:
            return RemoteControlMode::Prairie;
        default:
            return RemoteControlMode::Off;
    }
}

std::uint8_t RemoteInputBitsOf(RemoteControlMode mode, std::uint8_t value) {
    if (mode == RemoteControlMode::Parallel) return static_cast<std::uint8_t>(127 - value);
    return value;
}

std::optional<RemoteInputs> ReadRemoteInputs(const RemotePort& port) {
    if (port.mode == RemoteControlMode::Off) return std::nullopt;
    const std::uint8_t bits = ReadInputBits(port);
    RemoteState& s = port.state;
    s.RemoteInputBits = bits;
    s.PlayInput = (bits & kPlayInput) != 0;
    s.RecordInput = (bits & kRecordInput) != 0;
    return RemoteInputs{s.PlayInput, s.RecordInput, (bits & kAlarmInput) != 0,
                        (bits & kTimeSetInput) != 0};
}

bool TakeTimeSetPulse(RemoteState& state, bool input, const DateTime& now) {
    if (!input) {
        state.TimeSetDone = false;
        return false;
    }
    if (now.minute() != 54 || state.TimeSetDone) return false;
    state.TimeSetDone = true;
    return true;
}

void WriteRemoteOutputs(const RemotePort& port) {
    // Entries 0 to 7 are the low byte; entries 8 to 11 would go to port C and are never set.
    const std::uint8_t low = port.state.RemoteOutputBits;
    const std::uint8_t high = 0;
    switch (port.mode) {
        case RemoteControlMode::Off:
            return;
        case RemoteControlMode::Parallel:
            if (WritePort(port, kParallelData, low)) port.state.RemotePortFailureShown = false;
            return;
        case RemoteControlMode::Prairie:
            if (WritePort(port, kPrairiePortA, low) && WritePort(port, kPrairiePortC, high))
                port.state.RemotePortFailureShown = false;
            return;
    }
}

void WritePrairieControlWord(const RemotePort& port) {
    WritePort(port, kPrairieControl, kPrairieControlWord);
}

void InitializeRemotePort(const RemotePort& port) {
    if (port.mode == RemoteControlMode::Prairie) WritePrairieControlWord(port);
    port.state.RemoteOutputBits = 0;
    WriteRemoteOutputs(port);
}

}  // namespace quillmar
