#include "platform/sim/SimSerialPort.h"

#include <algorithm>

namespace quillmar {

class SimSerialPorts::Port : public SerialPort {
  public:
    explicit Port(SimSerialPorts& line) : line_(line) { line_.ports_.insert(this); }
    ~Port() override {
        close();
        line_.ports_.erase(this);
    }

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
        line_.schedule();
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
    void setReadyRead(std::function<void()> handler) override {
        readyRead_ = std::move(handler);
        line_.schedule();
    }
    // Runs the handler when the port is open and waits for input.
    void tell() {
        const std::function<void()> handler = readyRead_;  // it may clear itself
        if (open_ && handler) handler();
    }
    bool listening() const { return open_ && readyRead_; }

  private:
    SimSerialPorts& line_;
    bool open_ = false;
    std::function<void()> readyRead_;
};

SimSerialPorts::SimSerialPorts(SimClock& clock, EventLoop& loop)
    : clock_(clock), arrival_(loop.createTimer(0, true, [this] { notify(); })) {
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
    schedule();
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

void SimSerialPorts::schedule() {
    const bool listening =
        std::any_of(ports_.begin(), ports_.end(), [](const Port* p) { return p->listening(); });
    arrival_->setEnabled(false);
    if (!listening) return;
    // A flood is readable every millisecond; otherwise the next bytes due.
    std::int64_t wait = floodPerMs_ > 0 ? 1 : -1;
    if (!pending_.empty()) {
        const std::int64_t due = std::max<std::int64_t>(0, pending_.front().first - nowMs());
        wait = wait < 0 ? due : std::min(wait, due);
    }
    if (wait < 0) return;
    arrival_->setInterval(static_cast<int>(wait));
    arrival_->setEnabled(true);
}

void SimSerialPorts::notify() {
    if (inputReady() || floodPerMs_ > 0) {
        const std::vector<Port*> open(ports_.begin(), ports_.end());
        for (Port* p : open)
            if (ports_.count(p)) p->tell();
    }
    schedule();
}

}  // namespace quillmar
