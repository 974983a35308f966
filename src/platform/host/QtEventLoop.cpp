#include "platform/host/QtEventLoop.h"

#include <QCoreApplication>
#include <QTimer>

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

std::unique_ptr<Timer> QtEventLoop::createTimer(int intervalMs, bool singleShot,
                                                std::function<void()> handler) {
    return std::make_unique<QtTimer>(intervalMs, singleShot, std::move(handler));
}

void QtEventLoop::post(std::function<void()> task) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(task), Qt::QueuedConnection);
}

}  // namespace quillmar
