#include "receiver/ReceiverLink.h"

#include <cstdint>
#include <cstdlib>

namespace quillmar {

namespace {

constexpr int kWaitStepMs = 20;

// Time-outs are kept on the date and time together, so a collection that crosses midnight
// still lasts its seconds instead of ending at once.
std::int64_t NowMs(const Clock& clock) {
    const DateTime t = clock.now();
    return t.date.serial() * 86'400'000 + t.msOfDay;
}

// To the nearest whole second, halves to even.
std::int64_t RoundToSecond(std::int64_t ms) {
    std::int64_t q = ms / 1000, r = ms % 1000;
    if (r < 0) r += 1000, --q;
    if (r > 500 || (r == 500 && q % 2 != 0)) ++q;
    return q * 1000;
}

// Appends what is waiting; false once the reply is full.
bool Gather(SerialPort& port, std::string& reply) {
    std::string bytes = port.readWaiting();
    if (reply.size() + bytes.size() >= kMaxReplyBytes) {
        reply.append(bytes, 0, kMaxReplyBytes - reply.size());
        return false;
    }
    reply += bytes;
    return true;
}

// The acknowledgement of the previous command (its line end and prompt, "\r\n>") may land
// after this exchange has discarded its input; at the very start of the reply it is that
// prompt, never the end of this reply. A reply that is only a prompt (">", "OK>") is whole.
void DropPreviousPrompt(std::string& reply, bool& dropped) {
    if (dropped) return;
    const auto at = reply.find_first_not_of("\r\n");
    if (at == std::string::npos) return;  // nothing but line ends yet: wait for more
    dropped = true;
    if (at > 0 && reply[at] == '>') reply.erase(0, at + 1);
}

// The relay panel writes two commands at once: a ">" in the first four characters is the
// relay command's own prompt, never the end of the status that follows.
void DropRelayPrompt(std::string& reply, bool& dropped) {
    if (dropped) return;
    const auto at = reply.find('>');
    if (at != std::string::npos && at < 4) {
        reply.erase(0, at + 1);
        dropped = true;
    }
}

SerialPort& StationPort(const ReceiverLink& link) {
    if (!link.state.ReceiverPort) link.state.ReceiverPort = link.serial.create();
    return *link.state.ReceiverPort;
}

// The two line rates of the settings (BaudRates entries 1 and 2).
enum class LineRate { First, Second };

// BaudSelect 2 chooses the second rate, any other value the first.
LineRate LineRateOf(std::int32_t baudSelect) {
    return baudSelect == 2 ? LineRate::Second : LineRate::First;
}

}  // namespace

std::string LineSettings(const StationSettings& settings) {
    const bool second = LineRateOf(settings.BaudSelect) == LineRate::Second;
    std::string rate = settings.BaudRates[second ? 2 : 1];
    if (rate.empty()) rate = second ? "19200" : "9600";
    return rate + ",N,8,1";
}

std::string SerialErrorText(const SerialError& error) {
    return std::to_string(error.number) + "  " + error.description +
           ".  Check serial port settings in SetUp/Communications.";
}

bool HasPrompt(std::string_view reply, std::size_t minPosition) {
    const std::size_t from = minPosition > 0 ? minPosition - 1 : 0;
    return from < reply.size() && reply.find('>', from) != std::string_view::npos;
}

std::size_t StatusPromptPosition(std::string_view command) {
    return command == "RT C" ? kLongReportPromptPosition : 1;
}

bool OpenReceiverPort(const StationSettings& settings, SerialPort& port, SerialError* error) {
    if (port.isOpen()) port.close();
    return port.open(settings.SerialPort, LineSettings(settings), error);
}

std::string CollectShort(const Clock& clock, SerialPort& port) {
    const std::int64_t start = RoundToSecond(NowMs(clock));
    std::string reply;
    bool dropped = false;
    while (Gather(port, reply) && (DropPreviousPrompt(reply, dropped), !HasPrompt(reply)) &&
           std::llabs(NowMs(clock) - start) <= 1000)
        port.waitForInput(kWaitStepMs);
    return reply;
}

std::string CollectLong(const Clock& clock, SerialPort& port, std::size_t minPromptPosition) {
    const std::int64_t deadline = RoundToSecond(NowMs(clock) + 1000);
    std::string reply;
    bool dropped = false;
    while (Gather(port, reply) &&
           (DropPreviousPrompt(reply, dropped), !HasPrompt(reply, minPromptPosition)) &&
           std::llabs(deadline - NowMs(clock)) <= 2000)
        port.waitForInput(kWaitStepMs);
    return reply;
}

std::string CollectRelay(const Clock& clock, SerialPort& port) {
    const std::int64_t start = RoundToSecond(NowMs(clock));
    std::string reply;
    bool room = true;
    // What arrives during the wait is kept: it is the start of the reply.
    while (room && std::llabs(NowMs(clock) - start) <= 1000) {
        room = Gather(port, reply);
        if (room) port.waitForInput(kWaitStepMs);
    }
    bool previousDropped = false;
    while (room) {
        room = Gather(port, reply);
        DropRelayPrompt(reply, previousDropped);
        if (HasPrompt(reply) || std::llabs(start - NowMs(clock)) > 2000) break;
        if (room) port.waitForInput(kWaitStepMs);
    }
    return reply;
}

bool SendReceiverCommand(const ReceiverLink& link, const std::string& command) {
    SerialPort& port = StationPort(link);
    SerialError error;
    const bool ok =
        OpenReceiverPort(link.settings, port, &error) && port.write(command + "\r", &error);
    port.close();
    if (!ok) link.errors.showError(SerialErrorText(error));
    return ok;
}

std::optional<std::string> PollReceiver(const ReceiverLink& link, const std::string& command) {
    SerialPort& port = StationPort(link);
    SerialError error;
    bool ok = OpenReceiverPort(link.settings, port, &error);
    if (ok) {
        // A prompt left over from an earlier command would end the poll at once.
        port.discardInput();
        ok = port.write(command + "\r", &error);
    }
    std::string reply;
    if (ok) reply = CollectShort(link.clock, port);
    port.close();
    if (!ok) {
        link.errors.showError(SerialErrorText(error));
        return std::nullopt;
    }
    return reply;
}

bool QueryReceiverStatus(const Clock& clock, const StationSettings& settings, SerialPort& port,
                         const std::string& command, std::size_t minPromptPosition,
                         std::string* reply, SerialError* error) {
    reply->clear();
    bool ok = OpenReceiverPort(settings, port, error);
    if (ok) {
        port.discardInput();
        ok = port.write(command + "\r", error);
    }
    if (ok) *reply = CollectLong(clock, port, minPromptPosition);
    port.close();
    return ok;
}

bool RelayExchange(const Clock& clock, const StationSettings& settings, SerialPort& port,
                   const std::string& relayCommand, const std::string& statusCommand,
                   std::string* reply, SerialError* error) {
    reply->clear();
    bool ok = port.isOpen() || port.open(settings.SerialPort, LineSettings(settings), error);
    if (ok) {
        port.discardInput();
        if (!relayCommand.empty()) ok = port.write(relayCommand + "\r", error);
    }
    if (ok) ok = port.write(statusCommand + "\r", error);
    if (ok) *reply = CollectRelay(clock, port);
    port.close();
    return ok;
}

}  // namespace quillmar
