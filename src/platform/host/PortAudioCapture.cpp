#include "platform/host/PortAudioCapture.h"

#include <portaudio.h>

#include <chrono>
#include <cmath>
#include <vector>

#include "platform/wave/CaptureFile.h"

namespace quillmar {

namespace {

constexpr int kWatchIntervalMs = 100;
constexpr auto kWriterWake = std::chrono::milliseconds(10);

bool Fail(std::string* error, const std::string& text) {
    if (error) *error = text;
    return false;
}

}  // namespace

PortAudioCapture::PortAudioCapture(EventLoop& loop, PortAudioSession& session, FileSystem& files)
    : loop_(loop), session_(session), files_(files) {
    watchTimer_ = loop_.createTimer(kWatchIntervalMs, false, [this] { watchDevice(); });
}

PortAudioCapture::~PortAudioCapture() {
    *alive_ = false;
    if (running_) finish(false);
    endRun();
}

bool PortAudioCapture::start(const CaptureSetup& setup, std::string* error) {
    if (running_) {
        finish(false);
        endRun();
    }
    channels_ = setup.channels == 1 ? 1 : 2;
    bufferSamples_ = kCaptureBufferBytes / 2;
    const unsigned long frames = bufferSamples_ / channels_;
    // No thread runs on either side of the ring now, so the loop may empty what a previous run
    // left.
    std::vector<std::int16_t> discard(4096);
    while (ring_.reader().read(discard.data(), discard.size()) > 0) {
    }
    droppedSamples_.store(0, std::memory_order_relaxed);
    writeNow_.store(false, std::memory_order_relaxed);
    deviceLost_.store(false, std::memory_order_relaxed);
    finishing_ = false;
    finishRequested_ = false;

    // Without a sound system the lists are empty and the built-in device is number 0.
    const std::vector<int> devices = session_.devices(true);
    const int device = setup.device;
    if (device < 0 || device > static_cast<int>(devices.size()))
        return Fail(error, "Input device " + std::to_string(device) + " does not exist");
    if (device == static_cast<int>(devices.size())) {
        toneStop_.store(false, std::memory_order_relaxed);
        tone_ = std::thread([this] { runTestTone(); });
    } else {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(devices[device]);
        PaStreamParameters in{};
        in.device = devices[device];
        in.channelCount = channels_;
        in.sampleFormat = paInt16;
        in.suggestedLatency = info ? info->defaultHighInputLatency : 0.1;
        PaStream* stream = nullptr;
        PaError code =
            Pa_OpenStream(&stream, &in, nullptr, kSampleRate, frames, paClipOff, &Callback, this);
        if (code == paNoError) {
            code = Pa_StartStream(stream);
            if (code != paNoError) Pa_CloseStream(stream);
        }
        if (code != paNoError)
            return Fail(error, "The input device cannot be opened: " + PortAudioErrorText(code));
        stream_ = stream;
        watchTimer_->setEnabled(true);
    }
    running_ = true;
    CaptureSetup own = setup;
    own.channels = channels_;
    writer_ = std::thread([this, own, run = ++run_] { runWriter(own, run); });
    return true;
}

void PortAudioCapture::stopDevice() {
    watchTimer_->setEnabled(false);
    if (stream_) {
        auto* stream = static_cast<PaStream*>(stream_);
        Pa_AbortStream(stream);
        Pa_CloseStream(stream);
        stream_ = nullptr;
    }
    if (tone_.joinable()) {
        toneStop_.store(true, std::memory_order_relaxed);
        tone_.join();
    }
}

void PortAudioCapture::finish(bool keep) {
    if (!running_) {
        toLoop(run_, [this] {
            if (onFinished) onFinished(CaptureResult{});
        });
        return;
    }
    if (finishRequested_) return;
    finishRequested_ = true;
    // The device stops first, so the writer, once it sees the request, finds in the ring all
    // the audio there will be.
    stopDevice();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        finishing_ = true;
        keep_ = keep;
    }
    wake_.notify_one();
}

void PortAudioCapture::endRun() {
    stopDevice();
    if (writer_.joinable()) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            finishing_ = true;
            if (!finishRequested_) keep_ = false;
        }
        wake_.notify_one();
        writer_.join();
    }
    running_ = false;
}

std::uint64_t PortAudioCapture::overruns() const {
    const std::uint64_t dropped = droppedSamples_.load(std::memory_order_relaxed);
    return (dropped + bufferSamples_ - 1) / bufferSamples_;
}

void PortAudioCapture::toLoop(std::uint64_t run, std::function<void()> task) {
    loop_.post([this, alive = alive_, run, task = std::move(task)] {
        if (*alive && run == run_) task();
    });
}

int PortAudioCapture::Callback(const void* input, void*, unsigned long frames,
                               const PaStreamCallbackTimeInfo*, unsigned long, void* self) {
    auto* capture = static_cast<PortAudioCapture*>(self);
    if (input)
        capture->take(static_cast<const std::int16_t*>(input),
                      static_cast<std::size_t>(frames) * capture->channels_);
    return paContinue;
}

void PortAudioCapture::take(const std::int16_t* samples, std::size_t count) {
    // A full ring drops the newest audio and counts it; the recorder reports the count.
    if (!ring_.writer().write(samples, count))
        droppedSamples_.fetch_add(count, std::memory_order_relaxed);
}

void PortAudioCapture::runTestTone() {
    // A 1 kHz sine at half scale, in real time, one buffer at a time.
    using Clock = std::chrono::steady_clock;
    const std::size_t frames = bufferSamples_ / channels_;
    const auto period =
        std::chrono::nanoseconds(static_cast<std::int64_t>(frames) * 1'000'000'000LL / kSampleRate);
    std::vector<std::int16_t> buffer(bufferSamples_);
    std::int64_t frame = 0;
    auto due = Clock::now() + period;
    while (!toneStop_.load(std::memory_order_relaxed)) {
        std::this_thread::sleep_until(due);
        due += period;
        for (std::size_t f = 0; f < frames; ++f, ++frame) {
            const double phase =
                2.0 * M_PI * 1000.0 * static_cast<double>(frame % kSampleRate) / kSampleRate;
            const auto v = static_cast<std::int16_t>(std::lround(16384.0 * std::sin(phase)));
            for (int c = 0; c < channels_; ++c) buffer[f * channels_ + c] = v;
        }
        take(buffer.data(), buffer.size());
    }
}

void PortAudioCapture::runWriter(CaptureSetup setup, std::uint64_t run) {
    CaptureFileWriter writer(files_, std::move(setup));
    AudioBuffer buffer;
    buffer.channels = channels_;
    buffer.samples.resize(bufferSamples_);
    bool lostReported = false;
    for (;;) {
        bool finishing = false, keep = true;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait_for(lock, kWriterWake, [this] { return finishing_; });
            finishing = finishing_;
            keep = keep_;
        }
        // Read before the ring: the device was stopped before the flag was raised.
        const bool lost = deviceLost_.load(std::memory_order_acquire);
        if (finishing && !keep) break;
        // Only what is there now: a device faster than the disk must not keep us from the flags.
        for (std::size_t n = ring_.reader().available() / bufferSamples_; n > 0; --n) {
            ring_.reader().read(buffer.samples.data(), bufferSamples_);
            CaptureSummary summary =
                writer.measure(buffer, writeNow_.load(std::memory_order_relaxed));
            std::string error;
            const bool ok = writer.write(buffer, summary, &error);
            toLoop(run, [this, summary] {
                if (onBuffer) onBuffer(summary);
            });
            if (!ok)
                toLoop(run, [this, error] {
                    if (onWriteFailure) onWriteFailure(error);
                });
        }
        if (finishing) break;
        // A device that went away is reported once, after its audio.
        if (lost && !lostReported) {
            lostReported = true;
            toLoop(run, [this] {
                if (onFailure) onFailure("The input device stopped working");
            });
        }
    }
    const CaptureResult result = writer.close();
    toLoop(run, [this, result] {
        if (writer_.joinable()) writer_.join();  // its last step was this post
        running_ = false;
        if (onFinished) onFinished(result);
    });
}

void PortAudioCapture::watchDevice() {
    // A device that went away stops its stream on its own.
    if (!stream_ || Pa_IsStreamActive(static_cast<PaStream*>(stream_)) == 1) return;
    stopDevice();
    deviceLost_.store(true, std::memory_order_release);
}

}  // namespace quillmar
