#pragma once
// Runs ConvertWave on a worker thread; progress and the end are posted to the loop.

#include <memory>
#include <thread>

#include "platform/Audio.h"
#include "platform/EventLoop.h"
#include "platform/FileSystem.h"

namespace quillmar {

class ThreadedConversion : public AudioConversion {
  public:
    // The jobs' paths are drive paths of `files`, which the worker uses.
    ThreadedConversion(EventLoop& loop, FileSystem& files) : loop_(loop), files_(files) {}
    ~ThreadedConversion() override;

    bool start(const ConversionJob& job, std::string* error) override;
    void cancel() override;
    bool isRunning() const override;

  private:
    struct State;
    EventLoop& loop_;
    FileSystem& files_;
    std::shared_ptr<State> state_;
    std::thread worker_;
};

}  // namespace quillmar
