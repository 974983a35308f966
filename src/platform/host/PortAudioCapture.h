#pragma once
// Capture from a PortAudio input device or the built-in "Test tone" into a wave file. The
// real-time side (the PortAudio callback, or the tone thread) only copies into a ring; a writer
// thread of each run drains the ring buffer by buffer into the file and posts each buffer's
// summary to the loop, so a slow disk holds up neither the device nor the loop: the ring keeps
// the audio meanwhile.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/Audio.h"
#include "platform/EventLoop.h"
#include "platform/FileSystem.h"
#include "platform/host/PortAudioDevices.h"
#include "platform/host/SpscRing.h"

struct PaStreamCallbackTimeInfo;

namespace quillmar {

class PortAudioCapture : public AudioCapture {
  public:
    // 2^22 samples: 47 s of stereo, 95 s of mono, so a stalled disk loses nothing.
    static constexpr std::size_t kRingSamples = std::size_t{1} << 22;

    PortAudioCapture(EventLoop& loop, PortAudioSession& session, FileSystem& files);
    ~PortAudioCapture() override;

    bool start(const CaptureSetup& setup, std::string* error) override;
    void writeNow() override { writeNow_.store(true, std::memory_order_relaxed); }
    void finish(bool keep) override;
    bool isRunning() const override { return running_; }
    std::uint64_t overruns() const override;  // any thread

  private:
    // PortAudio's stream callback, with its exact signature.
    static int Callback(const void* input, void* output, unsigned long frames,
                        const PaStreamCallbackTimeInfo* timeInfo, unsigned long flags, void* self);
    void take(const std::int16_t* samples, std::size_t count);  // the real-time side
    void runTestTone();                                         // the tone thread
    void runWriter(CaptureSetup setup, std::uint64_t run);      // the writer thread
    // Runs task on the loop unless this object or its run has gone by then. Any thread.
    void toLoop(std::uint64_t run, std::function<void()> task);
    void watchDevice();  // the loop
    void stopDevice();   // the loop
    void endRun();       // the loop

    EventLoop& loop_;
    PortAudioSession& session_;
    FileSystem& files_;
    std::unique_ptr<Timer> watchTimer_;
    SpscRing<std::int16_t> ring_{kRingSamples};
    void* stream_ = nullptr;
    std::thread tone_;
    std::atomic<bool> toneStop_{false};
    std::thread writer_;
    std::mutex mutex_;  // between the loop and the writer thread, never the real-time side
    std::condition_variable wake_;
    bool finishing_ = false;  // under mutex_
    bool keep_ = true;        // under mutex_
    std::atomic<bool> writeNow_{false};
    std::atomic<bool> deviceLost_{false};
    std::atomic<std::uint64_t> droppedSamples_{0};
    int channels_ = 2;
    std::size_t bufferSamples_ = kCaptureBufferBytes / 2;
    bool running_ = false;
    bool finishRequested_ = false;
    std::uint64_t run_ = 0;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace quillmar
