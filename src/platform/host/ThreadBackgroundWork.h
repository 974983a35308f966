#pragma once

#include <atomic>
#include <list>
#include <memory>
#include <thread>

#include "platform/BackgroundWork.h"
#include "platform/EventLoop.h"

namespace quillmar {

// Each task on a thread of its own, so a copy to a slow drive does not hold up a log being
// read; completions are posted to the loop. The end waits for the tasks still running.
class ThreadBackgroundWork : public BackgroundWork {
  public:
    explicit ThreadBackgroundWork(EventLoop& loop) : loop_(loop) {}
    ~ThreadBackgroundWork() override;
    ThreadBackgroundWork(const ThreadBackgroundWork&) = delete;
    ThreadBackgroundWork& operator=(const ThreadBackgroundWork&) = delete;

    void run(std::function<void()> task, std::function<void()> completion) override;

  private:
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> finished;
    };
    void joinFinished();

    EventLoop& loop_;
    std::list<Worker> workers_;  // loop thread only
};

}  // namespace quillmar
