#pragma once
// The serial exchanges with the receiver. Every exchange opens the port, writes, collects the
// reply where one is wanted, and closes the port again; nothing of the link survives between
// exchanges. Each collection ends at its prompt, at its time-out, or when the reply is full.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Clock.h"
#include "platform/ErrorDisplay.h"
#include "platform/SerialPort.h"
#include "receiver/ReceiverState.h"
#include "settings/StationSettings.h"

namespace quillmar {

// What the exchanges on the station's own port use: its port object, the port factory, the
// clock the time-outs run on, the error window, and the port and rate settings.
struct ReceiverLink {
    ReceiverLinkState& state;
    SerialPorts& serial;
    const Clock& clock;
    ErrorDisplay& errors;
    const StationSettings& settings;
};

// A receiver that sends without end fills no more than this.
inline constexpr std::size_t kMaxReplyBytes = 64 * 1024;
// The carrier report is long: only a prompt at or after this position (from 1) ends it.
inline constexpr std::size_t kLongReportPromptPosition = 700;

// "9600,N,8,1" or "19200,N,8,1" from BaudSelect (the first rate when it is not 1 or 2).
std::string LineSettings(const StationSettings& settings);
// The error window's text of a serial failure.
std::string SerialErrorText(const SerialError& error);
// True when reply holds a ">" at position minPosition (from 1) or later.
bool HasPrompt(std::string_view reply, std::size_t minPosition = 1);
// Where the status query's prompt must stand: 700 for "RT C", else anywhere.
std::size_t StatusPromptPosition(std::string_view command);

// Opens a port object at the settings' port and rate; a port left open is closed first.
bool OpenReceiverPort(const StationSettings& settings, SerialPort& port, SerialError* error);

// Collection rules, each reading what is waiting until it stops.
// Short time-out: about 1 s from the start second (0.5 to 1.5 s), stops at any ">".
std::string CollectShort(const Clock& clock, SerialPort& port);
// Long time-out: until 2 s past the second after the start (2.5 to 3.5 s).
std::string CollectLong(const Clock& clock, SerialPort& port, std::size_t minPromptPosition);
// Relay panel: waits about a second, drops the previous command's prompt when it stands in
// the first four characters, then stops at the next ">" or about 2 s from the start second.
std::string CollectRelay(const Clock& clock, SerialPort& port);

// Writes command + CR on the station's port and closes it at once. A failure opens the error
// window; false then.
bool SendReceiverCommand(const ReceiverLink& link, const std::string& command);
// The short poll on the station's port: command + CR, short time-out; the reply as collected.
// A failure opens the error window; nothing then.
std::optional<std::string> PollReceiver(const ReceiverLink& link, const std::string& command);
// The status query of a view's own port: discard, command + CR, long time-out, close. False
// with the reason when the port could not be opened or written; nothing is shown.
bool QueryReceiverStatus(const Clock& clock, const StationSettings& settings, SerialPort& port,
                         const std::string& command, std::size_t minPromptPosition,
                         std::string* reply, SerialError* error);
// The relay panel's exchange: relayCommand + CR (when not empty), statusCommand + CR, then the
// relay collection; the port is closed afterwards. False with the reason as above.
bool RelayExchange(const Clock& clock, const StationSettings& settings, SerialPort& port,
                   const std::string& relayCommand, const std::string& statusCommand,
                   std::string* reply, SerialError* error);

}  // namespace quillmar
