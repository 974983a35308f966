#pragma once
// The serial exchanges with the receiver. Every exchange opens its port, writes, gathers the
// reply where one is wanted, and closes the port again; nothing of the link survives between
// exchanges. Exchanges never wait on the loop: they are queued on the one line, each reply is
// gathered as the port says bytes arrived, and the caller goes on in a completion handler that
// runs on the loop thread. A send-only exchange on an idle line completes before it returns.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Clock.h"
#include "platform/ErrorDisplay.h"
#include "platform/EventLoop.h"
#include "platform/SerialPort.h"
#include "receiver/ReceiverState.h"
#include "receiver/ReplyCollector.h"
#include "settings/StationSettings.h"

namespace quillmar {

// What the exchanges use: the line's state with the station's port object, the port factory,
// the clock the time-outs run on, the loop their timer runs on, the error window, and the port
// and rate settings (read when an exchange begins).
struct ReceiverLink {
    ReceiverLinkState& state;
    SerialPorts& serial;
    const Clock& clock;
    EventLoop& loop;
    ErrorDisplay& errors;
    const StationSettings& settings;
};

// "9600,N,8,1" or "19200,N,8,1" from BaudSelect (the first rate when it is not 1 or 2).
std::string LineSettings(const StationSettings& settings);
// The error window's text of a serial failure.
std::string SerialErrorText(const SerialError& error);
// Where the status query's prompt must stand: 700 for "RT C", else anywhere.
std::size_t StatusPromptPosition(std::string_view command);

// Opens a port object at the settings' port and rate; a port left open is closed first.
bool OpenReceiverPort(const StationSettings& settings, SerialPort& port, SerialError* error);

// Writes command + CR on the station's port and closes it at once. A failure opens the error
// window; done then has false.
void SendReceiverCommand(const ReceiverLink& link, const std::string& command,
                         std::function<void(bool ok)> done = {});
// The short poll on the station's port: command + CR, short time-out; the reply as collected.
// A failure opens the error window; nothing then.
void PollReceiver(const ReceiverLink& link, const std::string& command,
                  std::function<void(const std::optional<std::string>& reply)> done);
// The status query of a view's own port: discard, command + CR, long time-out, close. Not ok
// with the reason when the port could not be opened or written; nothing is shown.
void QueryReceiverStatus(const ReceiverLink& link, std::shared_ptr<SerialPort> port,
                         const std::string& command, std::size_t minPromptPosition,
                         std::function<void(const ExchangeResult&)> done);
// The relay panel's exchange: relayCommand + CR (when not empty), statusCommand + CR, then the
// relay collection; the port is closed afterwards. Not ok with the reason as above.
void RelayExchange(const ReceiverLink& link, std::shared_ptr<SerialPort> port,
                   const std::string& relayCommand, const std::string& statusCommand,
                   std::function<void(const ExchangeResult&)> done);
// Forgets the exchanges of a port object whose window goes: those waiting never run, a
// running one ends without its handler, and the line moves on.
void CancelReceiverExchanges(const ReceiverLink& link, const SerialPort& port);

}  // namespace quillmar
