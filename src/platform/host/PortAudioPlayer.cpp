#include "platform/host/PortAudioPlayer.h"

#include <portaudio.h>
#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

#include "platform/wave/SoundFile.h"

namespace quillmar {

namespace {

constexpr int kPollIntervalMs = 20;
constexpr std::size_t kChunkFrames = 4096;
constexpr unsigned long kOutputFrames = 1024;

bool Fail(std::string* error, const std::string& text) {
    if (error) *error = text;
    return false;
}

}  // namespace

PortAudioPlayer::PortAudioPlayer(EventLoop& loop, PortAudioSession& session, FileSystem& files)
    : loop_(loop), session_(session), files_(files) {
    pollTimer_ = loop_.createTimer(kPollIntervalMs, false, [this] { poll(); });
}

PortAudioPlayer::~PortAudioPlayer() {
    *alive_ = false;
    halt();
}

bool PortAudioPlayer::open(const std::string& drivePath, int device, std::string* error) {
    stop();
    open_ = false;
    frames_ = 0;
    // Without a sound system the lists are empty and the built-in device is number 0.
    if (device < 0 || device > static_cast<int>(session_.devices(false).size()))
        return Fail(error, "Output device " + std::to_string(device) + " does not exist");
    SF_INFO info{};
    if (!SoundFile::open(files_, drivePath, SFM_READ, &info, error)) return false;
    if (info.channels < 1 || info.channels > 2 || info.samplerate < 1)
        return Fail(error, drivePath + ": only mono and stereo files can be played");
    path_ = drivePath;
    device_ = device;
    frames_ = info.frames;
    rate_ = info.samplerate;
    fileChannels_ = info.channels;
    position_.store(0, std::memory_order_relaxed);
    open_ = true;
    return true;
}

std::int64_t PortAudioPlayer::endFrame() const {
    const std::int64_t end = endMs_ > 0 ? endMs_ * rate_ / 1000 : frames_;
    return std::min(end, frames_);
}

bool PortAudioPlayer::play(std::string* error) {
    if (!open_) return Fail(error, "No wave file is open");
    std::int64_t from = playing_ ? position_.load(std::memory_order_relaxed) : 0;
    if (!playing_ && position_.load(std::memory_order_relaxed) < endFrame())
        from = position_.load(std::memory_order_relaxed);
    halt();
    paused_.store(false, std::memory_order_relaxed);
    if (!startAt(from, error)) return false;
    playing_ = true;
    return true;
}

bool PortAudioPlayer::startAt(std::int64_t frame, std::string* error) {
    // Nothing else touches the ring now: empty what a previous run left.
    std::vector<std::int16_t> discard(4096);
    while (ring_.reader().read(discard.data(), discard.size()) > 0) {
    }
    SF_INFO info{};
    std::unique_ptr<SoundFile> file = SoundFile::open(files_, path_, SFM_READ, &info, error);
    if (!file) return false;
    if (frame > 0) sf_seek(file->get(), frame, SEEK_SET);
    readFrame_ = frame;
    position_.store(frame, std::memory_order_relaxed);
    end_.store(endFrame(), std::memory_order_relaxed);
    halting_.store(false, std::memory_order_relaxed);
    readerDone_.store(false, std::memory_order_relaxed);
    done_.store(false, std::memory_order_relaxed);
    // Fill the ring before the output starts, so playback does not begin with a gap.
    if (!fill(file->get(), ring_.capacity() / 2))
        readerDone_.store(true, std::memory_order_release);

    const int outputs = static_cast<int>(session_.devices(false).size());
    if (device_ == outputs) {
        silent_ = std::thread([this] { runSilentOutput(); });
    } else {
        const int index = session_.devices(false)[device_];
        const PaDeviceInfo* dev = Pa_GetDeviceInfo(index);
        PaStreamParameters out{};
        out.device = index;
        out.channelCount = 2;
        out.sampleFormat = paInt16;
        out.suggestedLatency = dev ? dev->defaultHighOutputLatency : 0.1;
        PaStream* stream = nullptr;
        PaError code =
            Pa_OpenStream(&stream, nullptr, &out, rate_, kOutputFrames, paClipOff, &Callback, this);
        if (code == paNoError) {
            code = Pa_StartStream(stream);
            if (code != paNoError) Pa_CloseStream(stream);
        }
        if (code != paNoError) {
            return Fail(error, "The output device cannot be opened: " + PortAudioErrorText(code));
        }
        stream_ = stream;
    }
    if (!readerDone_.load(std::memory_order_relaxed))
        reader_ = std::thread([this, owned = std::move(file)] { runReader(owned->get()); });
    pollTimer_->setEnabled(true);
    return true;
}

void PortAudioPlayer::halt() {
    pollTimer_->setEnabled(false);
    halting_.store(true, std::memory_order_relaxed);
    if (stream_) {
        auto* stream = static_cast<PaStream*>(stream_);
        Pa_AbortStream(stream);
        Pa_CloseStream(stream);
        stream_ = nullptr;
    }
    if (silent_.joinable()) silent_.join();
    if (reader_.joinable()) reader_.join();
    peakLeft_.store(0, std::memory_order_relaxed);
    peakRight_.store(0, std::memory_order_relaxed);
}

void PortAudioPlayer::pause() {
    if (playing_) paused_.store(true, std::memory_order_relaxed);
}

void PortAudioPlayer::resume() {
    paused_.store(false, std::memory_order_relaxed);
}

void PortAudioPlayer::stop() {
    halt();
    playing_ = false;
    paused_.store(false, std::memory_order_relaxed);
    position_.store(0, std::memory_order_relaxed);
}

std::int64_t PortAudioPlayer::positionMs() const {
    return position_.load(std::memory_order_relaxed) * 1000 / rate_;
}

std::int64_t PortAudioPlayer::lengthMs() const {
    return frames_ * 1000 / rate_;
}

void PortAudioPlayer::seekMs(std::int64_t ms) {
    const std::int64_t frame = std::clamp<std::int64_t>(ms * rate_ / 1000, 0, frames_);
    if (!playing_) {
        position_.store(frame, std::memory_order_relaxed);
        return;
    }
    halt();
    if (!startAt(frame, nullptr)) playing_ = false;
}

void PortAudioPlayer::setEndMs(std::int64_t ms) {
    const std::int64_t before = end_.load(std::memory_order_relaxed);
    endMs_ = ms > 0 ? ms : 0;
    if (!playing_) return;
    // A later end than the reader was told needs the reader again; an earlier one is enough
    // for the real-time side to stop at.
    if (endFrame() > before) {
        const std::int64_t at = position_.load(std::memory_order_relaxed);
        halt();
        if (!startAt(at, nullptr)) playing_ = false;
    } else {
        end_.store(endFrame(), std::memory_order_relaxed);
    }
}

std::int16_t PortAudioPlayer::peakLeft() const {
    return playing_ ? peakLeft_.load(std::memory_order_relaxed) : 0;
}
std::int16_t PortAudioPlayer::peakRight() const {
    return playing_ ? peakRight_.load(std::memory_order_relaxed) : 0;
}

int PortAudioPlayer::Callback(const void*, void* output, unsigned long frames,
                              const PaStreamCallbackTimeInfo*, unsigned long, void* self) {
    auto* player = static_cast<PortAudioPlayer*>(self);
    return player->render(static_cast<std::int16_t*>(output), frames) ? paContinue : paComplete;
}

bool PortAudioPlayer::render(std::int16_t* out, std::size_t frames) {
    std::size_t got = 0;
    if (!paused_.load(std::memory_order_relaxed)) {
        const std::int64_t pos = position_.load(std::memory_order_relaxed);
        const std::int64_t end = end_.load(std::memory_order_relaxed);
        const auto allowed = static_cast<std::size_t>(std::max<std::int64_t>(0, end - pos));
        got = ring_.reader().read(out, std::min(frames, allowed) * 2) / 2;
        position_.store(pos + static_cast<std::int64_t>(got), std::memory_order_relaxed);
    }
    int left = 0, right = 0;
    for (std::size_t f = 0; f < got; ++f) {
        left = std::max(left, std::abs(static_cast<int>(out[2 * f])));
        right = std::max(right, std::abs(static_cast<int>(out[2 * f + 1])));
    }
    std::fill(out + got * 2, out + frames * 2, std::int16_t{0});
    peakLeft_.store(static_cast<std::int16_t>(std::min(left, 32767)), std::memory_order_relaxed);
    peakRight_.store(static_cast<std::int16_t>(std::min(right, 32767)), std::memory_order_relaxed);
    if (paused_.load(std::memory_order_relaxed)) return true;
    // Done at the end point, or when the reader has finished (acquire: its last samples are
    // in the ring before its flag) and the ring is empty.
    const bool atEnd =
        position_.load(std::memory_order_relaxed) >= end_.load(std::memory_order_relaxed) ||
        (readerDone_.load(std::memory_order_acquire) && ring_.reader().available() == 0);
    if (atEnd) done_.store(true, std::memory_order_release);
    return !atEnd;
}

bool PortAudioPlayer::fill(sf_private_tag* file, std::size_t maxFrames) {
    std::vector<std::int16_t> in(kChunkFrames * 2), stereo(kChunkFrames * 2);
    std::size_t filled = 0;
    while (filled < maxFrames) {
        const std::int64_t end = end_.load(std::memory_order_relaxed);
        if (readFrame_ >= end) return false;
        const std::size_t room = ring_.writer().space() / 2;
        const std::size_t want = std::min<std::size_t>(
            {kChunkFrames, room, static_cast<std::size_t>(end - readFrame_), maxFrames - filled});
        if (want == 0) return true;
        const sf_count_t got = sf_readf_short(file, in.data(), static_cast<sf_count_t>(want));
        if (got <= 0) return false;
        const std::int16_t* src = in.data();
        if (fileChannels_ == 1) {
            for (sf_count_t f = 0; f < got; ++f) stereo[2 * f] = stereo[2 * f + 1] = in[f];
            src = stereo.data();
        }
        ring_.writer().write(src, static_cast<std::size_t>(got) * 2);
        readFrame_ += got;
        filled += static_cast<std::size_t>(got);
    }
    return true;
}

void PortAudioPlayer::runReader(sf_private_tag* file) {
    while (!halting_.load(std::memory_order_relaxed)) {
        if (!fill(file, kChunkFrames * 8)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // Release: every sample written above is in the ring before the flag is seen.
    readerDone_.store(true, std::memory_order_release);
}

void PortAudioPlayer::runSilentOutput() {
    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::nanoseconds(static_cast<std::int64_t>(kOutputFrames) *
                                                 1'000'000'000LL / rate_);
    std::vector<std::int16_t> buffer(kOutputFrames * 2);
    auto due = Clock::now() + period;
    while (!halting_.load(std::memory_order_relaxed)) {
        std::this_thread::sleep_until(due);
        due += period;
        if (!render(buffer.data(), kOutputFrames)) break;
    }
}

void PortAudioPlayer::poll() {
    if (!playing_) return;
    const bool done = done_.load(std::memory_order_acquire);
    // The stream plays out what it holds after the last callback; the end is when it stops.
    const bool streamActive = stream_ && Pa_IsStreamActive(static_cast<PaStream*>(stream_)) == 1;
    if (stream_ ? streamActive : !done) return;
    // The end point reached, or a device that went away: either way playback is over.
    const std::int64_t at = position_.load(std::memory_order_relaxed);
    halt();
    playing_ = false;
    position_.store(at, std::memory_order_relaxed);
    if (onFinished) onFinished();
}

}  // namespace quillmar
