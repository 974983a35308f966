#include "receiver/ReceiverLink.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace quillmar {

namespace {

// The two line rates of the settings (BaudRates entries 1 and 2).
enum class LineRate { First, Second };

// BaudSelect 2 chooses the second rate, any other value the first.
LineRate LineRateOf(std::int32_t baudSelect) {
    return baudSelect == 2 ? LineRate::Second : LineRate::First;
}

std::int64_t NowMs(const ReceiverLink& link) {
    return LineTimeMs(link.clock.now());
}

SerialPort& PortOf(const ReceiverLink& link, ReceiverExchange& x) {
    if (x.port) return *x.port;
    if (!link.state.ReceiverPort) link.state.ReceiverPort = link.serial.create();
    return *link.state.ReceiverPort;
}

void Pump(const ReceiverLink& link);

// Ends the running exchange: the port is closed, the station's failures are shown, and the
// handler runs with the line already free for what it issues.
void Finish(const ReceiverLink& link, ExchangeResult result) {
    ReceiverLinkState& s = link.state;
    ReceiverExchange x = std::move(*s.running);
    s.running.reset();
    if (s.timeOut) s.timeOut->setEnabled(false);
    if (s.collector) result.reply = s.collector->reply();
    s.collector.reset();
    SerialPort& port = PortOf(link, x);
    port.setReadyRead({});
    port.close();
    const bool stationPort =
        x.kind == ReceiverExchange::Kind::Send || x.kind == ReceiverExchange::Kind::Poll;
    if (!result.ok && stationPort) link.errors.showError(SerialErrorText(result.error));
    if (x.done) x.done(result);
}

// Feeds what the port holds; ends the exchange when its reply is whole, else sets the timer
// for the collection's next check.
void Collect(const ReceiverLink& link) {
    ReceiverLinkState& s = link.state;
    if (!s.running || !s.collector) return;
    SerialPort& port = PortOf(link, *s.running);
    const std::int64_t now = NowMs(link);
    if (s.collector->feed(port.readWaiting(), now)) {
        Finish(link, {true, {}, {}});
        Pump(link);
        return;
    }
    if (!s.timeOut) s.timeOut = link.loop.createTimer(1, true, [link] { Collect(link); });
    s.timeOut->setEnabled(false);
    const std::int64_t wait = std::clamp<std::int64_t>(s.collector->checkAt() - now, 1, 60'000);
    s.timeOut->setInterval(static_cast<int>(wait));
    s.timeOut->setEnabled(true);
}

// Opens, writes and starts the collection of the exchange at the head of the line.
void Begin(const ReceiverLink& link) {
    ReceiverLinkState& s = link.state;
    ReceiverExchange& x = *s.running;
    SerialPort& port = PortOf(link, x);
    ExchangeResult failed;
    bool ok = true;
    Collection rule = Collection::Short;
    switch (x.kind) {
        case ReceiverExchange::Kind::Send:
            ok = OpenReceiverPort(link.settings, port, &failed.error) &&
                 port.write(x.command + "\r", &failed.error);
            Finish(link, {ok, failed.error, {}});
            return;
        case ReceiverExchange::Kind::Poll:
        case ReceiverExchange::Kind::Status:
            ok = OpenReceiverPort(link.settings, port, &failed.error);
            // A prompt left over from an earlier command would end the collection at once.
            if (ok) port.discardInput();
            if (ok) ok = port.write(x.command + "\r", &failed.error);
            rule = x.kind == ReceiverExchange::Kind::Poll ? Collection::Short : Collection::Long;
            break;
        case ReceiverExchange::Kind::Relay:
            ok = port.isOpen() ||
                 port.open(link.settings.SerialPort, LineSettings(link.settings), &failed.error);
            if (ok) port.discardInput();
            if (ok && !x.command.empty()) ok = port.write(x.command + "\r", &failed.error);
            if (ok) ok = port.write(x.statusCommand + "\r", &failed.error);
            rule = Collection::Relay;
            break;
    }
    if (!ok) {
        Finish(link, failed);
        return;
    }
    s.collector.emplace(rule, NowMs(link), x.minPromptPosition);
    port.setReadyRead([link] { Collect(link); });
    Collect(link);
}

// Starts waiting exchanges while the line is free. Handlers that issue exchanges only queue
// them; this loop starts them in turn.
void Pump(const ReceiverLink& link) {
    ReceiverLinkState& s = link.state;
    if (s.pumping) return;
    s.pumping = true;
    while (!s.running && !s.waiting.empty()) {
        s.running.emplace(std::move(s.waiting.front()));
        s.waiting.pop_front();
        Begin(link);
    }
    s.pumping = false;
}

void Issue(const ReceiverLink& link, ReceiverExchange x) {
    link.state.waiting.push_back(std::move(x));
    Pump(link);
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

std::size_t StatusPromptPosition(std::string_view command) {
    return command == "RT C" ? kLongReportPromptPosition : 1;
}

bool OpenReceiverPort(const StationSettings& settings, SerialPort& port, SerialError* error) {
    if (port.isOpen()) port.close();
    return port.open(settings.SerialPort, LineSettings(settings), error);
}

void SendReceiverCommand(const ReceiverLink& link, const std::string& command,
                         std::function<void(bool ok)> done) {
    ReceiverExchange x;
    x.kind = ReceiverExchange::Kind::Send;
    x.command = command;
    if (done) x.done = [done = std::move(done)](const ExchangeResult& r) { done(r.ok); };
    Issue(link, std::move(x));
}

void PollReceiver(const ReceiverLink& link, const std::string& command,
                  std::function<void(const std::optional<std::string>& reply)> done) {
    ReceiverExchange x;
    x.kind = ReceiverExchange::Kind::Poll;
    x.command = command;
    x.done = [done = std::move(done)](const ExchangeResult& r) {
        if (done) done(r.ok ? std::optional<std::string>(r.reply) : std::nullopt);
    };
    Issue(link, std::move(x));
}

void QueryReceiverStatus(const ReceiverLink& link, std::shared_ptr<SerialPort> port,
                         const std::string& command, std::size_t minPromptPosition,
                         std::function<void(const ExchangeResult&)> done) {
    ReceiverExchange x;
    x.kind = ReceiverExchange::Kind::Status;
    x.port = std::move(port);
    x.command = command;
    x.minPromptPosition = minPromptPosition;
    x.done = std::move(done);
    Issue(link, std::move(x));
}

void RelayExchange(const ReceiverLink& link, std::shared_ptr<SerialPort> port,
                   const std::string& relayCommand, const std::string& statusCommand,
                   std::function<void(const ExchangeResult&)> done) {
    ReceiverExchange x;
    x.kind = ReceiverExchange::Kind::Relay;
    x.port = std::move(port);
    x.command = relayCommand;
    x.statusCommand = statusCommand;
    x.done = std::move(done);
    Issue(link, std::move(x));
}

void CancelReceiverExchanges(const ReceiverLink& link, const SerialPort& port) {
    ReceiverLinkState& s = link.state;
    std::erase_if(s.waiting, [&](const ReceiverExchange& x) { return x.port.get() == &port; });
    if (!s.running || s.running->port.get() != &port) return;
    s.running->done = nullptr;
    Finish(link, {true, {}, {}});
    Pump(link);
}

}  // namespace quillmar
