#include "platform/host/PortAudioCapture.h"

#include <portaudio.h>

#include <chrono>
#include <cmath>
#include <vector>

namespace quillmar {

namespace {

constexpr int kDrainIntervalMs = 10;

bool Fail(std::string* error, const std::string& text) {
    if (error) *error = text;
    return false;
}

}  // namespace

PortAudioCapture::PortAudioCapture(EventLoop& loop, PortAudioSession& session)
    : loop_(loop), session_(session) {
    drainTimer_ = loop_.createTimer(kDrainIntervalMs, false, [this] { drain(); });
}

PortAudioCapture::~PortAudioCapture() {
    *alive_ = false;
    halt();
}

bool PortAudioCapture::start(int device, int channels, std::string* error) {
    stop();
    channels_ = channels == 1 ? 1 : 2;
    bufferSamples_ = kCaptureBufferBytes / 2;
    const unsigned long frames = bufferSamples_ / channels_;
    // Nothing runs on the writer's side now, so the loop may empty what a previous run left.
    std::vector<std::int16_t> discard(4096);
    while (ring_.reader().read(discard.data(), discard.size()) > 0) {
    }
    droppedSamples_.store(0, std::memory_order_relaxed);

    // Without a sound system the lists are empty and the built-in device is number 0.
    const std::vector<int> devices = session_.devices(true);
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
    }
    running_ = true;
    drainTimer_->setEnabled(true);
    return true;
}

void PortAudioCapture::halt() {
    drainTimer_->setEnabled(false);
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
    running_ = false;
}

void PortAudioCapture::stop() {
    halt();
}

std::uint64_t PortAudioCapture::overruns() const {
    const std::uint64_t dropped = droppedSamples_.load(std::memory_order_relaxed);
    return (dropped + bufferSamples_ - 1) / bufferSamples_;
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
    // A full ring drops the newest audio and counts it; the loop reports the count.
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

void PortAudioCapture::drain() {
    const auto alive = alive_;
    // Only what is there now: a device that runs faster than the loop must not hold it here.
    for (std::size_t n = ring_.reader().available() / bufferSamples_; n > 0 && running_; --n) {
        AudioBuffer buffer;
        buffer.channels = channels_;
        buffer.samples.resize(bufferSamples_);
        ring_.reader().read(buffer.samples.data(), bufferSamples_);
        MeasurePeaks(buffer);
        if (onBuffer) onBuffer(buffer);
        if (!*alive) return;
    }
    // A device that went away stops its stream on its own; report it once, after its audio.
    if (running_ && stream_ && Pa_IsStreamActive(static_cast<PaStream*>(stream_)) != 1) {
        halt();
        if (onFailure) onFailure("The input device stopped working");
    }
}

}  // namespace quillmar
