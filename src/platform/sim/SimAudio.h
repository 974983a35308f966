#pragma once
// Sound cards on virtual time. Capture generates buffers as the simulated loop's time passes
// (one 4096-byte buffer per 1024 stereo or 2048 mono frames) and writes them at once into a
// wave file of the file system it is given, unless the test stalls the writer; the converter
// writes there too; the player opens files there and plays them on virtual time.
// Tests set the input signal, the device lists and the failures.

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/Audio.h"
#include "platform/FileSystem.h"
#include "platform/sim/SimEventLoop.h"

namespace quillmar {

// What every input device hears: a square wave of the given amplitude per channel (so each
// buffer's peaks are exactly these amplitudes), or silence at 0. Mono capture hears `left`.
struct SimTone {
    std::int16_t left = 0;
    std::int16_t right = 0;
    int hz = 1000;
};

class SimAudio : public Audio {
  public:
    // Wave files are drive paths of `files`.
    SimAudio(SimEventLoop& loop, FileSystem& files);
    ~SimAudio() override;

    std::vector<std::string> inputDevices() override { return inputs_; }
    std::vector<std::string> outputDevices() override { return outputs_; }
    std::unique_ptr<AudioCapture> createCapture() override;
    std::unique_ptr<AudioPlayer> createPlayer() override;
    std::unique_ptr<AudioConversion> createConversion() override;
    std::vector<WaveFormat> codecs() override;

    // --- what a test sets ---
    void setInputDevices(std::vector<std::string> names) { inputs_ = std::move(names); }
    void setOutputDevices(std::vector<std::string> names) { outputs_ = std::move(names); }
    // The input from now on, and from a moment of the loop's time (SimEventLoop::elapsed()) on.
    void setInput(SimTone tone) { setInputAt(loop_.elapsed(), tone); }
    void setInputAt(std::int64_t loopMs, SimTone tone) { signal_[loopMs] = tone; }
    // Capture start fails with this reason while it is set ("" clears it).
    void failCaptureStart(std::string reason) { captureStartFailure_ = std::move(reason); }
    // Every running capture hands over what it has captured so far, stops, and reports the
    // failure on the loop (run the loop to see it).
    void vanishInput(const std::string& reason);
    // How many buffers the capture ring holds; a writer stalled for longer loses the newest
    // buffers and counts them as overruns.
    void setRingBuffers(std::int64_t buffers) { ringBuffers_ = buffers; }
    // The capture's writer waits on the disk from now for ms of loop time (0: until
    // releaseWriter()); the audio waits in the ring meanwhile.
    void stallWriter(std::int64_t ms = 0);
    void releaseWriter();
    bool writerStalled() const;
    // Capture files fail to open, or fail the write that would take them past this length (a
    // full disk); "" / 0 clears.
    void failWriterOpen(std::string reason) { writerOpenFailure_ = std::move(reason); }
    void failWritesAfterMs(std::int64_t ms, std::string reason = "No space left on device") {
        writeLimitMs_ = ms;
        writeFailure_ = std::move(reason);
    }
    // Player open fails for this drive path (or every path when "*"), with this reason.
    void failPlayerOpen(std::string drivePath, std::string reason = "The file cannot be opened") {
        playerOpenFailures_[std::move(drivePath)] = std::move(reason);
    }
    void clearPlayerFailures() { playerOpenFailures_.clear(); }
    // Conversions run on a posted task (the default) or inside start() when synchronous.
    void setConversionsSynchronous(bool on) { conversionsSynchronous_ = on; }
    void failConversions(std::string reason) { conversionFailure_ = std::move(reason); }

    // --- what a test reads ---
    int runningCaptures() const;
    int playingPlayers() const;
    // Each play(): the drive path and the output device.
    struct PlayStart {
        std::string path;
        int device = 0;
        std::int64_t atLoopMs = 0;
    };
    const std::vector<PlayStart>& playStarts() const { return playStarts_; }
    // The loop time (SimEventLoop::elapsed()) of each capture start; its frame 0 is then.
    const std::vector<std::int64_t>& captureStarts() const { return captureStarts_; }

    SimEventLoop& loop() { return loop_; }

  private:
    class Capture;
    class Player;
    class Conversion;
    friend class Capture;
    friend class Player;
    friend class Conversion;

    // The tone in force at a moment of loop time.
    SimTone toneAt(std::int64_t loopMs) const;
    std::int64_t nextChangeAfter(std::int64_t loopMs) const;

    SimEventLoop& loop_;
    FileSystem& files_;
    std::vector<std::string> inputs_{"Line in", "Test tone"};
    std::vector<std::string> outputs_{"Line out", "Silent output"};
    std::map<std::int64_t, SimTone> signal_;
    std::string captureStartFailure_;
    std::int64_t ringBuffers_ = 2048;
    std::int64_t writerStalledUntil_ = 0;
    std::string writerOpenFailure_;
    std::int64_t writeLimitMs_ = 0;
    std::string writeFailure_;
    std::map<std::string, std::string> playerOpenFailures_;
    bool conversionsSynchronous_ = false;
    std::string conversionFailure_;
    std::set<Capture*> captures_;
    std::set<Player*> players_;
    std::vector<PlayStart> playStarts_;
    std::vector<std::int64_t> captureStarts_;
};

}  // namespace quillmar
