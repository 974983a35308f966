#pragma once

#include <deque>
#include <mutex>

#include "platform/EventLoop.h"

class QSocketNotifier;

namespace quillmar {

// Timers and posted tasks on the Qt event loop of the thread that makes it (the main thread).
// Threads may post until the loop object is destroyed.
class QtEventLoop : public EventLoop {
  public:
    QtEventLoop();
    ~QtEventLoop() override;
    std::unique_ptr<Timer> createTimer(int intervalMs, bool singleShot,
                                       std::function<void()> handler) override;
    void post(std::function<void()> task) override;  // any thread

  private:
    void runPosted();

    // Posted tasks wait here under the lock; an eventfd wakes the loop's thread, which takes
    // them under the same lock. The lock, not Qt's event queue, carries a task's captures from
    // the posting thread to the loop, so the thread sanitizer sees the hand-over too.
    std::mutex mutex_;
    std::deque<std::function<void()>> posted_;
    int wake_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace quillmar
