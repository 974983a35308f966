#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/SerialPort.h"

namespace quillmar {

// The main window's port object for send-only exchanges and the poll.
struct ReceiverLinkState {
    std::unique_ptr<SerialPort> ReceiverPort;
};

// Remote control and the receiver alarm: the inputs of the last read, the Time Set pulse that
// already set the clock, the loss-of-signal alarm (AlarmStartTime in seconds of the day), and
// a failing I/O port, shown once until it works again.
struct RemoteState {
    std::uint8_t RemoteOutputBits = 0;
    std::uint8_t RemoteInputBits = 0;
    bool PlayInput = false;
    bool RecordInput = false;
    bool TimeSetDone = false;
    bool ReceiverAlarm = false;
    std::int32_t AlarmStartTime = 0;
    std::int64_t AlarmStartAt = 0;  // ms since 1970-01-01 local, so midnight does not count
    bool AlarmMailSent = false;
    bool RemotePortFailureShown = false;
};

}  // namespace quillmar
