#include "platform/sim/SimAudio.h"

#include <algorithm>
#include <atomic>
#include <deque>

#include "platform/wave/CaptureFile.h"
#include "platform/wave/SndFile.h"
#include "platform/wave/WaveConversion.h"

namespace quillmar {

namespace {

bool Fail(std::string* error, const std::string& text) {
    if (error) *error = text;
    return false;
}

}  // namespace

// ---------------------------------------------------------------- capture

// The device fills the ring as loop time passes; the writer empties it at once into the file,
// unless the test stalls the writer: the buffers then wait in the ring (what does not fit is
// lost and counted) and go to the file when the stall ends. Summaries, failures and the end
// are posted to the loop, as the host's writer thread posts them.
class SimAudio::Capture : public AudioCapture {
  public:
    explicit Capture(SimAudio& audio) : audio_(audio) {
        audio_.captures_.insert(this);
        timer_ = audio_.loop_.createTimer(0, true, [this] { service(); });
    }
    ~Capture() override {
        *alive_ = false;
        audio_.captures_.erase(this);
    }

    bool start(const CaptureSetup& setup, std::string* error) override {
        if (running_) {
            ++run_;  // the old run's posts are void
            running_ = false;
        }
        const int device = setup.device;
        if (device < 0 || device >= static_cast<int>(audio_.inputs_.size()))
            return Fail(error, "Input device " + std::to_string(device) + " does not exist");
        if (!audio_.captureStartFailure_.empty()) return Fail(error, audio_.captureStartFailure_);
        CaptureSetup own = setup;
        own.channels = setup.channels == 1 ? 1 : 2;
        channels_ = own.channels;
        frames_ = kCaptureBufferBytes / 2 / channels_;
        startMs_ = audio_.loop_.elapsed();
        next_ = 0;
        overruns_ = 0;
        ring_.clear();
        writer_ = std::make_unique<CaptureFileWriter>(audio_.files_, own);
        deviceRunning_ = keep_ = true;
        writeNow_ = finishing_ = deviceLost_ = lostReported_ = false;
        audio_.captureStarts_.push_back(startMs_);
        running_ = true;
        ++run_;
        arm();
        return true;
    }
    void writeNow() override { writeNow_ = true; }
    void finish(bool keep) override {
        if (!running_) {
            post([this] {
                if (onFinished) onFinished(CaptureResult{});
            });
            return;
        }
        if (finishing_) return;
        if (keep && deviceRunning_) captureDue();
        deviceRunning_ = false;
        finishing_ = true;
        keep_ = keep;
        service();
    }
    bool isRunning() const override { return running_; }
    bool isCapturing() const { return running_ && deviceRunning_; }
    std::uint64_t overruns() const override { return overruns_; }

    void vanish(const std::string& reason) {
        if (!isCapturing()) return;
        captureDue();
        deviceRunning_ = false;
        deviceLost_ = true;
        lostReason_ = reason;
        service();
    }
    // The writer may have been released.
    void service() {
        if (!running_) return;
        if (deviceRunning_) captureDue();
        if (!audio_.writerStalled()) {
            if (!finishing_ || keep_) drain();
            ring_.clear();
            if (deviceLost_ && !lostReported_) {
                lostReported_ = true;
                post([this, reason = lostReason_] {
                    if (onFailure) onFailure(reason);
                });
            }
            if (finishing_) return complete();
        }
        arm();
    }

  private:
    void post(std::function<void()> task) {
        audio_.loop_.post([this, alive = alive_, run = run_, task = std::move(task)] {
            if (*alive && run == run_) task();
        });
    }

    // Buffers complete by now go into the ring, or are lost when it is full.
    void captureDue() {
        const std::int64_t due =
            (audio_.loop_.elapsed() - startMs_) * kSampleRate / (frames_ * 1000LL);
        for (; next_ < due; ++next_) {
            if (static_cast<std::int64_t>(ring_.size()) >= audio_.ringBuffers_) {
                ++overruns_;
                continue;
            }
            ring_.push_back(generate(next_));
            if (!audio_.writerStalled()) drain();
        }
    }

    void drain() {
        for (; !ring_.empty(); ring_.pop_front()) {
            AudioBuffer& buffer = ring_.front();
            CaptureSummary summary = writer_->measure(buffer, writeNow_);
            std::string error;
            bool ok = true;
            if (summary.written && !writer_->isOpen() && !audio_.writerOpenFailure_.empty()) {
                error = audio_.writerOpenFailure_;
                ok = false;
            } else if (summary.written && audio_.writeLimitMs_ > 0 &&
                       summary.fileMs > audio_.writeLimitMs_) {
                error = audio_.writeFailure_;
                ok = false;
            }
            if (ok)
                ok = writer_->write(buffer, summary, &error);
            else
                writer_->refuse(summary);
            post([this, summary] {
                if (onBuffer) onBuffer(summary);
            });
            if (!ok)
                post([this, error] {
                    if (onWriteFailure) onWriteFailure(error);
                });
        }
    }

    void complete() {
        const CaptureResult result = writer_->close();
        timer_->setEnabled(false);
        post([this, result] {
            running_ = false;
            if (onFinished) onFinished(result);
        });
    }

    void arm() {
        timer_->setEnabled(false);
        const std::int64_t now = audio_.loop_.elapsed();
        std::int64_t at = INT64_MAX;
        // Buffer next_ is complete when its last frame has been captured.
        if (deviceRunning_)
            at = startMs_ + ((next_ + 1) * frames_ * 1000LL + kSampleRate - 1) / kSampleRate;
        if (audio_.writerStalled()) at = std::min(at, audio_.writerStalledUntil_);
        if (at == INT64_MAX) return;
        timer_->setInterval(static_cast<int>(std::max<std::int64_t>(0, at - now)));
        timer_->setEnabled(true);
    }

    std::int64_t msOfFrame(std::int64_t frame) const {
        return startMs_ + frame * 1000 / kSampleRate;
    }

    AudioBuffer generate(std::int64_t index) const {
        AudioBuffer buffer;
        buffer.channels = channels_;
        buffer.samples.resize(static_cast<std::size_t>(frames_ * channels_));
        const std::int64_t first = index * frames_;
        std::int64_t changeAt = -1;
        SimTone tone;
        for (std::int64_t f = 0; f < frames_; ++f) {
            const std::int64_t frame = first + f;
            const std::int64_t ms = msOfFrame(frame);
            if (changeAt < 0 || ms >= changeAt) {
                tone = audio_.toneAt(ms);
                changeAt = audio_.nextChangeAfter(ms);
            }
            const bool high = tone.hz <= 0 || (frame * 2 * tone.hz / kSampleRate) % 2 == 0;
            const auto sample = [high](std::int16_t a) {
                return static_cast<std::int16_t>(high ? a : -a);
            };
            std::int16_t* out = &buffer.samples[static_cast<std::size_t>(f * channels_)];
            out[0] = sample(tone.left);
            if (channels_ == 2) out[1] = sample(tone.right);
        }
        return buffer;
    }

    SimAudio& audio_;
    std::unique_ptr<Timer> timer_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    std::unique_ptr<CaptureFileWriter> writer_;
    std::deque<AudioBuffer> ring_;
    bool running_ = false;        // from start to the posted end
    bool deviceRunning_ = false;  // the device delivers buffers
    bool finishing_ = false;
    bool keep_ = true;
    bool writeNow_ = false;
    bool deviceLost_ = false;
    bool lostReported_ = false;
    std::string lostReason_;
    int channels_ = 2;
    std::int64_t frames_ = 1024;
    std::int64_t startMs_ = 0;
    std::int64_t next_ = 0;
    std::uint64_t overruns_ = 0;
    std::uint64_t run_ = 0;
};

SimTone SimAudio::toneAt(std::int64_t loopMs) const {
    auto it = signal_.upper_bound(loopMs);
    if (it == signal_.begin()) return SimTone{};
    return std::prev(it)->second;
}

std::int64_t SimAudio::nextChangeAfter(std::int64_t loopMs) const {
    auto it = signal_.upper_bound(loopMs);
    return it == signal_.end() ? INT64_MAX : it->first;
}

void SimAudio::vanishInput(const std::string& reason) {
    const std::vector<Capture*> running(captures_.begin(), captures_.end());
    for (Capture* c : running)
        if (captures_.count(c)) c->vanish(reason);
}

int SimAudio::runningCaptures() const {
    return static_cast<int>(std::count_if(captures_.begin(), captures_.end(),
                                          [](const Capture* c) { return c->isCapturing(); }));
}

void SimAudio::stallWriter(std::int64_t ms) {
    writerStalledUntil_ = ms > 0 ? loop_.elapsed() + ms : INT64_MAX;
    const std::vector<Capture*> all(captures_.begin(), captures_.end());
    for (Capture* c : all) c->service();  // to be back when the stall ends
}

void SimAudio::releaseWriter() {
    writerStalledUntil_ = 0;
    const std::vector<Capture*> all(captures_.begin(), captures_.end());
    for (Capture* c : all)
        if (captures_.count(c)) c->service();
}

bool SimAudio::writerStalled() const {
    return loop_.elapsed() < writerStalledUntil_;
}

// ---------------------------------------------------------------- player

class SimAudio::Player : public AudioPlayer {
  public:
    explicit Player(SimAudio& audio) : audio_(audio) {
        audio_.players_.insert(this);
        timer_ = audio_.loop_.createTimer(0, true, [this] { finish(); });
    }
    ~Player() override { audio_.players_.erase(this); }

    bool open(const std::string& drivePath, int device, std::string* error) override {
        stop();
        open_ = false;
        lengthMs_ = 0;
        for (const auto& key : {drivePath, std::string("*")}) {
            auto it = audio_.playerOpenFailures_.find(key);
            if (it != audio_.playerOpenFailures_.end()) return Fail(error, it->second);
        }
        if (device < 0 || device >= static_cast<int>(audio_.outputs_.size()))
            return Fail(error, "Output device " + std::to_string(device) + " does not exist");
        WaveInfo info;
        if (!ReadWaveInfo(audio_.files_, drivePath, &info, error)) return false;
        path_ = drivePath;
        device_ = device;
        lengthMs_ = info.lengthMs();
        open_ = true;
        return true;
    }
    bool play(std::string* error) override {
        if (!open_) return Fail(error, "No wave file is open");
        if (position_ >= endPoint()) position_ = 0;
        playing_ = true;
        paused_ = false;
        startedAt_ = audio_.loop_.elapsed();
        audio_.playStarts_.push_back({path_, device_, startedAt_});
        arm();
        return true;
    }
    void pause() override {
        if (!playing_ || paused_) return;
        position_ = positionMs();
        paused_ = true;
        timer_->setEnabled(false);
    }
    void resume() override {
        if (!playing_ || !paused_) return;
        paused_ = false;
        startedAt_ = audio_.loop_.elapsed();
        arm();
    }
    void stop() override {
        playing_ = paused_ = false;
        position_ = 0;
        timer_->setEnabled(false);
    }
    bool isPlaying() const override { return playing_; }
    bool isPaused() const override { return playing_ && paused_; }
    std::int64_t positionMs() const override {
        if (!playing_ || paused_) return position_;
        return std::min(endPoint(), position_ + audio_.loop_.elapsed() - startedAt_);
    }
    void seekMs(std::int64_t ms) override {
        position_ = std::clamp<std::int64_t>(ms, 0, lengthMs_);
        if (playing_ && !paused_) {
            startedAt_ = audio_.loop_.elapsed();
            arm();
        }
    }
    std::int64_t lengthMs() const override { return lengthMs_; }
    void setEndMs(std::int64_t ms) override {
        if (playing_ && !paused_) {
            position_ = positionMs();
            startedAt_ = audio_.loop_.elapsed();
        }
        endMs_ = ms > 0 ? ms : 0;
        if (playing_ && !paused_) arm();
    }
    std::int16_t peakLeft() const override { return peaks().peakLeft; }
    std::int16_t peakRight() const override { return peaks().peakRight; }

  private:
    std::int64_t endPoint() const { return endMs_ > 0 ? std::min(endMs_, lengthMs_) : lengthMs_; }
    void arm() {
        timer_->setEnabled(false);
        timer_->setInterval(static_cast<int>(std::max<std::int64_t>(0, endPoint() - position_)));
        timer_->setEnabled(true);
    }
    void finish() {
        position_ = endPoint();
        playing_ = paused_ = false;
        if (onFinished) onFinished();
    }
    // The peaks of the audio at the current position, read from the file.
    AudioBuffer peaks() const {
        AudioBuffer buffer;
        if (!playing_ || paused_) return buffer;
        const std::int64_t frame = positionMs() * kSampleRate / 1000;
        if (!ReadWaveFrames(audio_.files_, path_, frame, 1024, &buffer.samples, &buffer.channels,
                            nullptr))
            return AudioBuffer{};
        MeasurePeaks(buffer);
        return buffer;
    }

    SimAudio& audio_;
    std::unique_ptr<Timer> timer_;
    std::string path_;
    int device_ = 0;
    bool open_ = false;
    bool playing_ = false;
    bool paused_ = false;
    std::int64_t lengthMs_ = 0;
    std::int64_t endMs_ = 0;
    std::int64_t position_ = 0;
    std::int64_t startedAt_ = 0;
};

int SimAudio::playingPlayers() const {
    return static_cast<int>(std::count_if(players_.begin(), players_.end(),
                                          [](const Player* p) { return p->isPlaying(); }));
}

// ---------------------------------------------------------------- conversion

class SimAudio::Conversion : public AudioConversion {
  public:
    explicit Conversion(SimAudio& audio) : audio_(audio) {}
    ~Conversion() override { state_->cancelled = true; }

    bool start(const ConversionJob& job, std::string* error) override {
        if (state_->running) return Fail(error, "A conversion is already running");
        // A fresh state, so a cancelled task still queued cannot run this job.
        state_->cancelled = true;
        state_ = std::make_shared<State>();
        state_->running = true;
        auto state = state_;
        const std::string failure = audio_.conversionFailure_;
        auto run = [this, state, job, failure] {
            if (state->cancelled) return;
            std::string error = failure;
            bool ok = false;
            if (failure.empty())
                ok = ConvertWave(
                    audio_.files_, job,
                    [this](std::int64_t done, std::int64_t total) {
                        if (onProgress) onProgress(done, total);
                    },
                    state->cancelled, &error,
                    [this](std::int16_t left, std::int16_t right) {
                        if (onLevels) onLevels(left, right);
                    });
            if (state->cancelled) return;
            state->running = false;
            if (onFinished) onFinished(ok, ok ? std::string() : error);
        };
        if (audio_.conversionsSynchronous_)
            run();
        else
            audio_.loop_.post(run);
        return true;
    }
    void cancel() override {
        state_->cancelled = true;
        state_->running = false;
    }
    bool isRunning() const override { return state_->running; }

  private:
    struct State {
        std::atomic<bool> cancelled{false};
        bool running = false;
    };
    SimAudio& audio_;
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

// ---------------------------------------------------------------- the service

SimAudio::SimAudio(SimEventLoop& loop, FileSystem& files) : loop_(loop), files_(files) {}
SimAudio::~SimAudio() = default;

std::unique_ptr<AudioCapture> SimAudio::createCapture() {
    return std::make_unique<Capture>(*this);
}
std::unique_ptr<AudioPlayer> SimAudio::createPlayer() {
    return std::make_unique<Player>(*this);
}
std::unique_ptr<AudioConversion> SimAudio::createConversion() {
    return std::make_unique<Conversion>(*this);
}
std::vector<WaveFormat> SimAudio::codecs() {
    return WritableWaveFormats();
}

}  // namespace quillmar
