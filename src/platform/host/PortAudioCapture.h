#pragma once
// Capture from a PortAudio input device or the built-in "Test tone". The real-time side (the
// PortAudio callback, or the tone thread) only copies into a ring; the loop drains the ring
// every 10 ms and hands each 4096-byte buffer to onBuffer in order.

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "platform/Audio.h"
#include "platform/EventLoop.h"
#include "platform/host/PortAudioDevices.h"
#include "platform/host/SpscRing.h"

struct PaStreamCallbackTimeInfo;

namespace quillmar {

class PortAudioCapture : public AudioCapture {
  public:
    // 2^22 samples: 47 s of stereo, 95 s of mono, so a busy loop loses nothing.
    static constexpr std::size_t kRingSamples = std::size_t{1} << 22;

    PortAudioCapture(EventLoop& loop, PortAudioSession& session);
    ~PortAudioCapture() override;

    bool start(int device, int channels, std::string* error) override;
    void stop() override;
    bool isRunning() const override { return running_; }
    std::uint64_t overruns() const override;  // any thread

  private:
    // PortAudio's stream callback, with its exact signature.
    static int Callback(const void* input, void* output, unsigned long frames,
                        const PaStreamCallbackTimeInfo* timeInfo, unsigned long flags, void* self);
    void take(const std::int16_t* samples, std::size_t count);  // the real-time side
    void runTestTone();                                         // the tone thread
    void drain();                                               // the loop
    void halt();

    EventLoop& loop_;
    PortAudioSession& session_;
    std::unique_ptr<Timer> drainTimer_;
    SpscRing<std::int16_t> ring_{kRingSamples};
    void* stream_ = nullptr;
    std::thread tone_;
    std::atomic<bool> toneStop_{false};
    std::atomic<std::uint64_t> droppedSamples_{0};
    int channels_ = 2;
    std::size_t bufferSamples_ = kCaptureBufferBytes / 2;
    bool running_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace quillmar
