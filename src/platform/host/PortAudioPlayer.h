#pragma once
// Plays a wave file on a PortAudio output device or the built-in "Silent output". The file is
// read on a thread of its own into a ring; the real-time side (the PortAudio callback, or the
// silent output's clock thread) only copies out of the ring, counts the position and measures
// the peaks. The loop polls for the end every 20 ms and sends the finished event.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "platform/Audio.h"
#include "platform/EventLoop.h"
#include "platform/FileSystem.h"
#include "platform/host/PortAudioDevices.h"
#include "platform/host/SpscRing.h"

struct sf_private_tag;

struct PaStreamCallbackTimeInfo;

namespace quillmar {

class PortAudioPlayer : public AudioPlayer {
  public:
    // Files are drive paths of `files`.
    PortAudioPlayer(EventLoop& loop, PortAudioSession& session, FileSystem& files);
    ~PortAudioPlayer() override;

    bool open(const std::string& drivePath, int device, std::string* error) override;
    bool play(std::string* error) override;
    void pause() override;
    void resume() override;
    void stop() override;
    bool isPlaying() const override { return playing_; }
    bool isPaused() const override { return playing_ && paused_.load(std::memory_order_relaxed); }
    std::int64_t positionMs() const override;
    void seekMs(std::int64_t ms) override;
    std::int64_t lengthMs() const override;
    void setEndMs(std::int64_t ms) override;
    std::int16_t peakLeft() const override;   // any thread
    std::int16_t peakRight() const override;  // any thread

  private:
    // PortAudio's stream callback, with its exact signature.
    static int Callback(const void* input, void* output, unsigned long frames,
                        const PaStreamCallbackTimeInfo* timeInfo, unsigned long flags, void* self);
    bool render(std::int16_t* out, std::size_t frames);      // real-time side; false when done
    bool fill(sf_private_tag* file, std::size_t maxFrames);  // the reader's side
    void runReader(sf_private_tag* file);
    void runSilentOutput();
    bool startAt(std::int64_t frame, std::string* error);
    void halt();
    void poll();
    std::int64_t endFrame() const;

    EventLoop& loop_;
    PortAudioSession& session_;
    FileSystem& files_;
    std::unique_ptr<Timer> pollTimer_;
    SpscRing<std::int16_t> ring_{std::size_t{1} << 17};  // stereo samples, 1.5 s

    std::string path_;
    int device_ = 0;
    bool open_ = false;
    bool playing_ = false;
    std::int64_t frames_ = 0;
    int rate_ = kSampleRate;
    int fileChannels_ = 2;
    std::int64_t endMs_ = 0;

    void* stream_ = nullptr;
    std::thread reader_;
    std::thread silent_;
    std::int64_t readFrame_ = 0;             // the reader thread's own
    std::atomic<std::int64_t> position_{0};  // next frame to sound
    std::atomic<std::int64_t> end_{0};
    std::atomic<bool> paused_{false};
    std::atomic<bool> halting_{false};
    std::atomic<bool> readerDone_{false};
    std::atomic<bool> done_{false};
    std::atomic<std::int16_t> peakLeft_{0};
    std::atomic<std::int16_t> peakRight_{0};
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace quillmar
