#include "platform/sim/SimBackgroundWork.h"

namespace quillmar {

void SimBackgroundWork::run(std::function<void()> task, std::function<void()> completion) {
    ++pending_;
    const int id = nextId_++;
    auto fire = [this, id, task = std::move(task), completion = std::move(completion)] {
        task();
        loop_.post([this, id, completion] {
            --pending_;
            timers_.erase(id);
            completion();
        });
    };
    auto& timer = timers_[id] = loop_.createTimer(delayMs, true, std::move(fire));
    timer->setEnabled(true);
}

}  // namespace quillmar
