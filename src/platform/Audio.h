#pragma once
// Sound cards and wave files. Device numbers are positions in the lists below, from 0; files
// are drive paths, resolved through the FileSystem the implementation was built with. Every
// callback named here runs on the event-loop thread, in order; implementations hand audio
// across threads themselves (a ring from the real-time callback to a writer thread, posts
// from workers).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quillmar {

inline constexpr int kSampleRate = 44100;
inline constexpr int kCaptureBufferBytes = 4096;
// The built-in devices after the machine's own: they run in real time without a sound card.
inline constexpr const char* kTestToneDevice = "Test tone";
inline constexpr const char* kSilentOutputDevice = "Silent output";

// One captured buffer: interleaved signed 16-bit samples and the peak of each channel (the
// right peak equals the left one for mono).
struct AudioBuffer {
    std::vector<std::int16_t> samples;
    int channels = 2;
    std::int16_t peakLeft = 0;
    std::int16_t peakRight = 0;
    std::int64_t frames() const {
        return channels > 0 ? static_cast<std::int64_t>(samples.size()) / channels : 0;
    }
};

// What the capture's writer made of one captured buffer.
struct CaptureSummary {
    std::int16_t peakLeft = 0;  // the right peak equals the left one for mono
    std::int16_t peakRight = 0;
    bool loud = false;        // a channel's peak is above the threshold
    bool written = false;     // the buffer went into the wave file
    std::int64_t fileMs = 0;  // the file's length with every buffer written so far
};

// How the wave file was left once the capture finished.
struct CaptureResult {
    bool opened = false;      // created (so emptied) by this run
    std::int64_t fileMs = 0;  // its length
};

// Capture from an input device at 44100 Hz, 16 bit, in buffers of 4096 bytes, written to a
// 16-bit PCM wave file off the event loop: the file is opened by the first buffer written and
// its header is kept current after every append, so a file cut off by a crash still plays up
// to its last buffer. Writing begins with the first loud buffer, or with writeNow(). While the
// disk is slow, the audio waits in memory (tens of seconds); what does not fit is counted.
struct CaptureSetup {
    int device = 0;
    int channels = 2;       // 1 or 2
    std::string file;       // drive path of the wave file; "" writes nothing
    int threshold = 32767;  // a buffer with a channel's peak above this is loud
};

class AudioCapture {
  public:
    virtual ~AudioCapture() = default;
    // False with the reason when the device cannot be opened.
    virtual bool start(const CaptureSetup& setup, std::string* error) = 0;
    // Writing begins with the next buffer, loud or not.
    virtual void writeNow() = 0;
    // Stops the device. With keep, every buffer captured so far is written as usual; without,
    // nothing more is. The file is then closed and onFinished follows; it comes (posted) even
    // when nothing was running.
    virtual void finish(bool keep) = 0;
    // From start() until onFinished.
    virtual bool isRunning() const = 0;
    // Buffers lost because they found no room while the disk was slow (counted, never
    // silent). Any thread.
    virtual std::uint64_t overruns() const = 0;

    std::function<void(const CaptureSummary&)> onBuffer;
    // The device failed while running (unplugged, driver error), after its last buffer.
    std::function<void(const std::string& error)> onFailure;
    // A write failed (disk full, drive gone); nothing more is written in this run.
    std::function<void(const std::string& error)> onWriteFailure;
    std::function<void(const CaptureResult&)> onFinished;
};

// Plays a wave file on an output device.
class AudioPlayer {
  public:
    virtual ~AudioPlayer() = default;
    // Opens the file; lengthMs() is known afterwards. False with the reason on failure.
    virtual bool open(const std::string& drivePath, int device, std::string* error) = 0;
    virtual bool play(std::string* error) = 0;
    virtual void pause() = 0;
    virtual void resume() = 0;
    virtual void stop() = 0;  // no finished event
    // True from play() until stop() or the finished event, paused or not.
    virtual bool isPlaying() const = 0;
    virtual bool isPaused() const = 0;
    virtual std::int64_t positionMs() const = 0;
    virtual void seekMs(std::int64_t ms) = 0;
    virtual std::int64_t lengthMs() const = 0;
    // Playback ends here (0: at the end of the file).
    virtual void setEndMs(std::int64_t ms) = 0;
    // Peaks of what is playing now, for the meters.
    virtual std::int16_t peakLeft() const = 0;
    virtual std::int16_t peakRight() const = 0;

    // Playback reached its end point or the end of the file.
    std::function<void()> onFinished;
};

// A wave format the converter can write.
struct WaveFormat {
    std::string name;       // "PCM 16 bit", "IMA ADPCM", ...
    int sndfileFormat = 0;  // the major|minor format code of the file library
    int channels = 2;       // 0 in a conversion: as the source (at most two)
    int sampleRate = kSampleRate;
};

// Copies a wave file to another, up to an end point, with an optional fade-out and format
// conversion, off the event loop. The target is written beside its final name and renamed
// when complete.
struct ConversionJob {
    std::string sourcePath;  // drive paths
    std::string targetPath;
    std::int64_t endMs = 0;         // 0: the whole file
    std::int64_t fadeStartMs = 0;   // fade to silence from here to the end point
    std::int64_t fadeLengthMs = 0;  // 0: no fade
    WaveFormat format;
};

class AudioConversion {
  public:
    virtual ~AudioConversion() = default;
    virtual bool start(const ConversionJob& job, std::string* error) = 0;
    // Stops the work and removes the partial target; no finished event follows.
    virtual void cancel() = 0;
    virtual bool isRunning() const = 0;
    // Progress in milliseconds of source done, and the length being converted.
    std::function<void(std::int64_t doneMs, std::int64_t totalMs)> onProgress;
    // The peaks (16-bit magnitudes) of the audio each progress report covers, for a meter.
    std::function<void(std::int16_t left, std::int16_t right)> onLevels;
    std::function<void(bool ok, const std::string& error)> onFinished;
};

class Audio {
  public:
    virtual ~Audio() = default;
    // The machine's devices, then the built-in "Test tone" input / "Silent output" output.
    virtual std::vector<std::string> inputDevices() = 0;
    virtual std::vector<std::string> outputDevices() = 0;
    virtual std::unique_ptr<AudioCapture> createCapture() = 0;
    virtual std::unique_ptr<AudioPlayer> createPlayer() = 0;
    virtual std::unique_ptr<AudioConversion> createConversion() = 0;
    // Wave formats this machine can write, PCM 16 bit first.
    virtual std::vector<WaveFormat> codecs() = 0;
};

// The two peaks of a buffer (absolute values, clamped to 32767).
void MeasurePeaks(AudioBuffer& buffer);

}  // namespace quillmar
