#include "platform/host/ThreadedConversion.h"

#include <atomic>

#include "platform/wave/WaveConversion.h"

namespace quillmar {

// Shared by the worker and the loop's posted tasks, so either may outlive the other.
struct ThreadedConversion::State {
    std::atomic<bool> cancelled{false};
    bool running = true;                  // loop thread only
    ThreadedConversion* owner = nullptr;  // loop thread only; cleared when the owner goes
};

ThreadedConversion::~ThreadedConversion() {
    cancel();
    if (worker_.joinable()) worker_.join();
}

bool ThreadedConversion::start(const ConversionJob& job, std::string* error) {
    if (isRunning()) {
        if (error) *error = "A conversion is already running";
        return false;
    }
    if (worker_.joinable()) worker_.join();
    auto state = std::make_shared<State>();
    state->owner = this;
    state_ = state;
    EventLoop& loop = loop_;
    FileSystem& files = files_;
    worker_ = std::thread([state, job, &loop, &files] {
        std::string error;
        const bool ok = ConvertWave(
            files, job,
            [state, &loop](std::int64_t done, std::int64_t total) {
                loop.post([state, done, total] {
                    if (state->owner && !state->cancelled && state->owner->onProgress)
                        state->owner->onProgress(done, total);
                });
            },
            state->cancelled, &error,
            [state, &loop](std::int16_t left, std::int16_t right) {
                loop.post([state, left, right] {
                    if (state->owner && !state->cancelled && state->owner->onLevels)
                        state->owner->onLevels(left, right);
                });
            });
        loop.post([state, ok, error] {
            if (!state->owner || state->cancelled) return;
            state->running = false;
            if (state->owner->onFinished) state->owner->onFinished(ok, ok ? std::string() : error);
        });
    });
    return true;
}

void ThreadedConversion::cancel() {
    if (!state_) return;
    state_->cancelled = true;
    state_->running = false;
    state_->owner = nullptr;
}

bool ThreadedConversion::isRunning() const {
    return state_ && state_->running;
}

}  // namespace quillmar
