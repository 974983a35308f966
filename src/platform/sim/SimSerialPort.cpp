#include "platform/sim/SimSerialPort.h"

#include <algorithm>

namespace quillmar {

class SimSerialPorts::Port : public SerialPort {
  public:
    explicit Port(SimSerialPorts& line) : line_(line) {}
    ~Port() override { close(); }

    bool open(int port, std::string_view settings, SerialError* error) override {
        if (open_) {
            if (error) *error = {8005, "Port already open"};
            return false;
        }
        line_.opens.emplace_back(port, std::string(settings));
        if (line_.openFailure_.number != 0) {
            if (error) *error = line_.openFailure_;
            return false;
        }
        open_ = true;
        ++line_.openNow;
        line_.floodFrom_ = line_.nowMs();
        return true;
    }
    bool isOpen() const override { return open_; }
    void close() override {
        if (!open_) return;
        open_ = false;
        --line_.openNow;
        ++line_.closes;
    }
    void discardInput() override {
        if (!open_) return;
        ++line_.discards;
        line_.take();
    }
    bool write(std::string_view bytes, SerialError* error) override {
        if (!open_ || line_.writeFailure_.number != 0) {
            if (error)
                *error = open_ ? line_.writeFailure_ : SerialError{8012, "The device is not open"};
            return false;
        }
        line_.received(bytes);
        return true;
    }
    std::string readWaiting() override { return open_ ? line_.take() : std::string(); }
    void waitForInput(int maxMs) override { line_.waitForInput(maxMs); }

  private:
    SimSerialPorts& line_;
    bool open_ = false;
};

SimSerialPorts::SimSerialPorts(SimClock& clock, std::function<void(int ms)> passTime)
    : clock_(clock), passTime_(std::move(passTime)) {
    peer = [this](const std::string& command) -> std::optional<Reply> {
        auto it = answers_.find(command);
        if (it == answers_.end()) return std::nullopt;
        return it->second;
    };
}

SimSerialPorts::~SimSerialPorts() = default;

std::unique_ptr<SerialPort> SimSerialPorts::create() {
    return std::make_unique<Port>(*this);
}

void SimSerialPorts::answer(const std::string& command, std::string text, int delayMs) {
    answers_[command] = Reply{std::move(text), delayMs};
}

void SimSerialPorts::arrive(std::string text, int delayMs) {
    queue(nowMs() + delayMs, std::move(text));
}

void SimSerialPorts::queue(std::int64_t at, std::string text) {
    // Bytes arrive in time order; those due at the same moment keep the order they were sent.
    auto it = std::upper_bound(pending_.begin(), pending_.end(), at,
                               [](std::int64_t t, const auto& p) { return t < p.first; });
    pending_.emplace(it, at, std::move(text));
}

std::int64_t SimSerialPorts::nowMs() const {
    const DateTime t = clock_.now();
    return t.date.serial() * 86'400'000 + t.msOfDay;
}

void SimSerialPorts::received(std::string_view bytes) {
    wire.append(bytes);
    for (char c : bytes) {
        if (c != '\r') {
            partial_ += c;
            continue;
        }
        commands.push_back(partial_);
        if (peer) {
            if (auto reply = peer(partial_))
                queue(nowMs() + std::max(0, reply->delayMs), reply->text);
        }
        partial_.clear();
    }
}

bool SimSerialPorts::inputReady() const {
    return !pending_.empty() && pending_.front().first <= nowMs();
}

std::string SimSerialPorts::take() {
    const std::int64_t now = nowMs();
    std::string out;
    while (!pending_.empty() && pending_.front().first <= now) {
        out += pending_.front().second;
        pending_.pop_front();
    }
    if (floodPerMs_ > 0 && now > floodFrom_) {
        const std::int64_t n = std::min<std::int64_t>((now - floodFrom_) * floodPerMs_, 1 << 20);
        out.append(static_cast<std::size_t>(n), 'x');
    }
    floodFrom_ = now;
    return out;
}

void SimSerialPorts::waitForInput(int maxMs) {
    if (maxMs <= 0 || inputReady()) return;
    std::int64_t step = maxMs;
    const std::int64_t now = nowMs();
    for (const auto& p : pending_) step = std::min(step, p.first - now);
    step = std::max<std::int64_t>(step, 1);
    waitedMs += step;
    passTime_(static_cast<int>(step));
}

}  // namespace quillmar
