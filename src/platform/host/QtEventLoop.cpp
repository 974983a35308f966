#include "platform/host/QtEventLoop.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <cstdint>
#include <system_error>

namespace quillmar {

namespace {

class QtTimer : public Timer {
  public:
    QtTimer(int intervalMs, bool singleShot, std::function<void()> handler)
        : handler_(std::move(handler)), singleShot_(singleShot) {
        timer_.setInterval(intervalMs);
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (singleShot_) timer_.stop();
            handler_();
        });
    }
    void setEnabled(bool enabled) override {
        if (!enabled)
            timer_.stop();
        else if (!timer_.isActive())
            timer_.start();
    }
    bool isEnabled() const override { return timer_.isActive(); }
    void setInterval(int ms) override { timer_.setInterval(ms); }
    int interval() const override { return timer_.interval(); }

  private:
    QTimer timer_;
    std::function<void()> handler_;
    bool singleShot_;
};

}  // namespace

QtEventLoop::QtEventLoop() : wake_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    if (wake_ < 0) throw std::system_error(errno, std::generic_category(), "eventfd");
    notifier_ = std::make_unique<QSocketNotifier>(wake_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { runPosted(); });
}

QtEventLoop::~QtEventLoop() {
    notifier_.reset();
    ::close(wake_);
}

std::unique_ptr<Timer> QtEventLoop::createTimer(int intervalMs, bool singleShot,
                                                std::function<void()> handler) {
    return std::make_unique<QtTimer>(intervalMs, singleShot, std::move(handler));
}

void QtEventLoop::post(std::function<void()> task) {
    bool wasEmpty;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        wasEmpty = posted_.empty();
        posted_.push_back(std::move(task));
    }
    // One wake per batch: a non-empty queue already has one on its way.
    if (wasEmpty) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto n = ::write(wake_, &one, sizeof one);
    }
}

void QtEventLoop::runPosted() {
    std::uint64_t count;
    [[maybe_unused]] const auto n = ::read(wake_, &count, sizeof count);
    std::deque<std::function<void()>> due;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        due.swap(posted_);
    }
    // Tasks these post wait for the next wake, after whatever else the loop has to do.
    for (auto& task : due) task();
}

}  // namespace quillmar
