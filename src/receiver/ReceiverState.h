#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/EventLoop.h"
#include "platform/SerialPort.h"
#include "receiver/ReplyCollector.h"

namespace quillmar {

// How an exchange ended: whether the port opened and took the command, why not, and the reply.
struct ExchangeResult {
    bool ok = false;
    SerialError error;
    std::string reply;
};

// One exchange with the receiver, waiting for the line or running on it.
struct ReceiverExchange {
    enum class Kind { Send, Poll, Status, Relay };
    Kind kind = Kind::Send;
    std::shared_ptr<SerialPort> port;  // a window's own port object; empty for the station's
    std::string command;               // the relay command for Relay (may be empty)
    std::string statusCommand;         // Relay only
    std::size_t minPromptPosition = 1;
    std::function<void(const ExchangeResult&)> done;
};

// The main window's port object for send-only exchanges and the poll, and the one line all
// port objects share: exchanges reach it one at a time in the order they were issued.
struct ReceiverLinkState {
    std::shared_ptr<SerialPort> ReceiverPort;
    std::deque<ReceiverExchange> waiting;
    std::optional<ReceiverExchange> running;
    std::optional<ReplyCollector> collector;  // the running exchange's reply so far
    std::unique_ptr<Timer> timeOut;           // one-shot: the running collection's next check
    bool pumping = false;
    // Eb/No lines written, so a view of the signal history knows when to read the logs again.
    std::uint32_t EbNoLogged = 0;
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
