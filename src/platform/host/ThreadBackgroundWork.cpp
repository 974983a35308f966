#include "platform/host/ThreadBackgroundWork.h"

namespace quillmar {

ThreadBackgroundWork::~ThreadBackgroundWork() {
    for (Worker& w : workers_) w.thread.join();
}

void ThreadBackgroundWork::joinFinished() {
    for (auto w = workers_.begin(); w != workers_.end();) {
        if (!w->finished->load()) {
            ++w;
            continue;
        }
        w->thread.join();
        w = workers_.erase(w);
    }
}

void ThreadBackgroundWork::run(std::function<void()> task, std::function<void()> completion) {
    joinFinished();
    auto finished = std::make_shared<std::atomic<bool>>(false);
    std::thread thread([&loop = loop_, finished, task = std::move(task),
                        completion = std::move(completion)]() mutable {
        task();
        loop.post(std::move(completion));
        finished->store(true);
    });
    workers_.push_back(Worker{std::move(thread), std::move(finished)});
}

}  // namespace quillmar
